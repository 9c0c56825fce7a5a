// Win32FileSystem: the program's own path and folder, the system's error texts and the digest;
// the shell.
#include "platform/win32/win32_fs.h"

#include <windows.h>
#include <bcrypt.h>
#include <shellapi.h>

#include <algorithm>

#include "platform/errors.h"
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

std::string Win32FileSystem::digest(const std::string& bytes)
{
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    BCRYPT_HASH_HANDLE hash = nullptr;
    DWORD objectSize = 0, got = 0;
    std::vector<UCHAR> object;
    UCHAR value[32];
    NTSTATUS status = BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0);
    if (BCRYPT_SUCCESS(status))
        status = BCryptGetProperty(algorithm, BCRYPT_OBJECT_LENGTH, reinterpret_cast<PUCHAR>(&objectSize),
                                   sizeof objectSize, &got, 0);
    if (BCRYPT_SUCCESS(status)) {
        object.resize(objectSize);
        status = BCryptCreateHash(algorithm, &hash, object.data(), objectSize, nullptr, 0, 0);
    }
    for (std::size_t done = 0; BCRYPT_SUCCESS(status) && done < bytes.size();) {
        const ULONG chunk = static_cast<ULONG>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
        status = BCryptHashData(hash, reinterpret_cast<PUCHAR>(const_cast<char*>(bytes.data() + done)), chunk, 0);
        done += chunk;
    }
    if (BCRYPT_SUCCESS(status))
        status = BCryptFinishHash(hash, value, sizeof value, 0);
    if (hash)
        BCryptDestroyHash(hash);
    if (algorithm)
        BCryptCloseAlgorithmProvider(algorithm, 0);
    if (!BCRYPT_SUCCESS(status))
        throw IoError(static_cast<int>(status));
    std::string hex;
    for (UCHAR b : value) {
        hex += "0123456789abcdef"[b >> 4];
        hex += "0123456789abcdef"[b & 15];
    }
    return hex;
}

void Win32Shell::execute(const std::string& verb, const std::string& file, const std::string& parameters,
                         const std::string& folder, int show)
{
    std::wstring v = widen(verb), f = widen(file), p = widen(parameters), d = widen(folder);
    ShellExecuteW(GetActiveWindow(), verb.empty() ? nullptr : v.c_str(), f.c_str(),
                  parameters.empty() ? nullptr : p.c_str(), d.c_str(), show);
}

}  // namespace platform::win32
