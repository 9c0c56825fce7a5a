#pragma once
// One running copy per program folder: two copies in one folder would share the four list files.
#include <cstdio>
#include <cwctype>
#include <string>
#include <vector>

#include <windows.h>

namespace platform::win32 {

// The folder of a program path, upper-cased, with its closing separator: the copies in one
// folder share one lock however the folder is spelt.
inline std::wstring folderOf(std::wstring path)
{
    auto cut = path.find_last_of(L"\\:");
    path.resize(cut == std::wstring::npos ? 0 : cut + 1);
    for (wchar_t& c : path)
        c = static_cast<wchar_t>(std::towupper(c));
    return path;
}

// The one-copy lock of a folder, within a namespace. Kernel object names may not hold "\", and
// a folder may be longer than a name may be: the folder goes in as a hash.
inline std::wstring lockName(const std::wstring& ns, const std::wstring& folder)
{
    unsigned long long hash = 1469598103934665603ull;
    for (wchar_t c : folder)
        hash = (hash ^ static_cast<unsigned>(c)) * 1099511628211ull;
    wchar_t name[32];
    swprintf(name, 32, L"\\nomerra-%016llx", hash);
    return ns + name;
}

class SingleInstance {
public:
    explicit SingleInstance(const std::string& programPath);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // False when a copy from the same folder is already running.
    bool first() const { return first_; }
    // Hands the files to the running copy's main window (of the given class), which takes them
    // as a drop, and brings that window to the front. False when no such window answered
    // within five seconds: then the lock's holder is hung or no copy of the program at all.
    bool handOver(const std::vector<std::string>& files, const std::string& windowClass) const;

private:
    HANDLE namespace_ = nullptr;
    HANDLE mutex_ = nullptr;
    bool first_ = true;
    std::wstring folder_;
};

// The program's arguments as full paths: a relative name means the folder this copy was
// started in, which a running copy does not share.
std::vector<std::string> commandLineFiles();

}  // namespace platform::win32
