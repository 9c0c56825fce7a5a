#pragma once
// Splitting a path into folder, name and extension. Works on UTF-8, where "\", ":" and "." never
// occur inside a multi-byte character, so a GBK trail byte 5C can never be taken for a separator.
#include <string>
#include <string_view>

namespace lists {

// Where the name part begins: after the last "\" or ":", else at 0.
std::size_t nameStart(std::string_view path);
// Up to and including the last "\" or ":"; empty when there is none.
std::string folderPart(std::string_view path);
// Everything after the last "\" or ":".
std::string namePart(std::string_view path);
// From the last "." of the name part, dot included; empty when the name has no dot.
std::string extensionOf(std::string_view path);
// A name the system takes for a device, whatever follows its first dot and however spelt.
bool isDeviceName(std::string_view name);

}  // namespace lists
