#include "platform/win32/single_instance.h"

#include <sddl.h>
#include <shellapi.h>

#include <algorithm>

#include "platform/win32/drop_and_handover.h"
#include "platform/win32/wide.h"

namespace platform::win32 {

namespace {

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

// A copy of this program runs elevated; a window of the same class in a process that does not
// is someone else's and gets no file names.
bool runsElevated(DWORD pid)
{
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!process)
        return false;
    HANDLE token = nullptr;
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    const bool elevated = OpenProcessToken(process, TOKEN_QUERY, &token) &&
                          GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size) &&
                          elevation.TokenIsElevated;
    if (token)
        CloseHandle(token);
    CloseHandle(process);
    return elevated;
}

// The namespace of the program's locks: its boundary holds the Administrators group, so only a
// process with administrator rights can create it, and its DACL lets only administrators and
// the system open it. A process of the user without those rights can thus never take a lock
// first. Null where the system offers no private namespaces.
HANDLE openLockNamespace(const wchar_t* alias)
{
    HANDLE boundary = CreateBoundaryDescriptorW(alias, 0);
    if (!boundary)
        return nullptr;
    HANDLE ns = nullptr;
    BYTE administrators[SECURITY_MAX_SID_SIZE];
    DWORD sidSize = sizeof administrators;
    SECURITY_ATTRIBUTES sa{sizeof sa};
    if (CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, administrators, &sidSize) &&
        AddSIDToBoundaryDescriptor(&boundary, administrators) &&
        ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(A;;GA;;;BA)(A;;GA;;;SY)", SDDL_REVISION_1,
                                                             &sa.lpSecurityDescriptor, nullptr)) {
        // Another copy may create it, or close the last handle to it, between the two calls.
        for (int attempt = 0; attempt < 3 && !ns; ++attempt) {
            ns = CreatePrivateNamespaceW(&sa, boundary, alias);
            if (!ns && GetLastError() == ERROR_ALREADY_EXISTS)
                ns = OpenPrivateNamespaceW(boundary, alias);
        }
        LocalFree(sa.lpSecurityDescriptor);
    }
    DeleteBoundaryDescriptor(boundary);
    return ns;
}

}  // namespace

SingleInstance::SingleInstance(const std::string& programPath) : folder_(folderOf(widen(programPath)))
{
    // Wine offers no private namespaces: there the lock lies in the session's namespace, where
    // it could be taken first, and only the five seconds of handOver keep that from stopping
    // the program.
    namespace_ = openLockNamespace(L"nomerra");
    const std::wstring name = lockName(namespace_ ? L"nomerra" : L"Local", folder_);
    mutex_ = CreateMutexW(nullptr, FALSE, name.c_str());
    first_ = !(mutex_ && GetLastError() == ERROR_ALREADY_EXISTS);
}

SingleInstance::~SingleInstance()
{
    if (mutex_)
        CloseHandle(mutex_);
    if (namespace_)
        ClosePrivateNamespace(namespace_, 0);
}

bool SingleInstance::handOver(const std::vector<std::string>& files, const std::string& windowClass) const
{
    const std::wstring cls = widen(windowClass);
    std::wstring block = handOverBlock(files);
    // The running copy may still be creating its window.
    const ULONGLONG deadline = GetTickCount64() + 5000;
    for (ULONGLONG now = GetTickCount64(); now < deadline; Sleep(100), now = GetTickCount64()) {
        for (HWND w = FindWindowExW(nullptr, nullptr, cls.c_str(), nullptr); w;
             w = FindWindowExW(nullptr, w, cls.c_str(), nullptr)) {
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            if (pid == GetCurrentProcessId() || imageFolderOf(w) != folder_ || !runsElevated(pid))
                continue;
            // This copy was started by the user and may give the foreground away.
            AllowSetForegroundWindow(pid);
            COPYDATASTRUCT data{handOverTag, static_cast<DWORD>(block.size() * sizeof(wchar_t)), block.data()};
            const UINT waitMs = static_cast<UINT>(std::max<ULONGLONG>(deadline - GetTickCount64(), 1));
            DWORD_PTR answer = 0;
            const bool answered =
                files.empty() ? SendMessageTimeoutW(w, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, waitMs, &answer)
                              : SendMessageTimeoutW(w, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                                                    SMTO_ABORTIFHUNG, waitMs, &answer) && answer;
            if (!answered)
                continue;
            // Minimised, the main window is hidden with its owner, the application window.
            HWND application = GetWindow(w, GW_OWNER);
            if (application && IsIconic(application))
                SendMessageW(application, WM_SYSCOMMAND, SC_RESTORE, 0);
            SetForegroundWindow(GetLastActivePopup(w));
            return true;
        }
    }
    return false;
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

}  // namespace platform::win32
