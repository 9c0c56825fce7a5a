// Hints: the tool tip of each form, its times, and each control's tools in it.
#include "platform/display.h"
#include "platform/win32/peers/win32_control.h"
#include "platform/win32/win32_form.h"

namespace platform::win32 {

namespace {
// Where a long hint wraps, at 96 dots per inch.
constexpr int hintWidth = 600;
}  // namespace

void Win32Ui::setHintTimes(int showMs, int hideMs)
{
    hintShowMs_ = showMs;
    hintHideMs_ = hideMs;
    if (mainWindow_)
        if (auto* form = reinterpret_cast<Win32Form*>(GetWindowLongPtrW(mainWindow_, GWLP_USERDATA)))
            form->applyHintTimes();
}

HWND Win32Form::tooltip()
{
    if (!tooltip_) {
        tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr,
                                   GetModuleHandleW(nullptr), nullptr);
        fitHintWidth();
        applyHintTimes();
    }
    return tooltip_;
}

void Win32Form::fitHintWidth()
{
    if (tooltip_)
        SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, scaled(hintWidth, dpi_));
}

void Win32Form::applyHintTimes()
{
    if (!tooltip_)
        return;
    SendMessageW(tooltip_, TTM_SETDELAYTIME, TTDT_INITIAL, ui_.hintShowMs());
    SendMessageW(tooltip_, TTM_SETDELAYTIME, TTDT_AUTOPOP, ui_.hintHideMs());
    SendMessageW(tooltip_, TTM_SETDELAYTIME, TTDT_RESHOW, 0);
}

TTTOOLINFOW Win32Control::areaToolInfo()
{
    TTTOOLINFOW ti{sizeof ti};
    ti.uFlags = TTF_SUBCLASS;
    ti.hwnd = GetParent(hwnd_);
    ti.uId = areaTool_;
    ti.lpszText = hint_.data();
    const Rect r = bounds();
    ti.rect = {r.left, r.top, r.left + r.width, r.top + r.height};
    return ti;
}

// A disabled window gets no mouse messages: its parent gets them. So besides the control's own
// tool, which follows the mouse over the enabled control, a tool on the parent covers the
// control's rectangle and shows the same hint while it is disabled.
void Win32Control::setHint(const std::string& hint)
{
    hint_ = widen(hint);
    HWND tip = form_.tooltip();
    TTTOOLINFOW own{sizeof own};
    own.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    own.hwnd = GetParent(hwnd_);
    own.uId = reinterpret_cast<UINT_PTR>(hwnd_);
    own.lpszText = hint_.data();
    if (!areaTool_)
        areaTool_ = form_.nextAreaTool();
    TTTOOLINFOW area = areaToolInfo();
    for (TTTOOLINFOW* ti : {&own, &area}) {
        SendMessageW(tip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(ti));
        SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(ti));
    }
}

void Win32Control::moveHintArea()
{
    TTTOOLINFOW area = areaToolInfo();
    SendMessageW(form_.tooltip(), TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&area));
}

}  // namespace platform::win32
