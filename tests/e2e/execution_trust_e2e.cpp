// Execution that can be trusted: half-written lists are never acted on, a run killed part-way is
// put in order at the next start, names Windows would refuse or merge are caught, and a full
// drive leaves no half copy behind.
#include "../../src/app/control_ids.h"
#include "driver.h"

#include <algorithm>
#include <cstdio>
#include <regex>
#include <set>

using namespace e2e;

namespace {

std::wstring namePart(const std::wstring& path) { return path.substr(path.find_last_of(L'\\') + 1); }

std::vector<std::wstring> nameParts(const std::vector<std::wstring>& paths)
{
    std::vector<std::wstring> names;
    for (const auto& p : paths)
        names.push_back(namePart(p));
    return names;
}

std::vector<std::wstring> listed(const std::wstring& listFile)
{
    const std::string bytes = readBytes(listFile);
    std::wstring text(bytes.size(), L'\0');
    text.resize(MultiByteToWideChar(936, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(),
                                    static_cast<int>(text.size())));
    std::vector<std::wstring> lines;
    for (std::size_t start = 0, end; (end = text.find(L"\r\n", start)) != std::wstring::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

// The names a folder holds, spelt as the file system stores them.
std::set<std::wstring> namesIn(const std::wstring& folder)
{
    std::set<std::wstring> names;
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((folder + L"*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (std::wstring(fd.cFileName) != L"." && std::wstring(fd.cFileName) != L"..")
            names.insert(fd.cFileName);
    } while (FindNextFileW(h, &fd));
    FindClose(h);
    return names;
}

// The program and its four lists, with the given files beside them.
std::set<std::wstring> programFolderWith(const std::vector<std::wstring>& files)
{
    std::set<std::wstring> names{L"nomerra.exe", L"ThumbPath.db", L"ThumbName.db", L"Thumb1Path.db", L"Thumb1Name.db"};
    names.insert(files.begin(), files.end());
    return names;
}

std::string contentOf(const std::wstring& name) { return "content of " + narrow(name); }

std::wstring numbered(const wchar_t* prefix, int number)
{
    wchar_t name[32];
    swprintf(name, 32, L"%ls%04d.jpg", prefix, number);
    return name;
}

// The system's text for an error, as the completion question quotes it.
std::wstring systemText(DWORD code)
{
    wchar_t* text = nullptr;
    DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message = n ? std::wstring(text, n) : L"";
    LocalFree(text);
    while (!message.empty() && std::wstring(L"\r\n .\x3002").find(message.back()) != std::wstring::npos)
        message.pop_back();
    return message;
}

}  // namespace

// A preview killed while writing leaves the new list's temporary file and no new list: nothing
// may act on the half-written one, and the next preview writes over it.
E2E_TEST(a_new_list_cut_by_a_killed_write_is_never_executed)
{
    std::wstring folder = freshFolder(L"cutlist");
    makeFiles(folder, {L"a.jpg", L"b.jpg"});
    leaveLists(folder, {folder + L"a.jpg", folder + L"b.jpg"}, {});
    writeBytes(folder + L"Thumb1Path.db.tmp", gbkLines({folder + L"x001.jpg"}) + narrow(folder + L"x0"));
    App app(folder);
    CHECK_EQ(app.text(ids::lb_new), L"共 0 行");
    CHECK_EQ(app.text(ids::mmRenamed), L"");

    app.menuAsync(ids::n_run);
    HWND box = app.waitForDialog(L"诺通");
    CHECK(box != nullptr);
    CHECK_EQ(boxMessage(box), L"没有预览，无法执行。");
    pressButton(box, IDOK);
    CHECK(gone(box));
    // The cut list is gone: no record names it.
    CHECK(namesIn(folder) ==
          std::set<std::wstring>({L"nomerra.exe", L"ThumbPath.db", L"ThumbName.db", L"a.jpg", L"b.jpg"}));
    CHECK(readBytes(folder + L"a.jpg") == contentOf(L"a.jpg"));

    app.type(ids::edtname, L"x");
    app.menu(ids::n_preview);
    CHECK_EQ(app.text(ids::mmRenamed), L"x001.jpg\r\nx002.jpg\r\n");
    CHECK_EQ(executeAndAnswer(app), L"执行成功!\r是否打开目录查看 " + folder);
    CHECK(namesIn(folder) == programFolderWith({L"x001.jpg", L"x002.jpg"}));
    CHECK(readBytes(folder + L"x002.jpg") == contentOf(L"b.jpg"));
}

E2E_TEST(a_run_killed_part_way_is_recovered_and_completed)
{
    const int count = 2000, swapsFrom = 1000;
    std::wstring folder = freshFolder(L"killed");
    // The first half go to free names. The second half exchange names two by two: the run does
    // those last, each through a temporary name, and the kill comes among them.
    std::vector<std::wstring> names, originals, targets;
    for (int i = 0; i < count; ++i) {
        names.push_back(i < swapsFrom ? numbered(L"f", i + 1) : numbered(L"n", i % 2 ? i : i + 2));
        originals.push_back(folder + names.back());
        targets.push_back(folder + numbered(L"n", i + 1));
    }
    makeFiles(folder, names);
    leaveLists(folder, originals, {});
    const int watched = swapsFrom + 199;  // the second file of the hundredth swap
    {
        App app(folder);
        app.type(ids::edtname, L"n");
        app.selectAll(ids::edtvalue);
        app.type(ids::edtvalue, L"0001");
        app.menu(ids::n_preview);
        CHECK(listed(app.listFile(L"Thumb1Path.db")) == targets);
        app.menuAsync(ids::n_run);
        CHECK(waitFor([&] { return readBytes(targets[watched]) == contentOf(names[watched]); }, 60000));
        app.kill();
    }
    const std::wstring journal = privateFolderOf(folder) + L"ThumbRun.db";
    CHECK(fileExists(journal));  // else the run had ended before the kill

    App app(folder);
    HWND notice = app.waitForDialog(L"诺通");
    CHECK(notice != nullptr);
    const std::wstring text = notice ? boxMessage(notice) : L"";
    std::wsmatch m;
    const std::wregex shape(L"上次执行未完成，已恢复：(\\d+) 个文件已改名，(\\d+) 个文件未处理。((\\r[^\\r]+)*)");
    const bool shaped = std::regex_match(text, m, shape);
    CHECK(shaped);
    const long long done = shaped ? std::stoll(m[1].str()) : -1, notDone = shaped ? std::stoll(m[2].str()) : -1;
    CHECK_EQ(done + notDone, count);
    CHECK(done >= watched);
    if (notice) {
        CHECK_EQ(buttonText(notice, IDOK), L"确定");
        pressButton(notice, IDOK);
        CHECK(gone(notice));
    }
    CHECK(!fileExists(journal));

    // The original list names where each file is: at its new path, at its old one, or parked
    // because another file has taken its old one.
    const std::vector<std::wstring> where = listed(app.listFile(L"ThumbPath.db"));
    CHECK_EQ(where.size(), count);
    long long atNewPath = 0, misplaced = 0;
    std::wstring parked;
    for (std::size_t i = 0; i < where.size() && i < originals.size(); ++i) {
        misplaced += readBytes(where[i]) != contentOf(names[i]);
        atNewPath += where[i] == targets[i];
        if (where[i] != targets[i] && where[i] != originals[i]) {
            parked += L"\r" + where[i];
            misplaced += !fileExists(originals[i]);
        }
    }
    std::printf("  killed with %lld of %d pairs done, %zu parked\n", done, count,
                static_cast<std::size_t>(std::count(parked.begin(), parked.end(), L'\r')));
    CHECK_EQ(misplaced, 0);
    CHECK_EQ(atNewPath, done);
    CHECK_EQ(shaped ? m[3].str() : L"", parked);
    CHECK_EQ(app.text(ids::lb_old), L"共 2000 行");
    CHECK(app.text(ids::mmOriginal) == joinCrLf(nameParts(where)));
    CHECK_EQ(app.text(ids::lb_new), L"共 2000 行");
    CHECK(app.text(ids::mmRenamed) == joinCrLf(nameParts(targets)));

    CHECK_EQ(executeAndAnswer(app, IDNO, 60000), L"执行成功!\r是否打开目录查看 " + folder);
    CHECK(namesIn(folder) == programFolderWith(nameParts(targets)));
    misplaced = 0;
    for (std::size_t i = 0; i < targets.size(); ++i)
        misplaced += readBytes(targets[i]) != contentOf(names[i]);
    CHECK_EQ(misplaced, 0);
    CHECK(readBytes(folder + L"n1001.jpg") == contentOf(L"n1002.jpg"));
    CHECK(readBytes(folder + L"n1002.jpg") == contentOf(L"n1001.jpg"));
}

E2E_TEST(a_file_added_twice_is_renamed_once)
{
    std::wstring folder = freshFolder(L"twice");
    makeFiles(folder, {L"a.jpg"});
    App app(folder);
    openFiles(app, folder, L"a.jpg");
    app.menuAsync(ids::n_add);
    HWND dialog = app.waitForDialog();
    CHECK(dialog != nullptr);
    answerOpenDialog(dialog, L"a.jpg");
    CHECK(gone(dialog));
    waitFor([&] { return app.text(ids::lb_old) == L"共 2 行"; });
    app.type(ids::edtname, L"x");
    app.menu(ids::n_preview);
    CHECK_EQ(app.text(ids::mmRenamed), L"x001.jpg\r\nx002.jpg\r\n");

    CHECK_EQ(executeAndAnswer(app), L"执行完成，1 个文件未处理：\r" + folder + L"a.jpg → " + folder +
                                        L"x002.jpg（原文件重复）\r是否打开目录查看 " + folder);
    CHECK(namesIn(folder) == programFolderWith({L"x001.jpg"}));
    CHECK(readBytes(folder + L"x001.jpg") == contentOf(L"a.jpg"));
    CHECK_EQ(app.text(ids::mmOriginal), L"x001.jpg\r\nx001.jpg\r\n");
}

// New names as Windows takes them: devices are refused, a change of spelling alone is made.
E2E_TEST(device_names_are_refused_and_a_case_change_is_kept)
{
    std::wstring folder = freshFolder(L"names");
    const std::vector<std::wstring> names{L"photo.jpg", L"a.txt", L"b.jpg", L"c.png"},
        newNames{L"PHOTO.jpg", L"NUL.txt", L"con.jpg", L"COM1.png"};
    makeFiles(folder, names);
    std::vector<std::wstring> originals, targets;
    std::wstring refused;
    for (std::size_t i = 0; i < names.size(); ++i) {
        originals.push_back(folder + names[i]);
        targets.push_back(folder + newNames[i]);
        if (i > 0)
            refused += L"\r" + originals[i] + L" → " + targets[i] + L"（文件名无效）";
    }
    leaveLists(folder, originals, targets);
    App app(folder);
    CHECK_EQ(executeAndAnswer(app), L"执行完成，3 个文件未处理：" + refused + L"\r是否打开目录查看 " + folder);
    CHECK(namesIn(folder) == programFolderWith({L"PHOTO.jpg", L"a.txt", L"b.jpg", L"c.png"}));
    CHECK(readBytes(folder + L"PHOTO.jpg") == contentOf(L"photo.jpg"));
    CHECK(readBytes(folder + L"b.jpg") == contentOf(L"b.jpg"));
}

// A name that ends in a dot or a space is read by the system without them, so such an original
// names another file than the list shows: it is not acted on.
E2E_TEST(originals_the_system_reads_as_other_names_are_not_touched)
{
    std::wstring folder = freshFolder(L"trailing");
    makeFiles(folder, {L"a.jpg", L"b.jpg"});
    const std::vector<std::wstring> originals{folder + L"a.jpg ", folder + L"b.jpg.", folder + L"b.jpg"},
        targets{folder + L"A.JPG", folder + L"c.jpg", folder + L"d.jpg"};
    leaveLists(folder, originals, targets);
    App app(folder);
    CHECK_EQ(executeAndAnswer(app), L"执行完成，2 个文件未处理：\r" + originals[0] + L" → " + targets[0] +
                                        L"（原文件不存在）\r" + originals[1] + L" → " + targets[1] +
                                        L"（原文件不存在）\r是否打开目录查看 " + folder);
    CHECK(namesIn(folder) == programFolderWith({L"a.jpg", L"d.jpg"}));
    CHECK(readBytes(folder + L"d.jpg") == contentOf(L"b.jpg"));
}

// The test script maps a drive of a few megabytes where it may mount one. Half of it is taken;
// of three files of a fifth each, copied or moved there from another drive, two fit.
void fillASmallDrive(bool copies)
{
    wchar_t drive[MAX_PATH] = {};
    if (!GetEnvironmentVariableW(L"NOMERRA_SMALL_DRIVE", drive, MAX_PATH)) {
        std::printf("  SKIPPED: no small drive is mapped (mounting one needs privileges)\n");
        return;
    }
    const std::wstring root = drive;
    ULARGE_INTEGER total{};
    CHECK(GetDiskFreeSpaceExW(root.c_str(), nullptr, &total, nullptr));
    CHECK(total.QuadPart > 0 && total.QuadPart <= 16u << 20);
    if (total.QuadPart == 0 || total.QuadPart > 16u << 20)
        return;
    const std::wstring filler = root + L"filler.bin";
    writeBytes(filler, std::string(total.QuadPart / 2, 'f'));
    const std::wstring out = freshFolderIn(root, L"onto"), outFolder = out.substr(0, out.size() - 1);
    std::wstring folder = freshFolder(L"fulldrive");
    std::vector<std::wstring> originals, targets;
    std::vector<std::string> contents;
    for (int i = 0; i < 3; ++i) {
        contents.push_back(std::string(total.QuadPart / 5, static_cast<char>('a' + i)));
        originals.push_back(folder + numbered(L"p", i + 1));
        targets.push_back(out + numbered(L"x", i + 1));
        writeBytes(originals.back(), contents.back());
    }
    leaveLists(folder, originals, targets);
    App app(folder);
    if (copies) {
        app.clickAsync(ids::rbSaveas);
        HWND chooser = app.waitForDialog(L"Select Directory");
        CHECK(chooser != nullptr);
        answerFolderChooser(chooser, outFolder);
        CHECK(gone(chooser));
    }
    // A move to another drive offers the folder it put the first file in.
    const std::wstring offered = copies ? outFolder : out;

    CHECK_EQ(executeAndAnswer(app), L"执行完成，1 个文件未处理：\r" + originals[2] + L" → " + targets[2] + L"（" +
                                        systemText(ERROR_DISK_FULL) + L"）\r是否打开目录查看 " + offered);
    const auto made = nameParts(targets);
    CHECK(namesIn(out) == std::set<std::wstring>(made.begin(), made.begin() + 2));
    CHECK(readBytes(targets[0]) == contents[0]);
    CHECK(readBytes(targets[1]) == contents[1]);
    CHECK(readBytes(originals[2]) == contents[2]);
    CHECK_EQ(fileExists(originals[0]), copies);

    // With room made, Execute again makes the file that was missing and keeps the two made.
    CHECK(DeleteFileW(filler.c_str()));
    CHECK_EQ(executeAndAnswer(app), L"执行成功!\r是否打开目录查看 " + offered);
    CHECK(namesIn(out) == std::set<std::wstring>(made.begin(), made.end()));
    for (std::size_t i = 0; i < targets.size(); ++i)
        CHECK(readBytes(targets[i]) == contents[i]);
    CHECK_EQ(fileExists(originals[2]), copies);
    for (const auto& t : targets)
        DeleteFileW(t.c_str());
}

E2E_TEST(copies_onto_a_full_drive_leave_no_partial_file)
{
    fillASmallDrive(true);
}

E2E_TEST(moves_onto_a_full_drive_leave_no_partial_file)
{
    fillASmallDrive(false);
}

namespace {

// The files of a folder under the run's temporary names.
std::vector<std::wstring> temporariesIn(const std::wstring& folder)
{
    std::vector<std::wstring> found;
    for (const auto& name : namesIn(folder))
        if (name.rfind(L"~nomerra", 0) == 0)
            found.push_back(folder + name);
    return found;
}

// Reads the recovery notice at a start after a kill, answers it and returns its text.
std::wstring answerRecoveryNotice(const App& app)
{
    HWND notice = app.waitForDialog(L"诺通", 30000);
    CHECK(notice != nullptr);
    const std::wstring text = notice ? boxMessage(notice) : L"";
    if (notice) {
        pressButton(notice, IDOK);
        CHECK(gone(notice));
    }
    CHECK(text.rfind(L"上次执行未完成，已恢复：", 0) == 0);
    return text;
}

}  // namespace

// Killed among cycles of three, then tidied by hand before the next start: one file the run had
// renamed is put back under its old name, and a file of the user's own takes a name the run
// freed. The recovery and the next Execute act on the run's files only, wherever they are.
E2E_TEST(a_run_killed_among_cycles_and_tidied_by_hand_is_recovered)
{
    const int count = 1500, cyclesFrom = 600;
    std::wstring folder = freshFolder(L"tidied");
    std::vector<std::wstring> names, originals, targets;
    for (int i = 0; i < count; ++i) {
        const int base = cyclesFrom + (i - cyclesFrom) / 3 * 3, next = base + ((i - cyclesFrom) % 3 + 1) % 3;
        names.push_back(i < cyclesFrom ? numbered(L"f", i + 1) : numbered(L"n", next + 1));
        originals.push_back(folder + names.back());
        targets.push_back(folder + numbered(L"n", i + 1));
    }
    makeFiles(folder, names);
    leaveLists(folder, originals, targets);
    const int watched = cyclesFrom + 300;
    {
        App app(folder);
        app.menuAsync(ids::n_run);
        CHECK(waitFor([&] { return readBytes(targets[watched]) == contentOf(names[watched]); }, 60000));
        app.kill();
    }
    CHECK(fileExists(privateFolderOf(folder) + L"ThumbRun.db"));
    // The user's tidy-up: the fifth file back under its old name, a file of their own where the
    // tenth was.
    CHECK(MoveFileW(targets[4].c_str(), originals[4].c_str()));
    writeBytes(originals[9], "the user's own");

    App app(folder);
    const std::wstring notice = answerRecoveryNotice(app);
    const std::vector<std::wstring> where = listed(app.listFile(L"ThumbPath.db"));
    CHECK_EQ(where.size(), count);
    long long misplaced = 0;
    for (std::size_t i = 0; i < where.size() && i < names.size(); ++i) {
        misplaced += readBytes(where[i]) != contentOf(names[i]);
        // A place other than its own two is one the notice names.
        if (where[i] != originals[i] && where[i] != targets[i])
            misplaced += notice.find(where[i]) == std::wstring::npos;
    }
    CHECK_EQ(misplaced, 0);
    CHECK(where.size() > 4 && where[4] == originals[4]);
    for (const auto& t : temporariesIn(folder))
        CHECK(std::find(where.begin(), where.end(), t) != where.end() || notice.find(t) != std::wstring::npos);

    // Done again, every file reaches its new name and the user's file stays as it is.
    CHECK_EQ(executeAndAnswer(app, IDNO, 60000), L"执行成功!\r是否打开目录查看 " + folder);
    misplaced = 0;
    for (std::size_t i = 0; i < targets.size(); ++i)
        misplaced += readBytes(targets[i]) != contentOf(names[i]);
    CHECK_EQ(misplaced, 0);
    CHECK(readBytes(originals[9]) == "the user's own");
    CHECK(temporariesIn(folder).empty());
}

// Copies killed part-way, then tidied by hand: the temporary the kill left is deleted and a file
// of the user's own takes a new name not yet made. Nothing of the user's is touched, every
// original stays, and the next Execute makes the rest.
E2E_TEST(copies_killed_part_way_and_tidied_by_hand_are_recovered)
{
    const int count = 1500;
    std::wstring folder = freshFolder(L"tidiedcopies");
    const std::wstring out = freshFolder(L"tidiedout"), outFolder = out.substr(0, out.size() - 1);
    std::vector<std::wstring> names, originals, targets;
    for (int i = 0; i < count; ++i) {
        names.push_back(numbered(L"p", i + 1));
        originals.push_back(folder + names.back());
        targets.push_back(out + numbered(L"x", i + 1));
    }
    makeFiles(folder, names);
    leaveLists(folder, originals, targets);
    const int watched = 500;
    {
        App app(folder);
        app.clickAsync(ids::rbSaveas);
        HWND chooser = app.waitForDialog(L"Select Directory");
        CHECK(chooser != nullptr);
        answerFolderChooser(chooser, outFolder);
        CHECK(gone(chooser));
        app.menuAsync(ids::n_run);
        CHECK(waitFor([&] { return fileExists(targets[watched]); }, 60000));
        app.kill();
    }
    CHECK(fileExists(privateFolderOf(folder) + L"ThumbRun.db"));
    for (const auto& t : temporariesIn(out))
        CHECK(DeleteFileW(t.c_str()));
    int taken = 0;
    while (taken < count && fileExists(targets[taken]))
        ++taken;
    CHECK(taken < count);
    writeBytes(targets[taken], "the user's own");

    App app(folder);
    const std::wstring notice = answerRecoveryNotice(app);
    for (std::size_t i = 0; i < originals.size(); ++i)
        if (readBytes(originals[i]) != contentOf(names[i]))
            CHECK(!"an original was touched");
    const std::vector<std::wstring> where = listed(app.listFile(L"ThumbPath.db"));
    CHECK_EQ(where.size(), count);
    long long misplaced = 0;
    for (std::size_t i = 0; i < where.size() && i < names.size(); ++i)
        misplaced += readBytes(where[i]) != contentOf(names[i]);
    CHECK_EQ(misplaced, 0);
    CHECK(temporariesIn(out).empty());
    CHECK(readBytes(targets[taken]) == "the user's own");
    std::printf("  %d copies made before the kill; notice: %ls\n", taken, notice.c_str());
}
