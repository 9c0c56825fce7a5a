#include "platform/win32/single_instance.h"

#include <shellapi.h>

#include <algorithm>
#include <cwctype>

#include "platform/win32/wide.h"

namespace platform::win32 {

namespace {

std::wstring folderOf(std::wstring path)
{
    auto cut = path.find_last_of(L"\\:");
    path.resize(cut == std::wstring::npos ? 0 : cut + 1);
    for (wchar_t& c : path)
        c = static_cast<wchar_t>(std::towupper(c));
    return path;
}

std::wstring imageFolderOf(HWND window)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!process)
        return L"";
    std::wstring path(32768, L'\0');
    DWORD size = static_cast<DWORD>(path.size());
    BOOL ok = QueryFullProcessImageNameW(process, 0, path.data(), &size);
    CloseHandle(process);
    path.resize(ok ? size : 0);
    return folderOf(path);
}

}  // namespace

SingleInstance::SingleInstance(const std::string& programPath) : folder_(folderOf(widen(programPath)))
{
    // Kernel object names may not hold "\", and a folder may be longer than a name may be.
    unsigned long long hash = 1469598103934665603ull;
    for (wchar_t c : folder_)
        hash = (hash ^ static_cast<unsigned>(c)) * 1099511628211ull;
    wchar_t name[64];
    swprintf(name, 64, L"Local\\nomerra-%016llx", hash);
    mutex_ = CreateMutexW(nullptr, FALSE, name);
    first_ = !(mutex_ && GetLastError() == ERROR_ALREADY_EXISTS);
}

SingleInstance::~SingleInstance()
{
    if (mutex_)
        CloseHandle(mutex_);
}

void SingleInstance::handOver(const std::vector<std::string>& files, const std::string& windowClass) const
{
    const std::wstring cls = widen(windowClass);
    // The running copy may still be creating its window.
    for (int attempt = 0; attempt < 50; ++attempt) {
        for (HWND w = FindWindowExW(nullptr, nullptr, cls.c_str(), nullptr); w;
             w = FindWindowExW(nullptr, w, cls.c_str(), nullptr)) {
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            if (pid == GetCurrentProcessId() || imageFolderOf(w) != folder_)
                continue;
            // This copy was started by the user and may give the foreground away.
            AllowSetForegroundWindow(pid);
            if (!files.empty()) {
                std::wstring block;
                for (const auto& f : files)
                    block += widen(f) + L'\0';
                COPYDATASTRUCT data{handOverTag, static_cast<DWORD>(block.size() * sizeof(wchar_t)), block.data()};
                DWORD_PTR answer = 0;
                SendMessageTimeoutW(w, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, 10000,
                                    &answer);
            }
            // Minimised, the main window is hidden with its owner, the application window.
            HWND application = GetWindow(w, GW_OWNER);
            if (application && IsIconic(application))
                SendMessageW(application, WM_SYSCOMMAND, SC_RESTORE, 0);
            SetForegroundWindow(GetLastActivePopup(w));
            return;
        }
        Sleep(100);
    }
}

std::vector<std::string> commandLineFiles()
{
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> files;
    for (int i = 1; arguments && i < count; ++i) {
        if (!*arguments[i])
            continue;
        std::wstring full(GetFullPathNameW(arguments[i], 0, nullptr, nullptr), L'\0');
        full.resize(GetFullPathNameW(arguments[i], static_cast<DWORD>(full.size()), full.data(), nullptr));
        files.push_back(narrow(full.empty() ? arguments[i] : full));
    }
    LocalFree(arguments);
    return files;
}

std::vector<std::string> handedOverFiles(const COPYDATASTRUCT& data)
{
    std::vector<std::string> files;
    if (data.dwData != handOverTag || !data.lpData)
        return files;
    const std::wstring block(static_cast<const wchar_t*>(data.lpData), data.cbData / sizeof(wchar_t));
    for (std::size_t start = 0, end; start < block.size(); start = end + 1) {
        end = std::min(block.find(L'\0', start), block.size());
        if (end > start)
            files.push_back(narrow(block.substr(start, end - start)));
    }
    return files;
}

}  // namespace platform::win32
