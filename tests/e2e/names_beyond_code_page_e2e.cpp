// Names the system's code page cannot hold (Korean, emoji, Greek, Danish) go through open,
// preview, import and execute like any other, and a list of GBK names keeps its bytes.
#include "../../src/app/control_ids.h"
#include "driver.h"

using namespace e2e;

namespace {

// A list pair beyond GBK as the list store writes it: GB18030 with no mark where the system has
// it (Windows), otherwise UTF-8 after a byte-order mark (Wine 8 has no code page 54936).
std::string beyondGbkLines(const std::vector<std::wstring>& lines)
{
    const std::wstring text = joinCrLf(lines);
    if (!IsValidCodePage(54936))
        return "\xEF\xBB\xBF" + narrow(text);
    const int n = WideCharToMultiByte(54936, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(n, '\0');
    WideCharToMultiByte(54936, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::vector<std::wstring> within(const std::wstring& folder, const std::vector<std::wstring>& names)
{
    std::vector<std::wstring> paths;
    for (const auto& n : names)
        paths.push_back(folder + n);
    return paths;
}

}  // namespace

E2E_TEST(names_beyond_the_code_page_are_opened_previewed_and_renamed)
{
    CHECK_EQ(GetACP(), 936);
    const std::wstring folder = freshFolder(L"beyond-code-page");
    const std::vector<std::wstring> names{L"😀 smile.jpg", L"노래 01.mp3", L"Ελλάδα.txt", L"照片.jpg", L"Ørsted.jpg"};
    makeFiles(folder, names);
    writeBytes(folder + L"trip005.jpg", "someone else's");
    App app(folder);

    openFiles(app, folder, L"\"😀 smile.jpg\" \"노래 01.mp3\" \"Ελλάδα.txt\" \"照片.jpg\" \"Ørsted.jpg\"");
    waitFor([&] { return app.text(ids::lb_old) == L"共 5 行"; });
    CHECK_EQ(app.text(ids::mmOriginal), joinCrLf(names));
    CHECK(app.waitForDialog(300) == nullptr);  // no notice leaves a file out
    CHECK(readBytes(app.listFile(L"ThumbPath.db")) == beyondGbkLines(within(folder, names)));
    CHECK(readBytes(app.listFile(L"ThumbName.db")) == beyondGbkLines(names));
    app.saveScreenshot(L"names-beyond-code-page.bmp");
    // Wherever a drag over the first line ends, it copies whole characters: never half a pair.
    for (int x = 2; x < 60; ++x) {
        drag(app.control(ids::mmOriginal), {2, 2}, {x, 2});
        const std::wstring part = copied(app.control(ids::mmOriginal));
        CHECK(names[0].starts_with(part) && (part.empty() || !IS_HIGH_SURROGATE(part.back())));
    }
    app.click(ids::cbShowpathO);
    CHECK_EQ(app.text(ids::mmOriginal), joinCrLf(within(folder, names)));

    app.type(ids::edtname, L"trip");
    app.menu(ids::n_preview);
    const std::vector<std::wstring> renamed{L"trip001.jpg", L"trip002.mp3", L"trip003.txt", L"trip004.jpg",
                                            L"trip005.jpg"};
    CHECK_EQ(app.text(ids::mmRenamed), joinCrLf(renamed));
    // The new names are all GBK: that pair keeps the code page's bytes.
    CHECK(readBytes(app.listFile(L"Thumb1Path.db")) == gbkLines(within(folder, renamed)));
    CHECK(readBytes(app.listFile(L"Thumb1Name.db")) == gbkLines(renamed));

    CHECK_EQ(executeAndAnswer(app), L"执行完成，1 个文件未处理：\r" + folder + L"Ørsted.jpg → " + folder +
                                        L"trip005.jpg（目标文件已存在）\r是否打开目录查看 " + folder);
    CHECK(readBytes(folder + L"trip001.jpg") == "content of 😀 smile.jpg");
    CHECK(readBytes(folder + L"trip002.mp3") == "content of 노래 01.mp3");
    CHECK(readBytes(folder + L"trip003.txt") == "content of Ελλάδα.txt");
    CHECK(readBytes(folder + L"trip004.jpg") == "content of 照片.jpg");
    CHECK(readBytes(folder + L"Ørsted.jpg") == "content of Ørsted.jpg");
    CHECK(readBytes(folder + L"trip005.jpg") == "someone else's");
    // The original list now names where each file is: the one left behind keeps its name.
    const std::vector<std::wstring> after{L"trip001.jpg", L"trip002.mp3", L"trip003.txt", L"trip004.jpg",
                                          L"Ørsted.jpg"};
    CHECK_EQ(app.text(ids::mmOriginal), joinCrLf(within(folder, after)));
    CHECK(readBytes(app.listFile(L"ThumbName.db")) == beyondGbkLines(after));
}

E2E_TEST(a_utf8_names_file_beyond_the_code_page_is_imported_and_executed)
{
    const std::wstring folder = freshFolder(L"import-beyond");
    makeFiles(folder, {L"1.jpg", L"2.jpg", L"3.jpg"});
    writeBytes(folder + L"names.txt", narrow(L"가족 🎉\r\nØrsted\r\n"));  // UTF-8 without a mark
    App app(folder);
    openFiles(app, folder, L"\"1.jpg\" \"2.jpg\" \"3.jpg\"");
    CHECK(readBytes(app.listFile(L"ThumbPath.db")) == gbkLines(within(folder, {L"1.jpg", L"2.jpg", L"3.jpg"})));

    app.clickAsync(ids::Button1);
    HWND dialog = app.waitForDialog();
    CHECK(dialog != nullptr);
    answerOpenDialog(dialog, folder + L"names.txt");
    CHECK(gone(dialog));
    waitFor([&] { return app.text(ids::lb_new) == L"共 2 行"; });
    const std::vector<std::wstring> renamed{L"가족 🎉.jpg", L"Ørsted.jpg"};
    CHECK_EQ(app.text(ids::mmRenamed), joinCrLf(renamed));
    CHECK(app.waitForDialog(300) == nullptr);
    CHECK(readBytes(app.listFile(L"Thumb1Path.db")) == beyondGbkLines(within(folder, renamed)));
    CHECK(readBytes(app.listFile(L"Thumb1Name.db")) == beyondGbkLines(renamed));

    CHECK_EQ(executeAndAnswer(app), L"执行成功!\r是否打开目录查看 " + folder);
    CHECK(readBytes(folder + L"가족 🎉.jpg") == "content of 1.jpg");
    CHECK(readBytes(folder + L"Ørsted.jpg") == "content of 2.jpg");
    CHECK(fileExists(folder + L"3.jpg"));
    CHECK_EQ(app.text(ids::mmOriginal), joinCrLf(renamed));
    CHECK(readBytes(app.listFile(L"ThumbPath.db")) == beyondGbkLines(within(folder, renamed)));
}

E2E_TEST(names_beyond_the_code_page_come_from_the_command_line_a_drop_and_a_hand_over)
{
    const std::wstring folder = freshFolder(L"outside-beyond");
    const std::wstring photos = folder + L"사진\\";
    makeFiles(folder, {L"노래 01.mp3"});
    CreateDirectoryW(photos.c_str(), nullptr);
    makeFiles(photos, {L"😀.jpg", L"Ørsted.txt", L"Ελλάδα.txt"});
    App app(folder, L"\"" + folder + L"노래 01.mp3\"");
    waitFor([&] { return app.text(ids::lb_old) == L"共 1 行"; });
    CHECK_EQ(app.text(ids::mmOriginal), L"노래 01.mp3\r\n");

    app.dropFiles({photos + L"😀.jpg", photos + L"Ørsted.txt"});
    waitFor([&] { return app.text(ids::lb_old) == L"共 3 行"; });
    CHECK_EQ(app.text(ids::lbpath), photos);

    PROCESS_INFORMATION second = startProgram(folder, L"\"" + photos + L"Ελλάδα.txt\"");
    CHECK(WaitForSingleObject(second.hProcess, 15000) == WAIT_OBJECT_0);
    CloseHandle(second.hProcess);
    CloseHandle(second.hThread);
    waitFor([&] { return app.text(ids::lb_old) == L"共 4 行"; });

    CHECK(app.waitForDialog(300) == nullptr);  // no notice leaves a file out
    const std::vector<std::wstring> paths{folder + L"노래 01.mp3", photos + L"😀.jpg", photos + L"Ørsted.txt",
                                          photos + L"Ελλάδα.txt"};
    CHECK_EQ(app.text(ids::mmOriginal), L"노래 01.mp3\r\n😀.jpg\r\nØrsted.txt\r\nΕλλάδα.txt\r\n");
    CHECK(readBytes(app.listFile(L"ThumbPath.db")) == beyondGbkLines(paths));
}

E2E_TEST(copies_go_into_a_chosen_folder_beyond_the_code_page)
{
    const std::wstring folder = freshFolder(L"chooser-beyond");
    const std::wstring out = folder + L"출력 😀";
    CreateDirectoryW(out.c_str(), nullptr);
    makeFiles(folder, {L"Ελλάδα.txt"});
    App app(folder);
    openFiles(app, folder, L"\"Ελλάδα.txt\"");
    app.clickAsync(ids::rbSaveas);
    HWND chooser = app.waitForDialog(L"Select Directory");
    CHECK(chooser != nullptr);
    answerFolderChooser(chooser, out);
    CHECK(gone(chooser));
    app.type(ids::edtname, L"x");
    app.menu(ids::n_preview);
    app.click(ids::cbshowpathR);
    CHECK_EQ(app.text(ids::mmRenamed), out + L"\\x001.txt\r\n");
    CHECK(readBytes(app.listFile(L"Thumb1Path.db")) == beyondGbkLines({out + L"\\x001.txt"}));

    CHECK_EQ(executeAndAnswer(app), L"执行成功!\r是否打开目录查看 " + out);
    CHECK(readBytes(out + L"\\x001.txt") == "content of Ελλάδα.txt");
    CHECK(readBytes(folder + L"Ελλάδα.txt") == "content of Ελλάδα.txt");
}

E2E_TEST(new_names_typed_with_emoji_and_a_utf16_names_file_reach_the_disk)
{
    const std::wstring folder = freshFolder(L"typed-beyond");
    makeFiles(folder, {L"a.jpg", L"노래.mp3"});
    App app(folder);
    openFiles(app, folder, L"\"a.jpg\" \"노래.mp3\"");
    waitFor([&] { return app.text(ids::lb_old) == L"共 2 行"; });
    app.type(ids::edtname, L"🎉 ");
    app.click(ids::cbAftername);
    app.type(ids::edtRearside, L" 😀");
    app.menu(ids::n_preview);
    // The appended text goes after the base name, the number after both.
    const std::vector<std::wstring> renamed{L"🎉  😀001.jpg", L"🎉  😀002.mp3"};
    CHECK_EQ(app.text(ids::mmRenamed), joinCrLf(renamed));
    CHECK(app.waitForDialog(300) == nullptr);
    CHECK(readBytes(app.listFile(L"Thumb1Name.db")) == beyondGbkLines(renamed));
    CHECK_EQ(executeAndAnswer(app), L"执行成功!\r是否打开目录查看 " + folder);
    CHECK(readBytes(folder + renamed[0]) == "content of a.jpg");
    CHECK(readBytes(folder + renamed[1]) == "content of 노래.mp3");

    // A names file in UTF-16 with a mark, as Notepad saves "Unicode".
    const std::wstring names = L"\xFEFFΕλλάδα 🎉\r\n가족\r\n";
    writeBytes(folder + L"names.txt", std::string(reinterpret_cast<const char*>(names.data()), names.size() * 2));
    importNames(app, folder + L"names.txt");
    waitFor([&] { return app.text(ids::mmRenamed) == L"Ελλάδα 🎉.jpg\r\n가족.mp3\r\n"; });
    CHECK_EQ(app.text(ids::mmRenamed), L"Ελλάδα 🎉.jpg\r\n가족.mp3\r\n");
    CHECK(app.waitForDialog(300) == nullptr);
    CHECK_EQ(executeAndAnswer(app), L"执行成功!\r是否打开目录查看 " + folder);
    CHECK(readBytes(folder + L"Ελλάδα 🎉.jpg") == "content of a.jpg");
    CHECK(readBytes(folder + L"가족.mp3") == "content of 노래.mp3");
}

E2E_TEST(a_run_over_emoji_names_killed_part_way_is_recovered)
{
    const int count = 1500, watched = 150;
    const std::wstring folder = freshFolder(L"killed-beyond");
    std::vector<std::wstring> names, paths;
    for (int i = 0; i < count; ++i) {
        names.push_back(L"😀 Ελλάδα " + std::to_wstring(10000 + i) + L".jpg");
        paths.push_back(folder + names.back());
    }
    makeFiles(folder, names);
    const std::wstring journal = privateFolderOf(folder) + L"ThumbRun.db";
    {
        App app(folder);
        app.dropFiles(paths);
        waitFor([&] { return app.text(ids::lb_old) == L"共 1500 行"; }, 60000);
        app.type(ids::edtname, L"노래 🎉");
        app.selectAll(ids::edtvalue);
        app.type(ids::edtvalue, L"0001");
        app.menu(ids::n_preview);
        CHECK(app.text(ids::mmRenamed).starts_with(L"노래 🎉0001.jpg\r\n"));
        app.menuAsync(ids::n_run);
        wchar_t target[64];
        swprintf(target, 64, L"노래 🎉%04d.jpg", watched);
        CHECK(waitFor([&] { return fileExists(folder + target); }, 60000));
        app.kill();
    }
    CHECK(fileExists(journal));  // else the run had ended before the kill

    App app(folder);
    HWND notice = app.waitForDialog(L"诺通");
    CHECK(notice != nullptr);
    const std::wstring text = notice ? boxMessage(notice) : L"";
    CHECK(text.starts_with(L"上次执行未完成，已恢复："));
    app.saveScreenshot(L"names-beyond-code-page-recovered.bmp");
    if (notice) {
        pressButton(notice, IDOK);
        CHECK(gone(notice));
    }
    CHECK(!fileExists(journal));
    // The original list names where each file now is, whichever name it has.
    const std::string bytes = readBytes(app.listFile(L"ThumbPath.db"));
    const std::wstring listText = widen(bytes.starts_with("\xEF\xBB\xBF") ? bytes.substr(3) : bytes);
    std::size_t listedCount = 0, misplaced = 0;
    for (std::size_t start = 0, end; (end = listText.find(L"\r\n", start)) != std::wstring::npos; start = end + 2) {
        const std::wstring path = listText.substr(start, end - start);
        misplaced += listedCount < names.size() && readBytes(path) != "content of " + narrow(names[listedCount]);
        ++listedCount;
    }
    CHECK_EQ(listedCount, count);
    CHECK_EQ(misplaced, 0);
}
