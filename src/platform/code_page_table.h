#pragma once
// Long texts in a code page of one or two bytes a character (the ANSI code pages: 936, 932, 949,
// 950, 1252, ...) converted in one pass over tables learnt from the system's own conversions:
// asking the system costs several times more, and a list of a million entries is converted at
// nearly every step. Whatever the tables cannot convert as the system would (a byte sequence that
// is no character, a character the code page does not hold exactly, anything the tables did not
// learn) is left to the system: where they answer, the answer is the system's.
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"

namespace platform {

class CodePageTable {
public:
    // Nothing when the code page is not one the tables can follow: characters of more than two
    // bytes, or conversions that depend on what stands around a character.
    static std::unique_ptr<CodePageTable> learn(FileSystem& fs, std::uint32_t codePage);

    // The text (UTF-8) of bytes that are all characters of the code page; nothing otherwise.
    std::optional<std::string> decode(std::string_view bytes) const;
    // The bytes of a text (UTF-8) whose every character the code page holds exactly, read back
    // unchanged; nothing otherwise.
    std::optional<std::string> encode(std::string_view utf8) const;

private:
    // A character's other form: up to four bytes, none for a sequence that is no character.
    struct Form {
        std::uint8_t length = 0;
        char bytes[4] = {};
    };
    CodePageTable();
    bool learnDecoding(FileSystem& fs, std::uint32_t codePage);
    bool learnEncoding(FileSystem& fs, std::uint32_t codePage);
    // Forms by byte, and by lead byte * 256 + trail byte.
    std::vector<Form> singles_, pairs_;
    std::vector<bool> lead_;
    // Forms by UTF-16 unit (a character of the Basic Multilingual Plane).
    std::vector<Form> encoded_;
    bool asciiKept_ = false;  // bytes below 0x80 are those characters, both ways
};

// The tables of each code page, learnt from the file system's conversions the first time a text
// long enough to be worth it comes; may be used from any thread. Copies share what was learnt.
class CodePageTables {
public:
    // Below this many bytes the system converts as fast as the tables would be learnt.
    static constexpr std::size_t worthFrom = 1 << 20;

    // As CodePageTable, but nothing for a text shorter than worthFrom or a code page not learnt.
    std::optional<std::string> decode(FileSystem& fs, std::uint32_t codePage, std::string_view bytes);
    std::optional<std::string> encode(FileSystem& fs, std::uint32_t codePage, std::string_view utf8);

private:
    struct Learnt {
        std::mutex mutex;
        std::map<std::uint32_t, std::unique_ptr<CodePageTable>> tables;  // null: cannot be learnt
    };
    const CodePageTable* tableFor(FileSystem& fs, std::uint32_t codePage);
    std::shared_ptr<Learnt> learnt_ = std::make_shared<Learnt>();
};

}  // namespace platform
