#pragma once
// What the files of Win32FileSystem share: a handle that closes itself, and the system's answer
// to a call as its error code; private to src/platform/win32.
#include <windows.h>

#include <cstdint>

namespace platform::win32 {

class Handle {
public:
    explicit Handle(HANDLE h) : h_(h) {}
    ~Handle()
    {
        if (h_ != INVALID_HANDLE_VALUE)
            CloseHandle(h_);
    }
    Handle(Handle&& other) noexcept : h_(other.h_) { other.h_ = INVALID_HANDLE_VALUE; }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return h_; }
    bool valid() const { return h_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE h_;
};

inline std::uint32_t result(BOOL ok)
{
    return ok ? 0 : GetLastError();
}

}  // namespace platform::win32
