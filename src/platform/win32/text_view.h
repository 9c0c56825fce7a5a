#pragma once
// The read-only multi-line view behind platform::Memo. The system's edit control measures every
// line of its text through the script analyser whenever the text is set, which takes seconds for
// a list of a hundred thousand paths; this view keeps the text and its line starts, measures with
// a per-character width table and draws only the lines in sight. It scrolls both ways, selects
// with mouse and keyboard and copies (Ctrl+C, Ctrl+Insert, WM_COPY, the system's edit menu), and
// answers WM_SETTEXT, WM_GETTEXT and EM_SETSEL as an edit control does.
#include <windows.h>

namespace platform::win32 {

// The registered window class of the view.
const wchar_t* textViewClass();

}  // namespace platform::win32
