#pragma once
// One running copy per program folder: two copies in one folder would share the four list files.
#include <string>
#include <vector>

#include <windows.h>

namespace platform::win32 {

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
