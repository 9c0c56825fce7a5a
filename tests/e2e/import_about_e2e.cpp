// Importing prepared names through the real dialog, and the About window.
#include "../../src/app/control_ids.h"
#include "driver.h"
#include "platform/win32/font_recipe.h"

using namespace e2e;

namespace {

// The links' font: Arial, 13 pixels, underlined, blue.
const LOGFONTW linkFont = platform::win32::logFontOf({"Arial", 13, false, true, true});

}  // namespace

E2E_TEST(import_gbk_and_utf8_names_and_execute)
{
    std::wstring folder = freshFolder(L"import");
    for (const wchar_t* n : {L"1.jpg", L"2.jpg", L"3.jpg"})
        writeBytes(folder + n, narrow(n));
    // An earlier run's original list, as opening the three files leaves it.
    writeBytes(folder + L"ThumbPath.db", gbkLines({folder + L"1.jpg", folder + L"2.jpg", folder + L"3.jpg"}));
    writeBytes(folder + L"ThumbName.db", gbkLines({L"1.jpg", L"2.jpg", L"3.jpg"}));
    writeBytes(folder + L"gbk.txt", gbkLines({L"春", L"夏"}));
    writeBytes(folder + L"utf8.txt", "\xEF\xBB\xBF" + narrow(L"秋天\r\n冬天\r\n雪\r\n雨\r\n"));
    App app(folder);

    importNames(app, folder + L"gbk.txt");
    waitFor([&] { return app.text(ids::lb_new) == L"共 2 行"; });
    CHECK_EQ(app.text(ids::mmRenamed), L"春.jpg\r\n夏.jpg\r\n");
    // No folder was ever chosen: the question names the folder the files went to.
    CHECK_EQ(executeAndAnswer(app), L"执行成功!\r是否打开目录查看 " + folder);
    CHECK(readBytes(folder + L"春.jpg") == "1.jpg");
    CHECK(readBytes(folder + L"夏.jpg") == "2.jpg");
    CHECK(fileExists(folder + L"3.jpg"));
    CHECK_EQ(app.text(ids::lb_old), L"共 2 行");

    importNames(app, folder + L"utf8.txt");
    waitFor([&] { return app.text(ids::lb_new) == L"共 2 行" && app.text(ids::mmRenamed) != L"春.jpg\r\n夏.jpg\r\n"; });
    CHECK_EQ(app.text(ids::mmRenamed), L"秋天.jpg\r\n冬天.jpg\r\n");
    executeAndAnswer(app);
    CHECK(readBytes(folder + L"秋天.jpg") == "1.jpg");
    CHECK(readBytes(folder + L"冬天.jpg") == "2.jpg");
}

// Both dialogs start with the last answer's full path in their buffer; a shorter answer must
// not be read together with the rest of the longer one.
E2E_TEST(answers_shorter_than_the_remembered_path_are_one_file)
{
    std::wstring folder = freshFolder(L"shorter");
    makeFiles(folder, {L"1.jpg", L"2.jpg", L"a-much-longer-name.jpg"});
    writeBytes(folder + L"cycle.txt", gbkLines({L"春", L"夏"}));
    writeBytes(folder + L"dup.txt", gbkLines({L"图片1"}));  // valid UTF-8 too, but reads as GBK
    App app(folder);

    openFiles(app, folder, folder + L"a-much-longer-name.jpg");
    CHECK_EQ(app.text(ids::mmOriginal), L"a-much-longer-name.jpg\r\n");
    app.menuAsync(ids::n_open);
    HWND dialog = app.waitForDialog();
    answerOpenDialog(dialog, folder + L"1.jpg");
    CHECK(gone(dialog));
    waitFor([&] { return app.text(ids::mmOriginal) == L"1.jpg\r\n"; });
    CHECK_EQ(app.text(ids::mmOriginal), L"1.jpg\r\n");
    CHECK(readBytes(app.listFile(L"ThumbPath.db")) == gbkLines({folder + L"1.jpg"}));

    importNames(app, folder + L"cycle.txt");
    waitFor([&] { return app.text(ids::lb_new) == L"共 1 行"; });
    CHECK_EQ(app.text(ids::mmRenamed), L"春.jpg\r\n");
    openFiles(app, folder, L"\"1.jpg\" \"2.jpg\"");
    CHECK_EQ(app.text(ids::mmRenamed), L"");
    importNames(app, folder + L"dup.txt");
    waitFor([&] { return app.text(ids::lb_new) == L"共 1 行"; });
    CHECK_EQ(app.text(ids::mmRenamed), L"图片1.jpg\r\n");
    CHECK(readBytes(app.listFile(L"Thumb1Path.db")) == gbkLines({folder + L"图片1.jpg"}));
}

E2E_TEST(about_is_one_window_beside_the_main_window)
{
    App app(freshFolder(L"about"));
    app.menu(ids::n_about);
    std::vector<HWND> windows;
    waitFor([&] {
        windows = windowsOf(app.processId(), L"TfrmAbout");
        return windows.size() == 1 && IsWindowVisible(windows[0]);
    });
    CHECK_EQ(windows.size(), 1);
    if (windows.empty())
        return;
    HWND about = windows[0];
    CHECK_EQ(titleOf(about), L"关于");
    RECT client;
    GetClientRect(about, &client);
    CHECK_EQ(client.right, 242);
    CHECK_EQ(client.bottom, 142);
    std::vector<std::wstring> texts;
    for (HWND c = GetWindow(about, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        texts.push_back(titleOf(c));
    CHECK(texts == (std::vector<std::wstring>{L"诺默拉v3.0.1", L"Emial: kf@nmr.example", L"官网：www.nmr.example",
                                              L"澜岩出品"}));
    // Not modal: the main window still answers and acts.
    CHECK(IsWindowEnabled(app.window()));
    app.click(ids::cbShowpathO);
    CHECK(app.checked(ids::cbShowpathO));

    app.menu(ids::n_about);
    CHECK_EQ(windowsOf(app.processId(), L"TfrmAbout").size(), 1);
    closeWindow(about);
    CHECK(gone(about));
    CHECK(IsWindow(about));  // closing only hides it
    CHECK(app.running());
    app.menu(ids::n_about);
    CHECK(waitFor([&] { return IsWindowVisible(about) != 0; }));
}

// Width in Arial proper, as Windows draws the Latin text (Liberation Sans, which Wine has, shares
// its metrics); a Chinese character of a 13-pixel face is 13 pixels wide.
int arialWidth(const std::wstring& text)
{
    LOGFONTW lf = linkFont;
    lf.lfCharSet = ANSI_CHARSET;
    HFONT arial = CreateFontIndirectW(&lf);
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, arial);
    std::wstring latin;
    int width = 0;
    for (wchar_t c : text) {
        if (c >= 0x2E80)
            width += 13;
        else
            latin.push_back(c);
    }
    SIZE size{};
    GetTextExtentPoint32W(dc, latin.c_str(), static_cast<int>(latin.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    DeleteObject(arial);
    return width + size.cx;
}

// The two links show their whole text on one line, centred, with room to spare, in the font
// the program draws them with and in Arial proper.
E2E_TEST(about_links_fit_their_labels)
{
    App app(freshFolder(L"about-fit"));
    app.menu(ids::n_about);
    std::vector<HWND> windows;
    waitFor([&] {
        windows = windowsOf(app.processId(), L"TfrmAbout");
        return windows.size() == 1 && IsWindowVisible(windows[0]);
    });
    if (windows.empty())
        return CHECK(!"no About window");
    HWND about = windows[0];
    const Shot shot = capture(about);
    shot.save(L"about-window.bmp");
    HFONT link = CreateFontIndirectW(&linkFont);
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, link);
    int links = 0;
    for (HWND label = GetWindow(about, GW_CHILD); label; label = GetWindow(label, GW_HWNDNEXT)) {
        const std::wstring text = titleOf(label);
        if (text.rfind(L"Emial: ", 0) != 0 && text.rfind(L"官网：", 0) != 0)
            continue;
        ++links;
        SIZE size{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        RECT r;
        GetClientRect(label, &r);
        const Ink ink = shot.inkOf(label);
        std::printf("  \"%s\": %ld px in the program's font, %d px in Arial, of %ld; ink %d..%d\n",
                    narrow(text).c_str(), size.cx, arialWidth(text), r.right, ink.left, ink.right);
        const int spare = 16;  // a character or two
        CHECK(size.cx <= r.right - spare);
        CHECK(arialWidth(text) <= r.right - spare);
        CHECK(ink.right - ink.left + 1 >= size.cx - 2);  // the whole text, not a first line
        CHECK(std::abs(ink.left - (r.right - 1 - ink.right)) <= 3);
    }
    CHECK_EQ(links, 2);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    DeleteObject(link);
}
