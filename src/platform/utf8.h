#pragma once
// Small UTF-8 helpers for code that counts or builds characters.
#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

std::string utf8Encode(char32_t c);
// Number of characters (code points) of a UTF-8 text.
std::size_t utf8Length(const std::string& text);
// Number of UTF-16 code units, as the file system counts a name's length.
std::size_t utf16Length(std::string_view text);
// The text without its last character.
std::string utf8DropLast(const std::string& text);
bool isValidUtf8(const std::string& bytes);
// The bytes with each one that begins no valid UTF-8 sequence replaced by U+FFFD.
std::string validUtf8(const std::string& bytes);
// The code points of a valid UTF-8 text.
std::u32string utf8Decode(const std::string& text);
// UTF-16 bytes (no byte-order mark) as UTF-8; an unpaired surrogate becomes U+FFFD.
std::string utf16ToUtf8(const std::string& bytes, bool bigEndian);

}  // namespace platform
