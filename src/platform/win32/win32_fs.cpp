// Win32FileSystem: the program's own path and folder, the system's error texts and the digest;
// the shell.
#include "platform/win32/win32_fs.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <atomic>
#include <exception>
#include <system_error>
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

void Win32FileSystem::atOnce(std::size_t count, const std::function<void(std::size_t)>& each)
{
    std::vector<std::exception_ptr> failed(count);
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        for (std::size_t k; (k = next++) < count;) {
            try {
                each(k);
            } catch (...) {
                failed[k] = std::current_exception();
            }
        }
    };
    // A thread more than there are cores only waits for the others; one that cannot be started
    // leaves its share to the rest.
    const std::size_t threads = std::min<std::size_t>(count, std::max(1u, std::thread::hardware_concurrency()));
    std::vector<std::thread> helpers;
    // Room for every helper before the first starts: a running thread left in a vector that
    // failed to grow would end the program.
    helpers.reserve(threads);
    try {
        while (helpers.size() + 1 < threads)
            helpers.emplace_back(work);
    } catch (const std::system_error&) {
    }
    work();
    for (std::thread& helper : helpers)
        helper.join();
    for (const std::exception_ptr& f : failed)
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
