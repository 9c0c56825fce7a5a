// The end of a run where another program stands in the way of the history or the lists: what
// the window shows of the lists, and what the user is told of the history.
#include "../../src/app/control_ids.h"
#include "driver.h"

#include <cwchar>

using namespace e2e;

namespace {

// A file held open by another program, without letting anyone write or delete it.
struct Held {
    HANDLE handle = INVALID_HANDLE_VALUE;
    void hold(const std::wstring& path)
    {
        handle = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        CHECK(handle != INVALID_HANDLE_VALUE);
    }
    ~Held() { release(); }
    void release()
    {
        if (handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
        handle = INVALID_HANDLE_VALUE;
    }
};

// The box of the program titled so, closed with the button; its text.
std::wstring closeBox(const App& app, const std::wstring& title, int button, int timeoutMs = 10000)
{
    HWND box = app.waitForDialog(title, timeoutMs);
    CHECK(box != nullptr);
    if (!box)
        return L"";
    const std::wstring text = boxMessage(box);
    pressButton(box, button);
    CHECK(gone(box));
    return text;
}

void preview(const App& app, const std::wstring& stem)
{
    app.selectAll(ids::edtname);
    app.type(ids::edtname, stem);
    app.menu(ids::n_preview);
}

}  // namespace

// The history's index held when a run ends: the lists are written all the same, and the view of
// the original list shows them, the files under their new names.
E2E_TEST(a_run_whose_history_cannot_be_written_shows_the_lists_it_wrote)
{
    const std::wstring folder = freshProgramFolder(L"historyheld");
    makeFiles(folder, {L"a.jpg", L"b.jpg"});
    App app(folder);
    openFiles(app, folder, L"\"a.jpg\" \"b.jpg\"");
    preview(app, L"trip");
    CHECK_EQ(executeAndAnswer(app), L"执行成功!\r是否打开目录查看 " + folder);
    CHECK_EQ(app.text(ids::mmOriginal), L"trip001.jpg\r\ntrip002.jpg\r\n");

    Held held;
    held.hold(privateFolderOf(folder) + L"ThumbUndo.db");
    preview(app, L"x");
    CHECK_EQ(executeAndAnswer(app), L"执行成功!\r是否打开目录查看 " + folder);
    CHECK(!closeBox(app, L"诺通", IDOK).empty());
    CHECK(readBytes(folder + L"x001.jpg") == "content of a.jpg");
    CHECK(readBytes(app.listFile(L"ThumbPath.db")) == gbkLines({folder + L"x001.jpg", folder + L"x002.jpg"}));
    CHECK_EQ(app.text(ids::mmOriginal), L"x001.jpg\r\nx002.jpg\r\n");
    CHECK_EQ(app.text(ids::lb_old), L"共 2 行");
}
