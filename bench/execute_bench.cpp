// Preview and execution on real files, next to the bare system calls each pair needs at the
// least (SetFileAttributesW on the original, MoveFileExW, SetFileAttributesW on the new path) and
// to the moves alone. Run under Wine or on Windows; prints files per second and the ratio
// execution / bare loop.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "bench_files.h"
#include "lists/list_store.h"
#include "lists/path_parts.h"
#include "platform/win32/wide.h"
#include "platform/win32/win32_fs.h"
#include "rename/compose.h"
#include "rename/execute.h"
#include "rename/journal.h"

namespace {

using Clock = std::chrono::steady_clock;

double since(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

std::string makeFolder(const std::string& name)
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::string folder = platform::win32::narrow(temp) + name + "\\";
    CreateDirectoryW(platform::win32::widen(folder).c_str(), nullptr);
    return folder;
}

// Files spread evenly over this many folders inside the given one (the given one itself when 1).
std::vector<std::string> makeFiles(const std::string& root, std::size_t n, std::size_t folders)
{
    std::vector<std::string> paths;
    for (std::size_t f = 0; f < folders; ++f) {
        const std::string folder = folders == 1 ? root : root + "d" + std::to_string(f) + "\\";
        CreateDirectoryW(platform::win32::widen(folder).c_str(), nullptr);
        for (std::size_t i = f * n / folders; i < (f + 1) * n / folders; ++i) {
            paths.push_back(folder + "IMG_" + std::to_string(100000 + i) + ".jpg");
            HANDLE h = CreateFileW(platform::win32::widen(paths.back()).c_str(), GENERIC_WRITE, 0, nullptr,
                                   CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
            CloseHandle(h);
        }
    }
    return paths;
}

void removeFolder(const std::string& folder)
{
    bench::removeFolder(platform::win32::widen(folder));
}

// The least a rename in place costs over fresh files: with the two attribute calls each pair
// needs at the least, or the move alone.
double timeBareLoop(std::size_t n, std::size_t folders, bool withAttributes)
{
    const std::string folder = makeFolder("nomerra-bench-bare");
    const std::vector<std::string> originals = makeFiles(folder, n, folders);
    std::vector<std::wstring> from, to;
    for (std::size_t i = 0; i < n; ++i) {
        from.push_back(platform::win32::widen(originals[i]));
        to.push_back(platform::win32::widen(lists::folderPart(originals[i]) + "trip" + std::to_string(i) + ".jpg"));
    }
    const auto start = Clock::now();
    for (std::size_t i = 0; i < n; ++i) {
        if (withAttributes)
            SetFileAttributesW(from[i].c_str(), FILE_ATTRIBUTE_ARCHIVE);
        MoveFileExW(from[i].c_str(), to[i].c_str(), 0);
        if (withAttributes)
            SetFileAttributesW(to[i].c_str(), FILE_ATTRIBUTE_READONLY);
    }
    const double seconds = since(start);
    removeFolder(folder);
    return seconds;
}

// What the system costs to find a name in a folder of n files, once the name is there and once
// it is not: a rename looks for its new name, which is not there yet, and under Wine that means
// a search of the whole folder in every letter case.
void timeLookups(std::size_t n)
{
    const std::string folder = makeFolder("nomerra-bench-lookups");
    const std::vector<std::string> there = makeFiles(folder, n, 1);
    const std::size_t asked = std::min<std::size_t>(n, 2000);
    auto timed = [&](auto pathOf) {
        const auto start = Clock::now();
        for (std::size_t i = 0; i < asked; ++i)
            GetFileAttributesW(platform::win32::widen(pathOf(i)).c_str());
        return since(start) / static_cast<double>(asked) * 1e6;
    };
    const double present = timed([&](std::size_t i) { return there[i]; });
    const double absent = timed([&](std::size_t i) { return folder + "trip" + std::to_string(i) + ".jpg"; });
    std::printf("%zu files in one folder: a name that is there found in %.1f us, one that is not in %.1f us\n", n,
                present, absent);
    removeFolder(folder);
}

// The project's preview: the list store read, composition, the list store writes.
double timePreview(lists::ListStore& store, std::vector<std::string>& targets)
{
    renaming::RenameOptions options;
    options.edtname = "trip";
    options.edtvalue = "00001";
    const auto start = Clock::now();
    const auto read = store.readOriginal();
    const std::string lines = renaming::composeList(read->text, 0, options, false);
    store.rewriteNew(lines, *read);
    const double seconds = since(start);
    targets = lists::splitLines(lines);
    return seconds;
}

// The list store's files as they were written before they were made durable: no flush before
// the move, no write-through move. What a preview costs more now is the difference.
class Unflushed : public platform::win32::Win32FileSystem {
public:
    void writeAll(const std::string& path, const std::string& bytes) override
    {
        HANDLE h = CreateFileW(platform::win32::systemPath(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                               CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(h);
    }
    std::uint32_t replaceFile(const std::string& from, const std::string& to) override
    {
        return MoveFileExW(platform::win32::systemPath(from).c_str(), platform::win32::systemPath(to).c_str(),
                           MOVEFILE_REPLACE_EXISTING)
                   ? 0
                   : GetLastError();
    }
};

// The preview alone over n listed paths, without making the files.
double timeListedPreview(platform::FileSystem& fs, std::size_t n)
{
    lists::ListStore store(fs);
    std::vector<std::string> originals;
    for (std::size_t i = 0; i < n; ++i)
        originals.push_back("C:\\Users\\someone\\Pictures\\2026 假期\\IMG_" + std::to_string(100000 + i) + ".jpg");
    store.rewrite(lists::ListPair::Original, originals);
    std::vector<std::string> targets;
    const double seconds = timePreview(store, targets);
    for (lists::ListFile f : lists::allListFiles)
        store.remove(f);
    return seconds;
}

// That preview with the lists written durably and as before, a few times each.
void timeListWrites(std::size_t n)
{
    for (int round = 0; round < 3; ++round)
        for (bool durable : {true, false}) {
            Unflushed unflushed;
            platform::win32::Win32FileSystem flushed;
            const double seconds = timeListedPreview(durable ? static_cast<platform::FileSystem&>(flushed) : unflushed, n);
            std::printf("preview of %zu entries, lists %s: %.3f s\n", n, durable ? "flushed" : "not flushed", seconds);
        }
}

// The file system with the journal's one flush left out, to weigh that flush.
class UnflushedFileSystem : public platform::win32::Win32FileSystem {
public:
    std::unique_ptr<platform::AppendOnlyFile> openAppendOnly(const std::string& path, bool keep) override
    {
        struct Unflushed : platform::AppendOnlyFile {
            std::unique_ptr<platform::AppendOnlyFile> file;
            std::uint32_t write(const std::string& bytes) override { return file->write(bytes); }
            std::uint32_t flush() override { return 0; }
        };
        auto unflushed = std::make_unique<Unflushed>();
        unflushed->file = Win32FileSystem::openAppendOnly(path, keep);
        return unflushed;
    }
};

enum class Journal { Flushed, Unflushed, None };

}  // namespace

// Sizes may be given as arguments, N files in one folder or N/F over F folders; 1,000, 10,000 and
// 50,000 files by default. "preview N" times the preview alone over N listed paths, without
// making the files; "lists N" that preview with the lists flushed and without; "lookups N" what
// finding a name costs in a folder of N files.
int main(int argc, char** argv)
{
    platform::win32::Win32FileSystem fs;
    lists::ListStore store(fs);
    if (argc == 3 && std::string(argv[1]) == "lists") {
        timeListWrites(std::stoul(argv[2]));
        return 0;
    }
    if (argc == 3 && std::string(argv[1]) == "lookups") {
        timeLookups(std::stoul(argv[2]));
        return 0;
    }
    if (argc == 3 && std::string(argv[1]) == "preview") {
        const std::size_t n = std::stoul(argv[2]);
        const double seconds = timeListedPreview(fs, n);
        std::printf("preview of %zu entries: %.3f s (%.0f entries/s)\n", n, seconds, n / seconds);
        return 0;
    }
    // A size is a number of files, in one folder or, written N/F, spread over F folders.
    std::vector<std::string> sizes(argv + 1, argv + argc);
    if (sizes.empty())
        sizes = {"1000", "10000", "50000"};
    for (const std::string& size : sizes) {
        const std::size_t n = std::stoul(size);
        const std::size_t slash = size.find('/');
        const std::size_t folders = slash == std::string::npos ? 1 : std::stoul(size.substr(slash + 1));
        // The project's preview, then its execution (rename in place with attributes), with the
        // run journal, with the journal but without its flush, and without it, each over fresh files.
        double preview = 0, withJournal = 0, unflushed = 0, withoutJournal = 0, identities = 0;
        std::size_t done = 0;
        for (Journal journaled : {Journal::Flushed, Journal::Unflushed, Journal::None}) {
            const std::string folder = makeFolder("nomerra-bench-own");
            const std::vector<std::string> originals = makeFiles(folder, n, folders);
            store.rewrite(lists::ListPair::Original, originals);
            std::vector<std::string> targets;
            preview = timePreview(store, targets);
            std::vector<renaming::Pair> pairs;
            for (std::size_t i = 0; i < n; ++i)
                pairs.push_back({originals[i], targets[i]});
            if (journaled == Journal::None) {
                const auto start = Clock::now();
                renaming::originalsOf(fs, pairs);
                identities = since(start);
            }
            UnflushedFileSystem unflushedFs;
            platform::FileSystem& runFs = journaled == Journal::Unflushed ? unflushedFs : fs;
            const auto start = Clock::now();
            std::vector<renaming::PairResult> results;
            if (journaled != Journal::None) {
                renaming::RunJournal journal(runFs, store.journalPath(), renaming::Mode::RenameInPlace, pairs);
                results = renaming::execute(runFs, pairs, renaming::Mode::RenameInPlace, FILE_ATTRIBUTE_READONLY, &journal);
            } else {
                results = renaming::execute(fs, pairs, renaming::Mode::RenameInPlace, FILE_ATTRIBUTE_READONLY, nullptr);
            }
            (journaled == Journal::Flushed ? withJournal : journaled == Journal::Unflushed ? unflushed : withoutJournal) =
                since(start);
            fs.deleteFile(store.journalPath());
            done = 0;
            for (const auto& r : results)
                done += r.outcome == renaming::Outcome::Done;
            removeFolder(folder);
        }
        const double bare = timeBareLoop(n, folders, true);
        const double moves = timeBareLoop(n, folders, false);

        std::printf("%6zu files in %zu folder(s): preview %.3f s (%.0f entries/s); execute %.3f s (%.0f files/s, "
                    "%zu done), journal unflushed %.3f s, without journal %.3f s, identities and attributes alone %.3f s; bare loop "
                    "%.3f s (%.0f files/s); moves alone %.3f s (%.0f files/s); ratio execute/bare %.2f, unflushed "
                    "%.2f, without journal %.2f\n",
                    n, folders, preview, n / preview, withJournal, n / withJournal, done, unflushed, withoutJournal,
                    identities, bare, n / bare, moves, n / moves, withJournal / bare, unflushed / bare,
                    withoutJournal / bare);
        std::fflush(stdout);
    }
    for (lists::ListFile f : lists::allListFiles)
        store.remove(f);
    return 0;
}
