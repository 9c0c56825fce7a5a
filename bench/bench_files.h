#pragma once
// What the benchmarks on real files share.
#include <windows.h>

#include <string>

namespace bench {

// Deletes the folder and everything in it, read-only files too.
inline void removeFolder(const std::wstring& folder)
{
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((folder + L"*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = fd.cFileName;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                if (name != L"." && name != L"..")
                    removeFolder(folder + name + L"\\");
            } else {
                SetFileAttributesW((folder + name).c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW((folder + name).c_str());
            }
        } while (FindNextFileW(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryW(folder.c_str());
}

}  // namespace bench
