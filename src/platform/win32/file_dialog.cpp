// The file-open dialog. Its answer is not bounded by a fixed buffer: the buffer starts large and
// grows whenever the selection's text would no longer fit, so a selection of thousands of files
// comes back whole.
#include <windows.h>
#include <commdlg.h>

#include <vector>

#include "platform/win32/wide.h"
#include "platform/win32/win32_ui.h"

namespace platform::win32 {

namespace {

constexpr std::size_t initialChars = 1u << 20;

struct Answer {
    std::vector<wchar_t> buffer;
};

UINT_PTR CALLBACK growingHook(HWND child, UINT msg, WPARAM, LPARAM lParam)
{
    if (msg == WM_INITDIALOG) {
        SetWindowLongPtrW(child, GWLP_USERDATA, lParam);
        return 0;
    }
    if (msg != WM_NOTIFY || reinterpret_cast<NMHDR*>(lParam)->code != CDN_SELCHANGE)
        return 0;
    auto* ofn = reinterpret_cast<OPENFILENAMEW*>(GetWindowLongPtrW(child, GWLP_USERDATA));
    if (!ofn)
        return 0;
    HWND dialog = GetParent(child);
    // The name field's text ("a" "b" ...) is longer than the names it yields.
    const std::size_t needed = static_cast<std::size_t>(SendMessageW(dialog, CDM_GETSPEC, 0, 0)) +
                               static_cast<std::size_t>(SendMessageW(dialog, CDM_GETFOLDERPATH, 0, 0)) + 16;
    auto* answer = reinterpret_cast<Answer*>(ofn->lCustData);
    if (needed > answer->buffer.size()) {
        answer->buffer.assign(needed * 2, L'\0');
        ofn->lpstrFile = answer->buffer.data();
        ofn->nMaxFile = static_cast<DWORD>(answer->buffer.size());
    }
    return 0;
}

std::wstring filterText(const std::string& filter)
{
    std::wstring text = widen(filter);
    for (wchar_t& c : text)
        if (c == L'|')
            c = L'\0';
    text.push_back(L'\0');
    text.push_back(L'\0');
    return text;
}

// "folder\0name\0name\0\0" for several files, one full path for one. The buffer may still hold
// the tail of a longer starting name behind a single answer's NUL, so only nFileOffset tells the
// two apart: it points behind the folder's NUL exactly when several files came back.
std::vector<std::string> splitAnswer(const OPENFILENAMEW& ofn)
{
    const wchar_t* text = ofn.lpstrFile;
    if (!*text)
        return {};
    if (ofn.nFileOffset == 0 || text[ofn.nFileOffset - 1] != L'\0')
        return {narrow(text)};
    std::wstring folder = text;
    if (!folder.empty() && folder.back() != L'\\')
        folder += L'\\';
    std::vector<std::string> files;
    for (const wchar_t* p = text + ofn.nFileOffset; *p; p += wcslen(p) + 1)
        files.push_back(narrow(folder + p));
    return files;
}

}  // namespace

std::optional<OpenFileAnswer> Win32Ui::openFiles(const OpenFileRequest& request)
{
    Answer answer;
    std::wstring initial = widen(request.initialFile);
    answer.buffer.assign(std::max(initialChars, initial.size() + 2), L'\0');
    std::copy(initial.begin(), initial.end(), answer.buffer.begin());
    std::wstring filter = filterText(request.filter);

    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner();
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = request.filterIndex;
    ofn.lpstrFile = answer.buffer.data();
    ofn.nMaxFile = static_cast<DWORD>(answer.buffer.size());
    ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_ENABLEHOOK |
                (request.multiSelect ? OFN_ALLOWMULTISELECT : 0);
    ofn.lpfnHook = growingHook;
    ofn.lCustData = reinterpret_cast<LPARAM>(&answer);
    if (!GetOpenFileNameW(&ofn))
        return std::nullopt;
    OpenFileAnswer result{splitAnswer(ofn), static_cast<int>(ofn.nFilterIndex)};
    if (result.files.empty())
        return std::nullopt;
    return result;
}

}  // namespace platform::win32
