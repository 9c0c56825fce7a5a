#pragma once
// Test backend for windows: peers keep their state in memory, dialogs and message boxes answer
// from a script the test sets and remember what they were shown.
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/display.h"
#include "platform/file_system.h"
#include "platform/ui.h"

namespace platform::headless {

class HeadlessControl : public ControlPeer {
public:
    HeadlessControl(ControlKind kind, ControlEvents& events, const Rect& bounds, int id)
        : kind_(kind), events_(events), bounds_(bounds), id_(id) {}

    std::string text() const override;
    void setText(const std::string& text) override { text_ = text; }
    bool checked() const override { return checked_; }
    void setChecked(bool on) override { checked_ = on; }
    bool enabled() const override { return enabled_; }
    void setEnabled(bool on) override { enabled_ = on; }
    bool visible() const override { return visible_; }
    void setVisible(bool on) override { visible_ = on; }
    Rect bounds() const override { return bounds_; }
    void setBounds(const Rect& r) override { bounds_ = r; }
    void setHint(const std::string& hint) override { hint_ = hint; }
    void setMaxLength(int chars) override { maxLength_ = chars; }
    std::vector<std::string> items() const override { return items_; }
    void setItems(const std::vector<std::string>& items) override;
    int itemIndex() const override { return index_; }
    void setItemIndex(int index) override { index_ = index; }
    void setProgress(int position, int range) override { progress = {position, range}; }

    // What a user does; refused like a real control refuses when disabled.
    void click();
    void doubleClick();
    // Types one character at the end of an edit field: the key filter runs, backspace deletes
    // the last character, Enter enters nothing, the length limit holds.
    void type(char32_t c);
    void type(const std::u32string& keys);

    int id() const { return id_; }
    const std::string& shownHint() const { return hint_; }
    FontSpec font;
    Align align = Align::Left;
    Ellipsis ellipsis = Ellipsis::End;
    std::pair<int, int> progress{0, 0};

private:
    ControlKind kind_;
    ControlEvents& events_;
    Rect bounds_;
    int id_;
    std::string text_;
    std::string hint_;
    bool checked_ = false;
    bool enabled_ = true;
    bool visible_ = true;
    int maxLength_ = 0;
    std::vector<std::string> items_;
    int index_ = -1;
};

class HeadlessForm : public FormPeer {
public:
    // Frame, caption and menu bar of a sizeable window as the arithmetic of the tests sees them,
    // at 96 dots per inch.
    static constexpr Size sizeableFrame{8, 53};
    static constexpr Size dialogFrame{6, 29};

    HeadlessForm(FormEvents& events, FormBorder border, bool mainWindow, int dpi)
        : events_(events), border_(border), mainWindow_(mainWindow), dpi_(dpi) {}
    std::string title() const override { return title_; }
    void setTitle(const std::string& title) override { title_ = title; }
    Size outerSize() const override { return outer_; }
    void setOuterSize(Size size) override;
    Size clientSize() const override;
    void setClientSize(Size size) override;
    void centreOnScreen() override { centredOnScreen = true; }
    void centreOver(const FormPeer& other) override { centredOver = &other; }
    bool visible() const override { return visible_; }
    void show() override;
    void hide() override { visible_ = false; }
    void bringToFront() override { ++broughtToFront; }
    void close() override;
    void addMenuItem(int parent, int id, const std::string& caption, bool isSubmenu) override;
    void setMenuCaption(int id, const std::string& caption) override;
    void setMenuEnabled(int id, bool on) override;
    bool menuEnabled(int id) const;
    int dpi() const override { return dpi_; }
    Size workArea() const override { return screenWorkArea; }

    // The user drags the frame.
    void userResize(Size outer) { setOuterSize(outer); }
    // The user drags the window onto a display of another density; the system suggests its size.
    void moveToDisplay(int dpi, Size suggested);
    void chooseMenu(int id) { events_.menuChosen(id); }
    // Files dropped from the file browser; files a second copy of the program hands over.
    void dropFiles(const std::vector<std::string>& paths) { events_.filesDropped(paths); }
    void handOver(const std::vector<std::string>& paths) { events_.filesHandedOver(paths); }
    std::string menuCaption(int id) const;
    bool closed = false;
    Size screenWorkArea{3840, 2120};  // a 4K monitor's, less its taskbar
    bool centredOnScreen = false;
    const FormPeer* centredOver = nullptr;
    int broughtToFront = 0;

private:
    Size frame() const;
    FormEvents& events_;
    FormBorder border_;
    bool mainWindow_;
    int dpi_;
    std::string title_;
    Size outer_{};
    bool visible_ = false;
    struct Item {
        int parent, id;
        std::string caption;
        bool enabled = true;
    };
    std::vector<Item> menu_;
};

struct Shown {
    enum Kind { Notice, Question, Error } kind;
    std::string text;
};

class HeadlessUi : public Ui {
public:
    // New windows open on a display of this density.
    explicit HeadlessUi(FileSystem& fs, int dpi = designDpi) : fs_(fs), dpi_(dpi) {}
    std::unique_ptr<FormPeer> createForm(FormEvents& events, FormBorder border, const std::string& className,
                                         bool mainWindow) override;
    std::unique_ptr<ControlPeer> createControl(ControlKind kind, ControlEvents& events, FormPeer& form,
                                               ControlPeer* parent, const Rect& bounds, int id) override;
    void setFont(ControlPeer& control, const FontSpec& font, Align align) override;
    void setEllipsis(ControlPeer& label, Ellipsis where) override { static_cast<HeadlessControl&>(label).ellipsis = where; }
    void setApplicationTitle(const std::string& title) override { appTitle_ = title; }
    std::string applicationTitle() const override { return appTitle_; }
    void setHintTimes(int showMs, int hideMs) override { hintShowMs = showMs, hintHideMs = hideMs; }
    // The keyboard's ways through a window: nothing a headless window has.
    void makeLink(ControlPeer&) override {}
    void makeDefault(ControlPeer&) override {}

    void notice(const std::string& text) override;
    bool ask(const std::string& text) override;
    void errorBox(const std::string& text) override { shown.push_back({Shown::Error, text}); }
    // Works on the calling thread: one tick, whatever the test does meanwhile, the work (a look
    // it asks for taken there and then), a tick. Without timed looks, as a run over before the
    // window's first tick is looked at, only the looks the work asks for.
    void runInBackground(const BackgroundWork& work, const std::function<void()>& tick, int) override
    {
        if (timedLooks)
            tick();
        if (whileRunning)
            whileRunning();
        work(tick);
        if (timedLooks)
            tick();
    }
    std::function<void()> whileRunning;
    bool timedLooks = true;
    std::optional<OpenFileAnswer> openFiles(const OpenFileRequest& request) override;
    // Takes the next script entry: the names the user types into the folder-name field and
    // confirms with OK, one after another; after the last one that is not accepted, Cancel.
    std::optional<std::string> chooseFolder(const FolderRequest& request) override;

    // The script: answers are taken in order; an empty script answers no / cancel.
    std::deque<bool> answers;
    std::deque<std::optional<OpenFileAnswer>> fileAnswers;
    std::deque<std::vector<std::string>> folderAnswers;
    // Runs once, the next time a message box or the file dialog is open: what happens outside
    // the window meanwhile.
    std::function<void()> whileModal;

    // What was asked.
    std::vector<Shown> shown;
    std::vector<OpenFileRequest> fileRequests;
    std::vector<FolderRequest> folderRequests;
    int hintShowMs = 0, hintHideMs = 0;

private:
    void modalOpen();
    FileSystem& fs_;
    int dpi_;
    std::string appTitle_;
};

}  // namespace platform::headless
