// Win32FileSystem: the program's own path and folder, the system's error texts and the digest;
// the shell.
#include "platform/win32/win32_fs.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <atomic>
#include <exception>
#include <thread>
#include <vector>

#include "platform/errors.h"
#include "platform/sha256.h"
#include "platform/win32/wide.h"

namespace platform::win32 {

std::string Win32FileSystem::modulePath()
{
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n < buffer.size()) {
            buffer.resize(n);
            break;
        }
        buffer.resize(buffer.size() * 2);
    }
    if (buffer.rfind(L"\\\\?\\", 0) == 0)
        buffer.erase(0, 4);
    return narrow(buffer);
}

std::string Win32FileSystem::currentFolder()
{
    DWORD n = GetCurrentDirectoryW(0, nullptr);
    std::wstring buffer(n, L'\0');
    n = GetCurrentDirectoryW(n, buffer.data());
    buffer.resize(n);
    return narrow(buffer);
}

std::string Win32FileSystem::errorText(std::uint32_t code)
{
    wchar_t* text = nullptr;
    DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message = n ? std::wstring(text, n) : L"";
    if (text)
        LocalFree(text);
    while (!message.empty() && (message.back() == L'\r' || message.back() == L'\n' || message.back() == L' ' ||
                                message.back() == L'.' || message.back() == L'\x3002'))
        message.pop_back();
    return message.empty() ? "error " + std::to_string(code) : narrow(message);
}

namespace {

// One call of atOnce: its sequences, taken one at a time by whichever thread is free.
struct Sequences {
    std::size_t count;
    const std::function<void(std::size_t)>& each;
    std::atomic<std::size_t> next{0};
    std::vector<std::exception_ptr> failed = std::vector<std::exception_ptr>(count);

    void work()
    {
        for (std::size_t k; (k = next++) < count;) {
            try {
                each(k);
            } catch (...) {
                failed[k] = std::current_exception();
            }
        }
    }
};

void CALLBACK workOn(PTP_CALLBACK_INSTANCE, void* sequences, PTP_WORK)
{
    static_cast<Sequences*>(sequences)->work();
}

}  // namespace

void Win32FileSystem::atOnce(std::size_t count, const std::function<void(std::size_t)>& each)
{
    Sequences sequences{count, each};
    // The system's pool keeps its threads between calls: a thread started for every few dozen
    // renames would cost more than they do. A thread more than there are cores only waits for
    // the others, and without a pool the caller does all.
    const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t helpers = count < 2 ? 0 : std::min(count, cores) - 1;
    PTP_WORK pool = helpers ? CreateThreadpoolWork(workOn, &sequences, nullptr) : nullptr;
    for (std::size_t h = 0; pool && h < helpers; ++h)
        SubmitThreadpoolWork(pool);
    sequences.work();
    if (pool) {
        WaitForThreadpoolWorkCallbacks(pool, FALSE);
        CloseThreadpoolWork(pool);
    }
    for (const std::exception_ptr& f : sequences.failed)
        if (f)
            std::rethrow_exception(f);
}

std::string Win32FileSystem::digest(const std::string& bytes)
{
    return sha256Hex(bytes);
}

void Win32Shell::execute(const std::string& verb, const std::string& file, const std::string& parameters,
                         const std::string& folder, int show)
{
    std::wstring v = widen(verb), f = widen(file), p = widen(parameters), d = widen(folder);
    ShellExecuteW(GetActiveWindow(), verb.empty() ? nullptr : v.c_str(), f.c_str(),
                  parameters.empty() ? nullptr : p.c_str(), d.c_str(), show);
}

}  // namespace platform::win32
