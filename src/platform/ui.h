#pragma once
// What a backend provides for windows: peers that hold or show a control's state, the two kinds
// of message box, the error box and the common dialogs.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {

struct Rect {
    int left = 0, top = 0, width = 0, height = 0;
    bool operator==(const Rect&) const = default;
};

struct Size {
    int width = 0, height = 0;
    bool operator==(const Size&) const = default;
};

enum class ControlKind { GroupBox, Label, Edit, Memo, CheckBox, RadioButton, RadioGroup, ComboBox, Button, ProgressBar };

// A backend calls these when the user acts on a control.
class ControlEvents {
public:
    virtual ~ControlEvents() = default;
    virtual void userClicked() {}
    virtual void userDoubleClicked() {}
    // Returns the character that reaches the field.
    virtual char32_t userTyped(char32_t c) { return c; }
};

class ControlPeer {
public:
    virtual ~ControlPeer() = default;
    virtual std::string text() const = 0;
    virtual void setText(const std::string& text) = 0;
    virtual bool checked() const = 0;
    virtual void setChecked(bool on) = 0;
    virtual bool enabled() const = 0;
    virtual void setEnabled(bool on) = 0;
    virtual bool visible() const = 0;
    virtual void setVisible(bool on) = 0;
    virtual Rect bounds() const = 0;
    virtual void setBounds(const Rect& r) = 0;
    virtual void setHint(const std::string& hint) = 0;
    virtual void setMaxLength(int chars) = 0;
    virtual std::vector<std::string> items() const = 0;
    virtual void setItems(const std::vector<std::string>& items) = 0;
    virtual int itemIndex() const = 0;
    virtual void setItemIndex(int index) = 0;
    // A progress bar's filled part: position of range.
    virtual void setProgress(int position, int range) = 0;
};

class FormEvents {
public:
    virtual ~FormEvents() = default;
    virtual void resized() = 0;
    // Asked before a close: false keeps the window as it is.
    virtual bool closeQuery() = 0;
    virtual void closing() = 0;
    virtual void menuChosen(int id) = 0;
    // Full paths from outside the window: dropped on it from the file browser, or handed over
    // by a second copy of the program started with them.
    virtual void filesDropped(const std::vector<std::string>& paths) = 0;
    virtual void filesHandedOver(const std::vector<std::string>& paths) = 0;
    // The window moved to a display of another density: its dpi() is the new one, and a main
    // window has taken the size the system suggested.
    virtual void dpiChanged() = 0;
};

enum class FormBorder { Sizeable, Dialog };

class FormPeer {
public:
    virtual ~FormPeer() = default;
    virtual std::string title() const = 0;
    virtual void setTitle(const std::string& title) = 0;
    virtual Size outerSize() const = 0;
    virtual void setOuterSize(Size size) = 0;
    virtual Size clientSize() const = 0;
    virtual void setClientSize(Size size) = 0;
    // Centred on its monitor, and no larger than the monitor's work area.
    virtual void centreOnScreen() = 0;
    virtual void centreOver(const FormPeer& other) = 0;
    virtual bool visible() const = 0;
    virtual void show() = 0;
    virtual void hide() = 0;
    virtual void bringToFront() = 0;
    virtual void close() = 0;
    // parent 0 is the menu bar; a separator has an empty caption.
    virtual void addMenuItem(int parent, int id, const std::string& caption, bool isSubmenu) = 0;
    virtual void setMenuCaption(int id, const std::string& caption) = 0;
    virtual void setMenuEnabled(int id, bool on) = 0;
    // The dots per inch of the display the window is on (96 at 100 %).
    virtual int dpi() const = 0;
    // The size of the work area (the screen less the taskbar) of the monitor the window is on.
    virtual Size workArea() const = 0;
    // Runs change with the window's drawing held, then draws the window once: many controls
    // enabled or disabled together cost one drawing, not one each.
    virtual void changeTogether(const std::function<void()>& change) { change(); }
};

struct FontSpec {
    std::string face = "MS Sans Serif";
    int pixels = 11;
    bool bold = false;
    bool underline = false;
    bool blue = false;
};

enum class Align { Left, Centre, Right };

// A label keeps its text on one line; a text wider than the label is drawn shortened with "…"
// at its end, or in its middle where the end matters too (a folder). Its text stays whole.
enum class Ellipsis { End, Middle };

struct OpenFileRequest {
    std::string filter;        // "desc|pattern|desc|pattern"
    int filterIndex = 1;       // 1-based, as the common dialog counts
    std::string initialFile;   // empty: the platform's default folder
    bool multiSelect = false;
};

struct OpenFileAnswer {
    std::vector<std::string> files;
    int filterIndex = 1;
};

// The folder chooser "Select Directory". Answers the text of its folder-name field when the
// user confirmed; a failure inside it (a folder that cannot be created) throws AppError.
struct FolderRequest {
    std::string startFolder;
    int helpContext = 0;
};

class Ui {
public:
    virtual ~Ui() = default;
    // The main window ends the program when it closes; any other window only hides.
    virtual std::unique_ptr<FormPeer> createForm(FormEvents& events, FormBorder border, const std::string& className,
                                                 bool mainWindow) = 0;
    virtual std::unique_ptr<ControlPeer> createControl(ControlKind kind, ControlEvents& events, FormPeer& form,
                                                       ControlPeer* parent, const Rect& bounds, int id) = 0;
    virtual void setFont(ControlPeer& control, const FontSpec& font, Align align) = 0;
    virtual void setEllipsis(ControlPeer& label, Ellipsis where) = 0;

    virtual void setApplicationTitle(const std::string& title) = 0;
    virtual std::string applicationTitle() const = 0;
    virtual void setHintTimes(int showMs, int hideMs) = 0;
    // A label the keyboard reaches with Tab and opens with Enter or Space, as a click does.
    virtual void makeLink(ControlPeer& label) = 0;
    // The button Enter presses in its window; it has the focus when the window opens.
    virtual void makeDefault(ControlPeer& button) = 0;

    // Notice: application title, no icon, "确定".
    virtual void notice(const std::string& text) = 0;
    // Question: "确认", question icon, "(&Y)是"/"(&N)否"; anything but yes is no.
    virtual bool ask(const std::string& text) = 0;
    // The error box: application title, error icon, OK.
    virtual void errorBox(const std::string& text) = 0;

    // Runs work on another thread while this one keeps every window answering and calls tick
    // about every tickMs, and at once after work calls the lookNow it is given (on its own
    // thread). Returns when work has ended; what work throws is thrown here.
    using BackgroundWork = std::function<void(const std::function<void()>& lookNow)>;
    virtual void runInBackground(const BackgroundWork& work, const std::function<void()>& tick, int tickMs) = 0;

    virtual std::optional<OpenFileAnswer> openFiles(const OpenFileRequest& request) = 0;
    virtual std::optional<std::string> chooseFolder(const FolderRequest& request) = 0;
};

}  // namespace platform
