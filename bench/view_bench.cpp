// Filling the main window's views with long lists, as the show-full-path boxes do: the list file
// read, the text handed to the view, the counter set and the window painted again. Run under Wine
// or on Windows; prints the seconds per fill and the peak working set with both views full.
#include <windows.h>
#include <psapi.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "lists/list_store.h"
#include "platform/win32/win32_fs.h"
#include "platform/win32/win32_ui.h"

namespace {

using Clock = std::chrono::steady_clock;

// Runs what the window has queued, painting included, so that the time covers the whole
// freeze a user would see.
void settle()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

template <class Action>
double timed(Action action)
{
    settle();
    const auto start = Clock::now();
    action();
    settle();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

std::vector<std::string> paths(std::size_t n)
{
    std::vector<std::string> list;
    list.reserve(n);
    for (std::size_t i = 0; i < n; ++i)
        list.push_back("C:\\Users\\someone\\Pictures\\2026 假期\\IMG_" + std::to_string(100000 + i) + ".jpg");
    return list;
}

double megabytes(SIZE_T bytes)
{
    return bytes / (1024.0 * 1024.0);
}

}  // namespace

// Sizes may be given as arguments; 50,000 and 200,000 entries by default.
int main(int argc, char** argv)
{
    std::vector<std::size_t> sizes;
    for (int i = 1; i < argc; ++i)
        sizes.push_back(std::stoul(argv[i]));
    if (sizes.empty())
        sizes = {50000, 200000};

    platform::win32::Win32FileSystem fs;
    platform::win32::Win32Ui ui(fs);
    platform::win32::Win32Shell shell;
    TFrmMain form(platform::Platform{ui, fs, shell});
    form.show();
    lists::ListStore store(fs);

    for (std::size_t n : sizes) {
        const auto list = paths(n);
        store.rewrite(lists::ListPair::Original, list);
        store.rewrite(lists::ListPair::New, list);
        form.cbShowpathO.setChecked(false);
        form.cbshowpathR.setChecked(false);
        form.mmOriginal.clear();
        form.mmRenamed.clear();

        const double fullPaths = timed([&] { form.cbShowpathO.setChecked(true); });
        const double names = timed([&] { form.cbShowpathO.setChecked(false); });
        const double both = timed([&] {
            form.cbShowpathO.setChecked(true);
            form.cbshowpathR.setChecked(true);
        });
        PROCESS_MEMORY_COUNTERS memory{sizeof memory};
        GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
        std::printf("%7zu entries: full paths %.3f s; names %.3f s; both views full paths %.3f s; counters \"%s\" "
                    "\"%s\"; working set %.0f MB, peak %.0f MB\n",
                    n, fullPaths, names, both, form.lb_old.text().c_str(), form.lb_new.text().c_str(),
                    megabytes(memory.WorkingSetSize), megabytes(memory.PeakWorkingSetSize));
        std::fflush(stdout);
    }
    for (lists::ListFile f : lists::allListFiles)
        store.remove(f);
    return 0;
}
