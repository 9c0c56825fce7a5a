#pragma once
// A drop-down list: its items, the chosen one, and a window tall enough for the opened list.
#include "platform/win32/peers/win32_control.h"

namespace platform::win32 {

class ComboBoxPeer : public Win32Control {
public:
    explicit ComboBoxPeer(const ControlSite& site);
    // The chosen item; empty when none is.
    std::string text() const override;
    // The height of the closed box, without its list.
    Rect bounds() const override;
    std::vector<std::string> items() const override;
    void setItems(const std::vector<std::string>& items) override;
    int itemIndex() const override;
    void setItemIndex(int index) override;

protected:
    // A drop-down list's window height includes its opened list.
    int windowHeight(int height) const override;
};

}  // namespace platform::win32
