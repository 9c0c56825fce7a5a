// Start-up of the Windows program.
#include <windows.h>

#include "app/main_window.h"
#include "platform/win32/single_instance.h"
#include "platform/win32/win32_fs.h"
#include "platform/win32/win32_ui.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    platform::win32::Win32FileSystem fs;
    platform::win32::SingleInstance instance(fs.modulePath());
    const std::vector<std::string> files = platform::win32::commandLineFiles();
    // A lock held with no window that answers is a hung copy or no copy at all.
    if (!instance.first() && instance.handOver(files, "TFrmMain"))
        return 0;
    platform::win32::Win32Ui ui(fs);
    platform::win32::Win32Shell shell;
    TFrmMain form(platform::Platform{ui, fs, shell});
    form.peer().centreOnScreen();
    form.show();
    if (!files.empty())
        form.dispatch([&] { form.openCommandLine(files); });
    return platform::win32::Win32Ui::run();
}
