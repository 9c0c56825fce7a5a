#include "platform/errors.h"

#include <charconv>

namespace platform {

namespace {
int textCode(int code)
{
    switch (code) {
    case 39:   // ERROR_HANDLE_DISK_FULL
    case 112:  // ERROR_DISK_FULL
        return 101;
    case 38:  // ERROR_HANDLE_EOF
        return 100;
    default: return code;
    }
}
}  // namespace

IoError::IoError(int code) : AppError(ioErrorText(textCode(code))), code_(textCode(code)) {}

ConvertError::ConvertError(const std::string& text)
    : AppError("'" + text + "' is not a valid integer value") {}

std::string ioErrorText(int code)
{
    switch (code) {
    case 2: return "File not found";
    case 3: return "Invalid filename";
    case 4: return "Too many open files";
    case 5: return "File access denied";
    case 100: return "Read beyond end of file";
    case 101: return "Disk full";
    case 106: return "Invalid numeric input";
    default: return "I/O error " + std::to_string(code);
    }
}

std::string errorBoxText(const std::string& message)
{
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.')
        return message + ".";
    return message;
}

int parseInteger(const std::string& text)
{
    const char* first = text.data();
    const char* last = first + text.size();
    if (first != last && *first == '+')
        ++first;
    int value = 0;
    auto [end, ec] = std::from_chars(first, last, value);
    if (first == last || ec != std::errc{} || end != last)
        throw ConvertError(text);
    return value;
}

}  // namespace platform
