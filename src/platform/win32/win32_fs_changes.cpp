// What changes the volume: deleting, moving, replacing and copying files, attributes, folders.
#include "platform/win32/win32_fs.h"

#include <windows.h>

#include "platform/win32/win32_fs_files.h"
#include "platform/win32/wide.h"

namespace platform::win32 {

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

}  // namespace platform::win32
