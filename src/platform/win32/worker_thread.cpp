// The worker thread of a long run, while this thread keeps every window answering.
#include <exception>
#include <optional>
#include <thread>

#include "platform/win32/message_loop.h"
#include "platform/win32/win32_ui.h"

namespace platform::win32 {

void Win32Ui::runInBackground(const std::function<void()>& work, const std::function<void()>& tick, int tickMs)
{
    HANDLE finished = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::exception_ptr failure;
    std::thread worker([&] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        SetEvent(finished);
    });
    // The windows keep answering: this thread waits for the work or a message, whichever comes.
    std::optional<int> quit;
    ULONGLONG lastTick = GetTickCount64();
    while (MsgWaitForMultipleObjectsEx(1, &finished, tickMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE) != WAIT_OBJECT_0) {
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
        if (GetTickCount64() - lastTick >= static_cast<ULONGLONG>(tickMs)) {
            lastTick = GetTickCount64();
            tick();
        }
    }
    worker.join();
    CloseHandle(finished);
    if (quit)
        PostQuitMessage(*quit);
    if (failure)
        std::rethrow_exception(failure);
}

}  // namespace platform::win32
