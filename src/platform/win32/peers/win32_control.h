#pragma once
// What every control peer of the Win32 backend shares: its window, enabling, place and hint.
// Each kind's own window class, styles and messages are in its class beside this one
// (label_peer.h, edit_peer.h, ...); private to src/platform/win32.
#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "platform/ui.h"

namespace platform::win32 {

class Win32Ui;
class Win32Form;

// Where a control is made: its window, the window it is a child of, and its place there.
struct ControlSite {
    Win32Ui& ui;
    ControlEvents& events;
    Win32Form& form;
    HWND parent;
    Rect bounds;
    int id;
};

// The system's window class a kind is made of, and its styles besides WS_CHILD and WS_VISIBLE.
struct WindowRecipe {
    const wchar_t* windowClass;
    DWORD style;
    DWORD exStyle = 0;
};

// Every control window carries its peer in GWLP_USERDATA so that a notification can be routed
// to it from whichever parent (window or group box) received it.
class Win32Control : public ControlPeer {
public:
    ~Win32Control() override;
    Win32Control(const Win32Control&) = delete;
    Win32Control& operator=(const Win32Control&) = delete;

    std::string text() const override;
    void setText(const std::string& text) override;
    bool enabled() const override { return IsWindowEnabled(hwnd_); }
    void setEnabled(bool on) override;
    bool visible() const override { return GetWindowLongW(hwnd_, GWL_STYLE) & WS_VISIBLE; }
    void setVisible(bool on) override { ShowWindow(hwnd_, on ? SW_SHOWNA : SW_HIDE); }
    Rect bounds() const override;
    void setBounds(const Rect& r) override;
    void setHint(const std::string& hint) override;

    // What a kind does not have, it neither keeps nor shows: a label has no items, a button no
    // progress. The kinds that have them answer for them.
    bool checked() const override { return false; }
    void setChecked(bool) override {}
    void setMaxLength(int) override {}
    std::vector<std::string> items() const override { return {}; }
    void setItems(const std::vector<std::string>&) override {}
    int itemIndex() const override { return -1; }
    void setItemIndex(int) override {}
    void setProgress(int, int) override {}

    // The alignment of the text, which only a label follows.
    virtual void setAlign(Align) {}
    // A notification code of WM_COMMAND from the control's window.
    virtual void notify(WORD) {}
    // The dialog manager moved the keyboard focus here by an arrow key.
    virtual void reachedByArrow() {}

    HWND hwnd() const { return hwnd_; }
    ControlEvents& events() const { return events_; }
    Win32Form& form() const { return form_; }
    bool blue = false;

protected:
    Win32Control(const ControlSite& site, const WindowRecipe& recipe);
    // The window's height for a control of this height.
    virtual int windowHeight(int height) const { return height; }

private:
    TTTOOLINFOW areaToolInfo();
    // After a move: the hint's tool on the parent covers the control's new rectangle.
    void moveHintArea();

    ControlEvents& events_;
    Win32Form& form_;
    HWND hwnd_;
    std::wstring hint_;
    UINT_PTR areaTool_ = 0;  // the hint's tool on the parent, by rectangle; 0 before any hint
};

// The peer a control window carries, or nullptr.
Win32Control* controlOf(HWND hwnd);
// WM_COMMAND from a control, wherever it was sent.
void routeCommand(WPARAM wParam, LPARAM lParam);
// WM_CTLCOLORSTATIC and WM_CTLCOLORBTN: the control's text colour on the window's face.
HBRUSH controlColour(HDC dc, HWND child);
std::wstring windowText(HWND hwnd);

}  // namespace platform::win32
