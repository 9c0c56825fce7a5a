// Who a file is and what it is called: attributes, stored names, case keys, identities, listings.
#include "platform/headless/headless_fs.h"

#include <compare>

#include "platform/headless/headless_fs_names.h"

namespace platform::headless {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// A run of digits at i, by value: without leading zeros, a longer run is the larger number.
std::strong_ordering compareNumbers(const std::string& a, std::size_t& i, const std::string& b, std::size_t& j)
{
    auto run = [](const std::string& s, std::size_t& at) {
        while (at < s.size() && s[at] == '0' && at + 1 < s.size() && isDigit(s[at + 1]))
            ++at;
        std::size_t start = at;
        while (at < s.size() && isDigit(s[at]))
            ++at;
        return s.substr(start, at - start);
    };
    const std::string x = run(a, i), y = run(b, j);
    if (auto bySize = x.size() <=> y.size(); bySize != 0)
        return bySize;
    return x <=> y;
}

}  // namespace

std::optional<FileIdentity> HeadlessFileSystem::identity(const std::string& path)
{
    if (injected(Op::Identity, path))
        return std::nullopt;
    auto it = files_.find(fold(path));
    if (it == files_.end())
        return std::nullopt;
    const Node& node = *it->second.node;
    return FileIdentity{static_cast<unsigned char>(upperCase(path.substr(0, 1))[0]), node.number, node.bytes.size(),
                        node.written};
}

bool HeadlessFileSystem::fileExists(const std::string& path)
{
    return files_.count(fold(path)) > 0;
}

bool HeadlessFileSystem::folderExists(const std::string& path)
{
    return !path.empty() && folders_.count(fold(path)) > 0;
}

std::uint32_t HeadlessFileSystem::attributes(const std::string& path)
{
    auto it = files_.find(fold(path));
    if (it != files_.end())
        return it->second.node->attributes;
    return folderExists(path) ? attr::directory : attr::invalid;
}

std::string HeadlessFileSystem::storedName(const std::string& path)
{
    auto it = files_.find(fold(path));
    if (it == files_.end())
        return "";
    return it->second.name.substr(it->second.name.find_last_of('\\') + 1);
}

std::string HeadlessFileSystem::caseKey(const std::string& path)
{
    return upperCase(path);
}

std::vector<FolderEntry> HeadlessFileSystem::filesIn(const std::string& folder)
{
    // A folder's files lie together in the volume's order, under its key: only they are looked at,
    // however many files the volume holds.
    const std::string key = fold(folder);
    const std::string prefix = key.ends_with('\\') ? key : key + '\\';
    std::vector<FolderEntry> entries;
    for (auto it = files_.lower_bound(prefix); it != files_.end() && it->first.starts_with(prefix); ++it)
        if (fold(parentOf(it->second.name)) == key)
            entries.push_back({it->second.name.substr(it->second.name.find_last_of('\\') + 1),
                               it->second.node->attributes});
    return entries;
}

int HeadlessFileSystem::compareNames(const std::string& a, const std::string& b)
{
    // Folded as the volume folds names; UTF-8 keeps the order of code points bytewise.
    const std::string x = upperCase(a), y = upperCase(b);
    std::size_t i = 0, j = 0;
    while (i < x.size() && j < y.size()) {
        std::strong_ordering order = std::strong_ordering::equal;
        if (isDigit(x[i]) && isDigit(y[j]))
            order = compareNumbers(x, i, y, j);
        else if (isDigit(x[i]) || isDigit(y[j]))
            return isDigit(x[i]) ? -1 : 1;
        else
            order = static_cast<unsigned char>(x[i++]) <=> static_cast<unsigned char>(y[j++]);
        if (order != 0)
            return order < 0 ? -1 : 1;
    }
    return i < x.size() ? 1 : j < y.size() ? -1 : 0;
}

std::vector<std::optional<FileIdentity>> HeadlessFileSystem::identities(const std::vector<std::string_view>& paths)
{
    std::vector<std::optional<FileIdentity>> out;
    out.reserve(paths.size());
    for (const auto path : paths)
        out.push_back(identity(std::string(path)));
    return out;
}

std::vector<FileAt> HeadlessFileSystem::filesAt(const std::vector<std::string_view>& paths)
{
    std::vector<FileAt> out;
    out.reserve(paths.size());
    for (const auto path : paths)
        out.push_back({identity(std::string(path)), attributes(std::string(path))});
    return out;
}

}  // namespace platform::headless
