#pragma once
// Reading a names file whose encoding nobody states.
#include <cstddef>
#include <string>

#include "platform/file_system.h"

namespace lists {

// How much a text reads like names a person writes: characters of the common ranges (ASCII,
// CJK ideographs, CJK and full-width punctuation, kana, Hangul, letters within a word of their
// own script) count for it, rare ones (controls, private use, replacement characters, a lone
// letter of an alphabetic script amid other characters) against it. Line breaks do not count.
struct Plausibility {
    long long score = 0;         // common characters minus rare ones
    std::size_t characters = 0;  // characters counted
};
Plausibility plausibility(const std::string& utf8);
// Whether a reads as more plausible text than b, character for character.
bool morePlausible(const Plausibility& a, const Plausibility& b);

// The names file as text (valid UTF-8, whatever the bytes). A byte-order mark (UTF-8, UTF-16
// LE or BE) decides and is dropped; a byte the marked encoding cannot read becomes U+FFFD.
// Without one the file is read both in the ANSI code page and as UTF-8: a reading that is not
// valid is out, and of two valid readings the more plausible wins, UTF-8 on a tie. Text valid
// in neither is read in GB18030 where the code page is GBK and the system has it, else in the
// ANSI code page.
std::string decodeNamesFile(platform::FileSystem& fs, const std::string& bytes);

}  // namespace lists
