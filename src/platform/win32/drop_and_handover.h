#pragma once
// Files that reach the main window from outside: dropped from the file browser (WM_DROPFILES),
// or handed over by a second copy of the program started with them (WM_COPYDATA).
#include <optional>
#include <string>
#include <vector>

#include <windows.h>
#include <shellapi.h>

namespace platform::win32 {

// The window takes drops, also from the file browser, which runs without administrator rights.
void acceptDrops(HWND window);

// The paths of a drop; none when its block is not a whole DROPFILES. The block is released.
std::vector<std::string> filesOfDrop(HDROP drop);

// What a second copy hands over in WM_COPYDATA: the tag, then UTF-16 paths, each ended by NUL.
constexpr ULONG_PTR handOverTag = 0x6E6D4631;
std::wstring handOverBlock(const std::vector<std::string>& files);
// The paths in a WM_COPYDATA's lParam; nothing when it is not a well-formed hand-over.
std::optional<std::vector<std::string>> filesOfHandOver(LPARAM lParam);

}  // namespace platform::win32
