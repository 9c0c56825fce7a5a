#pragma once
// A check box.
#include "platform/win32/peers/checkable_peer.h"

namespace platform::win32 {

class CheckBoxPeer : public CheckablePeer {
public:
    explicit CheckBoxPeer(const ControlSite& site) : CheckablePeer(site, BS_CHECKBOX) {}
};

}  // namespace platform::win32
