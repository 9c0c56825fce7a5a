#pragma once
// The peer of a form: its window. The window itself (procedure, focus, size and place) is in
// win32_form.cpp, its menu in menus.cpp, its hints in hints.cpp, and the files it is dropped
// or handed in drop_and_handover.cpp; private to src/platform/win32.
#include <windows.h>

#include <shellapi.h>

#include <deque>
#include <map>
#include <string>
#include <vector>

#include "platform/display.h"
#include "platform/win32/peers/win32_control.h"
#include "platform/win32/wide.h"
#include "platform/win32/win32_ui.h"

namespace platform::win32 {

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
    Win32Form(const Win32Form&) = delete;
    Win32Form& operator=(const Win32Form&) = delete;

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
    void changeTogether(const std::function<void()>& change) override;

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
    // Posted to itself by a window that was handed files.
    static constexpr UINT takeHandedOverMessage = WM_APP + 1;
    // Posted to itself by a window whose menu bar shows items of a state they no longer have.
    static constexpr UINT redrawMenuBarMessage = WM_APP + 2;

    static LRESULT CALLBACK proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT msg, WPARAM wParam, LPARAM lParam);
    void moveTo(int left, int top);
    void dpiChanged(int dpi, const RECT& suggested);
    // Hints wrap at a width of the window's DPI.
    void fitHintWidth();
    void redrawStaleMenuBar();
    void filesDropped(HDROP drop);
    // WM_COPYDATA: TRUE when it carried files handed over, which are taken once it is answered.
    LRESULT filesHandedOver(LPARAM lParam);
    void takeHandedOver();

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
