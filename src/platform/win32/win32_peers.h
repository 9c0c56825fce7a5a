#pragma once
// The peers of the Win32 backend as the form window, the controls and Win32Ui see each other;
// private to src/platform/win32.
#include <windows.h>

#include <commctrl.h>

#include <deque>
#include <map>
#include <string>
#include <vector>

#include "platform/display.h"
#include "platform/ellipsis.h"
#include "platform/win32/win32_ui.h"
#include "platform/win32/wide.h"

namespace platform::win32 {

class Win32Form;

// Every control window carries its peer in GWLP_USERDATA so that a notification can be routed
// to it from whichever parent (window or group box) received it.
class Win32Control : public ControlPeer {
public:
    Win32Control(Win32Ui& ui, ControlKind kind, ControlEvents& events, Win32Form& form, HWND parent,
                 const Rect& bounds, int id);
    ~Win32Control() override;

    std::string text() const override;
    void setText(const std::string& text) override;
    bool checked() const override;
    void setChecked(bool on) override;
    bool enabled() const override { return IsWindowEnabled(hwnd_); }
    void setEnabled(bool on) override;
    bool visible() const override { return GetWindowLongW(hwnd_, GWL_STYLE) & WS_VISIBLE; }
    void setVisible(bool on) override { ShowWindow(hwnd_, on ? SW_SHOWNA : SW_HIDE); }
    Rect bounds() const override;
    void setBounds(const Rect& r) override;
    void setHint(const std::string& hint) override;
    void setMaxLength(int chars) override { SendMessageW(hwnd_, EM_LIMITTEXT, chars, 0); }
    std::vector<std::string> items() const override;
    void setItems(const std::vector<std::string>& items) override;
    int itemIndex() const override;
    void setItemIndex(int index) override;
    void setProgress(int position, int range) override
    {
        SendMessageW(hwnd_, PBM_SETRANGE32, 0, range);
        SendMessageW(hwnd_, PBM_SETPOS, position, 0);
    }

    HWND hwnd() const { return hwnd_; }
    ControlKind kind() const { return kind_; }
    // A drop-down list's window height includes its opened list.
    int windowHeight(int height) const;
    ControlEvents& events() { return events_; }
    Win32Form& form() const { return form_; }
    TTTOOLINFOW areaToolInfo();
    bool blue = false;
    Ellipsis ellipsis = Ellipsis::End;
    bool link = false;  // a label that takes the focus and opens on Enter or Space
    void notify(WORD code);

private:
    Win32Ui& ui_;
    ControlKind kind_;
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

struct MenuEntry {
    HMENU owner;    // the menu that holds the item
    UINT position;  // its place there
    HMENU popup;    // for a drop-down
};

class Win32Form : public FormPeer {
public:
    Win32Form(Win32Ui& ui, FormEvents& events, FormBorder border, const std::string& className, bool mainWindow,
              HWND owner);
    ~Win32Form() override;

    std::string title() const override { return narrow(windowText(hwnd_)); }
    void setTitle(const std::string& title) override { SetWindowTextW(hwnd_, widen(title).c_str()); }
    Size outerSize() const override;
    void setOuterSize(Size size) override;
    Size clientSize() const override;
    void setClientSize(Size size) override;
    void centreOnScreen() override;
    void centreOver(const FormPeer& other) override;
    bool visible() const override { return IsWindowVisible(hwnd_); }
    void show() override { ShowWindow(hwnd_, SW_SHOW); }
    void hide() override { ShowWindow(hwnd_, SW_HIDE); }
    void bringToFront() override;
    void close() override { SendMessageW(hwnd_, WM_CLOSE, 0, 0); }
    void addMenuItem(int parent, int id, const std::string& caption, bool isSubmenu) override;
    void setMenuCaption(int id, const std::string& caption) override;
    void setMenuEnabled(int id, bool on) override;
    int dpi() const override { return dpi_; }
    Size workArea() const override;

    HWND hwnd() const { return hwnd_; }
    // The keyboard focus is the window's own state, as in a dialog: the control that had it when
    // the window lost it gets it back when the window is active again, so that closing a dialog,
    // a box or another window leaves the keyboard where it was.
    void rememberFocus();
    // Gives the focus to that control, or with none remembered to the default button or, in the
    // main window, to the first control of the tab order. False when no control can take it now:
    // one that was disabled waits until it is enabled again.
    bool restoreFocus();
    // After a control was enabled: an active window whose focus waited for it gives it back.
    void controlEnabled();
    void setDefaultButton(HWND button) { defaultButton_ = button; }
    HWND tooltip();
    void applyHintTimes();
    // Ids of tools by rectangle: small numbers, never a window handle as the other tools have.
    UINT_PTR nextAreaTool() { return ++areaTools_; }

private:
    static LRESULT CALLBACK proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT msg, WPARAM wParam, LPARAM lParam);
    void moveTo(int left, int top);

    Win32Ui& ui_;
    FormEvents& events_;
    bool mainWindow_;
    HWND hwnd_ = nullptr;
    int dpi_ = designDpi;
    bool changingDpi_ = false;
    HWND focus_ = nullptr;
    HWND defaultButton_ = nullptr;
    HWND tooltip_ = nullptr;
    UINT_PTR areaTools_ = 0;
    HMENU menuBar_ = nullptr;
    std::map<int, MenuEntry> menu_;
    // Handed over by a second copy, taken once that copy has been answered.
    std::deque<std::vector<std::string>> handedOver_;
    bool menuBarStale_ = false;
};

}  // namespace platform::win32
