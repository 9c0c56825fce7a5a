// Who a file is and what it is called: attributes, stored names, case keys, identities, listings.
#include "platform/win32/win32_fs.h"

#include <windows.h>
#include <shlwapi.h>

#include <unordered_map>

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
    const std::wstring wide = widen(path);
    if (wide.empty())
        return {};
    std::wstring upper(wide.size(), L'\0');
    LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, wide.data(), static_cast<int>(wide.size()), upper.data(),
                  static_cast<int>(upper.size()), nullptr, nullptr, 0);
    return narrow(upper);
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
// listing gives them; none for a name that two files share (a folder that tells letter case
// apart) or that the listing gives no number. Nothing when the folder cannot be listed so.
using Listing = std::unordered_map<std::string, std::optional<FileIdentity>>;

std::optional<Listing> identitiesIn(Win32FileSystem& fs, const std::string& folder)
{
    Listing byName;
    Handle h(CreateFileW(systemPath(folder).c_str(), FILE_LIST_DIRECTORY,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                         FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION volume;
    if (!h.valid() || !GetFileInformationByHandle(h.get(), &volume))
        return std::nullopt;
    auto add = [&](const wchar_t* name, std::size_t bytes, const FileIdentity& id, bool numbered) {
        auto [it, fresh] = byName.emplace(fs.caseKey(narrow(std::wstring(name, bytes / sizeof(wchar_t)))), id);
        if (!numbered || (!fresh && !(it->second && it->second->sameFile(id))))
            it->second.reset();
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
            add(entry->FileName, entry->FileNameLength, id, numbered);
            if (entry->ShortNameLength)
                add(entry->ShortName, static_cast<std::size_t>(entry->ShortNameLength), id, numbered);
            if (!entry->NextEntryOffset)
                break;
            at += entry->NextEntryOffset;
        }
    }
    if (GetLastError() != ERROR_NO_MORE_FILES)
        return std::nullopt;
    return byName;
}

}  // namespace

std::vector<std::optional<FileIdentity>> Win32FileSystem::identities(const std::vector<std::string>& paths)
{
    std::unordered_map<std::string, std::vector<std::size_t>> byFolder;
    for (std::size_t i = 0; i < paths.size(); ++i)
        byFolder[caseKey(paths[i].substr(0, paths[i].find_last_of('\\') + 1))].push_back(i);
    std::vector<std::optional<FileIdentity>> out(paths.size());
    for (const auto& [key, members] : byFolder) {
        const std::string& first = paths[members.front()];
        std::string folder = first.substr(0, first.find_last_of('\\') + 1);
        if (folder.size() > 3)
            folder.pop_back();
        const auto listed = folder.empty() ? std::nullopt : identitiesIn(*this, folder);
        for (std::size_t i : members) {
            // A name the whole listing lacks is no file: only what it cannot tell is opened.
            const auto it = listed ? listed->find(caseKey(paths[i].substr(paths[i].find_last_of('\\') + 1)))
                                   : Listing::const_iterator{};
            if (listed && it == listed->end())
                continue;
            out[i] = listed && it->second ? it->second : identity(paths[i]);
        }
    }
    return out;
}

}  // namespace platform::win32
