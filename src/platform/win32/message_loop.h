#pragma once
// The message loop's handling of one message, shared by the loop and the wait of a long run;
// private to src/platform/win32.
#include <windows.h>

namespace platform::win32 {

// Through the dialog manager of the message's window, so that Tab, arrows, Enter and Esc work
// in every window as in a dialog; otherwise translated and dispatched.
void dispatch(MSG& msg);

}  // namespace platform::win32
