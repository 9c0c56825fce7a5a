#pragma once
// The text of the program's own records (the run journal, the undo history): UTF-8 lines, fields
// split by tabs, paths with control characters and "%" escaped as %XX, identities as four numbers.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"

namespace renaming::fields {

// Appended to the text a record is made in: a million paths make no million strings of their own.
void appendEscaped(std::string& text, std::string_view path);
std::string unescape(const std::string& text);
std::vector<std::string> split(const std::string& line);
// A whole decimal number and nothing else.
std::optional<std::size_t> number(const std::string& text);
// Whole lines only: a line cut by a lost write is no record.
std::vector<std::string> wholeLines(const std::string& text);
// "volume:file:size:written", or "-" for none.
void appendIdentity(std::string& text, const std::optional<platform::FileIdentity>& id);
// A number as decimal digits.
void appendNumber(std::string& text, std::uint64_t value);
// Attributes as a number, or "-" where they are not known.
void appendAttributes(std::string& text, std::uint32_t attributes);
std::optional<platform::FileIdentity> identityOf(const std::string& text);

}  // namespace renaming::fields
