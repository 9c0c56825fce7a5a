// What a user waits for: the real nomerra.exe, started with lists in force beside it, is told
// 开始执行 and timed until its completion question shows, next to the bare loop of system calls
// over fresh files of the same number in the same run (before and after, averaged). Where the
// time went comes from the program's own trace (NOMERRA_TRACE) and from the disk and the windows
// polled from outside; the main window's answer time is polled all along with WM_NULL.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "../src/app/control_ids.h"
#include "bench_files.h"
#include "../tests/e2e/driver.h"

using namespace e2e;

namespace {

using Clock = std::chrono::steady_clock;

double seconds(Clock::time_point t) { return std::chrono::duration<double>(t.time_since_epoch()).count(); }

// Files spread evenly over this many folders inside the given one (the given one itself when 1).
std::vector<std::wstring> makeFreshFiles(const std::wstring& root, std::size_t n, std::size_t folders)
{
    std::vector<std::wstring> paths;
    for (std::size_t f = 0; f < folders; ++f) {
        const std::wstring folder = folders == 1 ? root : root + L"d" + std::to_wstring(f) + L"\\";
        CreateDirectoryW(folder.c_str(), nullptr);
        for (std::size_t i = f * n / folders; i < (f + 1) * n / folders; ++i) {
            paths.push_back(folder + L"IMG_" + std::to_wstring(100000 + i) + L".jpg");
            CloseHandle(CreateFileW(paths.back().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        }
    }
    return paths;
}

// Thousands of files made or deleted are still being written out for some seconds (the journal
// of the file system, discards): a part timed then pays for the part before it. Each timed part
// starts after this pause.
void letTheDiskSettle()
{
    Sleep(6000);
}

std::vector<std::wstring> targetsOf(const std::vector<std::wstring>& originals)
{
    std::vector<std::wstring> targets;
    for (std::size_t i = 0; i < originals.size(); ++i)
        targets.push_back(originals[i].substr(0, originals[i].find_last_of(L'\\') + 1) + L"trip" +
                          std::to_wstring(100001 + i) + L".jpg");
    return targets;
}

// The least a rename in place with the read-only attribute costs: archive attribute, move,
// attribute of the new file. The files stay in the folder until every part of the size is timed.
double bareLoop(std::size_t n, std::size_t folders, const std::wstring& folder)
{
    const auto from = makeFreshFiles(folder, n, folders);
    const auto to = targetsOf(from);
    letTheDiskSettle();
    const auto start = Clock::now();
    for (std::size_t i = 0; i < n; ++i) {
        SetFileAttributesW(from[i].c_str(), FILE_ATTRIBUTE_ARCHIVE);
        MoveFileExW(from[i].c_str(), to[i].c_str(), 0);
        SetFileAttributesW(to[i].c_str(), FILE_ATTRIBUTE_READONLY);
    }
    return seconds(Clock::now()) - seconds(start);
}

// The steps the program traced, in the order it passed them, in seconds on the shared steady clock.
using Trace = std::vector<std::pair<std::string, double>>;

Trace readTrace(const std::wstring& path)
{
    Trace steps;
    std::istringstream lines(readBytes(path));
    std::string step;
    double at = 0;
    while (lines >> step >> at)
        steps.emplace_back(step, at);
    return steps;
}

// Each step at its last passing (a step passed again, as a view loaded twice, counts when it ended).
std::map<std::string, double> lastOfEach(const Trace& trace)
{
    std::map<std::string, double> steps;
    for (const auto& [step, at] : trace)
        steps[step] = at;
    return steps;
}

// The steps up to the first passing of the one named, that one included.
Trace until(const Trace& trace, const std::string& last)
{
    const auto end = std::find_if(trace.begin(), trace.end(), [&](const auto& s) { return s.first == last; });
    return Trace(trace.begin(), end == trace.end() ? end : end + 1);
}

void printTrace(const Trace& trace, double from)
{
    std::printf("  every step traced:");
    for (const auto& [name, at] : trace)
        std::printf(" %s %.3f", name.c_str(), at - from);
    std::printf("\n");
}

// Looked up by class and title, one question to the system; under Wine its server also carries
// every rename of the program, so the windows are looked at only every 20 ms.
HWND visibleWindow(DWORD process, const wchar_t* className, const wchar_t* title = nullptr)
{
    for (HWND w = FindWindowExW(nullptr, nullptr, className, title); w;
         w = FindWindowExW(nullptr, w, className, title)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == process && IsWindowVisible(w))
            return w;
    }
    return nullptr;
}

struct ProgramRun {
    double total = 0;  // menu → question
    double firstMoved = 0, lastMoved = 0, progressShown = -1, progressGone = -1, journalGone = -1;
    std::map<std::string, double> steps;  // relative to the menu command
    Trace trace;                          // as the program wrote it
    double chosen = 0;                    // when the menu command was given
    double slowestAnswerMs = 0, slowestAsked = 0;  // the longest answer, and when it was asked for
    bool allMoved = false;
};

// The longest the main window took to answer, asked every 20 ms from another thread until stopped.
class AnswerWatch {
public:
    explicit AnswerWatch(HWND window)
        : thread_([this, window] {
              while (!done_) {
                  DWORD_PTR result = 0;
                  const auto before = Clock::now();
                  SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result);
                  const double ms = (seconds(Clock::now()) - seconds(before)) * 1000;
                  if (!done_ && ms > slowest_) {
                      slowest_ = ms;
                      slowestAsked_ = seconds(before);
                  }
                  Sleep(20);
              }
          })
    {
    }
    ~AnswerWatch() { stop(); }
    double stop()
    {
        done_ = true;
        if (thread_.joinable())
            thread_.join();
        return slowest_;
    }
    // When the slowest answer was asked for, on the shared steady clock.
    double slowestAsked() const { return slowestAsked_; }

private:
    std::atomic<bool> done_ = false;
    std::atomic<double> slowest_ = 0, slowestAsked_ = 0;
    std::thread thread_;
};

// The program over fresh files with its lists in force: 开始执行, until the question.
ProgramRun runProgram(std::size_t n, std::size_t folders, bool progressWindow, const std::wstring& root)
{
    ProgramRun run;
    const std::wstring files = root + L"files\\";
    CreateDirectoryW(files.c_str(), nullptr);
    const auto originals = makeFreshFiles(files, n, folders);
    const auto targets = targetsOf(originals);
    leaveLists(root, originals, targets);
    const std::wstring trace = root + L"trace.txt";
    SetEnvironmentVariableW(L"NOMERRA_TRACE", trace.c_str());
    SetEnvironmentVariableW(L"NOMERRA_NO_PROGRESS_WINDOW", progressWindow ? nullptr : L"1");
    {
        App app(root);
        SetEnvironmentVariableW(L"NOMERRA_TRACE", nullptr);
        SetEnvironmentVariableW(L"NOMERRA_NO_PROGRESS_WINDOW", nullptr);
        app.click(ids::cbReadonly);
        const std::wstring journal = privateFolderOf(root) + L"ThumbRun.db";

        letTheDiskSettle();
        AnswerWatch answering(app.window());

        const double chosen = seconds(Clock::now());
        app.menuAsync(ids::n_run);
        auto now = [&] { return seconds(Clock::now()) - chosen; };
        HWND box = nullptr;
        for (int look = 0; !box && now() < 600; ++look) {
            if (!run.firstMoved && !fileExists(originals.front()))
                run.firstMoved = now();
            if (!run.lastMoved && !fileExists(originals.back()))
                run.lastMoved = now();
            if (run.journalGone < 0 && run.lastMoved && !fileExists(journal))
                run.journalGone = now();
            if (look % 10 == 0) {
                const bool shown = visibleWindow(app.processId(), L"TfrmProgress") != nullptr;
                if (shown && run.progressShown < 0)
                    run.progressShown = now();
                if (!shown && run.progressShown >= 0 && run.progressGone < 0)
                    run.progressGone = now();
                box = visibleWindow(app.processId(), L"#32770", L"确认");
            }
            if (!box)
                Sleep(2);
        }
        run.total = now();
        run.slowestAnswerMs = answering.stop();
        run.slowestAsked = answering.slowestAsked() - chosen;
        run.allMoved = fileExists(targets.front()) && fileExists(targets.back()) && !fileExists(originals.back());
        if (box) {
            pressButton(box, IDNO);
            gone(box);
        }
        closeWindow(app.window());
        app.waitForExit(20000);
        run.trace = readTrace(trace);
        for (const auto& [step, at] : lastOfEach(run.trace))
            run.steps[step] = at - chosen;
        run.chosen = chosen;
    }
    return run;
}

// The most memory the process has had in use so far, in megabytes.
double peakWorkingSet(DWORD processId)
{
    PROCESS_MEMORY_COUNTERS memory{sizeof memory};
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
    GetProcessMemoryInfo(process, &memory, sizeof memory);
    CloseHandle(process);
    return memory.PeakWorkingSetSize / 1048576.0;
}

double step(const ProgramRun& run, const char* name)
{
    const auto found = run.steps.find(name);
    return found == run.steps.end() ? -1 : found->second;
}

// N files in one folder, or N/F spread over F folders.
std::pair<std::size_t, std::size_t> filesAndFolders(const std::string& size)
{
    const std::size_t slash = size.find('/');
    return {std::stoul(size), slash == std::string::npos ? 1 : std::stoul(size.substr(slash + 1))};
}

void measure(const std::string& size)
{
    const auto [n, folders] = filesAndFolders(size);
    // Thousands of files deleted keep the disk busy for a while (discards): the folders of every
    // part go once all are timed.
    const std::wstring parts[] = {freshFolder(L"wait-bench-bare-before"), freshFolder(L"wait-bench-program-shown"),
                                  freshFolder(L"wait-bench-program-quiet"), freshFolder(L"wait-bench-bare-after")};
    const double bareBefore = bareLoop(n, folders, parts[0]);
    const ProgramRun shown = runProgram(n, folders, true, parts[1]);
    const ProgramRun quiet = runProgram(n, folders, false, parts[2]);
    const double bareAfter = bareLoop(n, folders, parts[3]);
    for (const std::wstring& part : parts)
        bench::removeFolder(part);
    const double bare = (bareBefore + bareAfter) / 2;

    std::printf("%zu files in %zu folder(s): menu -> question %.3f s, bare loop %.3f s (%.3f / %.3f): ratio %.2f%s\n",
                n, folders, shown.total, bare, bareBefore, bareAfter, shown.total / bare,
                shown.allMoved ? "" : "  (NOT ALL MOVED)");
    std::printf("  before the engine %.3f s (command taken %.3f, lists read %.3f); engine %.3f s (first file moved "
                "at %.3f, last at %.3f); after it %.3f s (window back %.3f, run closed %.3f, lists written %.3f, history %.3f, "
                "journal deleted %.3f, view loaded %.3f, asked %.3f)\n",
                step(shown, "engine"), step(shown, "chosen"), step(shown, "lists-read") - step(shown, "chosen"),
                step(shown, "engine-ended") - step(shown, "engine"), shown.firstMoved, shown.lastMoved,
                shown.total - step(shown, "engine-ended"), step(shown, "window-back"), step(shown, "run-closed"),
                step(shown, "lists-written"), step(shown, "history-written"), step(shown, "journal-deleted"),
                step(shown, "view-loaded"),
                step(shown, "asked"));
    std::printf("  progress window shown %.3f-%.3f s; without it %.3f s (engine %.3f s): it costs %+.1f%%; main "
                "window answered within %.0f ms, asked at %.3f s (%.0f ms, at %.3f s, without the progress window)\n",
                shown.progressShown, shown.progressGone, quiet.total,
                step(quiet, "engine-ended") - step(quiet, "engine"), (shown.total / quiet.total - 1) * 100,
                shown.slowestAnswerMs, shown.slowestAsked, quiet.slowestAnswerMs, quiet.slowestAsked);
    printTrace(shown.trace, shown.chosen);
    std::fflush(stdout);
}

// What the progress window costs, from runs with it and without it taken in turn (which goes first
// alternates): single runs scatter more than what is measured, and the second run of a pair is
// often the slower one by some 10 %, so the mean of the pairs is told: over an even number of
// pairs, as many of either order, what the order costs cancels out.
void measureProgressWindow(const std::string& size, int pairs)
{
    const auto [n, folders] = filesAndFolders(size);
    const std::wstring root = freshFolder(L"wait-bench-window");
    std::vector<double> costs;
    for (int k = 0; k < 2 * pairs; k += 2) {
        const bool shownFirst = k % 4 == 0;
        const auto first = runProgram(n, folders, shownFirst, freshFolderIn(root, std::to_wstring(k)));
        const auto second = runProgram(n, folders, !shownFirst, freshFolderIn(root, std::to_wstring(k + 1)));
        const ProgramRun &shown = shownFirst ? first : second, &quiet = shownFirst ? second : first;
        costs.push_back((shown.total / quiet.total - 1) * 100);
        std::printf("  with the progress window %.3f s (shown %.3f-%.3f), without %.3f s: %+.1f%%\n", shown.total,
                    shown.progressShown, shown.progressGone, quiet.total, costs.back());
    }
    bench::removeFolder(root);
    double sum = 0;
    for (double c : costs)
        sum += c;
    std::sort(costs.begin(), costs.end());
    std::printf("%zu files in %zu folder(s): the progress window costs %+.1f%% (mean of %d pairs; median %+.1f%%)\n",
                n, folders, sum / pairs, pairs, costs[costs.size() / 2]);
    std::fflush(stdout);
}

// A million listed paths of about 40 characters, none of them a file but the first, so that a
// run fails fast on every other pair: the start, the full-path view, a preview through the menu
// and the steps of Execute before the engine and after it.
void measureListed(std::size_t n)
{
    const std::wstring root = freshFolder(L"wait-bench-listed");
    // Paths of about 40 characters, as a user's pictures folder gives them.
    const std::wstring files = L"C:\\nomerra-listed\\";
    bench::removeFolder(files);
    CreateDirectoryW(files.c_str(), nullptr);
    std::vector<std::wstring> originals;
    for (std::size_t i = 0; i < n; ++i)
        originals.push_back(files + L"2026 假期\\IMG_" + std::to_wstring(1000000 + i) + L".jpg");
    CreateDirectoryW((files + L"2026 假期").c_str(), nullptr);
    writeBytes(originals.front(), "");
    leaveLists(root, originals, {});
    const std::wstring trace = root + L"trace.txt";
    SetEnvironmentVariableW(L"NOMERRA_TRACE", trace.c_str());
    const auto started = Clock::now();
    App app(root);
    SetEnvironmentVariableW(L"NOMERRA_TRACE", nullptr);
    const std::wstring count = L"共 " + std::to_wstring(n) + L" 行";
    while (app.text(ids::lb_old) != count && seconds(Clock::now()) - seconds(started) < 120)
        Sleep(5);
    const double start = seconds(Clock::now()) - seconds(started);
    auto timed = [](auto step) {
        const auto from = Clock::now();
        step();
        return seconds(Clock::now()) - seconds(from);
    };
    const double fullPaths = timed([&] { app.click(ids::cbShowpathO); });
    const double peakShown = peakWorkingSet(app.processId());
    app.type(ids::edtname, L"trip");
    const double preview = timed([&] { app.menu(ids::n_preview); });
    const bool previewed = app.text(ids::lb_new) == count;
    const double peakPreviewed = peakWorkingSet(app.processId());

    const double chosen = seconds(Clock::now());
    app.menuAsync(ids::n_run);
    HWND box = nullptr;
    double firstMoved = -1;  // the one pair that is a file: the steps before it and after it
    for (int look = 0; !box && seconds(Clock::now()) - chosen < 1200; ++look) {
        if (firstMoved < 0 && !fileExists(originals.front()))
            firstMoved = seconds(Clock::now()) - chosen;
        if (look % 10 == 0)
            box = visibleWindow(app.processId(), L"#32770", L"确认");
        if (!box)
            Sleep(2);
    }
    const double shown = seconds(Clock::now());
    const double peakRun = peakWorkingSet(app.processId());
    if (box) {
        pressButton(box, IDNO);
        gone(box);
    }
    // 撤销执行 of that run: the history read for its question, then the undo until its notice.
    const double undoChosen = seconds(Clock::now());
    app.menuAsync(ids::n_undo);
    HWND undoBox = app.waitForDialog(L"确认", 120000);
    const double undoAsked = seconds(Clock::now()) - undoChosen;
    double undone = -1, undoSlowest = -1;
    if (undoBox) {
        AnswerWatch answering(app.window());
        const double yes = seconds(Clock::now());
        pressButton(undoBox, IDYES);
        HWND notice = app.waitForDialog(L"诺通", 600000);
        undone = seconds(Clock::now()) - yes;
        undoSlowest = answering.stop();
        if (notice) {
            pressButton(notice, IDOK);
            gone(notice);
        }
    }
    closeWindow(app.window());
    app.waitForExit(60000);
    const Trace traced = readTrace(trace);
    // What follows the question is the undo's.
    auto steps = lastOfEach(until(traced, "asked"));
    std::printf("%zu listed paths: start until they show %.3f s; full-path view %.3f s; preview through the menu "
                "%.3f s%s; peak working set %.0f MB once shown with full paths, %.0f MB after the preview, %.0f MB "
                "after Execute\n",
                n, start, fullPaths, preview, previewed ? "" : " (NOT PREVIEWED)", peakShown, peakPreviewed, peakRun);
    std::printf("  Execute, every pair but the first failing: its file moved %.3f s after the menu command, the "
                "question %.3f s after that; before the engine %.3f s (lists read %.3f s), engine %.3f s, after it "
                "%.3f s (run closed %.3f, lists and record written at once %.3f, journal deleted %.3f, window back "
                "%.3f, the rest shown %.3f, question shown %.3f); the original list shown again %s\n",
                firstMoved, shown - chosen - firstMoved, steps["engine"] - steps["chosen"],
                steps["lists-read"] - steps["chosen"],
                steps["engine-ended"] - steps["engine"], shown - steps["engine-ended"],
                steps["run-closed"] - steps["engine-ended"],
                std::max(steps["lists-written"], steps["history-written"]) - steps["run-closed"],
                steps["journal-deleted"] - std::max(steps["lists-written"], steps["history-written"]),
                steps["window-back"] - steps["journal-deleted"], steps["view-loaded"] - steps["window-back"],
                shown - steps["asked"],
                steps.count("original-shown")
                    ? (std::to_string(steps["original-shown"] - steps["lists-written"]) + " s after it was written").c_str()
                    : "after the run");
    std::printf("  Undo: menu -> its question %.3f s; yes -> the notice %.3f s, the main window answering within %.0f "
                "ms meanwhile\n",
                undoAsked, undone, undoSlowest);
    printTrace(traced, seconds(started));
    std::fflush(stdout);
    bench::removeFolder(root);
    bench::removeFolder(files);
}

}  // namespace

// Sizes as arguments: N files in one folder, or N/F spread over F folders; "listed N" for N
// listed paths that are no files; "window N|N/F P" for P pairs of runs with and without the
// progress window (an even number, at least two). The program image is the first argument.
int wmain(int argc, wchar_t** argv)
{
    if (argc < 3) {
        std::printf("usage: user_wait_bench nomerra.exe N|N/F|listed N|window N|N/F P ...\n");
        return 2;
    }
    std::wstring image = argv[1];
    std::replace(image.begin(), image.end(), L'/', L'\\');
    if (!image.empty() && image[0] == L'\\')
        image = L"Z:" + image;
    programImage = image;
    for (int i = 2; i < argc; ++i) {
        const std::string size = narrow(argv[i]);
        if (size == "listed" && i + 1 < argc)
            measureListed(std::stoul(narrow(argv[++i])));
        else if (size == "window" && i + 2 < argc) {
            const std::string windowSize = narrow(argv[++i]);
            // As many pairs of either order: at least two, an odd count taken up to the next even one.
            const int pairs = std::max(2, std::stoi(narrow(argv[++i])));
            measureProgressWindow(windowSize, pairs + pairs % 2);
        }
        else
            measure(size);
    }
    return 0;
}
