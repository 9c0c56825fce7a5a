#include "platform/win32/win32_fs.h"

#include <windows.h>
#include <aclapi.h>
#include <sddl.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <unordered_map>

#include "platform/errors.h"
#include "platform/sha256.h"
#include "platform/win32/case_key.h"
#include "platform/win32/wide.h"

namespace platform::win32 {

namespace {

// The list store reports failures by the codes its error texts are keyed by.
int ioCode(DWORD error)
{
    switch (error) {
    case ERROR_HANDLE_DISK_FULL:
    case ERROR_DISK_FULL: return 101;
    case ERROR_HANDLE_EOF: return 100;
    default: return static_cast<int>(error);
    }
}

class Handle {
public:
    explicit Handle(HANDLE h) : h_(h) {}
    ~Handle()
    {
        if (h_ != INVALID_HANDLE_VALUE)
            CloseHandle(h_);
    }
    Handle(Handle&& other) noexcept : h_(other.h_) { other.h_ = INVALID_HANDLE_VALUE; }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return h_; }
    bool valid() const { return h_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE h_;
};

Handle openFile(const std::string& path, DWORD access, DWORD disposition)
{
    Handle h(CreateFileW(systemPath(path).c_str(), access, FILE_SHARE_READ, nullptr, disposition,
                         FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h.valid())
        throw IoError(ioCode(GetLastError()));
    return h;
}

// The system's error code, 0 when every byte went out.
DWORD writeBytes(const Handle& h, const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
        DWORD written = 0;
        if (!WriteFile(h.get(), bytes.data() + done, chunk, &written, nullptr))
            return GetLastError();
        done += written;
    }
    return 0;
}

std::uint32_t result(BOOL ok)
{
    return ok ? 0 : GetLastError();
}

class AppendOnly : public AppendOnlyFile {
public:
    explicit AppendOnly(Handle h) : h_(std::move(h)) {}
    std::uint32_t write(const std::string& bytes) override { return writeBytes(h_, bytes); }
    std::uint32_t flush() override { return result(FlushFileBuffers(h_.get())); }

private:
    Handle h_;
};

std::uint64_t joined(DWORD high, DWORD low)
{
    return (static_cast<std::uint64_t>(high) << 32) | low;
}

}  // namespace

std::string Win32FileSystem::modulePath()
{
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n < buffer.size()) {
            buffer.resize(n);
            break;
        }
        buffer.resize(buffer.size() * 2);
    }
    if (buffer.rfind(L"\\\\?\\", 0) == 0)
        buffer.erase(0, 4);
    return narrow(buffer);
}

std::string Win32FileSystem::currentFolder()
{
    DWORD n = GetCurrentDirectoryW(0, nullptr);
    std::wstring buffer(n, L'\0');
    n = GetCurrentDirectoryW(n, buffer.data());
    buffer.resize(n);
    return narrow(buffer);
}

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

std::string Win32FileSystem::readAll(const std::string& path)
{
    Handle h = openFile(path, GENERIC_READ, OPEN_EXISTING);
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(h.get(), &size))
        throw IoError(ioCode(GetLastError()));
    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD got = 0;
        DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
        if (!ReadFile(h.get(), bytes.data() + done, chunk, &got, nullptr))
            throw IoError(ioCode(GetLastError()));
        if (got == 0)
            break;
        done += got;
    }
    bytes.resize(done);
    return bytes;
}

void Win32FileSystem::writeAll(const std::string& path, const std::string& bytes)
{
    Handle h = openFile(path, GENERIC_WRITE, CREATE_ALWAYS);
    DWORD error = writeBytes(h, bytes);
    // Before the file is moved over the one it replaces: else a power cut may leave the new
    // name with no bytes behind it.
    if (!error && !FlushFileBuffers(h.get()))
        error = GetLastError();
    if (error)
        throw IoError(ioCode(error));
}

std::unique_ptr<AppendOnlyFile> Win32FileSystem::openAppendOnly(const std::string& path, bool keep)
{
    Handle h = openFile(path, GENERIC_WRITE, keep ? OPEN_ALWAYS : CREATE_ALWAYS);
    LARGE_INTEGER none{};
    if (!SetFilePointerEx(h.get(), none, nullptr, FILE_END))
        throw IoError(ioCode(GetLastError()));
    return std::make_unique<AppendOnly>(std::move(h));
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
    for (std::size_t i = 0; i < paths.size(); ++i)
        bySpelling[folderOf(paths[i])].push_back(i);
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
            const auto it = listed->find(fs.caseKey(std::string(paths[i].substr(folderOf(paths[i]).size()))));
            found(i, Lookup{true, it == listed->end() ? nullptr : &it->second});
        }
    }
}

}  // namespace

std::vector<std::optional<FileIdentity>> Win32FileSystem::identities(const std::vector<std::string_view>& paths)
{
    std::vector<std::optional<FileIdentity>> out(paths.size());
    lookUpInListings(*this, paths, [&](std::size_t i, Lookup look) {
        // A name the whole listing lacks is no file: only what it cannot tell is opened.
        if (!look.listed || look.entry)
            out[i] = look.listed && look.entry->identity ? look.entry->identity : identity(std::string(paths[i]));
    });
    return out;
}

std::vector<std::uint32_t> Win32FileSystem::attributesOfEach(const std::vector<std::string_view>& paths)
{
    std::vector<std::uint32_t> out(paths.size(), attr::invalid);
    lookUpInListings(*this, paths, [&](std::size_t i, Lookup look) {
        if (!look.listed || (look.entry && look.entry->shared))
            out[i] = attributes(std::string(paths[i]));
        else if (look.entry)
            out[i] = look.entry->attributes;
    });
    return out;
}

std::uint32_t Win32FileSystem::deleteFile(const std::string& path)
{
    return result(DeleteFileW(systemPath(path).c_str()));
}

std::uint32_t Win32FileSystem::moveFile(const std::string& from, const std::string& to)
{
    // No copy allowed: the system's own copy across volumes leaves a cut copy under the new
    // name when the drive fills or the process dies, so the run makes that copy itself.
    return result(MoveFileExW(systemPath(from).c_str(), systemPath(to).c_str(), 0));
}

std::uint32_t Win32FileSystem::replaceFile(const std::string& from, const std::string& to)
{
    return result(MoveFileExW(systemPath(from).c_str(), systemPath(to).c_str(),
                              MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
}

std::uint32_t Win32FileSystem::copyFile(const std::string& from, const std::string& to, bool failIfExists)
{
    return result(CopyFileW(systemPath(from).c_str(), systemPath(to).c_str(), failIfExists));
}

std::uint32_t Win32FileSystem::flushFile(const std::string& path)
{
    Handle h(CreateFileW(systemPath(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h.valid())
        return GetLastError();
    return result(FlushFileBuffers(h.get()));
}

std::uint32_t Win32FileSystem::setAttributes(const std::string& path, std::uint32_t attributes)
{
    return result(SetFileAttributesW(systemPath(path).c_str(), attributes));
}

std::uint32_t Win32FileSystem::createFolders(const std::string& path)
{
    if (folderExists(path))
        return 0;
    std::string trimmed = path;
    while (trimmed.size() > 3 && (trimmed.back() == '\\' || trimmed.back() == '/'))
        trimmed.pop_back();
    auto cut = trimmed.find_last_of("\\/");
    if (cut != std::string::npos && cut > 0) {
        std::string parent = trimmed.substr(0, cut == 2 && trimmed[1] == ':' ? 3 : cut);
        if (parent != trimmed && !folderExists(parent))
            if (auto code = createFolders(parent))
                return code;
    }
    if (CreateDirectoryW(systemPath(trimmed).c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS)
        return folderExists(trimmed) ? 0 : ERROR_ALREADY_EXISTS;
    return GetLastError();
}

std::uint32_t Win32FileSystem::ansiCodePage()
{
    return GetACP();
}

bool Win32FileSystem::hasCodePage(std::uint32_t codePage)
{
    return IsValidCodePage(codePage);
}

std::string Win32FileSystem::toCodePage(std::uint32_t codePage, const std::string& utf8, bool* exact)
{
    if (auto bytes = tables_.encode(*this, codePage, utf8)) {
        if (exact)
            *exact = true;
        return std::move(*bytes);
    }
    std::wstring wide = widen(utf8);
    if (exact)
        *exact = true;
    if (wide.empty())
        return {};
    BOOL usedDefault = FALSE;
    DWORD flags = WC_NO_BEST_FIT_CHARS;
    BOOL* defaultUsed = &usedDefault;
    int n = WideCharToMultiByte(codePage, flags, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr,
                                defaultUsed);
    // GB18030 and UTF-8 hold every character and take neither the flag nor the question.
    if (n == 0 && (GetLastError() == ERROR_INVALID_FLAGS || GetLastError() == ERROR_INVALID_PARAMETER)) {
        flags = 0;
        defaultUsed = nullptr;
        n = WideCharToMultiByte(codePage, flags, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr,
                                nullptr);
    }
    std::string out(n, '\0');
    WideCharToMultiByte(codePage, flags, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr,
                        defaultUsed);
    if (exact)
        *exact = n > 0 && !usedDefault && fromCodePage(codePage, out) == utf8;
    return out;
}

std::string Win32FileSystem::fromCodePage(std::uint32_t codePage, const std::string& bytes, bool* valid)
{
    if (auto text = tables_.decode(*this, codePage, bytes)) {
        if (valid)
            *valid = true;
        return std::move(*text);
    }
    if (valid)
        *valid = true;
    if (bytes.empty())
        return {};
    const int size = static_cast<int>(bytes.size());
    // Strict first: for a valid text, as lists almost always are, one pass is all it takes.
    DWORD flags = valid ? MB_ERR_INVALID_CHARS : 0;
    int n = MultiByteToWideChar(codePage, flags, bytes.data(), size, nullptr, 0);
    if (n == 0 && flags) {
        *valid = false;
        flags = 0;
        n = MultiByteToWideChar(codePage, flags, bytes.data(), size, nullptr, 0);
    }
    std::wstring wide(n, L'\0');
    MultiByteToWideChar(codePage, flags, bytes.data(), size, wide.data(), n);
    return narrow(wide);
}

std::string Win32FileSystem::errorText(std::uint32_t code)
{
    wchar_t* text = nullptr;
    DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message = n ? std::wstring(text, n) : L"";
    if (text)
        LocalFree(text);
    while (!message.empty() && (message.back() == L'\r' || message.back() == L'\n' || message.back() == L' ' ||
                                message.back() == L'.' || message.back() == L'\x3002'))
        message.pop_back();
    return message.empty() ? "error " + std::to_string(code) : narrow(message);
}

std::string Win32FileSystem::programDataFolder()
{
    wchar_t folder[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder)))
        return "";
    return narrow(folder);
}

namespace {

// Protected from inheritance: the system and the administrators have full control of the folder
// and what is created in it, the users may read. The owner is the administrators; a token that
// may not name them leaves the owner to the system, and the check after creating judges it.
constexpr const wchar_t* guardedFolder = L"O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)";

std::uint32_t createGuarded(const std::string& folder)
{
    std::uint32_t code = 0;
    for (const wchar_t* guard : {guardedFolder, guardedFolder + 4}) {
        PSECURITY_DESCRIPTOR sd = nullptr;
        if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(guard, SDDL_REVISION_1, &sd, nullptr))
            return GetLastError();
        SECURITY_ATTRIBUTES sa{sizeof sa, sd, FALSE};
        code = result(CreateDirectoryW(systemPath(folder).c_str(), &sa));
        LocalFree(sd);
        if (code != ERROR_INVALID_OWNER)
            break;
    }
    return code;
}

// Wine keeps no access lists of its own: it reports the Unix user as every file's owner, with
// full control, and every process of that user may write every file anyway. There that user
// stands for the administrators: the nearest form of the check that works.
bool isWineUser(PSID sid)
{
    static const std::vector<BYTE> wineUser = [] {
        std::vector<BYTE> user;
        HANDLE token = nullptr;
        if (!GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") ||
            !OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
            return user;
        DWORD size = 0;
        GetTokenInformation(token, TokenUser, nullptr, 0, &size);
        std::vector<BYTE> info(size);
        if (size && GetTokenInformation(token, TokenUser, info.data(), size, &size)) {
            PSID s = reinterpret_cast<TOKEN_USER*>(info.data())->User.Sid;
            user.assign(static_cast<BYTE*>(s), static_cast<BYTE*>(s) + GetLengthSid(s));
        }
        CloseHandle(token);
        return user;
    }();
    return !wineUser.empty() && EqualSid(sid, const_cast<BYTE*>(wineUser.data()));
}

Principal principalOf(PSID sid)
{
    if (sid && (IsWellKnownSid(sid, WinBuiltinAdministratorsSid) || isWineUser(sid)))
        return Principal::Administrators;
    if (sid && IsWellKnownSid(sid, WinLocalSystemSid))
        return Principal::System;
    return Principal::Other;
}

std::vector<AccessEntry> entriesOf(PACL dacl)
{
    // No access list at all lets everyone do everything.
    if (!dacl)
        return {{Principal::Other, true, 0xFFFFFFFF}};
    std::vector<AccessEntry> entries;
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        void* ace = nullptr;
        if (!GetAce(dacl, i, &ace))
            return {{Principal::Other, true, 0xFFFFFFFF}};
        const auto* header = static_cast<const ACE_HEADER*>(ace);
        if (header->AceType == ACCESS_ALLOWED_ACE_TYPE || header->AceType == ACCESS_DENIED_ACE_TYPE) {
            auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(ace);
            entries.push_back({principalOf(&allowed->SidStart), header->AceType == ACCESS_ALLOWED_ACE_TYPE,
                               allowed->Mask});
        } else {
            // Object and conditional entries are not read here: taken as granting everything.
            entries.push_back({Principal::Other, true, 0xFFFFFFFF});
        }
    }
    return entries;
}

}  // namespace

std::uint32_t Win32FileSystem::createGuardedFolders(const std::string& path)
{
    std::string trimmed = path;
    while (trimmed.size() > 3 && trimmed.back() == '\\')
        trimmed.pop_back();
    if (folderExists(trimmed))
        return 0;
    const auto cut = trimmed.find_last_of('\\');
    if (cut != std::string::npos && cut > 2)
        if (auto code = createGuardedFolders(trimmed.substr(0, cut)))
            return code;
    const std::uint32_t code = createGuarded(trimmed);
    return code == ERROR_ALREADY_EXISTS ? 0 : code;
}

std::optional<FolderGuard> Win32FileSystem::guardOf(const std::string& path)
{
    std::wstring name = systemPath(path);
    // The guard read through a junction is its target's: whoever owns the junction could point it
    // elsewhere after the check, so a link is no folder of ours whatever it leads to.
    const DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return std::nullopt;
    PSID owner = nullptr;
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR sd = nullptr;
    if (GetNamedSecurityInfoW(name.data(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                              &owner, nullptr, &dacl, nullptr, &sd) != ERROR_SUCCESS)
        return std::nullopt;
    FolderGuard guard{principalOf(owner), entriesOf(dacl)};
    LocalFree(sd);
    return guard;
}

std::string Win32FileSystem::digest(const std::string& bytes)
{
    return sha256Hex(bytes);
}

void Win32Shell::execute(const std::string& verb, const std::string& file, const std::string& parameters,
                         const std::string& folder, int show)
{
    std::wstring v = widen(verb), f = widen(file), p = widen(parameters), d = widen(folder);
    ShellExecuteW(GetActiveWindow(), verb.empty() ? nullptr : v.c_str(), f.c_str(),
                  parameters.empty() ? nullptr : p.c_str(), d.c_str(), show);
}

}  // namespace platform::win32
