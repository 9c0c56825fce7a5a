#pragma once
// The end-to-end driver: starts nomerra.exe under Wine (or Windows) and uses its windows the
// way a person does, through the messages that clicks and keys send.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace e2e {

// ---- checks ---------------------------------------------------------------------------------
void check(bool ok, const std::string& what, const char* file, int line);
#define CHECK(cond) ::e2e::check((cond), #cond, __FILE__, __LINE__)
#define CHECK_EQ(a, b) ::e2e::checkEqual((a), (b), #a " == " #b, __FILE__, __LINE__)
void checkEqual(const std::wstring& a, const std::wstring& b, const char* what, const char* file, int line);
void checkEqual(long long a, long long b, const char* what, const char* file, int line);

struct Test {
    const char* name;
    void (*run)();
};
std::vector<Test>& registry();
struct Register {
    Register(const char* name, void (*run)()) { registry().push_back({name, run}); }
};
#define E2E_TEST(name)                                 \
    static void name();                                \
    static ::e2e::Register register_##name(#name, name); \
    static void name()

// ---- files ----------------------------------------------------------------------------------
std::wstring widen(const std::string& utf8);
std::string narrow(const std::wstring& wide);
// A fresh folder for one test, under the temporary folder or under a given folder.
std::wstring freshFolder(const std::wstring& name);
std::wstring freshFolderIn(const std::wstring& parent, const std::wstring& name);
void writeBytes(const std::wstring& path, const std::string& bytes);
std::string readBytes(const std::wstring& path);
bool fileExists(const std::wstring& path);
bool folderExists(const std::wstring& path);
DWORD attributesOf(const std::wstring& path);
// Text in code page 936 with CR LF after every line, as the list store writes it.
std::string gbkLines(const std::vector<std::wstring>& lines);
std::wstring joinCrLf(const std::vector<std::wstring>& lines);

// Files whose content names them.
void makeFiles(const std::wstring& folder, const std::vector<std::wstring>& names);

// ---- the program under test -----------------------------------------------------------------
extern std::wstring programImage;  // nomerra.exe as built

bool waitFor(const std::function<bool()>& condition, int timeoutMs = 10000);

struct MenuBarItem {
    std::wstring caption;
    bool grayed = false;
    bool operator==(const MenuBarItem&) const = default;
};

class App {
public:
    // Copies the program into the folder and starts it there, with the arguments given.
    explicit App(const std::wstring& folder, const std::wstring& arguments = L"");
    ~App();
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    HWND window() const { return window_; }
    HWND control(int id) const;
    const std::wstring& folder() const { return folder_; }
    std::wstring listFile(const wchar_t* name) const { return folder_ + name; }
    bool running() const;
    bool waitForExit(int timeoutMs = 10000) const;
    // Ends the process at once, wherever it is, as a crash or a power cut would.
    void kill() const;

    // Acts synchronously: the handler has finished when these return.
    void menu(int id) const;
    void click(int id) const;
    void type(int id, const std::wstring& keys) const;
    // For an action that opens a modal box or dialog: returns at once.
    void menuAsync(int id) const;
    void clickAsync(int id) const;
    void doubleClickAsync(int id) const;

    std::wstring text(int id) const;
    std::wstring title() const;
    bool checked(int id) const;
    bool enabled(int id) const;
    bool visible(int id) const;
    RECT rectInClient(int id) const;  // relative to its own parent
    SIZE outerSize() const;
    SIZE clientSize() const;
    std::vector<std::wstring> comboItems(int id) const;
    std::wstring comboText(int id) const;

    // The modal box or dialog the program shows now (a "#32770" window of its process).
    HWND waitForDialog(int timeoutMs = 10000) const;
    HWND waitForDialog(const std::wstring& title, int timeoutMs = 10000) const;
    // Selects everything in an edit field, as a user does before typing over it.
    void selectAll(int id) const;
    void saveScreenshot(const std::wstring& bmpPath) const;

    DWORD processId() const { return process_.dwProcessId; }
    // Drops files on the main window as the file browser does: a helper DLL loaded into the
    // program posts WM_DROPFILES with its data in the program's own global memory. With a
    // damage named (see drop_helper.cpp), the block is made wrong in that way.
    void dropFiles(const std::vector<std::wstring>& paths, const std::wstring& damage = L"") const;
    // The items of the menu bar as the program holds them now, read by a helper DLL loaded into
    // it (another process cannot read a menu under Wine).
    std::vector<MenuBarItem> menuBar() const;
    // Whether 撤销执行 is greyed on the menu bar now.
    bool undoGrayed() const;

private:
    // Copies a helper DLL into a fresh folder with its request beside it and loads it into the
    // program, which runs it there and then; the folder, with what the helper left in it.
    std::wstring runHelper(const wchar_t* dllName, const wchar_t* requestName, const std::wstring& request) const;

    std::wstring folder_;
    PROCESS_INFORMATION process_{};
    HWND window_ = nullptr;
};

// The columns of a control that hold ink (pixels well away from the button face), relative to
// the control, and how many such pixels there are.
struct Ink {
    int left = -1, right = -1;
    int pixels = 0;
};

// What the screen shows of a window, as painted now.
struct Shot {
    RECT screenRect{};
    int width = 0, height = 0, stride = 0;
    std::string bits;  // 24-bit rows, bottom row first, as a BMP holds them
    COLORREF at(int x, int y) const;
    // Within part of the control (its client coordinates), or all of it.
    Ink inkOf(HWND control, const RECT* part = nullptr) const;
    void save(const std::wstring& bmpPath) const;
};
Shot capture(HWND window);


// Starts the program image in the folder with arguments, as Send To does; does not wait.
PROCESS_INFORMATION startProgram(const std::wstring& folder, const std::wstring& arguments);
// Finds the process's top-level windows of a class.
std::vector<HWND> windowsOf(DWORD processId, const wchar_t* className);
// The texts of a message box: its message and its buttons.
std::wstring boxMessage(HWND box);
std::wstring buttonText(HWND box, int id);
void pressButton(HWND box, int id);
void pressKey(HWND window, WPARAM key);
void closeWindow(HWND window);
std::wstring titleOf(HWND window);
// The file-open dialog: goes to a folder by typing it into the file-name field, as a user does
// (the dialog may open wherever it was used last).
void openDialogGoTo(HWND dialog, const std::wstring& folder);
// The file-open dialog: types names into its file-name field and confirms.
void answerOpenDialog(HWND dialog, const std::wstring& names);
// The folder chooser: types into its folder-name field and presses OK.
void answerFolderChooser(HWND chooser, const std::wstring& folder);
bool gone(HWND window, int timeoutMs = 10000);
// The keyboard focus of the thread of a window.
HWND focusOf(HWND window);
// Keys as the keyboard sends them to the window in front: a key held down while another is pressed.
void pressChord(WORD held, WORD key);
std::wstring clipboardText();
// A view: presses the left button at one point, drags to another and lets go; what it copies
// (nothing when nothing is selected).
void drag(HWND view, POINT from, POINT to);
std::wstring copied(HWND view);

// Opens files through the real dialog: goes to the folder and types the names.
void openFiles(const App& app, const std::wstring& folder, const std::wstring& typed);
// SHA-256 in lower-case hex.
std::string sha256Hex(const std::string& bytes);
// The program's private folder, where its run journal and the record of its lists lie.
std::wstring privateFolderOf(const std::wstring& programFolder);
// A fresh folder for the program of one test, and its private folder gone: what an earlier
// run of the test left there (its undo history above all) is not in force.
std::wstring freshProgramFolder(const std::wstring& name);
// Lists as an earlier run leaves them beside the program, with their record in its private
// folder; no new list when targets is empty.
void leaveLists(const std::wstring& folder, const std::vector<std::wstring>& originals,
                const std::vector<std::wstring>& targets);
// Imports names through the real dialog.
void importNames(const App& app, const std::wstring& namesFile);
// The box of the program titled so, closed with the button; its text.
std::wstring closeBox(const App& app, const std::wstring& title, int button, int timeoutMs = 10000);
// Chooses Execute and answers its question; returns the question's text.
std::wstring executeAndAnswer(const App& app, int answer = IDNO, int timeoutMs = 10000);
// Types the new name and chooses the preview through its menu.
void previewNamed(const App& app, const std::wstring& name);

// A file another program holds, without letting anyone write or delete it; let go when done.
struct Held {
    explicit Held(const std::wstring& path);
    ~Held() { release(); }
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;
    void release();
    HANDLE handle;
};

}  // namespace e2e
