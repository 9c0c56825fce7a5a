// Loaded into nomerra.exe by the end-to-end driver, it drops files on the main window as the
// file browser does: a DROPFILES block in this process's global memory, posted with
// WM_DROPFILES. The paths come from drop.txt beside the DLL (UTF-16, one a line); a first line
// "!damage" makes the block wrong as a careless or hostile sender could (see block), and
// "!null-copydata" sends a hand-over without its data instead, which only a sender inside the
// process can do. It declines to stay loaded, so that the next drop loads it afresh.
#include <windows.h>
#include <shlobj.h>

#include <string>

namespace {

std::wstring request(HINSTANCE self)
{
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(self, path, MAX_PATH);
    std::wstring file = path;
    file.resize(file.find_last_of(L'\\') + 1);
    file += L"drop.txt";
    HANDLE h = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return {};
    std::wstring text(GetFileSize(h, nullptr) / sizeof(wchar_t), L'\0');
    DWORD got = 0;
    ReadFile(h, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &got, nullptr);
    CloseHandle(h);
    text.resize(got / sizeof(wchar_t));
    return text;
}

HWND mainWindow()
{
    for (HWND w = FindWindowExW(nullptr, nullptr, L"TFrmMain", nullptr); w;
         w = FindWindowExW(nullptr, w, L"TFrmMain", nullptr)) {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        if (pid == GetCurrentProcessId())
            return w;
    }
    return nullptr;
}

// The block as the file browser makes it, then damaged: "outside" puts the list beyond the
// block, "header" over the header, "unended" leaves out every closing NUL (and fills whatever
// the system added to the block, so that no NUL lies anywhere after the header), "narrow"
// marks the list as code-page strings.
HGLOBAL block(std::wstring list, const std::wstring& damage)
{
    if (damage == L"unended")
        list.pop_back();
    else
        list += L'\0';
    const SIZE_T size = sizeof(DROPFILES) + list.size() * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    auto* bytes = static_cast<unsigned char*>(GlobalLock(memory));
    FillMemory(bytes, GlobalSize(memory), 'A');
    auto* files = reinterpret_cast<DROPFILES*>(bytes);
    files->pFiles = damage == L"outside" ? static_cast<DWORD>(size + 4096) : damage == L"header" ? 4 : sizeof(DROPFILES);
    files->pt = {300, 500};
    files->fNC = FALSE;
    files->fWide = damage != L"narrow";
    CopyMemory(files + 1, list.data(), list.size() * sizeof(wchar_t));
    GlobalUnlock(memory);
    return memory;
}

void drop(HINSTANCE self)
{
    // The file list of a drop: each path ended by NUL, then one more NUL.
    std::wstring list = request(self), damage;
    if (list.rfind(L"!", 0) == 0) {
        const auto end = list.find(L'\n');
        damage = list.substr(1, end - 1);
        list.erase(0, end + 1);
    }
    HWND window = mainWindow();
    if (damage == L"null-copydata") {
        DWORD_PTR answer = 0;
        SendMessageTimeoutW(window, WM_COPYDATA, 0, 0, SMTO_BLOCK, 5000, &answer);
        return;
    }
    for (wchar_t& c : list)
        if (c == L'\n')
            c = L'\0';
    HGLOBAL memory = block(list, damage);
    if (!window || !PostMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0))
        GlobalFree(memory);
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID)
{
    if (reason != DLL_PROCESS_ATTACH)
        return TRUE;
    drop(self);
    return FALSE;
}
