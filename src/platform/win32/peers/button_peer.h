#pragma once
// A push button.
#include "platform/win32/peers/win32_control.h"

namespace platform::win32 {

class ButtonPeer : public Win32Control {
public:
    explicit ButtonPeer(const ControlSite& site);
    void notify(WORD code) override;
    // The button Enter presses in its window; it has the focus when the window opens.
    void makeDefault();
};

}  // namespace platform::win32
