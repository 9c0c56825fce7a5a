// Reading and writing whole files, appending to one, and flushing one to the disk.
#include "platform/win32/win32_fs.h"

#include <windows.h>

#include <algorithm>

#include "platform/errors.h"
#include "platform/win32/win32_fs_files.h"
#include "platform/win32/wide.h"

namespace platform::win32 {

namespace {

Handle openFile(const std::string& path, DWORD access, DWORD disposition)
{
    Handle h(CreateFileW(systemPath(path).c_str(), access, FILE_SHARE_READ, nullptr, disposition,
                         FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h.valid())
        throw IoError(static_cast<int>(GetLastError()));
    return h;
}

// The system's error code, 0 when every byte went out.
DWORD writeBytes(const Handle& h, const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
        DWORD written = 0;
        if (!WriteFile(h.get(), bytes.data() + done, chunk, &written, nullptr))
            return GetLastError();
        done += written;
    }
    return 0;
}

class AppendOnly : public AppendOnlyFile {
public:
    explicit AppendOnly(Handle h) : h_(std::move(h)) {}
    std::uint32_t write(const std::string& bytes) override { return writeBytes(h_, bytes); }
    std::uint32_t flush() override { return result(FlushFileBuffers(h_.get())); }

private:
    Handle h_;
};

}  // namespace

std::string Win32FileSystem::readAll(const std::string& path)
{
    Handle h = openFile(path, GENERIC_READ, OPEN_EXISTING);
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(h.get(), &size))
        throw IoError(static_cast<int>(GetLastError()));
    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD got = 0;
        DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
        if (!ReadFile(h.get(), bytes.data() + done, chunk, &got, nullptr))
            throw IoError(static_cast<int>(GetLastError()));
        if (got == 0)
            break;
        done += got;
    }
    bytes.resize(done);
    return bytes;
}

void Win32FileSystem::writeAll(const std::string& path, const std::string& bytes)
{
    Handle h = openFile(path, GENERIC_WRITE, CREATE_ALWAYS);
    DWORD error = writeBytes(h, bytes);
    // Before the file is moved over the one it replaces: else a power cut may leave the new
    // name with no bytes behind it.
    if (!error && !FlushFileBuffers(h.get()))
        error = GetLastError();
    if (error)
        throw IoError(static_cast<int>(error));
}

std::unique_ptr<AppendOnlyFile> Win32FileSystem::openAppendOnly(const std::string& path, bool keep)
{
    Handle h = openFile(path, GENERIC_WRITE, keep ? OPEN_ALWAYS : CREATE_ALWAYS);
    LARGE_INTEGER none{};
    if (!SetFilePointerEx(h.get(), none, nullptr, FILE_END))
        throw IoError(static_cast<int>(GetLastError()));
    return std::make_unique<AppendOnly>(std::move(h));
}

std::uint32_t Win32FileSystem::flushFile(const std::string& path)
{
    Handle h(CreateFileW(systemPath(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h.valid())
        return GetLastError();
    return result(FlushFileBuffers(h.get()));
}

}  // namespace platform::win32
