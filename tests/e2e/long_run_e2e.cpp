// A run long enough to watch: the progress window, a main window that keeps answering and takes
// no input, a stop part-way, and closing the main window while files move.
#include "../../src/app/control_ids.h"
#include "driver.h"

#include <algorithm>
#include <cstdlib>
#include <cwchar>

using namespace e2e;

namespace {

constexpr int fileCount = 3000;

std::wstring numbered(const wchar_t* stem, int i)
{
    wchar_t digits[8];
    swprintf(digits, 8, L"%04d", i + 1);
    return stem + std::wstring(digits) + L".jpg";
}

// Files in a folder of their own beside the program, listed as Open would have left them, so
// that the file dialog need not read a folder of thousands.
struct LongRun {
    std::wstring folder, files;
    std::vector<std::wstring> originals, targets;  // full paths

    explicit LongRun(const std::wstring& name) : folder(freshFolder(name)), files(folder + L"照片\\")
    {
        CreateDirectoryW(files.c_str(), nullptr);
        std::vector<std::wstring> names;
        for (int i = 0; i < fileCount; ++i) {
            names.push_back(numbered(L"IMG_", i));
            originals.push_back(files + names.back());
            targets.push_back(files + numbered(L"旅行", i));
        }
        makeFiles(files, names);
        writeBytes(folder + L"ThumbPath.db", gbkLines(originals));
        writeBytes(folder + L"ThumbName.db", gbkLines(names));
    }

    void preview(const App& app) const
    {
        app.type(ids::edtname, L"旅行");
        app.selectAll(ids::edtvalue);
        app.type(ids::edtvalue, L"0001");
        app.menu(ids::n_preview);
        CHECK_EQ(app.text(ids::lb_new), L"共 3000 行");
        CHECK(app.text(ids::mmRenamed).rfind(L"旅行0001.jpg\r\n旅行0002.jpg\r\n", 0) == 0);
    }

    // Every file is at its new path or still at its own, holding what it held, and nothing else
    // stands in the folder. Returns how many were renamed: they are the first of the list.
    int accountedFor() const
    {
        int renamed = 0;
        bool inOrder = true;
        for (int i = 0; i < fileCount; ++i) {
            const std::string content = "content of " + narrow(numbered(L"IMG_", i));
            const bool moved = fileExists(targets[i]);
            CHECK(moved != fileExists(originals[i]));
            CHECK(readBytes(moved ? targets[i] : originals[i]) == content);
            if (moved) {
                inOrder &= renamed == i;
                ++renamed;
            }
        }
        CHECK(inOrder);
        CHECK_EQ(static_cast<long long>(entries(L"*")), fileCount);
        CHECK_EQ(static_cast<long long>(entries(L"~nomerra*.tmp")), 0);
        return renamed;
    }

    // Where each file stands when the first n were renamed.
    std::vector<std::wstring> where(int n) const
    {
        std::vector<std::wstring> at(targets.begin(), targets.begin() + n);
        at.insert(at.end(), originals.begin() + n, originals.end());
        return at;
    }

    std::size_t entries(const std::wstring& pattern) const
    {
        std::size_t n = 0;
        WIN32_FIND_DATAW fd;
        HANDLE h = FindFirstFileW((files + pattern).c_str(), &fd);
        if (h == INVALID_HANDLE_VALUE)
            return 0;
        do
            n += !(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
        while (FindNextFileW(h, &fd));
        FindClose(h);
        return n;
    }
};

HWND progressWindow(const App& app)
{
    HWND found = nullptr;
    waitFor([&] {
        for (HWND w : windowsOf(app.processId(), L"TfrmProgress"))
            if (IsWindowVisible(w))
                found = w;
        return found != nullptr;
    });
    return found;
}

std::wstring textOf(HWND window, int id)
{
    return titleOf(GetDlgItem(window, id));
}

// The number k of "已处理 k / 3000"; -1 when the label reads otherwise.
int processed(HWND progress)
{
    const std::wstring text = textOf(progress, ids::lbCount);
    const std::wstring prefix = L"已处理 ", suffix = L" / 3000";
    if (text.rfind(prefix, 0) != 0 || text.size() <= prefix.size() + suffix.size() ||
        text.substr(text.size() - suffix.size()) != suffix)
        return -1;
    return std::stoi(text.substr(prefix.size()));
}

// The menu bar as painted: how many of its pixels are in the colour of menu text and how many in
// that of grayed text. (Another process cannot read the menu's own state under Wine.)
struct MenuInk {
    int text = 0, grayed = 0;
};

MenuInk menuInk(HWND main, const Shot& shot)
{
    POINT client{0, 0};
    ClientToScreen(main, &client);
    RECT width;
    GetClientRect(main, &width);
    auto alike = [](COLORREF a, COLORREF b) {
        return std::abs(GetRValue(a) - GetRValue(b)) + std::abs(GetGValue(a) - GetGValue(b)) +
                   std::abs(GetBValue(a) - GetBValue(b)) < 40;
    };
    MenuInk ink;
    for (int y = client.y - GetSystemMetrics(SM_CYMENU); y < client.y; ++y)
        for (int x = client.x; x < client.x + width.right; ++x) {
            const COLORREF c = shot.at(x - shot.screenRect.left, y - shot.screenRect.top);
            ink.text += alike(c, GetSysColor(COLOR_MENUTEXT));
            ink.grayed += alike(c, GetSysColor(COLOR_GRAYTEXT));
        }
    return ink;
}

bool menuGrayed(HWND main, bool grayed, const Shot& shot)
{
    const MenuInk ink = menuInk(main, shot);
    return grayed ? ink.text == 0 && ink.grayed > 100 : ink.text > 20;
}

bool menuGrayed(HWND main, bool grayed)
{
    return menuGrayed(main, grayed, capture(main));
}

bool inputTaken(const App& app)
{
    bool all = true;
    for (int id : {ids::gb_name, ids::gb_extension, ids::gb_attributes, ids::gb_output, ids::cbShowpathO,
                   ids::cbshowpathR, ids::Button1})
        all &= app.enabled(id);
    return all;
}

bool answersWithinASecond(HWND window)
{
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &result) != 0;
}

// The question of the process that begins so, once it shows.
HWND question(const App& app, const std::wstring& beginning)
{
    HWND found = nullptr;
    waitFor(
        [&] {
            for (HWND w : windowsOf(app.processId(), L"#32770"))
                if (IsWindowVisible(w) && titleOf(w) == L"确认" && boxMessage(w).rfind(beginning, 0) == 0)
                    found = w;
            return found != nullptr;
        },
        60000);
    CHECK(found != nullptr);
    return found;
}

void answerStop(const App& app)
{
    HWND box = question(app, L"确定要停止执行吗？");
    if (!box)
        return;
    CHECK_EQ(boxMessage(box), L"确定要停止执行吗？");
    CHECK_EQ(buttonText(box, IDYES), L"(&Y)是");
    CHECK_EQ(buttonText(box, IDNO), L"(&N)否");
    pressButton(box, IDYES);
    CHECK(gone(box));
}

// Presses 停止 and answers yes: the report that follows, and how many pairs it says were left.
struct StopReport {
    HWND box = nullptr;
    std::wstring text;
    int left = 0;
};

StopReport stopAndReport(const App& app, HWND progress)
{
    PostMessageW(GetDlgItem(progress, ids::btnStop), BM_CLICK, 0, 0);
    answerStop(app);
    StopReport report;
    report.box = question(app, L"执行完成，");
    if (report.box) {
        report.text = boxMessage(report.box);
        report.left = std::stoi(report.text.substr(std::wstring(L"执行完成，").size()));
    }
    return report;
}

// Previews and executes the run, and returns its progress window once part of it is done.
HWND runPartWay(const LongRun& run, const App& app)
{
    run.preview(app);
    app.menuAsync(ids::n_run);
    HWND progress = progressWindow(app);
    CHECK(progress != nullptr);
    if (progress)
        CHECK(waitFor([&] { return processed(progress) >= 200; }, 60000));
    return progress;
}

}  // namespace

E2E_TEST(a_long_run_shows_its_progress_and_the_window_keeps_answering)
{
    LongRun run(L"longrun");
    App app(run.folder);
    run.preview(app);
    CHECK(menuGrayed(app.window(), false));

    app.menuAsync(ids::n_run);
    HWND progress = progressWindow(app);
    CHECK(progress != nullptr);
    if (!progress)
        return;
    CHECK_EQ(titleOf(progress), L"诺通");
    CHECK(GetWindow(progress, GW_OWNER) == app.window());
    CHECK_EQ(textOf(progress, ids::lbTitle), L"正在执行…");
    CHECK_EQ(textOf(progress, ids::btnStop), L"停止");
    RECT outer, inner;
    GetWindowRect(app.window(), &outer);
    GetWindowRect(progress, &inner);
    CHECK(std::abs((outer.left + outer.right) - (inner.left + inner.right)) <= 2);
    CHECK(std::abs((outer.top + outer.bottom) - (inner.top + inner.bottom)) <= 2);

    int looks = 0, answered = 0, rising = 0, last = -1;
    bool fileShown = false, shotTaken = false;
    while (IsWindowVisible(progress)) {
        const int k = processed(progress);
        const std::wstring file = textOf(progress, ids::lbFile);
        if (!IsWindowVisible(progress))
            break;  // the run ended between the looks
        CHECK(k >= 0);
        rising += k > last;
        CHECK(k >= last);
        last = k;
        fileShown |= file.rfind(L"IMG_", 0) == 0 && file.size() == 12;
        CHECK(!inputTaken(app));
        const DWORD before = GetTickCount();
        ++looks;
        if (answersWithinASecond(app.window()) && GetTickCount() - before <= 1000)
            ++answered;
        if (!shotTaken && k > 300) {
            const Shot shot = capture(app.window());
            shot.save(L"progress-window.bmp");
            CHECK(menuGrayed(app.window(), true, shot));
            shotTaken = true;
        }
        Sleep(50);
    }
    // The window shows for about a second of the run, ten looks or so: every one finds the main
    // window answering.
    CHECK(rising >= 3);
    CHECK_EQ(answered, looks);
    CHECK(fileShown);
    CHECK(shotTaken);

    HWND done = question(app, L"执行成功!");
    if (done) {
        CHECK_EQ(boxMessage(done), L"执行成功!\r是否打开目录查看 " + run.files);
        pressButton(done, IDNO);
        CHECK(gone(done));
    }
    CHECK(waitFor([&] { return menuGrayed(app.window(), false) && inputTaken(app); }));
    CHECK_EQ(run.accountedFor(), fileCount);
    CHECK(readBytes(app.listFile(L"ThumbPath.db")) == gbkLines(run.targets));
    CHECK(!fileExists(privateFolderOf(app.folder()) + L"ThumbRun.db"));
}

E2E_TEST(stop_part_way_leaves_every_file_in_a_known_place)
{
    LongRun run(L"stoprun");
    App app(run.folder);
    HWND progress = runPartWay(run, app);
    if (!progress)
        return;
    const StopReport report = stopAndReport(app, progress);
    if (!report.box)
        return;
    const int left = report.left;
    CHECK(left > 0 && left < fileCount - 200);
    if (left <= 0 || left > fileCount)
        return;
    std::wstring expected = L"执行完成，" + std::to_wstring(left) + L" 个文件未处理：";
    for (int i = fileCount - left; i < std::min(fileCount, fileCount - left + 10); ++i)
        expected += L"\r" + run.originals[i] + L" → " + run.targets[i] + L"（已停止）";
    expected += std::wstring(left > 10 ? L"\r……" : L"") + L"\r是否打开目录查看 " + run.files;
    CHECK_EQ(report.text, expected);
    pressButton(report.box, IDNO);
    CHECK(gone(report.box));

    CHECK_EQ(run.accountedFor(), fileCount - left);
    CHECK(readBytes(app.listFile(L"ThumbPath.db")) == gbkLines(run.where(fileCount - left)));
    CHECK(!fileExists(privateFolderOf(app.folder()) + L"ThumbRun.db"));
    CHECK(menuGrayed(app.window(), false));
}

// While the stop question is open the run waits before its next pair: no lets it go on, yes stops
// it there and the pairs left are reported stopped.
E2E_TEST(the_stop_question_holds_the_run_until_answered)
{
    LongRun run(L"holdrun");
    App app(run.folder);
    HWND progress = runPartWay(run, app);
    if (!progress)
        return;
    auto renamed = [&] { return std::count_if(run.targets.begin(), run.targets.end(), fileExists); };
    PostMessageW(GetDlgItem(progress, ids::btnStop), BM_CLICK, 0, 0);
    HWND box = question(app, L"确定要停止执行吗？");
    if (!box)
        return;
    Sleep(300);  // the pair under way when the question opened ends
    const auto held = renamed();
    Sleep(1500);
    CHECK_EQ(static_cast<long long>(renamed()), static_cast<long long>(held));
    pressButton(box, IDNO);
    CHECK(gone(box));
    // The count on the window, not the disk: a look at every target takes long enough under Wine
    // for the rest of the run to end before 停止 is pressed.
    CHECK(waitFor([&] { return processed(progress) > held + 50; }, 60000));

    const StopReport report = stopAndReport(app, progress);
    if (!report.box)
        return;
    CHECK(report.left > 0 && report.left < fileCount - held);
    CHECK(report.text.find(L"（已停止）") != std::wstring::npos);
    pressButton(report.box, IDNO);
    CHECK(gone(report.box));
    CHECK_EQ(run.accountedFor(), fileCount - report.left);
}

E2E_TEST(closing_the_main_window_during_a_run_stops_it_and_exits)
{
    LongRun run(L"closerun");
    App app(run.folder);
    HWND progress = runPartWay(run, app);
    if (!progress)
        return;
    // A second close while the question is open, or while the run stops, asks nothing more.
    closeWindow(app.window());
    closeWindow(app.window());
    Sleep(1000);
    CHECK_EQ(static_cast<long long>(windowsOf(app.processId(), L"#32770").size()), 1);
    answerStop(app);
    closeWindow(app.window());
    CHECK(app.waitForExit(60000));

    const int renamed = run.accountedFor();
    CHECK(renamed >= 200 && renamed < fileCount);
    for (const wchar_t* list : {L"ThumbPath.db", L"ThumbName.db", L"Thumb1Path.db", L"Thumb1Name.db"})
        CHECK(!fileExists(app.listFile(list)));
    CHECK(!fileExists(privateFolderOf(app.folder()) + L"ThumbRun.db"));
}

namespace {
// The option controls of the main window, the items of the increment group included.
std::vector<HWND> optionControls(const App& app)
{
    std::vector<HWND> controls;
    for (int id : {ids::cbNewname, ids::edtname, ids::cbInitNo, ids::edtvalue, ids::cbPos, ids::edtOldpart,
                   ids::edtNewpart, ids::cbBeforename, ids::edtForeside, ids::cbAftername, ids::edtRearside,
                   ids::cbChangesuffix, ids::edtsuffix_old, ids::edtsuffix_new, ids::cbReadonly, ids::cbHidden,
                   ids::rbRename, ids::rbSaveas, ids::cbShowpathO, ids::cbshowpathR, ids::Button1})
        controls.push_back(app.control(id));
    for (HWND item = GetWindow(app.control(ids::rgIncDec), GW_CHILD); item; item = GetWindow(item, GW_HWNDNEXT))
        controls.push_back(item);
    return controls;
}

std::vector<bool> enabledStates(const std::vector<HWND>& controls)
{
    std::vector<bool> states;
    for (HWND c : controls)
        states.push_back(IsWindowEnabled(c) != 0);
    return states;
}
}  // namespace

// During a run every option is locked; 停止 is the default button and has the focus; Esc and
// Alt+F4 ask the stop question as the button does; afterwards each option is as it was.
E2E_TEST(the_progress_window_takes_the_keyboard_and_esc_or_alt_f4_asks_to_stop)
{
    LongRun run(L"keysrun");
    App app(run.folder);
    const std::vector<HWND> options = optionControls(app);
    CHECK_EQ(static_cast<long long>(options.size()), 23);
    const std::vector<bool> before = enabledStates(options);
    CHECK_EQ(static_cast<long long>(std::count(before.begin(), before.end(), false)), 2);  // the extension fields
    HWND progress = runPartWay(run, app);
    if (!progress)
        return;
    CHECK(enabledStates(options) == std::vector<bool>(options.size(), false));

    HWND stop = GetDlgItem(progress, ids::btnStop);
    CHECK(focusOf(progress) == stop);
    CHECK((GetWindowLongW(stop, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON);
    pressKey(stop, VK_ESCAPE);
    HWND box = question(app, L"确定要停止执行吗？");
    if (!box)
        return;
    pressButton(box, IDNO);
    CHECK(gone(box));
    CHECK(waitFor([&] { return focusOf(progress) == stop; }, 5000));
    const int reached = processed(progress);
    CHECK(waitFor([&] { return processed(progress) > reached; }, 30000));

    // Alt+F4 as the keyboard sends it: the Alt bit in the key's flags.
    PostMessageW(focusOf(progress), WM_SYSKEYDOWN, VK_F4, 0x20000001);
    answerStop(app);
    HWND done = question(app, L"执行完成，");
    if (!done)
        return;
    pressButton(done, IDNO);
    CHECK(gone(done));
    CHECK(enabledStates(options) == before);
    CHECK(waitFor([&] { return focusOf(app.window()) == app.control(ids::mmOriginal); }));
}
