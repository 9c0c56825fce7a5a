// Undo on real files: a rename run and a copy run taken back, a swap and two runs in turn, an
// undo after a restart, a file replaced since the run left alone, and when the menu offers it.
#include "../../src/app/control_ids.h"
#include "driver.h"

#include <algorithm>
#include <cwchar>

using namespace e2e;

namespace {

const std::wstring undoQuestion = L"确定要撤销上次执行吗？\r";

std::wstring renamesBack(int n)
{
    return undoQuestion + L"将把 " + std::to_wstring(n) + L" 个文件改回原名。";
}

// The texts of the buttons a box shows.
std::vector<std::wstring> shownButtons(HWND box)
{
    std::vector<std::wstring> texts;
    for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        wchar_t kind[16] = {};
        GetClassNameW(c, kind, 16);
        if (std::wcscmp(kind, L"Button") == 0 && IsWindowVisible(c))
            texts.push_back(titleOf(c));
    }
    return texts;
}

// Whether a message box shows an icon (its static control 0x0440).
bool showsIcon(HWND box)
{
    HWND icon = GetDlgItem(box, 0x0440);
    return icon && IsWindowVisible(icon) && SendMessageW(icon, STM_GETICON, 0, 0) != 0;
}

// The menu bar: every item can be chosen but 撤销执行, which can when undoable says so.
std::vector<MenuBarItem> menuBarWith(bool undoable)
{
    return {{L"打开文件"}, {L"添加文件"}, {L"清空文件"}, {L"新名预览"}, {L"取消预览"},
            {L"开始执行"}, {L"撤销执行", !undoable}, {L"帮助"}, {L"退出"}};
}

// The bar as one line: each caption, "（灰）" after a greyed one.
std::wstring described(const std::vector<MenuBarItem>& bar)
{
    std::wstring line;
    for (const MenuBarItem& item : bar)
        line += item.caption + (item.grayed ? L"（灰）" : L"") + L" ";
    return line;
}

#define CHECK_MENU_BAR(app, expected) CHECK_EQ(described((app).menuBar()), described(expected))

// Chooses 撤销执行: its question, answered.
void askUndo(const App& app, const std::wstring& question, int answer)
{
    app.menuAsync(ids::n_undo);
    HWND box = app.waitForDialog(L"确认");
    CHECK(box != nullptr);
    if (!box)
        return;
    CHECK_EQ(boxMessage(box), question);
    CHECK(shownButtons(box) == (std::vector<std::wstring>{L"(&Y)是", L"(&N)否"}));
    CHECK(showsIcon(box));
    pressButton(box, answer);
    CHECK(gone(box));
}

// The notice that ends an undo, closed with its one button.
std::wstring undoNotice(const App& app, int timeoutMs = 10000)
{
    HWND box = app.waitForDialog(L"诺通", timeoutMs);
    CHECK(box != nullptr);
    if (!box)
        return L"";
    CHECK(shownButtons(box) == std::vector<std::wstring>{L"确定"});
    CHECK(!showsIcon(box));
    const std::wstring text = boxMessage(box);
    pressButton(box, IDOK);
    CHECK(gone(box));
    return text;
}

std::wstring undo(const App& app, const std::wstring& question)
{
    askUndo(app, question, IDYES);
    return undoNotice(app);
}

// The four lists' bytes and what the window shows of them.
struct Seen {
    std::vector<std::string> lists;
    std::vector<std::wstring> shown;
    bool operator==(const Seen&) const = default;
};

Seen seen(const App& app)
{
    Seen s;
    for (const wchar_t* name : {L"ThumbPath.db", L"ThumbName.db", L"Thumb1Path.db", L"Thumb1Name.db"})
        s.lists.push_back(readBytes(app.listFile(name)));
    for (int id : {ids::mmOriginal, ids::mmRenamed, ids::lb_old, ids::lb_new})
        s.shown.push_back(app.text(id));
    return s;
}

// Wine's Recycle Bin is the Unix user's trash: each item a file in files\ and its record, naming
// the Unix path it came from, in info\. Takes out the items that came from a path ending so and
// hold this content; how many there were.
int takenOutOfTrash(const std::string& pathEnd, const std::string& content)
{
    wchar_t home[MAX_PATH] = {};
    GetEnvironmentVariableW(L"WINEHOMEDIR", home, MAX_PATH);  // "\??\Z:\home\user"
    if (std::wcsncmp(home, L"\\??\\", 4) != 0)
        return 0;
    const std::wstring trash = std::wstring(home).substr(4) + L"\\.local\\share\\Trash\\";
    int found = 0;
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((trash + L"info\\*.trashinfo").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return 0;
    do {
        const std::wstring info = trash + L"info\\" + fd.cFileName;
        const std::wstring item = trash + L"files\\" + std::wstring(fd.cFileName).substr(0, std::wcslen(fd.cFileName) - 10);
        if (readBytes(info).find(pathEnd + "\n") == std::string::npos || readBytes(item) != content)
            continue;
        ++found;
        SetFileAttributesW(item.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(item.c_str());
        DeleteFileW(info.c_str());
    } while (FindNextFileW(h, &fd));
    FindClose(h);
    return found;
}

std::wstring renamedIn(const std::wstring& folder)
{
    return L"执行成功!\r是否打开目录查看 " + folder;
}

}  // namespace

// Run with 只读 and 隐藏 asked for, the undo gives each file its name and its own attributes
// back, and the window is as right after the preview: 开始执行 does the run again.
E2E_TEST(a_rename_run_is_undone_with_its_attributes_and_redone)
{
    const std::wstring folder = freshProgramFolder(L"undorename");
    makeFiles(folder, {L"a.jpg", L"b.jpg", L"c.jpg"});
    SetFileAttributesW((folder + L"b.jpg").c_str(), FILE_ATTRIBUTE_HIDDEN);
    const DWORD plain = attributesOf(folder + L"a.jpg"), hidden = attributesOf(folder + L"b.jpg");
    CHECK(hidden & FILE_ATTRIBUTE_HIDDEN);
    App app(folder);
    CHECK_MENU_BAR(app, menuBarWith(false));
    openFiles(app, folder, L"\"a.jpg\" \"b.jpg\" \"c.jpg\"");
    app.click(ids::cbReadonly);
    app.click(ids::cbHidden);
    previewNamed(app, L"trip");
    const Seen previewed = seen(app);
    CHECK(app.undoGrayed());

    CHECK_EQ(executeAndAnswer(app), renamedIn(folder));
    const DWORD both = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN;
    CHECK_EQ(attributesOf(folder + L"trip002.jpg") & both, both);
    CHECK_MENU_BAR(app, menuBarWith(true));
    app.saveScreenshot(L"main-window-undo.bmp");

    askUndo(app, renamesBack(3), IDNO);
    CHECK(fileExists(folder + L"trip001.jpg") && !fileExists(folder + L"a.jpg"));
    CHECK_EQ(undo(app, renamesBack(3)), L"撤销成功!");
    for (const wchar_t* name : {L"a.jpg", L"b.jpg", L"c.jpg"})
        CHECK(readBytes(folder + name) == "content of " + narrow(name));
    CHECK(!fileExists(folder + L"trip001.jpg"));
    CHECK_EQ(attributesOf(folder + L"a.jpg"), plain);
    CHECK_EQ(attributesOf(folder + L"b.jpg"), hidden);
    CHECK(seen(app) == previewed);
    CHECK(app.undoGrayed());

    CHECK_EQ(executeAndAnswer(app), renamedIn(folder));
    CHECK(readBytes(folder + L"trip003.jpg") == "content of c.jpg");
    CHECK_EQ(attributesOf(folder + L"trip001.jpg") & both, both);
}

// The copy left as the run made it goes; the one edited since stays, and the notice says so.
E2E_TEST(a_copy_run_is_undone_and_an_edited_copy_kept)
{
    const std::wstring folder = freshProgramFolder(L"undocopy");
    const std::wstring out = folder + L"out";
    CreateDirectoryW(out.c_str(), nullptr);
    makeFiles(folder, {L"照片1.jpg", L"照片2.jpg"});
    App app(folder);
    openFiles(app, folder, L"\"照片1.jpg\" \"照片2.jpg\"");
    app.clickAsync(ids::rbSaveas);
    HWND chooser = app.waitForDialog(L"Select Directory");
    answerFolderChooser(chooser, out);
    CHECK(gone(chooser));
    app.click(ids::cbReadonly);
    previewNamed(app, L"x");
    CHECK_EQ(executeAndAnswer(app), renamedIn(out));
    // The user takes off the read-only bit the run gave the copy, to edit it.
    SetFileAttributesW((out + L"\\x002.jpg").c_str(), FILE_ATTRIBUTE_NORMAL);
    writeBytes(out + L"\\x002.jpg", "edited since");

    CHECK_EQ(undo(app, undoQuestion + L"将删除上次复制出的 2 个文件。"),
             L"撤销完成，1 个文件未处理：\r" + out + L"\\x002.jpg → " + folder + L"照片2.jpg（复制出的文件已被修改，未删除）");
    CHECK(!fileExists(out + L"\\x001.jpg"));
    CHECK_EQ(takenOutOfTrash("/undocopy/out/x001.jpg", "content of " + narrow(L"照片1.jpg")), 1);
    CHECK(readBytes(out + L"\\x002.jpg") == "edited since");
    for (const wchar_t* name : {L"照片1.jpg", L"照片2.jpg"})
        CHECK(readBytes(folder + name) == "content of " + narrow(name));
    // The original list names each file where it is: the original of the copy gone, the copy kept.
    CHECK(readBytes(app.listFile(L"ThumbPath.db")) == gbkLines({folder + L"照片1.jpg", out + L"\\x002.jpg"}));
    CHECK(readBytes(app.listFile(L"Thumb1Path.db")) == gbkLines({out + L"\\x001.jpg", out + L"\\x002.jpg"}));
    CHECK(app.undoGrayed());
}

// A swap is taken back first, then the run before it: each undo the newest run left.
E2E_TEST(a_swap_and_the_run_before_it_are_undone_in_turn)
{
    const std::wstring folder = freshProgramFolder(L"undoswap");
    makeFiles(folder, {L"a.jpg", L"b.jpg"});
    App app(folder);
    openFiles(app, folder, L"\"a.jpg\" \"b.jpg\"");
    previewNamed(app, L"trip");
    const Seen first = seen(app);
    CHECK_EQ(executeAndAnswer(app), renamedIn(folder));
    writeBytes(folder + L"swap.txt", "trip002\r\ntrip001\r\n");
    importNames(app, folder + L"swap.txt");
    waitFor([&] { return app.text(ids::lb_new) == L"共 2 行"; });
    const Seen swap = seen(app);
    CHECK_EQ(executeAndAnswer(app), renamedIn(folder));
    CHECK(readBytes(folder + L"trip001.jpg") == "content of b.jpg");

    CHECK_EQ(undo(app, renamesBack(2)), L"撤销成功!");
    CHECK(readBytes(folder + L"trip001.jpg") == "content of a.jpg");
    CHECK(readBytes(folder + L"trip002.jpg") == "content of b.jpg");
    CHECK(seen(app) == swap);
    CHECK(!app.undoGrayed());

    CHECK_EQ(undo(app, renamesBack(2)), L"撤销成功!");
    CHECK(readBytes(folder + L"a.jpg") == "content of a.jpg");
    CHECK(readBytes(folder + L"b.jpg") == "content of b.jpg");
    CHECK(!fileExists(folder + L"trip001.jpg") && !fileExists(folder + L"trip002.jpg"));
    CHECK(seen(app) == first);
    CHECK(app.undoGrayed());
}

// Closing deletes the four lists but not the history, which lies in the private folder.
E2E_TEST(a_run_is_undone_after_a_restart)
{
    const std::wstring folder = freshProgramFolder(L"undorestart");
    makeFiles(folder, {L"a.jpg", L"b.jpg"});
    {
        App app(folder);
        openFiles(app, folder, L"\"a.jpg\" \"b.jpg\"");
        previewNamed(app, L"trip");
        CHECK_EQ(executeAndAnswer(app), renamedIn(folder));
        app.menuAsync(ids::n_exit);
        CHECK(app.waitForExit());
    }
    CHECK(!fileExists(folder + L"ThumbPath.db") && !fileExists(folder + L"Thumb1Path.db"));
    CHECK(!fileExists(folder + L"ThumbUndo.db"));
    CHECK(fileExists(privateFolderOf(folder) + L"ThumbUndo.db"));

    App app(folder);
    CHECK(!app.undoGrayed());
    CHECK_EQ(undo(app, renamesBack(2)), L"撤销成功!");
    CHECK(readBytes(folder + L"a.jpg") == "content of a.jpg");
    CHECK(readBytes(folder + L"b.jpg") == "content of b.jpg");
    CHECK(readBytes(app.listFile(L"ThumbPath.db")) == gbkLines({folder + L"a.jpg", folder + L"b.jpg"}));
    CHECK_EQ(app.text(ids::mmOriginal), L"a.jpg\r\nb.jpg\r\n");
    CHECK_EQ(app.text(ids::mmRenamed), L"trip001.jpg\r\ntrip002.jpg\r\n");
}

// Another file put in place of one the run renamed is not moved back; the other pair is.
E2E_TEST(a_file_replaced_since_the_run_is_left_alone)
{
    const std::wstring folder = freshProgramFolder(L"undoreplaced");
    makeFiles(folder, {L"a.jpg", L"b.jpg"});
    App app(folder);
    openFiles(app, folder, L"\"a.jpg\" \"b.jpg\"");
    previewNamed(app, L"trip");
    CHECK_EQ(executeAndAnswer(app), renamedIn(folder));
    // Made before the renamed file goes, it cannot be given that file's number.
    writeBytes(folder + L"other.tmp", "another file");
    CHECK(MoveFileExW((folder + L"other.tmp").c_str(), (folder + L"trip002.jpg").c_str(), MOVEFILE_REPLACE_EXISTING));

    CHECK_EQ(undo(app, renamesBack(2)), L"撤销完成，1 个文件未处理：\r" + folder + L"trip002.jpg → " + folder +
                                            L"b.jpg（文件已不是上次改名的文件）");
    CHECK(readBytes(folder + L"a.jpg") == "content of a.jpg");
    CHECK(readBytes(folder + L"trip002.jpg") == "another file");
    CHECK(!fileExists(folder + L"b.jpg"));
    CHECK(readBytes(app.listFile(L"ThumbPath.db")) == gbkLines({folder + L"a.jpg", folder + L"trip002.jpg"}));
}

// A file another program holds open stays at its new name; once it is let go, 撤销执行 takes it
// back too.
E2E_TEST(a_file_held_open_during_the_undo_is_undone_later)
{
    const std::wstring folder = freshProgramFolder(L"undoheld");
    makeFiles(folder, {L"a.jpg", L"b.jpg"});
    App app(folder);
    openFiles(app, folder, L"\"a.jpg\" \"b.jpg\"");
    previewNamed(app, L"trip");
    const Seen previewed = seen(app);
    CHECK_EQ(executeAndAnswer(app), renamedIn(folder));
    HANDLE held = CreateFileW((folder + L"trip002.jpg").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    CHECK(held != INVALID_HANDLE_VALUE);

    const std::wstring notice = undo(app, renamesBack(2));
    const std::wstring heldLine = L"撤销完成，1 个文件未处理：\r" + folder + L"trip002.jpg → " + folder + L"b.jpg（";
    CHECK_EQ(notice.substr(0, heldLine.size()), heldLine);
    CHECK(readBytes(folder + L"a.jpg") == "content of a.jpg" && fileExists(folder + L"trip002.jpg"));
    CHECK(!app.undoGrayed());
    CloseHandle(held);

    CHECK_EQ(undo(app, renamesBack(1)), L"撤销成功!");
    CHECK(readBytes(folder + L"b.jpg") == "content of b.jpg" && !fileExists(folder + L"trip002.jpg"));
    CHECK(seen(app) == previewed);
    CHECK(app.undoGrayed());
}

// While a run or an undo goes, 撤销执行 is greyed with the rest of the menu bar, though an earlier
// run could be undone; between them it can be chosen. The undo shows the progress window as a
// run does, saying it undoes, and asks before it stops.
E2E_TEST(undo_is_greyed_while_a_run_or_an_undo_goes)
{
    const std::wstring folder = freshProgramFolder(L"undolong");
    auto numbered = [&](const wchar_t* stem) {
        std::vector<std::wstring> paths;
        for (int i = 1; i <= 3000; ++i) {
            wchar_t name[32];
            swprintf(name, 32, L"%ls%04d.jpg", stem, i);
            paths.push_back(folder + name);
        }
        return paths;
    };
    const auto originals = numbered(L"IMG_"), photos = numbered(L"照片"), trips = numbered(L"旅行");
    std::vector<std::wstring> names;
    for (const auto& path : originals)
        names.push_back(path.substr(folder.size()));
    makeFiles(folder, names);
    leaveLists(folder, originals, {});
    App app(folder);
    app.selectAll(ids::edtvalue);
    app.type(ids::edtvalue, L"0001");
    std::vector<MenuBarItem> locked = menuBarWith(false);
    for (MenuBarItem& item : locked)
        item.grayed = true;
    // The progress window of what goes now, once the menu bar has been read while it shows.
    auto lockedWhileItGoes = [&] {
        HWND progress = nullptr;
        waitFor([&] {
            for (HWND w : windowsOf(app.processId(), L"TfrmProgress"))
                if (IsWindowVisible(w))
                    progress = w;
            return progress != nullptr;
        });
        CHECK(progress != nullptr);
        CHECK_MENU_BAR(app, locked);
        CHECK(IsWindowVisible(progress));
        return progress;
    };
    auto runAnswered = [&](const std::wstring& name, bool watched) {
        previewNamed(app, name);
        app.menuAsync(ids::n_run);
        if (watched)
            lockedWhileItGoes();
        HWND done = app.waitForDialog(L"确认", 60000);
        CHECK(done != nullptr);
        pressButton(done, IDNO);
        CHECK(gone(done));
    };

    runAnswered(L"照片", false);
    runAnswered(L"旅行", true);
    CHECK_MENU_BAR(app, menuBarWith(true));
    CHECK_EQ(std::count_if(trips.begin(), trips.end(), fileExists), 3000);

    askUndo(app, renamesBack(3000), IDYES);
    const HWND undoing = lockedWhileItGoes();
    CHECK_EQ(titleOf(GetDlgItem(undoing, ids::lbTitle)), L"正在撤销…");
    // Esc asks to stop the undo; no lets it go on.
    pressKey(GetDlgItem(undoing, ids::btnStop), VK_ESCAPE);
    HWND stop = app.waitForDialog(L"确认");
    CHECK(stop != nullptr);
    CHECK_EQ(boxMessage(stop), L"确定要停止撤销吗？");
    pressButton(stop, IDNO);
    CHECK(gone(stop));
    CHECK_EQ(undoNotice(app, 60000), L"撤销成功!");
    CHECK_EQ(std::count_if(photos.begin(), photos.end(), fileExists), 3000);
    CHECK_MENU_BAR(app, menuBarWith(true));
}
