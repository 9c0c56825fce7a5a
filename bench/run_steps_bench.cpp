// The steps of the program around a million entries, natively over the in-memory volume: the
// start with the lists left beside it, a preview through the menu, the full-path view, and the
// steps of Execute before the first file and after the last (from the program's own trace); then
// the start again with that run on the undo history, and a second run beside it.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "harness.h"
#include "rename/undo_history.h"

namespace {

using Clock = std::chrono::steady_clock;

template <typename Step>
double timed(Step step)
{
    const auto start = Clock::now();
    step();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The resident set now, or its peak since resetPeak, in MB: what one step needed, read apart from
// what the steps before it left.
double residentMb(const char* field)
{
    std::ifstream in("/proc/self/status");
    std::string key;
    double kb = 0;
    while (in >> key)
        if (key == field && in >> kb)
            return kb / 1024.0;
    return 0;
}

void resetPeak()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

std::map<std::string, double> readTrace(const char* path)
{
    std::map<std::string, double> steps;
    std::ifstream in(path);
    std::string step;
    double at = 0;
    while (in >> step >> at)
        steps[step] = at;
    return steps;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::size_t n = argc > 1 ? std::stoul(argv[1]) : 1000000;
    const char* trace = "run_steps_bench.trace";
    std::remove(trace);
    setenv("NOMERRA_TRACE", trace, 1);

    // Paths of about 40 characters, 1,000 files a folder, every one on the volume.
    std::vector<std::string> paths;
    paths.reserve(n);
    for (std::size_t i = 0; i < n; ++i)
        paths.push_back("C:\\Users\\someone\\Pictures\\" + std::to_string(i / 1000) + "\\IMG_" +
                        std::to_string(1000000 + i) + ".jpg");
    std::unique_ptr<test::Harness> h;
    const double start = timed([&] {
        h = std::make_unique<test::Harness>([&](test::Harness& early) {
            for (const auto& p : paths)
                early.fs.addFile(p);
            early.putList(lists::ListFile::OriginalPaths, paths);
            early.putList(lists::ListFile::OriginalNames, {});
        });
    });
    // The start includes putting the files on the volume: told apart by doing it again.
    const double volume = timed([&] {
        platform::headless::HeadlessFileSystem other;
        for (const auto& p : paths)
            other.addFile(p);
    });
    h->form.edtname.setText("trip");
    const double preview = timed([&] { h->form.n_preview.choose(); });
    const double fullPaths = timed([&] { test::user(h->form.cbShowpathO).click(); });
    const double run = timed([&] { h->form.n_run.choose(); });
    auto steps = readTrace(trace);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);

    std::printf("%zu entries: start with the lists beside the program %.3f s (the volume filled %.3f s of it); "
                "preview through the menu %.3f s; full-path view %.3f s\n",
                n, start - volume, volume, preview, fullPaths);
    std::printf("Execute %.3f s: before the engine %.3f s, engine %.3f s, after it %.3f s (run closed %.3f, lists "
                "written %.3f, history written %.3f, view loaded %.3f); %zu renamed; peak resident %.0f MB\n",
                run, steps["engine"] - steps["chosen"], steps["engine-ended"] - steps["engine"],
                steps["asked"] - steps["engine-ended"], steps["run-closed"] - steps["engine-ended"],
                steps["lists-written"] - steps["run-closed"], steps["history-written"] - steps["lists-written"],
                steps["view-loaded"] - steps["history-written"],
                static_cast<std::size_t>(h->fs.fileExists(paths.back()) ? 0 : n), usage.ru_maxrss / 1024.0);

    // The program started again over the same volume, the run just made on its history.
    const double resident = residentMb("VmRSS:");
    resetPeak();
    std::unique_ptr<test::Harness> again;
    const double restart = timed([&] {
        again = std::make_unique<test::Harness>([&](test::Harness& early) { early.fs = std::move(h->fs); });
    });
    const double restartPeak = residentMb("VmHWM:");
    h.reset();
    const double historyRead =
        timed([&] { renaming::readHistory(again->fs, renaming::undoHistoryPath(again->fs)); });
    again->form.edtname.setText("back");
    again->form.n_preview.choose();
    const double second = timed([&] { again->form.n_run.choose(); });
    steps = readTrace(trace);
    std::printf("start with that run on the history %.3f s (the history read %.3f s), %.0f MB at its peak beside "
                "%.0f MB before it; a second run %.3f s, its history written %.3f s, before the engine %.3f s\n",
                restart, historyRead, restartPeak, resident, second,
                steps["history-written"] - steps["lists-written"], steps["engine"] - steps["chosen"]);
    std::remove(trace);
    return 0;
}
