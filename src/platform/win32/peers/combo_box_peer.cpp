#include "platform/win32/peers/combo_box_peer.h"

#include "platform/display.h"
#include "platform/win32/wide.h"
#include "platform/win32/win32_form.h"

namespace platform::win32 {

namespace {

int withOpenList(int height, int dpi)
{
    return height + scaled(120, dpi);
}

ControlSite withOpenList(ControlSite site)
{
    site.bounds.height = withOpenList(site.bounds.height, site.form.dpi());
    return site;
}

}  // namespace

ComboBoxPeer::ComboBoxPeer(const ControlSite& site)
    : Win32Control(withOpenList(site), {WC_COMBOBOXW, WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST})
{
}

int ComboBoxPeer::windowHeight(int height) const
{
    return withOpenList(height, form().dpi());
}

std::string ComboBoxPeer::text() const
{
    int i = itemIndex();
    return i < 0 ? "" : items()[i];
}

Rect ComboBoxPeer::bounds() const
{
    Rect r = Win32Control::bounds();
    COMBOBOXINFO info{sizeof info};
    GetComboBoxInfo(hwnd(), &info);
    r.height = info.rcItem.bottom + info.rcItem.top;
    return r;
}

std::vector<std::string> ComboBoxPeer::items() const
{
    std::vector<std::string> list;
    int n = static_cast<int>(SendMessageW(hwnd(), CB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
        std::wstring item(SendMessageW(hwnd(), CB_GETLBTEXTLEN, i, 0) + 1, L'\0');
        int len = static_cast<int>(SendMessageW(hwnd(), CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item.data())));
        item.resize(len < 0 ? 0 : len);
        list.push_back(narrow(item));
    }
    return list;
}

void ComboBoxPeer::setItems(const std::vector<std::string>& items)
{
    SendMessageW(hwnd(), CB_RESETCONTENT, 0, 0);
    for (const auto& item : items)
        SendMessageW(hwnd(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widen(item).c_str()));
}

int ComboBoxPeer::itemIndex() const
{
    return static_cast<int>(SendMessageW(hwnd(), CB_GETCURSEL, 0, 0));
}

void ComboBoxPeer::setItemIndex(int index)
{
    SendMessageW(hwnd(), CB_SETCURSEL, index, 0);
}

}  // namespace platform::win32
