// Guarded folders: created for the administrators, and another guard as a test sets one.
#include "platform/headless/headless_fs.h"

#include "platform/headless/headless_fs_names.h"

namespace platform::headless {

std::uint32_t HeadlessFileSystem::createGuardedFolders(const std::string& path)
{
    if (auto code = injected(Op::CreateFolder, path))
        return code;
    const FolderGuard administrators{Principal::Administrators,
                                     {{Principal::Administrators, true, 0x1F01FF}, {Principal::System, true, 0x1F01FF}}};
    for (std::string p = fold(path); p.size() > 3 && !folders_.count(p); p = parentOf(p))
        guards_[p] = administrators;
    std::string trimmed = path;
    while (trimmed.size() > 3 && trimmed.back() == '\\')
        trimmed.pop_back();
    addFolder(trimmed);
    return err::ok;
}

std::optional<FolderGuard> HeadlessFileSystem::guardOf(const std::string& path)
{
    if (!folderExists(path))
        return std::nullopt;
    auto it = guards_.find(fold(path));
    if (it != guards_.end())
        return it->second;
    return FolderGuard{Principal::Other, {{Principal::Other, true, 0x1F01FF}}};
}

void HeadlessFileSystem::setGuard(const std::string& folder, const FolderGuard& guard)
{
    addFolder(folder);
    guards_[fold(folder)] = guard;
}

}  // namespace platform::headless
