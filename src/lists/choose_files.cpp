#include "lists/choose_files.h"

#include <algorithm>
#include <unordered_set>

#include "lists/messages.h"
#include "lists/path_parts.h"

namespace lists {

std::string refusedNotice(const std::string& heading, const std::vector<std::string>& refused)
{
    return heading + messages::firstTenLines(refused.size(), [&](std::size_t i) { return refused[i]; });
}

namespace {

constexpr std::uint32_t protectedFile = platform::attr::hidden | platform::attr::system;

std::vector<std::string> filesOfFolder(platform::FileSystem& fs, const std::string& folder)
{
    std::vector<platform::FolderEntry> entries = fs.filesIn(folder);
    std::erase_if(entries, [](const auto& e) { return (e.attributes & protectedFile) == protectedFile; });
    std::stable_sort(entries.begin(), entries.end(),
                     [&](const auto& a, const auto& b) { return fs.compareNames(a.name, b.name) < 0; });
    const bool closed = !folder.empty() && (folder.back() == '\\' || folder.back() == ':');
    std::vector<std::string> paths;
    for (const auto& e : entries)
        paths.push_back(folder + (closed ? "" : "\\") + e.name);
    return paths;
}

}  // namespace

Given filesGiven(platform::FileSystem& fs, const std::vector<std::string>& paths, std::size_t limit)
{
    Given given;
    if (paths.size() > limit) {
        given.tooMany = true;
        return given;
    }
    std::unordered_set<std::string> pathsSeen, filesSeen;
    auto take = [&](const std::string& file) {
        if (filesSeen.insert(fs.caseKey(file)).second)
            given.files.push_back(file);
    };
    for (const auto& p : paths) {
        if (!pathsSeen.insert(fs.caseKey(p)).second)
            continue;
        // The system answers for a device as for a file, but it is none.
        if (isDeviceName(namePart(p))) {
            given.missing.push_back(p);
        } else if (fs.fileExists(p)) {
            take(p);
        } else if (fs.folderExists(p)) {
            for (const auto& inside : filesOfFolder(fs, p))
                take(inside);
        } else {
            given.missing.push_back(p);
        }
        if (given.files.size() > limit)
            return Given{{}, {}, true};
    }
    return given;
}

}  // namespace lists
