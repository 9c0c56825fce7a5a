#pragma once
// The file lists that reach the main window in messages from outside: the DROPFILES block of a
// drop from the file browser, and the block a second copy of the program hands over. Both come
// as bytes whose sender may be careless or hostile, so every offset and terminator is checked
// against the block's own size before anything is read.
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace platform {

// DROPFILES: pFiles (offset of the list from the block's start), the drop point (two LONGs),
// fNC, fWide, each four bytes, little-endian; then UTF-16 paths, each ended by NUL, and one NUL
// more after the last.
constexpr std::size_t dropFilesHeaderSize = 20;

// The paths of a drop as UTF-8, or nothing when the block is not a whole, wide DROPFILES: too
// small for its header, a list outside the block or over the header, a list of code-page
// strings, or no closing NULs inside the block.
std::optional<std::vector<std::string>> droppedFiles(std::span<const unsigned char> block);

// The paths of a hand-over as UTF-8: UTF-16 paths, each ended by NUL, filling the block
// exactly; empty ones are passed over. Nothing when the block is empty, of an odd size, or its
// last path is not ended inside it.
std::optional<std::vector<std::string>> handedOverFiles(std::span<const unsigned char> block);

}  // namespace platform
