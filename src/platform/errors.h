#pragma once
// The errors a handler may let escape: the event dispatcher turns them into the error box.
#include <stdexcept>
#include <string>

namespace platform {

class AppError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A failed file operation; the code is the one the error texts are keyed by. The system's codes
// for a full disk and for the end of a file become the texts' own (101, 100), whichever way the
// file was written: a full disk says so whether a list or the run's journal filled it.
class IoError : public AppError {
public:
    explicit IoError(int code);
    int code() const { return code_; }

private:
    int code_;
};

// A text that should have been a whole number.
class ConvertError : public AppError {
public:
    explicit ConvertError(const std::string& text);
};

std::string ioErrorText(int code);

// The error box shows the message with a full stop added unless it already ends in
// punctuation that sorts at or before ".".
std::string errorBoxText(const std::string& message);

// Whole decimal number with an optional sign, as the start-number field must hold.
int parseInteger(const std::string& text);

}  // namespace platform
