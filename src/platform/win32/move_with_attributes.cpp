// A rename that sets the new file's attributes through the handle it renamed with: the system
// finds the file once instead of twice, which under Wine is most of what a rename costs.
#include <windows.h>

#include <cstring>
#include <vector>

#include "platform/win32/wide.h"
#include "platform/win32/win32_fs.h"

namespace platform::win32 {

namespace {

bool renameByHandle(HANDLE file, const std::wstring& to)
{
    const std::size_t nameBytes = to.size() * sizeof(wchar_t);
    std::vector<std::uint64_t> buffer((sizeof(FILE_RENAME_INFO) + nameBytes) / 8 + 1);  // aligned, NUL-ended
    auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    info->ReplaceIfExists = FALSE;
    info->RootDirectory = nullptr;
    info->FileNameLength = static_cast<DWORD>(nameBytes);
    std::memcpy(info->FileName, to.data(), nameBytes);
    return SetFileInformationByHandle(file, FileRenameInfo, info, static_cast<DWORD>(buffer.size() * 8));
}

}  // namespace

std::uint32_t Win32FileSystem::moveFileWithAttributes(const std::string& from, const std::string& to,
                                                      std::uint32_t attributes)
{
    // As a move takes a link for itself, so does this handle.
    HANDLE file = CreateFileW(systemPath(from).c_str(), DELETE | FILE_WRITE_ATTRIBUTES | SYNCHRONIZE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        const bool moved = renameByHandle(file, systemPath(to));
        if (moved) {
            FILE_BASIC_INFO basic{};  // times of zero stay as they are
            basic.FileAttributes = attributes;
            SetFileInformationByHandle(file, FileBasicInfo, &basic, sizeof basic);
        }
        CloseHandle(file);
        if (moved)
            return 0;
    }
    // Whatever stood in the way is reported as a move by path reports it.
    const std::uint32_t code = moveFile(from, to);
    if (code == 0)
        setAttributes(to, attributes);
    return code;
}

}  // namespace platform::win32
