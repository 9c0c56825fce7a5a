#pragma once
// The product's backend for windows: HWNDs with common controls 6, tool tips, common dialogs.
#include <windows.h>

#include <map>
#include <string>

#include "platform/file_system.h"
#include "platform/ui.h"

namespace platform::win32 {

class Win32Ui : public Ui {
public:
    explicit Win32Ui(FileSystem& fs);
    ~Win32Ui() override;

    std::unique_ptr<FormPeer> createForm(FormEvents& events, FormBorder border, const std::string& className,
                                         bool mainWindow) override;
    std::unique_ptr<ControlPeer> createControl(ControlKind kind, ControlEvents& events, FormPeer& form,
                                               ControlPeer* parent, const Rect& bounds, int id) override;
    void setFont(ControlPeer& control, const FontSpec& font, Align align) override;
    void setEllipsis(ControlPeer& label, Ellipsis where) override;
    void setApplicationTitle(const std::string& title) override;
    std::string applicationTitle() const override { return appTitle_; }
    void setHintTimes(int showMs, int hideMs) override;
    void makeLink(ControlPeer& label) override;
    void makeDefault(ControlPeer& button) override;

    void notice(const std::string& text) override;
    bool ask(const std::string& text) override;
    void errorBox(const std::string& text) override;
    void runInBackground(const BackgroundWork& work, const std::function<void()>& tick, int tickMs) override;
    std::optional<OpenFileAnswer> openFiles(const OpenFileRequest& request) override;
    std::optional<std::string> chooseFolder(const FolderRequest& request) override;

    HFONT font(const FontSpec& wanted);
    int hintShowMs() const { return hintShowMs_; }
    int hintHideMs() const { return hintHideMs_; }
    HWND mainWindow() const { return mainWindow_; }
    // The application's own window: never seen itself, it carries the taskbar button with the
    // application title and owns the main window, which owns every other window.
    HWND applicationWindow();
    // The window a modal box or dialog is to belong to.
    HWND owner() const;

    // Runs the event loop until the main window has closed.
    static int run();

private:
    FileSystem& fs_;
    std::string appTitle_;
    int hintShowMs_ = 500, hintHideMs_ = 10000;
    HWND mainWindow_ = nullptr;
    HWND applicationWindow_ = nullptr;
    std::map<std::string, HFONT> fonts_;
};

}  // namespace platform::win32
