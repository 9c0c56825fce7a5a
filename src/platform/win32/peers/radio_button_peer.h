#pragma once
// A radio button: one made on its own, or an item of a radio group (platform::RadioGroup makes
// each item a radio button of its own).
#include "platform/win32/peers/checkable_peer.h"

namespace platform::win32 {

class RadioButtonPeer : public CheckablePeer {
public:
    explicit RadioButtonPeer(const ControlSite& site) : CheckablePeer(site, BS_RADIOBUTTON) {}
    // The dialog manager only moves the focus through a group of radio buttons whose state their
    // peers keep; the one an arrow reaches is selected, as a click selects it.
    void reachedByArrow() override { events().userClicked(); }
};

}  // namespace platform::win32
