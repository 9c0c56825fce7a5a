// Who a file is and what it is called: attributes, stored names, case keys, identities, listings.
#include "platform/win32/win32_fs.h"

#include <windows.h>
#include <shlwapi.h>

#include <unordered_map>

#include "platform/win32/case_key.h"
#include "platform/win32/win32_fs_files.h"
#include "platform/win32/wide.h"

namespace platform::win32 {

namespace {

std::uint64_t joined(DWORD high, DWORD low)
{
    return (static_cast<std::uint64_t>(high) << 32) | low;
}

}  // namespace

std::uint32_t Win32FileSystem::attributes(const std::string& path)
{
    if (path.empty())
        return attr::invalid;
    return GetFileAttributesW(systemPath(path).c_str());
}

bool Win32FileSystem::fileExists(const std::string& path)
{
    DWORD a = attributes(path);
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32FileSystem::folderExists(const std::string& path)
{
    DWORD a = attributes(path);
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::vector<FolderEntry> Win32FileSystem::filesIn(const std::string& folder)
{
    std::vector<FolderEntry> entries;
    const bool closed = !folder.empty() && (folder.back() == '\\' || folder.back() == ':');
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileExW(systemPath(folder + (closed ? "*" : "\\*")).c_str(), FindExInfoBasic, &fd,
                                FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (h == INVALID_HANDLE_VALUE)
        return entries;
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            entries.push_back({narrow(fd.cFileName), fd.dwFileAttributes});
    } while (FindNextFileW(h, &fd));
    FindClose(h);
    return entries;
}

int Win32FileSystem::compareNames(const std::string& a, const std::string& b)
{
    return StrCmpLogicalW(widen(a).c_str(), widen(b).c_str());
}

std::string Win32FileSystem::storedName(const std::string& path)
{
    // Without wildcards the search finds the one entry the path names, as the directory spells it.
    if (path.find_first_of("?*") != std::string::npos)
        return "";
    WIN32_FIND_DATAW found;
    HANDLE h = FindFirstFileExW(systemPath(path).c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0);
    if (h == INVALID_HANDLE_VALUE)
        return "";
    FindClose(h);
    return narrow(found.cFileName);
}

std::string Win32FileSystem::caseKey(const std::string& path)
{
    return upperCaseKey(path);
}

std::optional<FileIdentity> Win32FileSystem::identity(const std::string& path)
{
    // No access asked and every sharing allowed: reading who a file is never stands in the way
    // of another program, and a link is taken for itself, as a rename takes it.
    Handle h(CreateFileW(systemPath(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    BY_HANDLE_FILE_INFORMATION info;
    if (!h.valid() || !GetFileInformationByHandle(h.get(), &info))
        return std::nullopt;
    return FileIdentity{info.dwVolumeSerialNumber, joined(info.nFileIndexHigh, info.nFileIndexLow),
                        joined(info.nFileSizeHigh, info.nFileSizeLow),
                        joined(info.ftLastWriteTime.dwHighDateTime, info.ftLastWriteTime.dwLowDateTime)};
}

namespace {

// The files of one folder by the case key of each name, long and short, as the folder's own
// listing gives them: the identity (none where the listing gives no number) and the attributes.
// A name that two files share (a folder that tells letter case apart) is marked so: only the
// path itself can tell which one it names. Nothing when the folder cannot be listed so.
struct Listed {
    std::optional<FileIdentity> identity;
    std::uint32_t attributes = attr::invalid;
    bool shared = false;
};
using Listing = std::unordered_map<std::string, Listed>;

std::optional<Listing> listingOf(Win32FileSystem& fs, const std::string& folder)
{
    Listing byName;
    Handle h(CreateFileW(systemPath(folder).c_str(), FILE_LIST_DIRECTORY,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                         FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION volume;
    if (!h.valid() || !GetFileInformationByHandle(h.get(), &volume))
        return std::nullopt;
    auto add = [&](std::string key, const FileIdentity& id, std::uint32_t attributes, bool numbered) {
        auto [it, fresh] = byName.try_emplace(std::move(key), Listed{id, attributes});
        const bool another = !fresh && !(numbered && it->second.identity && it->second.identity->sameFile(id));
        if (!numbered || another)
            it->second.identity.reset();
        it->second.shared = it->second.shared || another;
    };
    auto keyOf = [&](const wchar_t* name, std::size_t bytes) {
        return fs.caseKey(narrow(std::wstring(name, bytes / sizeof(wchar_t))));
    };
    std::vector<std::uint64_t> buffer(64 * 1024 / sizeof(std::uint64_t));  // aligned as the entries need
    auto kind = FileIdBothDirectoryRestartInfo;
    for (; GetFileInformationByHandleEx(h.get(), kind, buffer.data(), static_cast<DWORD>(buffer.size() * 8));
         kind = FileIdBothDirectoryInfo) {
        for (auto* at = reinterpret_cast<const char*>(buffer.data());;) {
            const auto* entry = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(at);
            const auto number = static_cast<std::uint64_t>(entry->FileId.QuadPart);
            // Some file systems give no number in a listing: then each file is opened after all.
            const bool numbered = number != 0 && number != ~0ull;
            const FileIdentity id{volume.dwVolumeSerialNumber, number,
                                  static_cast<std::uint64_t>(entry->EndOfFile.QuadPart),
                                  static_cast<std::uint64_t>(entry->LastWriteTime.QuadPart)};
            std::string name = keyOf(entry->FileName, entry->FileNameLength);
            if (entry->ShortNameLength)
                if (std::string shortName = keyOf(entry->ShortName, entry->ShortNameLength); shortName != name)
                    add(std::move(shortName), id, entry->FileAttributes, numbered);
            add(std::move(name), id, entry->FileAttributes, numbered);
            if (!entry->NextEntryOffset)
                break;
            at += entry->NextEntryOffset;
        }
    }
    if (GetLastError() != ERROR_NO_MORE_FILES)
        return std::nullopt;
    return byName;
}

// What the listing of a path's folder holds under its name.
struct Lookup {
    bool listed;          // false: the folder could not be listed so
    const Listed* entry;  // nullptr: no such name
};

// Calls found(i, lookup) for each path: one listing a folder, and one case key a spelling of it
// rather than one a path.
template <class Found>
void lookUpInListings(Win32FileSystem& fs, const std::vector<std::string_view>& paths, Found found)
{
    auto folderOf = [](std::string_view path) { return path.substr(0, path.find_last_of('\\') + 1); };
    std::unordered_map<std::string_view, std::vector<std::size_t>> bySpelling;
    std::vector<std::size_t>* members = nullptr;  // of the folder of the path before, most often this one's
    for (std::size_t i = 0; i < paths.size(); ++i) {
        const std::string_view folder = folderOf(paths[i]);
        if (!members || folder != folderOf(paths[i - 1]))
            members = &bySpelling[folder];
        members->push_back(i);
    }
    std::unordered_map<std::string, std::vector<std::size_t>> byFolder;
    for (const auto& [spelling, members] : bySpelling) {
        auto& all = byFolder[fs.caseKey(std::string(spelling))];
        all.insert(all.end(), members.begin(), members.end());
    }
    for (const auto& [key, members] : byFolder) {
        std::string folder(folderOf(paths[members.front()]));
        if (folder.size() > 3)
            folder.pop_back();
        const auto listed = folder.empty() ? std::nullopt : listingOf(fs, folder);
        for (std::size_t i : members) {
            if (!listed) {
                found(i, Lookup{false, nullptr});
                continue;
            }
            const auto it = listed->find(upperCaseKey(paths[i].substr(folderOf(paths[i]).size())));
            found(i, Lookup{true, it == listed->end() ? nullptr : &it->second});
        }
    }
}

// A name the whole listing lacks is no file: only what the listing cannot tell is asked alone.
std::optional<FileIdentity> identityIn(Win32FileSystem& fs, Lookup look, std::string_view path)
{
    if (!look.listed || look.entry)
        return look.listed && look.entry->identity ? look.entry->identity : fs.identity(std::string(path));
    return std::nullopt;
}

std::uint32_t attributesIn(Win32FileSystem& fs, Lookup look, std::string_view path)
{
    if (!look.listed || (look.entry && look.entry->shared))
        return fs.attributes(std::string(path));
    return look.entry ? look.entry->attributes : attr::invalid;
}

}  // namespace

std::vector<std::optional<FileIdentity>> Win32FileSystem::identities(const std::vector<std::string_view>& paths)
{
    std::vector<std::optional<FileIdentity>> out(paths.size());
    lookUpInListings(*this, paths, [&](std::size_t i, Lookup look) { out[i] = identityIn(*this, look, paths[i]); });
    return out;
}

std::vector<FileAt> Win32FileSystem::filesAt(const std::vector<std::string_view>& paths)
{
    std::vector<FileAt> out(paths.size());
    lookUpInListings(*this, paths, [&](std::size_t i, Lookup look) {
        out[i] = {identityIn(*this, look, paths[i]), attributesIn(*this, look, paths[i])};
    });
    return out;
}

}  // namespace platform::win32
