#pragma once
// The read-only multi-line view behind platform::Memo. The system's edit control measures every
// line of its text through the script analyser whenever the text is set, which takes seconds for
// a list of a hundred thousand paths; this view keeps the text and its line starts, measures with
// a per-character width table and draws only the lines in sight. It scrolls both ways, selects
// with mouse and keyboard and copies (Ctrl+C, Ctrl+Insert, WM_COPY, the system's edit menu), and
// answers WM_SETTEXT, WM_GETTEXT and EM_SETSEL as an edit control does.
#include <windows.h>

#include <optional>
#include <string>

namespace platform::win32 {

// The registered window class of the view.
const wchar_t* textViewClass();

// What a screen reader is read of a view of this thread: its text, or the lines in sight where
// the text is long. Nothing when the window is no such view (any more).
std::optional<std::wstring> textViewAccessibleValue(HWND view);

// A view's text as UTF-8 and a new text for it, as WM_GETTEXT and WM_SETTEXT would read and set
// it but without copying a list of a million lines through a message; for a view of this thread
// only (nothing, false, for any other window).
std::optional<std::string> textViewText(HWND view);
bool setTextViewText(HWND view, std::wstring text);

}  // namespace platform::win32
