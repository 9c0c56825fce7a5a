// Loaded into nomerra.exe by the end-to-end driver, it reads the menu bar of the window named
// (by its handle, in decimal) in window.txt beside the DLL: Wine keeps a menu in the process that
// made it, where no other process can read it. It writes menu.txt beside the DLL (UTF-16), one
// line an item, "-" before a greyed caption and "+" before one that can be chosen. It declines
// to stay loaded, so that the next read loads it afresh.
#include <windows.h>

#include <cstdint>
#include <cwchar>
#include <string>

namespace {

std::wstring besideSelf(HINSTANCE self, const wchar_t* name)
{
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(self, path, MAX_PATH);
    std::wstring file = path;
    file.resize(file.find_last_of(L'\\') + 1);
    return file + name;
}

HWND window(HINSTANCE self)
{
    HANDLE h = CreateFileW(besideSelf(self, L"window.txt").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return nullptr;
    wchar_t digits[32] = {};
    DWORD got = 0;
    ReadFile(h, digits, sizeof digits - sizeof(wchar_t), &got, nullptr);
    CloseHandle(h);
    return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(std::wcstoull(digits, nullptr, 10)));
}

std::wstring items(HMENU bar)
{
    std::wstring text;
    for (int i = 0, n = GetMenuItemCount(bar); i < n; ++i) {
        wchar_t caption[128] = {};
        MENUITEMINFOW mi{sizeof mi};
        mi.fMask = MIIM_STATE | MIIM_STRING;
        mi.dwTypeData = caption;
        mi.cch = 127;
        GetMenuItemInfoW(bar, i, TRUE, &mi);
        text += (mi.fState & MFS_GRAYED ? L"-" : L"+") + std::wstring(caption) + L"\n";
    }
    return text;
}

void report(HINSTANCE self)
{
    const std::wstring text = items(GetMenu(window(self)));
    HANDLE h = CreateFileW(besideSelf(self, L"menu.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(h, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &written, nullptr);
    CloseHandle(h);
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID)
{
    if (reason != DLL_PROCESS_ATTACH)
        return TRUE;
    report(self);
    return FALSE;
}
