// The two kinds of message box and the error box. The stock message box words its buttons in
// the system's language, so a CBT hook gives them the program's own texts, centres the box on
// the screen and, for the question, lets Escape and closing answer no.
#include <windows.h>
#include <commctrl.h>

#include "platform/win32/wide.h"
#include "platform/win32/win32_ui.h"

namespace platform::win32 {

namespace {

struct BoxStyle {
    const wchar_t* okText = nullptr;
    const wchar_t* yesText = nullptr;
    const wchar_t* noText = nullptr;
    bool escapeMeansNo = false;
};

thread_local const BoxStyle* pendingStyle = nullptr;
thread_local HHOOK hook = nullptr;

LRESULT CALLBACK questionProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    if ((msg == WM_COMMAND && LOWORD(wParam) == IDCANCEL) || msg == WM_CLOSE) {
        EndDialog(hwnd, IDNO);
        return 0;
    }
    return DefSubclassProc(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK boxHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE && pendingStyle) {
        HWND box = reinterpret_cast<HWND>(wParam);
        const BoxStyle& style = *pendingStyle;
        pendingStyle = nullptr;
        if (style.okText)
            SetDlgItemTextW(box, IDOK, style.okText);
        if (style.yesText)
            SetDlgItemTextW(box, IDYES, style.yesText);
        if (style.noText)
            SetDlgItemTextW(box, IDNO, style.noText);
        if (style.escapeMeansNo) {
            SetWindowSubclass(box, questionProc, 1, 0);
            EnableMenuItem(GetSystemMenu(box, FALSE), SC_CLOSE, MF_BYCOMMAND | MF_ENABLED);
        }
        RECT r;
        GetWindowRect(box, &r);
        SetWindowPos(box, nullptr, (GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2,
                     (GetSystemMetrics(SM_CYSCREEN) - (r.bottom - r.top)) / 2, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return CallNextHookEx(hook, code, wParam, lParam);
}

int showBox(HWND owner, const std::string& text, const std::string& caption, UINT type, const BoxStyle& style)
{
    pendingStyle = &style;
    hook = SetWindowsHookExW(WH_CBT, boxHook, nullptr, GetCurrentThreadId());
    int answer = MessageBoxW(owner, widen(text).c_str(), widen(caption).c_str(), type | MB_TASKMODAL);
    UnhookWindowsHookEx(hook);
    hook = nullptr;
    pendingStyle = nullptr;
    return answer;
}

}  // namespace

void Win32Ui::notice(const std::string& text)
{
    static const BoxStyle style{L"确定"};
    showBox(owner(), text, applicationTitle(), MB_OK, style);
}

bool Win32Ui::ask(const std::string& text)
{
    static const BoxStyle style{nullptr, L"(&Y)是", L"(&N)否", true};
    return showBox(owner(), text, "确认", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON1, style) == IDYES;
}

void Win32Ui::errorBox(const std::string& text)
{
    static const BoxStyle style{};
    showBox(owner(), text, applicationTitle(), MB_OK | MB_ICONERROR, style);
}

}  // namespace platform::win32
