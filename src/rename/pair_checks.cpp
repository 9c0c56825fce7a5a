// What the engine asks of a pair before it acts on it: the names the system would refuse or read
// as another, who each original is and what attributes it has, and which pairs name one file.
#include <algorithm>
#include <array>
#include <unordered_map>

#include "lists/path_parts.h"
#include "platform/utf8.h"
#include "rename/execute.h"

namespace renaming {

using platform::FileSystem;

bool readAsAnotherName(const std::string& path)
{
    return !path.empty() && (path.back() == '.' || path.back() == ' ');
}

std::uint32_t newAttributes(bool readOnly, bool hidden)
{
    if (!readOnly && !hidden)
        return platform::attr::archive;
    return (readOnly ? platform::attr::readOnly : 0) | (hidden ? platform::attr::hidden : 0);
}

bool hasControlCharacter(std::string_view text)
{
    return std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 32; });
}

namespace {

// Control characters and what Windows reserves, by byte: a run asks about a million names, and a
// search of the reserved ones for every byte took longer than the rest of its checks together.
constexpr std::array<bool, 128> refusedInNames = [] {
    std::array<bool, 128> refused{};
    for (std::size_t c = 0; c < 32; ++c)
        refused[c] = true;
    for (char c : std::string_view("<>:\"/|?*"))
        refused[static_cast<unsigned char>(c)] = true;
    return refused;
}();

}  // namespace

bool isValidNamePart(std::string_view path)
{
    const std::string_view name = path.substr(path.find_last_of('\\') + 1);
    if (name.empty() || name.back() == '.' || name.back() == ' ' || platform::utf16Length(name) > 255)
        return false;
    if (std::any_of(name.begin(), name.end(), [](char c) {
            const auto b = static_cast<unsigned char>(c);
            return b < refusedInNames.size() && refusedInNames[b];
        }))
        return false;
    return !lists::isDeviceName(name);
}

bool mayBeTemporaryName(const std::string& path)
{
    constexpr std::string_view suffix = ".tmp";
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return path.size() >= suffix.size() &&
           std::equal(suffix.begin(), suffix.end(), path.end() - suffix.size(), [&](char a, char b) { return a == lower(b); });
}

bool discardTemporary(FileSystem& fs, const std::string& path)
{
    fs.setAttributes(path, platform::attr::archive);
    // A copy that failed before it began left nothing to remove, and nothing to name.
    return fs.deleteFile(path) == platform::err::ok || !fs.fileExists(path);
}

namespace {

// Such a path names another file to the system, which must not make its pair that file's.
bool namesAnother(const std::string& path)
{
    return hasControlCharacter(path) || readAsAnotherName(path);
}

std::vector<std::string_view> originalPaths(const std::vector<Pair>& pairs)
{
    std::vector<std::string_view> originals;
    originals.reserve(pairs.size());
    for (const auto& p : pairs)
        originals.push_back(p.from);
    return originals;
}

}  // namespace

Originals originalsOf(FileSystem& fs, const std::vector<Pair>& pairs)
{
    // Asking for each file costs more than the renames where the files are few a folder: both
    // come from one listing a folder. A name the listing holds otherwise is asked about alone.
    std::vector<platform::FileAt> found = fs.filesAt(originalPaths(pairs));
    Originals originals;
    originals.identities.reserve(pairs.size());
    originals.attributes.reserve(pairs.size());
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        if (namesAnother(pairs[i].from))
            found[i].identity.reset();
        if (!isValidNamePart(pairs[i].from))
            found[i].attributes = fs.attributes(pairs[i].from);
        originals.identities.push_back(found[i].identity);
        originals.attributes.push_back(found[i].attributes);
    }
    return originals;
}

std::vector<std::size_t> firstOfSameFile(FileSystem& fs, const std::vector<Pair>& pairs, const Identities& identities)
{
    struct FileHash {
        std::size_t operator()(const std::pair<std::uint64_t, std::uint64_t>& f) const
        {
            return std::hash<std::uint64_t>{}(f.first * 0x9E3779B97F4A7C15ull ^ f.second);
        }
    };
    std::unordered_map<std::pair<std::uint64_t, std::uint64_t>, std::size_t, FileHash> byIdentity;
    // The paths without an identity by the hash of their case key, sorted: a million paths that
    // are no files cost no allocation each. Only paths whose hashes meet are compared by key.
    std::vector<std::pair<std::size_t, std::size_t>> bySpelling;
    const auto identified = static_cast<std::size_t>(std::count_if(identities.begin(), identities.end(),
                                                                   [](const auto& id) { return id.has_value(); }));
    byIdentity.reserve(identified);
    bySpelling.reserve(pairs.size() - identified);
    std::vector<std::size_t> out(pairs.size());
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        if (const auto& id = identities[i])
            out[i] = byIdentity.emplace(std::pair(id->volume, id->file), i).first->second;
        else
            bySpelling.emplace_back(std::hash<std::string>{}(fs.caseKey(pairs[i].from)), i);
    }
    std::sort(bySpelling.begin(), bySpelling.end());
    for (auto run = bySpelling.begin(); run != bySpelling.end();) {
        const auto end = std::find_if(run, bySpelling.end(), [&](const auto& e) { return e.first != run->first; });
        if (end - run == 1) {
            out[run->second] = run->second;
            run = end;
            continue;
        }
        std::vector<std::pair<std::string, std::size_t>> firsts;  // in the order of the pairs
        for (auto e = run; e != end; ++e) {
            std::string key = fs.caseKey(pairs[e->second].from);
            const auto same = std::find_if(firsts.begin(), firsts.end(), [&](const auto& f) { return f.first == key; });
            out[e->second] = same == firsts.end() ? firsts.emplace_back(std::move(key), e->second).second : same->second;
        }
        run = end;
    }
    return out;
}

}  // namespace renaming
