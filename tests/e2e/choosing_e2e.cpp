// Choosing files through the real file-open dialog, the option fields and the folder chooser.
#include "../../src/app/control_ids.h"
#include "driver.h"

using namespace e2e;

namespace {

std::string listOf(const App& app, const wchar_t* file) { return readBytes(app.listFile(file)); }

}  // namespace

E2E_TEST(open_add_and_clear_through_the_file_dialog)
{
    std::wstring folder = freshFolder(L"choose");
    makeFiles(folder, {L"c.png", L"a.jpg", L"b.jpg", L"淺.jpg"});
    App app(folder);

    app.menuAsync(ids::n_open);
    HWND dialog = app.waitForDialog();
    CHECK(dialog != nullptr);
    openDialogGoTo(dialog, folder);
    answerOpenDialog(dialog, L"\"c.png\" \"a.jpg\" \"b.jpg\"");
    CHECK(gone(dialog));
    waitFor([&] { return app.text(ids::lb_old) == L"共 3 行"; });
    CHECK_EQ(app.text(ids::lb_old), L"共 3 行");
    CHECK(listOf(app, L"ThumbPath.db") == gbkLines({folder + L"c.png", folder + L"a.jpg", folder + L"b.jpg"}));
    CHECK(listOf(app, L"ThumbName.db") == "c.png\r\na.jpg\r\nb.jpg\r\n");
    CHECK_EQ(app.text(ids::mmOriginal), L"c.png\r\na.jpg\r\nb.jpg\r\n");
    CHECK_EQ(app.text(ids::edtsuffix_old), L".png");
    CHECK_EQ(app.text(ids::edtsuffix_new), L".png");
    CHECK_EQ(app.text(ids::lbpath), folder);

    app.menuAsync(ids::n_add);
    dialog = app.waitForDialog();
    answerOpenDialog(dialog, L"淺.jpg");
    CHECK(gone(dialog));
    waitFor([&] { return app.text(ids::lb_old) == L"共 4 行"; });
    CHECK_EQ(app.text(ids::lb_old), L"共 4 行");
    // GBK on disk: 淺 is 9C 5C, and its 5C is no separator in the name list.
    CHECK(listOf(app, L"ThumbName.db") == "c.png\r\na.jpg\r\nb.jpg\r\n\x9C\x5C.jpg\r\n");

    app.click(ids::cbShowpathO);
    CHECK_EQ(app.text(ids::mmOriginal), joinCrLf({folder + L"c.png", folder + L"a.jpg", folder + L"b.jpg", folder + L"淺.jpg"}));

    app.menu(ids::n_clear);
    CHECK_EQ(app.text(ids::lb_old), L"共 0 行");
    CHECK_EQ(app.text(ids::mmOriginal), L"");
    CHECK(!fileExists(app.listFile(L"ThumbPath.db")));
    CHECK(!fileExists(app.listFile(L"ThumbName.db")));
}

E2E_TEST(five_thousand_files_in_one_selection)
{
    const int manyFiles = 5000;
    std::wstring folder = freshFolder(L"many");
    std::vector<std::wstring> names;
    std::size_t answerLength = folder.size();
    std::wstring typed;
    for (int i = 0; i < manyFiles; ++i) {
        wchar_t name[80];
        swprintf(name, 80, L"holiday-photograph-from-the-long-trip-number-%05d.jpg", i);
        names.push_back(name);
        answerLength += names.back().size() + 1;
        typed += L"\"" + names.back() + L"\" ";
    }
    makeFiles(folder, names);
    CHECK(answerLength > 65519);  // more than a fixed answer buffer of the common dialog holds
    App app(folder);
    app.menuAsync(ids::n_open);
    HWND dialog = app.waitForDialog();
    openDialogGoTo(dialog, folder);
    answerOpenDialog(dialog, typed);
    CHECK(gone(dialog, 60000));
    waitFor([&] { return app.text(ids::lb_old) == L"共 5000 行"; }, 30000);
    CHECK_EQ(app.text(ids::lb_old), L"共 5000 行");
    std::vector<std::wstring> paths;
    for (const auto& n : names)
        paths.push_back(folder + n);
    CHECK(listOf(app, L"ThumbPath.db") == gbkLines(paths));
}

E2E_TEST(the_start_number_field_filters_real_keys)
{
    App app(freshFolder(L"keys"));
    app.selectAll(ids::edtvalue);
    app.type(ids::edtvalue, L"a1b");
    CHECK_EQ(app.text(ids::edtvalue), L"010");
    app.type(ids::edtvalue, L"9.7");
    CHECK_EQ(app.text(ids::edtvalue), L"0109");
    app.type(ids::edtvalue, L"\b\b5");
    CHECK_EQ(app.text(ids::edtvalue), L"015");

    app.click(ids::cbInitNo);
    CHECK(!app.checked(ids::cbNewname));
    CHECK(!app.enabled(ids::edtname));
    CHECK(!app.enabled(ids::edtvalue));
    CHECK(!app.enabled(ids::cbPos));
    app.click(ids::cbNewname);
    CHECK(app.checked(ids::cbInitNo));
    CHECK(app.enabled(ids::edtvalue));
    CHECK_EQ(app.text(ids::edtvalue), L"015");
    app.click(ids::cbChangesuffix);
    CHECK(app.enabled(ids::edtsuffix_new));
}

E2E_TEST(the_folder_chooser_selects_and_creates_folders)
{
    std::wstring folder = freshFolder(L"chooser");
    CreateDirectoryW((folder + L"out").c_str(), nullptr);
    App app(folder);

    app.clickAsync(ids::rbSaveas);
    HWND chooser = app.waitForDialog(L"Select Directory");
    CHECK(chooser != nullptr);
    answerFolderChooser(chooser, folder + L"out");
    CHECK(gone(chooser));
    waitFor([&] { return app.text(ids::lbpath) == folder + L"out"; });
    CHECK_EQ(app.text(ids::lbpath), folder + L"out");
    CHECK(app.checked(ids::rbSaveas));

    // A new folder: No returns to the chooser, Yes creates it with its parents.
    const std::wstring fresh = folder + L"new\\deeper";
    app.doubleClickAsync(ids::lbpath);
    chooser = app.waitForDialog(L"Select Directory");
    CHECK(chooser != nullptr);
    answerFolderChooser(chooser, fresh);
    HWND question = app.waitForDialog(L"确认");
    CHECK(question != nullptr);
    CHECK_EQ(boxMessage(question), L"The specified directory does not exist. Create it?");
    CHECK_EQ(buttonText(question, IDYES), L"(&Y)是");
    CHECK_EQ(buttonText(question, IDNO), L"(&N)否");
    pressButton(question, IDNO);
    CHECK(gone(question));
    CHECK(IsWindowVisible(chooser));
    CHECK(!folderExists(fresh));

    pressButton(chooser, IDOK);
    question = app.waitForDialog(L"确认");
    pressKey(GetDlgItem(question, IDYES), VK_ESCAPE);  // Escape answers no
    CHECK(gone(question));
    CHECK(!folderExists(fresh));
    CHECK(IsWindowVisible(chooser));

    pressButton(chooser, IDOK);
    question = app.waitForDialog(L"确认");
    pressButton(question, IDYES);
    CHECK(gone(chooser));
    CHECK(folderExists(fresh));
    waitFor([&] { return app.text(ids::lbpath) == fresh; });
    CHECK_EQ(app.text(ids::lbpath), fresh);
}

E2E_TEST(double_click_in_rename_mode_opens_the_chooser_once)
{
    App app(freshFolder(L"dblclick"));
    app.doubleClickAsync(ids::lbpath);
    HWND chooser = app.waitForDialog(L"Select Directory");
    CHECK(chooser != nullptr);
    CHECK(app.checked(ids::rbSaveas));
    pressButton(chooser, IDCANCEL);
    CHECK(gone(chooser));
    Sleep(700);
    CHECK(app.waitForDialog(L"Select Directory", 300) == nullptr);
    CHECK_EQ(app.text(ids::lbpath), L"");
}

// A folder wider than lbpath stays on one line, shortened in its middle: its start and its
// dense last part are both on screen, and the label's text is the whole folder.
E2E_TEST(a_long_output_folder_is_shortened_in_the_middle)
{
    std::wstring folder = freshFolder(L"long-path");
    for (const wchar_t* part : {L"照片 和 视频\\", L"abcdefghijklmnopqrstuvwxyz0123456789\\", L"another-rather-long-segment\\",
                                L"鑫鑫鑫鑫鑫\\"}) {
        folder += part;
        CreateDirectoryW(folder.c_str(), nullptr);
    }
    makeFiles(folder, {L"a.jpg"});
    App app(freshFolder(L"long-path-app"));
    openFiles(app, folder, L"a.jpg");
    CHECK_EQ(app.text(ids::lbpath), folder);
    const Shot shot = capture(app.window());
    shot.save(L"lbpath-long.bmp");
    RECT r;
    GetClientRect(app.control(ids::lbpath), &r);
    const Ink whole = shot.inkOf(app.control(ids::lbpath));
    std::printf("  lbpath ink %d..%d of %ld, %d pixels\n", whole.left, whole.right, r.right, whole.pixels);
    CHECK(whole.left <= 2);
    CHECK(whole.right >= r.right - 12);
    // The last part is dense ink; an ellipsis at the end would be three dots.
    const RECT end{r.right - 40, 0, r.right, r.bottom};
    const Ink tail = shot.inkOf(app.control(ids::lbpath), &end);
    std::printf("  its last 40 columns: %d pixels\n", tail.pixels);
    CHECK(tail.pixels >= 80);
}
