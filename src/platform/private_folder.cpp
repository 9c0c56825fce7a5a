#include "platform/private_folder.h"

#include "platform/errors.h"

namespace platform {

namespace {

// The rights that change a folder, its entries or its guard: the specific write rights of files
// and folders, delete, the guard's own rights, and the generic forms that include them.
constexpr std::uint32_t changingRights = 0x0002 /* write data, add file */ | 0x0004 /* append, add subfolder */ |
                                         0x0010 /* write extended attributes */ | 0x0040 /* delete child */ |
                                         0x0100 /* write attributes */ | 0x00010000 /* delete */ |
                                         0x00040000 /* write DAC */ | 0x00080000 /* write owner */ |
                                         0x02000000 /* maximum allowed */ | 0x10000000 /* generic all */ |
                                         0x40000000 /* generic write */;

bool trusted(Principal who) { return who == Principal::Administrators || who == Principal::System; }

std::string programFolder(FileSystem& fs)
{
    std::string folder = fs.programDataFolder();
    if (!folder.empty() && folder.back() != '\\')
        folder += '\\';
    return folder + "nomerra\\";
}

}  // namespace

bool onlyAdministratorsWrite(const FolderGuard& guard)
{
    if (!trusted(guard.owner))
        return false;
    for (const AccessEntry& e : guard.entries)
        if (e.allows && !trusted(e.who) && (e.mask & changingRights))
            return false;
    return true;
}

std::string privateFolderPath(FileSystem& fs)
{
    // Letter case does not make another program file.
    return programFolder(fs) + fs.digest(fs.caseKey(fs.modulePath())).substr(0, 16) + "\\";
}

std::string openPrivateFolder(FileSystem& fs)
{
    const std::string folder = privateFolderPath(fs);
    if (auto code = fs.createGuardedFolders(folder))
        throw IoError(static_cast<int>(code));
    for (const std::string& f : {programFolder(fs), folder}) {
        const auto guard = fs.guardOf(f);
        if (!guard || !onlyAdministratorsWrite(*guard))
            throw IoError(static_cast<int>(err::accessDenied));
    }
    return folder;
}

}  // namespace platform
