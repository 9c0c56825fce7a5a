// Removing a file the way the user can take back: into the Recycle Bin.
#include <windows.h>
#include <shellapi.h>

#include "platform/win32/wide.h"
#include "platform/win32/win32_fs.h"

namespace platform::win32 {

std::uint32_t Win32FileSystem::recycle(const std::string& path)
{
    const std::uint32_t was = attributes(path);
    if (was == attr::invalid)
        return GetLastError();
    if (was & attr::directory)
        return err::accessDenied;  // the shell would take the whole tree
    // The shell takes a list of full paths, each ended by a NUL, the list by another; it takes
    // no "\\?\" path, so a path beyond MAX_PATH is deleted below.
    std::wstring names = widen(path);
    names.push_back(L'\0');
    if (names.size() <= MAX_PATH) {
        SHFILEOPSTRUCTW operation{};
        operation.wFunc = FO_DELETE;
        operation.pFrom = names.c_str();
        // Without a word to the user; where the volume has no bin, the shell deletes the file.
        operation.fFlags = FOF_ALLOWUNDO | FOF_NO_UI;
        SHFileOperationW(&operation);
        if (attributes(path) == attr::invalid)
            return 0;
    }
    // The shell's own codes are no system error codes: deleting the file tells the real reason.
    if (was & attr::readOnly)
        setAttributes(path, was & ~attr::readOnly);
    const std::uint32_t code = deleteFile(path);
    if (code)
        setAttributes(path, was);
    return code;
}

}  // namespace platform::win32
