// The worker thread of a long run, while this thread keeps every window answering.
#include <exception>
#include <optional>
#include <thread>

#include "platform/win32/message_loop.h"
#include "platform/win32/win32_ui.h"

namespace platform::win32 {

void Win32Ui::runInBackground(const BackgroundWork& work, const std::function<void()>& tick, int tickMs)
{
    // The work's end stays signalled; each look it asks for is taken once.
    const HANDLE events[] = {CreateEventW(nullptr, TRUE, FALSE, nullptr), CreateEventW(nullptr, FALSE, FALSE, nullptr)};
    const HANDLE finished = events[0], lookAsked = events[1];
    std::exception_ptr failure;
    std::thread worker([&] {
        try {
            work([lookAsked] { SetEvent(lookAsked); });
        } catch (...) {
            failure = std::current_exception();
        }
        SetEvent(finished);
    });
    // The windows keep answering: this thread waits for the work, a look it asks for or a
    // message, whichever comes. The work's end comes first of the two events, and is taken only
    // after what came during the last look: a look may be long (a view loaded), and what the
    // window does at the work's end is longer still before it answers again.
    std::optional<int> quit;
    ULONGLONG lastTick = GetTickCount64();
    for (;;) {
        const DWORD woke = MsgWaitForMultipleObjectsEx(2, events, tickMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT)
                quit = static_cast<int>(msg.wParam);
            else
                dispatch(msg);
            // A window of greyed controls to draw keeps the queue full: the work's end is not
            // kept waiting for them.
            if (WaitForSingleObject(finished, 0) == WAIT_OBJECT_0)
                break;
        }
        if (woke == WAIT_OBJECT_0)
            break;
        if (woke == WAIT_OBJECT_0 + 1 || GetTickCount64() - lastTick >= static_cast<ULONGLONG>(tickMs)) {
            lastTick = GetTickCount64();
            tick();
        }
    }
    worker.join();
    for (HANDLE e : events)
        CloseHandle(e);
    if (quit)
        PostQuitMessage(*quit);
    if (failure)
        std::rethrow_exception(failure);
}

}  // namespace platform::win32
