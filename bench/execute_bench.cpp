// Preview and execution on real files, next to the bare system calls each pair needs at the
// least (SetFileAttributesW on the original, MoveFileW, SetFileAttributesW on the new path).
// Run under Wine or on Windows; prints files per second and the ratio execution / bare loop.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "lists/list_store.h"
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

std::vector<std::string> makeFiles(const std::string& folder, std::size_t n)
{
    std::vector<std::string> paths;
    for (std::size_t i = 0; i < n; ++i) {
        paths.push_back(folder + "IMG_" + std::to_string(100000 + i) + ".jpg");
        HANDLE h = CreateFileW(platform::win32::widen(paths.back()).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        CloseHandle(h);
    }
    return paths;
}

void removeFolder(const std::string& folder)
{
    WIN32_FIND_DATAW fd;
    std::wstring wide = platform::win32::widen(folder);
    HANDLE h = FindFirstFileW((wide + L"*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                SetFileAttributesW((wide + fd.cFileName).c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW((wide + fd.cFileName).c_str());
            }
        } while (FindNextFileW(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryW(wide.c_str());
}

// The project's preview: the list store read, composition, the list store writes.
double timePreview(lists::ListStore& store, std::vector<std::string>& targets)
{
    renaming::RenameOptions options;
    options.edtname = "trip";
    options.edtvalue = "00001";
    const auto start = Clock::now();
    const auto read = store.read(lists::ListFile::OriginalPaths);
    targets.clear();
    targets.reserve(read.size());
    for (std::size_t k = 0; k < read.size(); ++k)
        targets.push_back(renaming::composeEntry(read[k], k, options, false).path);
    store.rewrite(lists::ListPair::New, targets);
    return since(start);
}

}  // namespace

// Sizes may be given as arguments; 1,000, 10,000 and 50,000 files by default. "preview N"
// times the preview alone over N listed paths, without making the files.
int main(int argc, char** argv)
{
    platform::win32::Win32FileSystem fs;
    lists::ListStore store(fs);
    if (argc == 3 && std::string(argv[1]) == "preview") {
        const std::size_t n = std::stoul(argv[2]);
        std::vector<std::string> originals;
        for (std::size_t i = 0; i < n; ++i)
            originals.push_back("C:\\Users\\someone\\Pictures\\2026 假期\\IMG_" + std::to_string(100000 + i) + ".jpg");
        store.rewrite(lists::ListPair::Original, originals);
        std::vector<std::string> targets;
        const double seconds = timePreview(store, targets);
        std::printf("preview of %zu entries: %.3f s (%.0f entries/s)\n", n, seconds, n / seconds);
        for (lists::ListFile f : lists::allListFiles)
            store.remove(f);
        return 0;
    }
    std::vector<std::size_t> sizes;
    for (int i = 1; i < argc; ++i)
        sizes.push_back(std::stoul(argv[i]));
    if (sizes.empty())
        sizes = {1000, 10000, 50000};
    for (std::size_t n : sizes) {
        // The project's preview, then its execution (rename in place with attributes), with the
        // run journal and without it, each over fresh files.
        double preview = 0, withJournal = 0, withoutJournal = 0;
        std::size_t done = 0;
        for (bool journaled : {true, false}) {
            const std::string folder = makeFolder("nomerra-bench-own");
            const std::vector<std::string> originals = makeFiles(folder, n);
            store.rewrite(lists::ListPair::Original, originals);
            std::vector<std::string> targets;
            preview = timePreview(store, targets);
            std::vector<renaming::Pair> pairs;
            for (std::size_t i = 0; i < n; ++i)
                pairs.push_back({originals[i], targets[i]});
            const auto start = Clock::now();
            std::vector<renaming::PairResult> results;
            if (journaled) {
                renaming::RunJournal journal(fs, store.journalPath(), renaming::Mode::RenameInPlace, pairs);
                results = renaming::execute(fs, pairs, renaming::Mode::RenameInPlace, FILE_ATTRIBUTE_READONLY, &journal);
            } else {
                results = renaming::execute(fs, pairs, renaming::Mode::RenameInPlace, FILE_ATTRIBUTE_READONLY, nullptr);
            }
            (journaled ? withJournal : withoutJournal) = since(start);
            fs.deleteFile(store.journalPath());
            done = 0;
            for (const auto& r : results)
                done += r.outcome == renaming::Outcome::Done;
            removeFolder(folder);
        }

        // The bare loop over as many fresh files.
        const std::string folder = makeFolder("nomerra-bench-bare");
        const std::vector<std::string> originals = makeFiles(folder, n);
        std::vector<std::wstring> from, to;
        for (std::size_t i = 0; i < n; ++i) {
            from.push_back(platform::win32::widen(originals[i]));
            to.push_back(platform::win32::widen(folder + "trip" + std::to_string(i) + ".jpg"));
        }
        const auto start = Clock::now();
        for (std::size_t i = 0; i < n; ++i) {
            SetFileAttributesW(from[i].c_str(), FILE_ATTRIBUTE_ARCHIVE);
            MoveFileW(from[i].c_str(), to[i].c_str());
            SetFileAttributesW(to[i].c_str(), FILE_ATTRIBUTE_READONLY);
        }
        const double bare = since(start);
        removeFolder(folder);

        std::printf("%6zu files: preview %.3f s (%.0f entries/s); execute %.3f s (%.0f files/s, %zu done), "
                    "without journal %.3f s; bare loop %.3f s (%.0f files/s); ratio execute/bare %.2f, "
                    "without journal %.2f\n",
                    n, preview, n / preview, withJournal, n / withJournal, done, withoutJournal, bare, n / bare,
                    withJournal / bare, withoutJournal / bare);
        std::fflush(stdout);
    }
    for (lists::ListFile f : lists::allListFiles)
        store.remove(f);
    return 0;
}
