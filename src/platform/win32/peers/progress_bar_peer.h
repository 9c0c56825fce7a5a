#pragma once
// A progress bar.
#include "platform/win32/peers/win32_control.h"

namespace platform::win32 {

class ProgressBarPeer : public Win32Control {
public:
    explicit ProgressBarPeer(const ControlSite& site) : Win32Control(site, {PROGRESS_CLASSW, 0}) {}
    void setProgress(int position, int range) override
    {
        SendMessageW(hwnd(), PBM_SETRANGE32, 0, range);
        SendMessageW(hwnd(), PBM_SETPOS, position, 0);
    }
};

}  // namespace platform::win32
