// Preview and execute on real files: in place, copies into a chosen folder, chains and swaps,
// a collision that must not be overwritten, and execute without a preview.
#include "../../src/app/control_ids.h"
#include "driver.h"

using namespace e2e;


E2E_TEST(preview_and_rename_in_place)
{
    std::wstring folder = freshFolder(L"inplace");
    makeFiles(folder, {L"a.jpg", L"b.jpg", L"c.jpg"});
    App app(folder);
    openFiles(app, folder, L"\"a.jpg\" \"b.jpg\" \"c.jpg\"");
    app.type(ids::edtname, L"trip");
    app.selectAll(ids::edtvalue);
    app.type(ids::edtvalue, L"7");
    app.menu(ids::n_preview);
    CHECK_EQ(app.text(ids::mmRenamed), L"trip7.jpg\r\ntrip8.jpg\r\ntrip9.jpg\r\n");
    CHECK_EQ(app.text(ids::lb_new), L"共 3 行");

    CHECK_EQ(executeAndAnswer(app), L"执行成功!\r是否打开目录查看 " + folder);
    for (const wchar_t* n : {L"trip7.jpg", L"trip8.jpg", L"trip9.jpg"}) {
        CHECK(fileExists(folder + n));
        CHECK_EQ(attributesOf(folder + n), FILE_ATTRIBUTE_ARCHIVE);
    }
    CHECK(readBytes(folder + L"trip8.jpg") == "content of b.jpg");
    CHECK(!fileExists(folder + L"a.jpg"));
    CHECK_EQ(app.text(ids::mmOriginal), L"trip7.jpg\r\ntrip8.jpg\r\ntrip9.jpg\r\n");
    CHECK_EQ(app.text(ids::mmRenamed), L"trip7.jpg\r\ntrip8.jpg\r\ntrip9.jpg\r\n");
    CHECK(readBytes(app.listFile(L"ThumbPath.db")) == readBytes(app.listFile(L"Thumb1Path.db")));
}

// Each new file gets the asked-for attributes from the very call that renames it; a file whose
// new name is taken keeps its own.
E2E_TEST(a_rename_in_place_gives_each_new_file_the_attributes_asked_for)
{
    std::wstring folder = freshFolder(L"inplace-attributes");
    makeFiles(folder, {L"a.jpg", L"b.jpg", L"c.jpg"});
    writeBytes(folder + L"trip002.jpg", "someone else's");
    App app(folder);
    openFiles(app, folder, L"\"a.jpg\" \"b.jpg\" \"c.jpg\"");
    app.click(ids::cbReadonly);
    app.click(ids::cbHidden);
    app.type(ids::edtname, L"trip");
    app.menu(ids::n_preview);

    CHECK_EQ(executeAndAnswer(app), L"执行完成，1 个文件未处理：\r" + folder + L"b.jpg → " + folder +
                                       L"trip002.jpg（目标文件已存在）\r是否打开目录查看 " + folder);
    const DWORD both = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN;
    for (const wchar_t* renamed : {L"trip001.jpg", L"trip003.jpg"}) {
        CHECK(readBytes(folder + renamed).starts_with("content of "));
        CHECK_EQ(attributesOf(folder + renamed) & both, both);
        SetFileAttributesW((folder + renamed).c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    CHECK_EQ(attributesOf(folder + L"b.jpg") & both, 0);
    CHECK(readBytes(folder + L"trip002.jpg") == "someone else's");
}

E2E_TEST(copies_into_a_chosen_folder_with_attributes)
{
    std::wstring folder = freshFolder(L"copy");
    std::wstring out = folder + L"out";
    CreateDirectoryW(out.c_str(), nullptr);
    makeFiles(folder, {L"照片1.jpg", L"照片2.jpg"});
    writeBytes(out + L"\\x002.jpg", "someone else's");
    App app(folder);
    openFiles(app, folder, L"\"照片1.jpg\" \"照片2.jpg\"");
    app.clickAsync(ids::rbSaveas);
    HWND chooser = app.waitForDialog(L"Select Directory");
    answerFolderChooser(chooser, out);
    CHECK(gone(chooser));
    app.click(ids::cbReadonly);
    app.click(ids::cbHidden);
    app.type(ids::edtname, L"x");
    app.menu(ids::n_preview);
    app.click(ids::cbshowpathR);
    CHECK_EQ(app.text(ids::mmRenamed), out + L"\\x001.jpg\r\n" + out + L"\\x002.jpg\r\n");

    CHECK_EQ(executeAndAnswer(app), L"执行完成，1 个文件未处理：\r" + folder + L"照片2.jpg → " + out +
                               L"\\x002.jpg（目标文件已存在）\r是否打开目录查看 " + out);
    // Wine reports the archive bit on every file it cannot store attributes for, so only the
    // two asked-for bits are read back here.
    const DWORD both = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN;
    CHECK_EQ(attributesOf(out + L"\\x001.jpg") & both, both);
    CHECK_EQ(attributesOf(folder + L"照片1.jpg") & both, 0);
    CHECK(readBytes(out + L"\\x001.jpg") == readBytes(folder + L"照片1.jpg"));
    CHECK_EQ(attributesOf(folder + L"照片1.jpg"), FILE_ATTRIBUTE_ARCHIVE);
    CHECK(readBytes(out + L"\\x002.jpg") == "someone else's");
    CHECK(readBytes(app.listFile(L"ThumbName.db")) == gbkLines({L"x001.jpg", L"照片2.jpg"}));
    SetFileAttributesW((out + L"\\x001.jpg").c_str(), FILE_ATTRIBUTE_NORMAL);
}

E2E_TEST(a_swap_and_a_chain_rename_in_place)
{
    std::wstring folder = freshFolder(L"swap");
    makeFiles(folder, {L"photo001.jpg", L"photo002.jpg", L"photo003.jpg"});
    App app(folder);
    openFiles(app, folder, L"\"photo001.jpg\" \"photo002.jpg\" \"photo003.jpg\"");
    // The numbers move up by one: a chain whose last link goes to a free name.
    app.type(ids::edtname, L"photo");
    app.selectAll(ids::edtvalue);
    app.type(ids::edtvalue, L"002");
    app.menu(ids::n_preview);
    CHECK_EQ(executeAndAnswer(app), L"执行成功!\r是否打开目录查看 " + folder);
    CHECK(readBytes(folder + L"photo002.jpg") == "content of photo001.jpg");
    CHECK(readBytes(folder + L"photo003.jpg") == "content of photo002.jpg");
    CHECK(readBytes(folder + L"photo004.jpg") == "content of photo003.jpg");
    CHECK(!fileExists(folder + L"photo001.jpg"));

    // And back down by one.
    app.selectAll(ids::edtvalue);
    app.type(ids::edtvalue, L"001");
    app.menu(ids::n_preview);
    CHECK_EQ(executeAndAnswer(app), L"执行成功!\r是否打开目录查看 " + folder);
    CHECK(readBytes(folder + L"photo001.jpg") == "content of photo001.jpg");
    CHECK(readBytes(folder + L"photo003.jpg") == "content of photo003.jpg");

    // A swap, by importing two names for the first two files.
    writeBytes(folder + L"swap.txt", "photo002\r\nphoto001\r\n");
    importNames(app, folder + L"swap.txt");
    waitFor([&] { return app.text(ids::lb_new) == L"共 2 行"; });
    CHECK_EQ(executeAndAnswer(app), L"执行成功!\r是否打开目录查看 " + folder);
    CHECK(readBytes(folder + L"photo001.jpg") == "content of photo002.jpg");
    CHECK(readBytes(folder + L"photo002.jpg") == "content of photo001.jpg");
}

E2E_TEST(execute_after_cancel_shows_the_no_preview_notice)
{
    std::wstring folder = freshFolder(L"nopreview");
    makeFiles(folder, {L"a.jpg"});
    App app(folder);
    openFiles(app, folder, L"a.jpg");
    app.menu(ids::n_preview);
    app.menu(ids::n_cancel);
    CHECK_EQ(app.text(ids::lb_new), L"共 0 行");
    app.menuAsync(ids::n_run);
    HWND box = app.waitForDialog(L"诺通");
    CHECK(box != nullptr);
    CHECK_EQ(boxMessage(box), L"没有预览，无法执行。");
    CHECK_EQ(buttonText(box, IDOK), L"确定");
    pressKey(GetDlgItem(box, IDOK), VK_ESCAPE);
    CHECK(gone(box));
    CHECK(fileExists(folder + L"a.jpg"));
}

E2E_TEST(an_invalid_start_number_shows_the_error_box)
{
    std::wstring folder = freshFolder(L"badnumber");
    makeFiles(folder, {L"a.jpg"});
    App app(folder);
    openFiles(app, folder, L"a.jpg");
    app.selectAll(ids::edtvalue);
    app.type(ids::edtvalue, L"1.5");
    app.menuAsync(ids::n_preview);
    HWND box = app.waitForDialog(L"诺通");
    CHECK(box != nullptr);
    CHECK_EQ(boxMessage(box), L"'1.5' is not a valid integer value.");
    pressButton(box, IDOK);
    CHECK(gone(box));
    CHECK(!fileExists(app.listFile(L"Thumb1Path.db")));
}
