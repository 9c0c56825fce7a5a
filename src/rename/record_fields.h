#pragma once
// The text of the program's own records (the run journal, the undo history): UTF-8 lines, fields
// split by tabs, paths with control characters and "%" escaped as %XX, identities as four numbers.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace renaming::fields {

std::string escape(const std::string& path);
std::string unescape(const std::string& text);
std::vector<std::string> split(const std::string& line);
// A whole decimal number and nothing else.
std::optional<std::size_t> number(const std::string& text);
// Whole lines only: a line cut by a lost write is no record.
std::vector<std::string> wholeLines(const std::string& text);
// "volume:file:size:written", or "-" for none.
std::string identityText(const std::optional<platform::FileIdentity>& id);
std::optional<platform::FileIdentity> identityOf(const std::string& text);

}  // namespace renaming::fields
