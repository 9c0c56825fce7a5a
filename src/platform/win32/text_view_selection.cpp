// Selecting with the mouse and the keyboard, and copying, also from the system's edit menu.
#include "platform/win32/text_view_impl.h"

#include <windowsx.h>
#include <algorithm>
#include <cstring>

namespace platform::win32 {

void TextView::select(std::size_t anchor, std::size_t caret)
{
    anchor = clamp(anchor);
    caret = clamp(caret);
    const bool marked = anchor_ != caret_ || anchor != caret;
    anchor_ = anchor;
    caret_ = caret;
    if (marked)
        InvalidateRect(hwnd_, nullptr, FALSE);
    placeCaret();
}

void TextView::moveCaret(std::size_t pos, bool extend)
{
    select(extend ? anchor_ : pos, pos);
    ensureVisible(caret_);
}

void TextView::keyDown(WPARAM key)
{
    const bool shift = GetKeyState(VK_SHIFT) < 0, control = GetKeyState(VK_CONTROL) < 0;
    const std::size_t line = lineOf(caret_);
    auto rowsAway = [this](int rows) {
        const POINT p = pointOf(caret_);
        return positionAt(p.x, p.y + rows * lineHeight_);
    };
    switch (key) {
    case VK_LEFT:
        if (caret_ > starts_[line])
            moveCaret(caret_ - 1, shift);
        else
            moveCaret(line > 0 ? lineEnd(line - 1) : caret_, shift);
        break;
    case VK_RIGHT:
        if (caret_ < lineEnd(line))
            moveCaret(caret_ + (insidePair(caret_ + 1) ? 2 : 1), shift);
        else
            moveCaret(line + 1 < starts_.size() ? starts_[line + 1] : caret_, shift);
        break;
    case VK_UP: moveCaret(rowsAway(-1), shift); break;
    case VK_DOWN: moveCaret(rowsAway(1), shift); break;
    case VK_PRIOR: moveCaret(rowsAway(-visibleLines()), shift); break;
    case VK_NEXT: moveCaret(rowsAway(visibleLines()), shift); break;
    case VK_HOME: moveCaret(control ? 0 : starts_[line], shift); break;
    case VK_END: moveCaret(control ? text_.size() : lineEnd(line), shift); break;
    case 'A':
        if (control)
            select(0, text_.size());
        break;
    case 'C':
    case VK_INSERT:
        if (control)
            copy();
        break;
    }
}

void TextView::copy()
{
    const std::size_t from = std::min(anchor_, caret_), to = std::max(anchor_, caret_);
    if (from == to || !OpenClipboard(hwnd_))
        return;
    EmptyClipboard();
    if (HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, (to - from + 1) * sizeof(wchar_t))) {
        auto* chars = static_cast<wchar_t*>(GlobalLock(block));
        std::memcpy(chars, text_.data() + from, (to - from) * sizeof(wchar_t));
        chars[to - from] = L'\0';
        GlobalUnlock(block);
        if (!SetClipboardData(CF_UNICODETEXT, block))
            GlobalFree(block);
    }
    CloseClipboard();
}

// The system's own edit menu, with what a read-only field cannot do greyed.
void TextView::contextMenu(LPARAM lParam)
{
    HMODULE user = GetModuleHandleW(L"user32.dll");
    HMENU menu = LoadMenuW(user, L"EDITMENU");
    if (!menu)
        menu = LoadMenuW(user, MAKEINTRESOURCEW(1));
    if (!menu)
        return;
    HMENU popup = GetSubMenu(menu, 0);
    for (int i = 0; i < GetMenuItemCount(popup); ++i) {
        const UINT id = GetMenuItemID(popup, i);
        const bool possible = (id == WM_COPY && anchor_ != caret_) || (id == EM_SETSEL && !text_.empty());
        EnableMenuItem(popup, i, MF_BYPOSITION | (possible ? MF_ENABLED : MF_GRAYED));
    }
    POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (lParam == -1) {  // from the keyboard: at the caret
        at = pointOf(caret_);
        ClientToScreen(hwnd_, &at);
    }
    const UINT chosen = TrackPopupMenu(popup, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, at.x, at.y, 0, hwnd_,
                                       nullptr);
    DestroyMenu(menu);
    if (chosen == WM_COPY)
        copy();
    else if (chosen == EM_SETSEL)
        select(0, text_.size());
}

}  // namespace platform::win32
