#pragma once
// One running copy per program folder: two copies in one folder would share the four list files.
#include <string>

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
    // Brings the running copy's main window (of the given class) to the front.
    void activateRunningCopy(const std::string& windowClass) const;

private:
    HANDLE mutex_ = nullptr;
    bool first_ = true;
    std::wstring folder_;
};

}  // namespace platform::win32
