// The message loop of the program's thread.
#include "platform/win32/message_loop.h"

#include "platform/win32/peers/win32_control.h"
#include "platform/win32/win32_ui.h"

namespace platform::win32 {

namespace {
bool arrowKey(const MSG& msg)
{
    return msg.message == WM_KEYDOWN && msg.wParam >= VK_LEFT && msg.wParam <= VK_DOWN;
}
}  // namespace

void dispatch(MSG& msg)
{
    HWND root = GetAncestor(msg.hwnd, GA_ROOT);
    const HWND focus = GetFocus();
    if (root && IsDialogMessageW(root, &msg)) {
        if (Win32Control* reached = controlOf(GetFocus()); arrowKey(msg) && GetFocus() != focus && reached)
            reached->reachedByArrow();
        return;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

int Win32Ui::run()
{
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        dispatch(msg);
    return static_cast<int>(msg.wParam);
}

}  // namespace platform::win32
