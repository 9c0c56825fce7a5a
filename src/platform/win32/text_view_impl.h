#pragma once
// The text view's window state and what it does: its lines and their widths
// (text_view_lines.cpp), scrolling and the caret (text_view_scrolling.cpp), painting
// (text_view_painting.cpp), selection, keys and copying (text_view_selection.cpp), and its window
// procedure (text_view.cpp); private to src/platform/win32.
#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace platform::win32 {

class TextView {
public:
    explicit TextView(HWND hwnd);
    ~TextView();
    TextView(const TextView&) = delete;
    TextView& operator=(const TextView&) = delete;
    LRESULT handle(UINT msg, WPARAM wParam, LPARAM lParam);
    // The text, or the lines in sight where it is too long to hand over at every question.
    std::wstring accessibleValue() const;
    const std::wstring& text() const { return text_; }
    void setText(std::wstring text);

private:
    // Between the frame and the text, as the edit control leaves it.
    static constexpr int margin = 2;

    // Line starts and the widest line, after the text or the font changed.
    void layout();
    void setFont(HFONT font);
    std::size_t lineOf(std::size_t pos) const;
    std::size_t lineEnd(std::size_t line) const;
    std::size_t clamp(std::size_t pos) const;
    // The width of the character at pos: a surrogate pair's on its first unit, none on its second.
    int advance(std::size_t pos);
    // Between the two units of a surrogate pair, where no caret may stand.
    bool insidePair(std::size_t pos) const;
    int width(std::size_t from, std::size_t to);
    std::size_t positionAt(int x, int y);
    POINT pointOf(std::size_t pos);

    SIZE client() const;
    int visibleLines() const;
    void updateScrollBars();
    void scrollTo(long long top, long long left);
    void scrollBy(int bar, WORD code);
    void wheel(int delta);
    void ensureVisible(std::size_t pos);
    void placeCaret();

    void paint();
    void drawRun(HDC dc, std::size_t from, std::size_t to, int x, int y);

    void select(std::size_t anchor, std::size_t caret);
    void moveCaret(std::size_t pos, bool extend);
    void keyDown(WPARAM key);
    void copy();
    void contextMenu(LPARAM lParam);

    HWND hwnd_;
    HDC measure_;  // a memory DC holding the font, for the width table
    HFONT font_ = nullptr;
    std::vector<int> advances_;  // by UTF-16 unit; -1 until asked for
    std::map<std::wstring, int> pairAdvances_;
    int lineHeight_ = 16;
    int charWidth_ = 8;
    std::wstring text_;
    std::vector<std::size_t> starts_{0};
    int widest_ = 0;
    long long top_ = 0;  // first line in sight
    int left_ = 0;       // pixels scrolled to the right
    std::size_t anchor_ = 0, caret_ = 0;
    int wheelRest_ = 0;  // wheel turn not yet worth a line
};

}  // namespace platform::win32
