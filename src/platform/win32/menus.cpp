// The form's menu bar and its drop-down menus, built item by item as the app declares them.
#include "platform/win32/win32_form.h"

namespace platform::win32 {

void Win32Form::addMenuItem(int parent, int id, const std::string&, bool isSubmenu)
{
    if (!menuBar_) {
        menuBar_ = CreateMenu();
        SetMenu(hwnd_, menuBar_);
    }
    HMENU owner = parent == 0 ? menuBar_ : menu_.at(parent).popup;
    HMENU popup = isSubmenu ? CreatePopupMenu() : nullptr;
    UINT position = GetMenuItemCount(owner);
    if (popup)
        AppendMenuW(owner, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup), L"");
    else
        AppendMenuW(owner, MF_STRING, id, L"");
    menu_[id] = {owner, position, popup};
    DrawMenuBar(hwnd_);
}

void Win32Form::setMenuCaption(int id, const std::string& caption)
{
    const MenuEntry& e = menu_.at(id);
    std::wstring text = widen(caption);
    MENUITEMINFOW mi{sizeof mi};
    mi.fMask = MIIM_FTYPE | MIIM_STRING;
    mi.fType = caption == "-" ? MFT_SEPARATOR : MFT_STRING;
    mi.dwTypeData = text.data();
    SetMenuItemInfoW(e.owner, e.position, TRUE, &mi);
    DrawMenuBar(hwnd_);
}

void Win32Form::setMenuEnabled(int id, bool on)
{
    const MenuEntry& e = menu_.at(id);
    EnableMenuItem(e.owner, e.position, MF_BYPOSITION | (on ? MF_ENABLED : MF_GRAYED));
    // Drawn once for all the items changed together (a run locks them all), as soon as the
    // window reads its messages: each drawing is a round trip to the display under Wine.
    if (e.owner == menuBar_ && !menuBarStale_) {
        menuBarStale_ = true;
        PostMessageW(hwnd_, redrawMenuBarMessage, 0, 0);
    }
}

void Win32Form::redrawStaleMenuBar()
{
    menuBarStale_ = false;
    DrawMenuBar(hwnd_);
}

}  // namespace platform::win32
