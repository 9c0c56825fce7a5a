// The program's private folder: where it lies, creating it guarded, and reading its guard.
#include "platform/win32/win32_fs.h"

#include <windows.h>
#include <aclapi.h>
#include <sddl.h>
#include <shlobj.h>

#include <vector>

#include "platform/win32/win32_fs_files.h"
#include "platform/win32/wide.h"

namespace platform::win32 {

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

}  // namespace platform::win32
