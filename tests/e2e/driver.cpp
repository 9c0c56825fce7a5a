#include "driver.h"

#include "../../src/app/control_ids.h"

#include <bcrypt.h>
#include <shlobj.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace e2e {

std::wstring programImage;

namespace {
int passed = 0, failed = 0;
}

void check(bool ok, const std::string& what, const char* file, int line)
{
    if (ok) {
        ++passed;
        return;
    }
    ++failed;
    std::printf("  FAILED %s:%d: %s\n", file, line, what.c_str());
    std::fflush(stdout);
}

void checkEqual(const std::wstring& a, const std::wstring& b, const char* what, const char* file, int line)
{
    check(a == b, std::string(what) + "\n    got:      \"" + narrow(a) + "\"\n    expected: \"" + narrow(b) + "\"", file,
          line);
}

void checkEqual(long long a, long long b, const char* what, const char* file, int line)
{
    check(a == b, std::string(what) + " (got " + std::to_string(a) + ", expected " + std::to_string(b) + ")", file,
          line);
}

std::vector<Test>& registry()
{
    static std::vector<Test> tests;
    return tests;
}

std::wstring widen(const std::string& utf8)
{
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(n, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
    return out;
}

std::string narrow(const std::wstring& wide)
{
    int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string out(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr, nullptr);
    return out;
}

namespace {
void removeTree(const std::wstring& folder)
{
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((folder + L"*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = fd.cFileName;
            if (name == L"." || name == L"..")
                continue;
            std::wstring path = folder + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                removeTree(path + L"\\");
            } else {
                SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(path.c_str());
            }
        } while (FindNextFileW(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryW(folder.c_str());
}
}  // namespace

std::wstring freshFolderIn(const std::wstring& parent, const std::wstring& name)
{
    std::wstring folder = parent + name + L"\\";
    removeTree(folder);
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

std::wstring freshFolder(const std::wstring& name)
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring root = std::wstring(temp) + L"nomerra-e2e\\";
    CreateDirectoryW(root.c_str(), nullptr);
    return freshFolderIn(root, name);
}

void writeBytes(const std::wstring& path, const std::string& bytes)
{
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(h);
}

std::string readBytes(const std::wstring& path)
{
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return {};
    std::string bytes(GetFileSize(h, nullptr), '\0');
    DWORD got = 0;
    ReadFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
    CloseHandle(h);
    bytes.resize(got);
    return bytes;
}

DWORD attributesOf(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str());
}

bool fileExists(const std::wstring& path)
{
    DWORD a = attributesOf(path);
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool folderExists(const std::wstring& path)
{
    DWORD a = attributesOf(path);
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

void makeFiles(const std::wstring& folder, const std::vector<std::wstring>& names)
{
    for (const auto& n : names)
        writeBytes(folder + n, "content of " + narrow(n));
}

std::wstring joinCrLf(const std::vector<std::wstring>& lines)
{
    std::wstring text;
    for (const auto& l : lines)
        text += l + L"\r\n";
    return text;
}

std::string gbkLines(const std::vector<std::wstring>& lines)
{
    std::wstring text = joinCrLf(lines);
    if (text.empty())
        return {};
    int n = WideCharToMultiByte(936, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(n, '\0');
    WideCharToMultiByte(936, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

bool waitFor(const std::function<bool()>& condition, int timeoutMs)
{
    for (int waited = 0; waited <= timeoutMs; waited += 50) {
        if (condition())
            return true;
        Sleep(50);
    }
    return false;
}

std::vector<HWND> windowsOf(DWORD processId, const wchar_t* className)
{
    std::vector<HWND> found;
    for (HWND w = FindWindowExW(nullptr, nullptr, className, nullptr); w; w = FindWindowExW(nullptr, w, className, nullptr)) {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        if (pid == processId)
            found.push_back(w);
    }
    return found;
}

PROCESS_INFORMATION startProgram(const std::wstring& folder, const std::wstring& arguments)
{
    std::wstring image = folder + L"nomerra.exe";
    STARTUPINFOW si{sizeof si};
    std::wstring command = L"\"" + image + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(image.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si, &pi))
        CHECK(!"nomerra.exe could not be started");
    return pi;
}

App::App(const std::wstring& folder, const std::wstring& arguments) : folder_(folder)
{
    CopyFileW(programImage.c_str(), (folder + L"nomerra.exe").c_str(), FALSE);
    process_ = startProgram(folder, arguments);
    if (!process_.hProcess)
        return;
    WaitForInputIdle(process_.hProcess, 10000);
    waitFor([&] {
        auto w = windowsOf(process_.dwProcessId, L"TFrmMain");
        window_ = w.empty() || !IsWindowVisible(w[0]) ? nullptr : w[0];
        return window_ != nullptr;
    });
    CHECK(window_ != nullptr);
}

App::~App()
{
    if (running()) {
        TerminateProcess(process_.hProcess, 1);
        WaitForSingleObject(process_.hProcess, 5000);
    }
    CloseHandle(process_.hProcess);
    CloseHandle(process_.hThread);
}

std::wstring App::runHelper(const wchar_t* dllName, const wchar_t* requestName, const std::wstring& request) const
{
    wchar_t driver[MAX_PATH];
    GetModuleFileNameW(nullptr, driver, MAX_PATH);
    std::wstring helper = driver;
    helper.resize(helper.find_last_of(L'\\') + 1);
    // The request lies beside the helper: a fresh copy of both for every call.
    const std::wstring folder = freshFolder(L"helper");
    const std::wstring dll = folder + dllName;
    CHECK(CopyFileW((helper + dllName).c_str(), dll.c_str(), FALSE));
    writeBytes(folder + requestName, std::string(reinterpret_cast<const char*>(request.data()),
                                                 request.size() * sizeof(wchar_t)));

    const SIZE_T bytes = (dll.size() + 1) * sizeof(wchar_t);
    void* remote = VirtualAllocEx(process_.hProcess, nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    CHECK(remote && WriteProcessMemory(process_.hProcess, remote, dll.c_str(), bytes, nullptr));
    // kernel32 lies at the same address in every process of a session.
    auto load = reinterpret_cast<LPTHREAD_START_ROUTINE>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "LoadLibraryW")));
    HANDLE thread = CreateRemoteThread(process_.hProcess, nullptr, 0, load, remote, 0, nullptr);
    CHECK(thread != nullptr);
    if (thread) {
        CHECK(WaitForSingleObject(thread, 10000) == WAIT_OBJECT_0);
        CloseHandle(thread);
    }
    VirtualFreeEx(process_.hProcess, remote, 0, MEM_RELEASE);
    return folder;
}

void App::dropFiles(const std::vector<std::wstring>& paths, const std::wstring& damage) const
{
    std::wstring request = damage.empty() ? L"" : L"!" + damage + L"\n";
    for (const auto& p : paths)
        request += p + L"\n";
    runHelper(L"drop_helper.dll", L"drop.txt", request);
}

std::vector<MenuBarItem> App::menuBar() const
{
    const std::wstring folder =
        runHelper(L"menu_helper.dll", L"window.txt", std::to_wstring(reinterpret_cast<std::uintptr_t>(window_)));
    const std::string bytes = readBytes(folder + L"menu.txt");
    const std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
    std::vector<MenuBarItem> items;
    for (std::size_t at = 0, end; (end = text.find(L'\n', at)) != std::wstring::npos; at = end + 1)
        items.push_back({text.substr(at + 1, end - at - 1), text[at] == L'-'});
    CHECK(!items.empty());
    return items;
}

bool App::undoGrayed() const
{
    for (const MenuBarItem& item : menuBar())
        if (item.caption == L"撤销执行")
            return item.grayed;
    CHECK(!"the menu bar has 撤销执行");
    return false;
}

bool App::running() const
{
    return process_.hProcess && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

bool App::waitForExit(int timeoutMs) const
{
    return WaitForSingleObject(process_.hProcess, timeoutMs) == WAIT_OBJECT_0;
}

void App::kill() const
{
    TerminateProcess(process_.hProcess, 1);
    CHECK(waitForExit());
}

namespace {
struct FindById {
    int id;
    HWND found;
};

BOOL CALLBACK findChild(HWND w, LPARAM p)
{
    auto* f = reinterpret_cast<FindById*>(p);
    if (GetDlgCtrlID(w) == f->id) {
        f->found = w;
        return FALSE;
    }
    return TRUE;
}
}  // namespace

HWND App::control(int id) const
{
    FindById f{id, nullptr};
    EnumChildWindows(window_, findChild, reinterpret_cast<LPARAM>(&f));
    if (!f.found)
        std::printf("  no control %d\n", id);
    return f.found;
}

namespace {
// A handler that unexpectedly opens a modal box would otherwise hold the driver for ever.
void sendAndWait(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    DWORD_PTR result = 0;
    const bool answered = SendMessageTimeoutW(window, msg, wParam, lParam, SMTO_NORMAL, 20000, &result) != 0;
    check(answered, "the program answered within 20 s (is a message box open?)", __FILE__, __LINE__);
}
}  // namespace

void App::menu(int id) const
{
    sendAndWait(window_, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

void App::menuAsync(int id) const
{
    PostMessageW(window_, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

void App::click(int id) const
{
    sendAndWait(control(id), BM_CLICK, 0, 0);
}

void App::clickAsync(int id) const
{
    PostMessageW(control(id), BM_CLICK, 0, 0);
}

void App::doubleClickAsync(int id) const
{
    HWND c = control(id);
    PostMessageW(c, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
    PostMessageW(c, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
    PostMessageW(c, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(4, 4));
    PostMessageW(c, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
}

void App::type(int id, const std::wstring& keys) const
{
    HWND c = control(id);
    for (wchar_t k : keys)
        SendMessageW(c, WM_CHAR, k, 1);
}

namespace {
std::wstring windowText(HWND w)
{
    // The text may grow between the two questions (a counter reaching another digit): a text that
    // fills the buffer is asked for again with room to spare.
    auto size = static_cast<std::size_t>(SendMessageW(w, WM_GETTEXTLENGTH, 0, 0)) + 16;
    for (;; size *= 2) {
        std::wstring text(size, L'\0');
        const auto n = static_cast<std::size_t>(SendMessageW(w, WM_GETTEXT, size, reinterpret_cast<LPARAM>(text.data())));
        if (n + 1 < size) {
            text.resize(n);
            return text;
        }
    }
}
}  // namespace

std::wstring App::text(int id) const
{
    return windowText(control(id));
}

std::wstring App::title() const
{
    return windowText(window_);
}

bool App::checked(int id) const
{
    return SendMessageW(control(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool App::enabled(int id) const
{
    return IsWindowEnabled(control(id));
}

bool App::visible(int id) const
{
    return IsWindowVisible(control(id));
}

RECT App::rectInClient(int id) const
{
    HWND c = control(id);
    RECT r;
    GetWindowRect(c, &r);
    MapWindowPoints(nullptr, GetParent(c), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

SIZE App::outerSize() const
{
    RECT r;
    GetWindowRect(window_, &r);
    return {r.right - r.left, r.bottom - r.top};
}

SIZE App::clientSize() const
{
    RECT r;
    GetClientRect(window_, &r);
    return {r.right, r.bottom};
}

std::vector<std::wstring> App::comboItems(int id) const
{
    HWND c = control(id);
    std::vector<std::wstring> items;
    LRESULT n = SendMessageW(c, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < n; ++i) {
        std::wstring item(static_cast<std::size_t>(SendMessageW(c, CB_GETLBTEXTLEN, i, 0)) + 1, L'\0');
        LRESULT len = SendMessageW(c, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item.data()));
        item.resize(len < 0 ? 0 : static_cast<std::size_t>(len));
        items.push_back(item);
    }
    return items;
}

std::wstring App::comboText(int id) const
{
    return windowText(control(id));
}

HWND App::waitForDialog(int timeoutMs) const
{
    HWND box = nullptr;
    waitFor(
        [&] {
            for (HWND w : windowsOf(process_.dwProcessId, L"#32770"))
                if (IsWindowVisible(w)) {
                    box = w;
                    return true;
                }
            return false;
        },
        timeoutMs);
    return box;
}

HWND App::waitForDialog(const std::wstring& title, int timeoutMs) const
{
    HWND box = nullptr;
    waitFor(
        [&] {
            for (HWND w : windowsOf(process_.dwProcessId, L"#32770"))
                if (IsWindowVisible(w) && titleOf(w) == title) {
                    box = w;
                    return true;
                }
            return false;
        },
        timeoutMs);
    return box;
}

void App::selectAll(int id) const
{
    SendMessageW(control(id), EM_SETSEL, 0, -1);
}

void App::saveScreenshot(const std::wstring& bmpPath) const
{
    SetForegroundWindow(window_);
    capture(window_).save(bmpPath);
}

Shot capture(HWND window)
{
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
    Sleep(500);
    Shot shot;
    GetWindowRect(window, &shot.screenRect);
    const int w = shot.screenRect.right - shot.screenRect.left, h = shot.screenRect.bottom - shot.screenRect.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, h, 1, 24, BI_RGB};
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bmp);
    BitBlt(memory, 0, 0, w, h, screen, shot.screenRect.left, shot.screenRect.top, SRCCOPY);
    SelectObject(memory, old);
    shot.width = w;
    shot.height = h;
    shot.stride = ((w * 3 + 3) / 4) * 4;
    shot.bits.assign(static_cast<const char*>(bits), static_cast<std::size_t>(shot.stride) * h);
    DeleteObject(bmp);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return shot;
}

COLORREF Shot::at(int x, int y) const
{
    const auto* p = reinterpret_cast<const unsigned char*>(bits.data()) + (height - 1 - y) * stride + x * 3;
    return RGB(p[2], p[1], p[0]);
}

void Shot::save(const std::wstring& bmpPath) const
{
    BITMAPINFOHEADER header{sizeof header, width, height, 1, 24, BI_RGB};
    BITMAPFILEHEADER fh{0x4D42, static_cast<DWORD>(sizeof fh + sizeof header + bits.size()), 0, 0,
                        sizeof fh + sizeof header};
    std::string bytes(reinterpret_cast<const char*>(&fh), sizeof fh);
    bytes.append(reinterpret_cast<const char*>(&header), sizeof header);
    bytes += bits;
    writeBytes(bmpPath, bytes);
}

Ink Shot::inkOf(HWND control, const RECT* part) const
{
    RECT r;
    GetWindowRect(control, &r);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    Ink ink;
    const RECT area = part ? *part : RECT{0, 0, r.right - r.left, r.bottom - r.top};
    for (int x = r.left + area.left; x < r.left + area.right; ++x)
        for (int y = r.top + area.top; y < r.top + area.bottom; ++y) {
            const COLORREF c = at(x - screenRect.left, y - screenRect.top);
            const int distance = std::abs(GetRValue(c) - GetRValue(face)) + std::abs(GetGValue(c) - GetGValue(face)) +
                                 std::abs(GetBValue(c) - GetBValue(face));
            if (distance < 90)
                continue;
            ++ink.pixels;
            if (ink.left < 0)
                ink.left = x - r.left;
            ink.right = x - r.left;
        }
    return ink;
}

std::wstring boxMessage(HWND box)
{
    // The message of a message box is its static control 0xFFFF.
    return windowText(GetDlgItem(box, 0xFFFF));
}

std::wstring buttonText(HWND box, int id)
{
    return windowText(GetDlgItem(box, id));
}

void pressButton(HWND box, int id)
{
    PostMessageW(GetDlgItem(box, id), BM_CLICK, 0, 0);
}

void pressKey(HWND window, WPARAM key)
{
    PostMessageW(window, WM_KEYDOWN, key, 1);
    PostMessageW(window, WM_KEYUP, key, 0xC0000001);
}

std::wstring titleOf(HWND window)
{
    return windowText(window);
}

namespace {
HWND fileNameField(HWND dialog)
{
    // A combo box (cmb13) in the Explorer-style dialog, an edit (edt1) in others.
    HWND field = GetDlgItem(dialog, 0x47C);
    return field ? field : GetDlgItem(dialog, 0x480);
}
}  // namespace

void openDialogGoTo(HWND dialog, const std::wstring& folder)
{
    SendMessageW(fileNameField(dialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(folder.c_str()));
    pressButton(dialog, IDOK);
    Sleep(800);
}

void answerOpenDialog(HWND dialog, const std::wstring& names)
{
    HWND field = fileNameField(dialog);
    HWND edit = FindWindowExW(field, nullptr, L"Edit", nullptr);
    if (!edit)
        edit = field;
    // A long answer is longer than the field takes from the keyboard; a person would paste it.
    SendMessageW(edit, EM_LIMITTEXT, 0x7FFFFFFE, 0);
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(names.c_str()));
    pressButton(dialog, IDOK);
}

void answerFolderChooser(HWND chooser, const std::wstring& folder)
{
    SendMessageW(GetDlgItem(chooser, 100), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(folder.c_str()));
    pressButton(chooser, IDOK);
}

void openFiles(const App& app, const std::wstring& folder, const std::wstring& typed)
{
    app.menuAsync(ids::n_open);
    HWND dialog = app.waitForDialog();
    CHECK(dialog != nullptr);
    openDialogGoTo(dialog, folder);
    answerOpenDialog(dialog, typed);
    CHECK(gone(dialog));
    waitFor([&] { return !app.text(ids::mmOriginal).empty(); });
}

std::string sha256Hex(const std::string& bytes)
{
    UCHAR value[32] = {};
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    BCRYPT_HASH_HANDLE hash = nullptr;
    BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0);
    BCryptCreateHash(algorithm, &hash, nullptr, 0, nullptr, 0, 0);
    BCryptHashData(hash, reinterpret_cast<PUCHAR>(const_cast<char*>(bytes.data())), static_cast<ULONG>(bytes.size()), 0);
    BCryptFinishHash(hash, value, sizeof value, 0);
    BCryptDestroyHash(hash);
    BCryptCloseAlgorithmProvider(algorithm, 0);
    std::string hex;
    for (UCHAR b : value) {
        hex += "0123456789abcdef"[b >> 4];
        hex += "0123456789abcdef"[b & 15];
    }
    return hex;
}

std::wstring privateFolderOf(const std::wstring& programFolder)
{
    // Named as the program names it: SHA-256 of its full path in capitals, as UTF-8.
    const std::wstring exe = programFolder + L"nomerra.exe";
    std::wstring upper(exe.size(), L'\0');
    LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, exe.data(), static_cast<int>(exe.size()), upper.data(),
                  static_cast<int>(upper.size()), nullptr, nullptr, 0);
    wchar_t programData[MAX_PATH] = {};
    GetEnvironmentVariableW(L"ProgramData", programData, MAX_PATH);
    return std::wstring(programData) + L"\\nomerra\\" + widen(sha256Hex(narrow(upper)).substr(0, 16)) + L"\\";
}

std::wstring freshProgramFolder(const std::wstring& name)
{
    const std::wstring folder = freshFolder(name);
    removeTree(privateFolderOf(folder));
    return folder;
}

void leaveLists(const std::wstring& folder, const std::vector<std::wstring>& originals,
                const std::vector<std::wstring>& targets)
{
    auto nameParts = [](const std::vector<std::wstring>& paths) {
        std::vector<std::wstring> names;
        for (const auto& p : paths)
            names.push_back(p.substr(p.find_last_of(L'\\') + 1));
        return names;
    };
    std::string record = "nomerra lists 1\n";
    auto leave = [&](const wchar_t* name, const std::string& bytes) {
        writeBytes(folder + name, bytes);
        record += narrow(name) + " " + sha256Hex(bytes) + "\n";
    };
    leave(L"ThumbPath.db", gbkLines(originals));
    leave(L"ThumbName.db", gbkLines(nameParts(originals)));
    if (targets.empty()) {
        record += "Thumb1Path.db -\nThumb1Name.db -\nmade-from -\n";
    } else {
        leave(L"Thumb1Path.db", gbkLines(targets));
        leave(L"Thumb1Name.db", gbkLines(nameParts(targets)));
        record += "made-from " + sha256Hex(gbkLines(originals)) + "\n";
    }
    const std::wstring state = privateFolderOf(folder);
    SHCreateDirectoryExW(nullptr, state.c_str(), nullptr);
    writeBytes(state + L"ListRecord.db", record + "end\n");
}

void importNames(const App& app, const std::wstring& namesFile)
{
    app.clickAsync(ids::Button1);
    HWND dialog = app.waitForDialog();
    CHECK(dialog != nullptr);
    answerOpenDialog(dialog, namesFile);
    CHECK(gone(dialog));
}

std::wstring closeBox(const App& app, const std::wstring& title, int button, int timeoutMs)
{
    HWND box = app.waitForDialog(title, timeoutMs);
    CHECK(box != nullptr);
    if (!box)
        return L"";
    std::wstring text = boxMessage(box);
    pressButton(box, button);
    CHECK(gone(box));
    return text;
}

std::wstring executeAndAnswer(const App& app, int answer, int timeoutMs)
{
    app.menuAsync(ids::n_run);
    return closeBox(app, L"确认", answer, timeoutMs);
}

void previewNamed(const App& app, const std::wstring& name)
{
    app.selectAll(ids::edtname);
    app.type(ids::edtname, name);
    app.menu(ids::n_preview);
}

Held::Held(const std::wstring& path)
    : handle(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr))
{
    CHECK(handle != INVALID_HANDLE_VALUE);
}

void Held::release()
{
    if (handle != INVALID_HANDLE_VALUE)
        CloseHandle(handle);
    handle = INVALID_HANDLE_VALUE;
}

void closeWindow(HWND window)
{
    PostMessageW(window, WM_CLOSE, 0, 0);
}

void pressChord(WORD held, WORD key)
{
    INPUT keys[4]{};
    for (INPUT& k : keys)
        k.type = INPUT_KEYBOARD;
    keys[0].ki.wVk = keys[3].ki.wVk = held;
    keys[1].ki.wVk = keys[2].ki.wVk = key;
    keys[2].ki.dwFlags = keys[3].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(4, keys, sizeof(INPUT));
}

std::wstring clipboardText()
{
    std::wstring text;
    if (OpenClipboard(nullptr)) {
        if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
            text = static_cast<const wchar_t*>(GlobalLock(data));
            GlobalUnlock(data);
        }
        CloseClipboard();
    }
    return text;
}

HWND focusOf(HWND window)
{
    GUITHREADINFO info{sizeof info};
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

bool gone(HWND window, int timeoutMs)
{
    return waitFor([&] { return !IsWindow(window) || !IsWindowVisible(window); }, timeoutMs);
}

// Presses the left button at one point of the view, drags to another and lets go.
void drag(HWND view, POINT from, POINT to)
{
    SendMessageW(view, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
    SendMessageW(view, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x, to.y));
    SendMessageW(view, WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
}

std::wstring copied(HWND view)
{
    // Nothing selected copies nothing: what an earlier copy left must not be taken for it.
    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        CloseClipboard();
    }
    SendMessageW(view, WM_COPY, 0, 0);
    return clipboardText();
}

}  // namespace e2e

#ifndef E2E_DRIVER_WITHOUT_MAIN
int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) {
        std::printf("usage: e2e_driver nomerra.exe [test ...]\n");
        return 2;
    }
    std::wstring image = argv[1];
    for (wchar_t& c : image)
        if (c == L'/')
            c = L'\\';
    if (!image.empty() && image[0] == L'\\' && (image.size() < 2 || image[1] != L'\\'))
        image = L"Z:" + image;  // a Unix path handed over by the test runner
    e2e::programImage = image;

    int ran = 0;
    for (const auto& test : e2e::registry()) {
        bool wanted = argc == 2;
        for (int i = 2; i < argc; ++i)
            wanted |= e2e::narrow(argv[i]) == test.name;
        if (!wanted)
            continue;
        std::printf("[ RUN  ] %s\n", test.name);
        std::fflush(stdout);
        const int before = e2e::failed;
        test.run();
        std::printf("[ %s ] %s\n", e2e::failed == before ? " OK " : "FAIL", test.name);
        std::fflush(stdout);
        ++ran;
    }
    std::printf("%d passed, %d failed\n", e2e::passed, e2e::failed);
    return ran == 0 || e2e::failed ? 1 : 0;
}
#endif
