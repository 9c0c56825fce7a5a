// The program acts only on lists it wrote itself: a new list it could not delete, lists another
// program swapped in, and a run journal planted beside it move nothing.
#include "../../src/app/control_ids.h"
#include "driver.h"

using namespace e2e;

namespace {

std::string contentOf(const std::wstring& name) { return "content of " + narrow(name); }

void previewTrip(const App& app, const std::wstring& folder)
{
    openFiles(app, folder, L"\"a.jpg\" \"b.jpg\"");
    previewNamed(app, L"trip");
    CHECK_EQ(app.text(ids::mmRenamed), L"trip001.jpg\r\ntrip002.jpg\r\n");
}

}  // namespace

// Another program holds Thumb1Path.db open without delete sharing: Open cannot drop the preview,
// says so in the error box, and Execute never pairs the newly opened files with the old preview.
E2E_TEST(a_held_new_list_makes_open_an_error_and_execute_moves_nothing)
{
    const std::wstring pics = freshFolder(L"heldpics"), docs = freshFolder(L"helddocs");
    makeFiles(pics, {L"a.jpg", L"b.jpg"});
    makeFiles(docs, {L"report.docx", L"budget.xlsx"});
    App app(pics);
    previewTrip(app, pics);
    HANDLE held = CreateFileW(app.listFile(L"Thumb1Path.db").c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    CHECK(held != INVALID_HANDLE_VALUE);
    openFiles(app, docs, L"\"report.docx\" \"budget.xlsx\"");
    CHECK_EQ(closeBox(app, L"诺通", IDOK), L"I/O error 32.");
    app.menuAsync(ids::n_run);
    CHECK_EQ(closeBox(app, L"诺通", IDOK), L"没有预览，无法执行。");
    CloseHandle(held);
    for (const wchar_t* name : {L"report.docx", L"budget.xlsx"})
        CHECK(readBytes(docs + name) == contentOf(name));
    for (const wchar_t* name : {L"a.jpg", L"b.jpg"})
        CHECK(readBytes(pics + name) == contentOf(name));
    CHECK(!fileExists(pics + L"trip001.jpg") && !fileExists(pics + L"trip002.jpg"));
}

// After the preview another program rewrites all four lists to move a file of its choice:
// Execute refuses them and moves nothing; a new preview makes Execute work again.
E2E_TEST(lists_swapped_between_preview_and_execute_are_refused)
{
    const std::wstring folder = freshFolder(L"swapped");
    makeFiles(folder, {L"a.jpg", L"b.jpg"});
    const std::wstring sys = freshFolder(L"swappedsys");
    makeFiles(sys, {L"victim.dll"});
    App app(folder);
    previewTrip(app, folder);
    writeBytes(app.listFile(L"ThumbPath.db"), gbkLines({sys + L"victim.dll"}));
    writeBytes(app.listFile(L"ThumbName.db"), gbkLines({L"victim.dll"}));
    writeBytes(app.listFile(L"Thumb1Path.db"), gbkLines({sys + L"moved.dll"}));
    writeBytes(app.listFile(L"Thumb1Name.db"), gbkLines({L"moved.dll"}));
    app.menuAsync(ids::n_run);
    CHECK_EQ(closeBox(app, L"诺通", IDOK), L"列表已被其他程序修改，请重新打开文件并预览。");
    CHECK(readBytes(sys + L"victim.dll") == contentOf(L"victim.dll"));
    CHECK(!fileExists(sys + L"moved.dll"));
    CHECK(fileExists(folder + L"a.jpg"));

    app.menu(ids::n_clear);
    previewTrip(app, folder);
    CHECK_EQ(executeAndAnswer(app), L"执行成功!\r是否打开目录查看 " + folder);
    CHECK(readBytes(folder + L"trip002.jpg") == contentOf(L"b.jpg"));
    CHECK(fileExists(privateFolderOf(folder) + L"ListRecord.db"));
}

// A run journal beside the program, in the form older versions wrote, naming a read-only file as
// an unfinished copy and another as a parked original: it is moved aside and nothing it names
// is touched.
E2E_TEST(a_journal_planted_beside_the_program_touches_nothing)
{
    const std::wstring folder = freshFolder(L"planted");
    const std::wstring sys = freshFolder(L"plantedsys"), user = freshFolder(L"planteduser");
    makeFiles(sys, {L"precious.sys"});
    SetFileAttributesW((sys + L"precious.sys").c_str(), FILE_ATTRIBUTE_READONLY);
    const DWORD preciousAttributes = attributesOf(sys + L"precious.sys");
    makeFiles(user, {L"payload.dll"});
    writeBytes(folder + L"ThumbRun.db",
               narrow(L"nomerra-run 1\trename\t2\n" + user + L"payload.dll\t" + sys + L"evil.dll\n" + user +
                      L"other.dll\t" + sys + L"precious.sys\npark\t0\t" + user + L"payload.dll\ncopy\t1\t" + sys +
                      L"precious.sys\n"));
    App app(folder);
    CHECK_EQ(closeBox(app, L"诺通", IDOK), L"程序文件夹中的 ThumbRun.db 不是本程序现在的执行记录，没有据以处理任何文件，"
                           L"已改名为 ThumbRun.db.ignored。");
    CHECK(readBytes(sys + L"precious.sys") == contentOf(L"precious.sys"));
    CHECK_EQ(attributesOf(sys + L"precious.sys"), preciousAttributes);
    CHECK(readBytes(user + L"payload.dll") == contentOf(L"payload.dll"));
    CHECK(!fileExists(sys + L"evil.dll"));
    CHECK(!fileExists(folder + L"ThumbRun.db") && fileExists(folder + L"ThumbRun.db.ignored"));
    CHECK(!fileExists(privateFolderOf(folder) + L"ThumbRun.db"));
    SetFileAttributesW((sys + L"precious.sys").c_str(), FILE_ATTRIBUTE_NORMAL);
}
