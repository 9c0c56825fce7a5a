// The folder chooser "Select Directory": a dialog of the program's own, since Windows has no
// stock dialog with a folder-name field beside a drive list, a folder tree and the folder's files.
#include <windows.h>
#include <commctrl.h>
#include <winnetwk.h>

#include <cwctype>
#include <vector>

#include "platform/errors.h"
#include "platform/folder_chooser.h"
#include "platform/win32/wide.h"
#include "platform/win32/win32_ui.h"

namespace platform::win32 {

namespace {

enum : WORD { idName = 100, idTree = 101, idFiles = 102, idDrives = 103, idNetwork = 104 };

// A dialog template built in memory: DLGTEMPLATE, then DLGITEMTEMPLATEs on DWORD boundaries.
class DialogTemplate {
public:
    DialogTemplate(const wchar_t* title, short cx, short cy)
    {
        putDword(DS_MODALFRAME | DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU);
        putDword(0);
        countAt_ = data_.size();
        put(0);
        put(0), put(0), put(static_cast<WORD>(cx)), put(static_cast<WORD>(cy));
        put(0), put(0);  // no menu, the standard class
        putText(title);
        put(8);
        putText(L"MS Shell Dlg");
    }

    void add(const wchar_t* cls, const wchar_t* text, WORD id, DWORD style, short x, short y, short cx, short cy)
    {
        if (data_.size() % 2)
            put(0);
        putDword(style | WS_CHILD | WS_VISIBLE);
        putDword(0);
        put(static_cast<WORD>(x)), put(static_cast<WORD>(y)), put(static_cast<WORD>(cx)), put(static_cast<WORD>(cy));
        put(id);
        putText(cls);
        putText(text);
        put(0);
        ++data_[countAt_];
    }

    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(data_.data()); }

private:
    void put(WORD w) { data_.push_back(w); }
    void putDword(DWORD d) { put(LOWORD(d)), put(HIWORD(d)); }
    void putText(const wchar_t* s)
    {
        for (; *s; ++s)
            put(*s);
        put(0);
    }
    std::vector<WORD> data_;
    std::size_t countAt_ = 0;
};

struct Chooser {
    Win32Ui& ui;
    FileSystem& fs;
    std::wstring start;
    std::wstring result;
    bool failed = false;
};

std::wstring withSlash(std::wstring path)
{
    if (!path.empty() && path.back() != L'\\')
        path += L'\\';
    return path;
}

std::vector<std::wstring> entries(const std::wstring& folder, bool folders)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((withSlash(folder) + L"*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::wstring name = fd.cFileName;
        const bool isFolder = fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
        if (name != L"." && name != L".." && isFolder == folders)
            names.push_back(name);
    } while (FindNextFileW(h, &fd));
    FindClose(h);
    return names;
}

std::wstring itemText(HWND tree, HTREEITEM item)
{
    wchar_t text[MAX_PATH];
    TVITEMW tv{};
    tv.mask = TVIF_TEXT;
    tv.hItem = item;
    tv.pszText = text;
    tv.cchTextMax = MAX_PATH;
    TreeView_GetItem(tree, &tv);
    return text;
}

// A drive root keeps its "\", any other folder has none.
std::wstring pathOf(HWND tree, HTREEITEM item)
{
    std::wstring path;
    for (; item; item = TreeView_GetParent(tree, item)) {
        std::wstring part = itemText(tree, item);
        path = path.empty() ? part : withSlash(part) + path;
    }
    return path;
}

HTREEITEM insert(HWND tree, HTREEITEM parent, const std::wstring& name)
{
    TVINSERTSTRUCTW ins{};
    ins.hParent = parent;
    ins.hInsertAfter = TVI_LAST;
    ins.item.mask = TVIF_TEXT | TVIF_CHILDREN | TVIF_PARAM;
    ins.item.pszText = const_cast<wchar_t*>(name.c_str());
    ins.item.cChildren = 1;  // found out when it is opened
    ins.item.lParam = 0;     // 1 once its subfolders are listed
    return TreeView_InsertItem(tree, &ins);
}

void listSubfolders(HWND tree, HTREEITEM item)
{
    TVITEMW tv{};
    tv.mask = TVIF_PARAM;
    tv.hItem = item;
    TreeView_GetItem(tree, &tv);
    if (tv.lParam)
        return;
    auto folders = entries(pathOf(tree, item), true);
    for (const auto& f : folders)
        insert(tree, item, f);
    tv.mask = TVIF_PARAM | TVIF_CHILDREN;
    tv.lParam = 1;
    tv.cChildren = folders.empty() ? 0 : 1;
    TreeView_SetItem(tree, &tv);
}

bool sameName(const std::wstring& a, const std::wstring& b)
{
    return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

// Opens the tree from the drive root down to the folder and selects it.
void showFolder(HWND dialog, const std::wstring& folder)
{
    HWND tree = GetDlgItem(dialog, idTree);
    TreeView_DeleteAllItems(tree);
    if (folder.size() < 2 || folder[1] != L':')
        return;
    std::wstring root = folder.substr(0, 2) + L"\\";
    HTREEITEM item = insert(tree, TVI_ROOT, std::wstring(1, static_cast<wchar_t>(std::towupper(folder[0]))) + L":\\");
    std::size_t pos = 3;
    while (pos < folder.size()) {
        std::size_t end = folder.find(L'\\', pos);
        std::wstring part = folder.substr(pos, end == std::wstring::npos ? std::wstring::npos : end - pos);
        pos = end == std::wstring::npos ? folder.size() : end + 1;
        if (part.empty())
            continue;
        listSubfolders(tree, item);
        TreeView_Expand(tree, item, TVE_EXPAND);
        HTREEITEM child = TreeView_GetChild(tree, item);
        while (child && !sameName(itemText(tree, child), part))
            child = TreeView_GetNextSibling(tree, child);
        if (!child)
            break;
        item = child;
    }
    TreeView_SelectItem(tree, item);
    TreeView_EnsureVisible(tree, item);
    SendDlgItemMessageW(dialog, idDrives, CB_SELECTSTRING, -1, reinterpret_cast<LPARAM>(root.substr(0, 2).c_str()));
}

void showFiles(HWND dialog, const std::wstring& folder)
{
    HWND list = GetDlgItem(dialog, idFiles);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (const auto& f : entries(folder, false))
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(f.c_str()));
}

void fillDrives(HWND dialog)
{
    HWND drives = GetDlgItem(dialog, idDrives);
    SendMessageW(drives, CB_RESETCONTENT, 0, 0);
    wchar_t buffer[512];
    DWORD n = GetLogicalDriveStringsW(512, buffer);
    for (const wchar_t* d = buffer; d < buffer + n && *d; d += wcslen(d) + 1)
        SendMessageW(drives, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(std::wstring(d, 2).c_str()));
}

void confirm(HWND dialog, Chooser& c)
{
    wchar_t text[32768];
    GetDlgItemTextW(dialog, idName, text, 32768);
    try {
        if (!acceptFolder(c.ui, c.fs, narrow(text)))
            return;
        c.result = text;
        EndDialog(dialog, IDOK);
    } catch (const AppError&) {
        c.failed = true;
        EndDialog(dialog, IDABORT);
    }
}

INT_PTR CALLBACK chooserProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto* c = reinterpret_cast<Chooser*>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (msg) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        c = reinterpret_cast<Chooser*>(lParam);
        fillDrives(dialog);
        showFolder(dialog, c->start);
        SetDlgItemTextW(dialog, idName, c->start.c_str());
        return TRUE;
    case WM_NOTIFY: {
        auto* hdr = reinterpret_cast<NMHDR*>(lParam);
        if (hdr->idFrom != idTree)
            break;
        auto* tv = reinterpret_cast<NMTREEVIEWW*>(lParam);
        if (hdr->code == TVN_ITEMEXPANDINGW && tv->action == TVE_EXPAND) {
            listSubfolders(hdr->hwndFrom, tv->itemNew.hItem);
        } else if (hdr->code == TVN_SELCHANGEDW) {
            std::wstring path = pathOf(hdr->hwndFrom, tv->itemNew.hItem);
            SetDlgItemTextW(dialog, idName, path.c_str());
            showFiles(dialog, path);
        }
        return TRUE;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK: confirm(dialog, *c); return TRUE;
        case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;
        case IDHELP:
            c->ui.notice("Select a folder in the tree, or type its full path into the name field. "
                         "A folder that does not exist yet is created after a question.");
            return TRUE;
        case idNetwork:
            WNetConnectionDialog(dialog, RESOURCETYPE_DISK);
            fillDrives(dialog);
            return TRUE;
        case idDrives:
            if (HIWORD(wParam) == CBN_SELCHANGE) {
                wchar_t drive[8] = L"";
                HWND combo = reinterpret_cast<HWND>(lParam);
                LRESULT i = SendMessageW(combo, CB_GETCURSEL, 0, 0);
                if (i >= 0 && SendMessageW(combo, CB_GETLBTEXTLEN, i, 0) < 8)
                    SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(drive));
                showFolder(dialog, std::wstring(drive) + L"\\");
            }
            return TRUE;
        }
        break;
    }
    return FALSE;
}

}  // namespace

std::optional<std::string> Win32Ui::chooseFolder(const FolderRequest& request)
{
    DialogTemplate t(L"Select Directory", 262, 196);
    t.add(L"STATIC", L"Directory &Name:", 0xFFFF, SS_LEFT, 6, 6, 120, 8);
    t.add(L"EDIT", L"", idName, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 6, 16, 250, 12);
    t.add(L"STATIC", L"&Directories:", 0xFFFF, SS_LEFT, 6, 34, 120, 8);
    t.add(WC_TREEVIEWW, L"", idTree,
          WS_BORDER | WS_TABSTOP | TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT | TVS_SHOWSELALWAYS, 6, 44, 130,
          100);
    t.add(L"STATIC", L"&Files: (*.*)", 0xFFFF, SS_LEFT, 142, 34, 114, 8);
    t.add(L"LISTBOX", L"", idFiles, WS_BORDER | WS_VSCROLL | LBS_NOSEL | LBS_NOINTEGRALHEIGHT | LBS_SORT, 142, 44,
          114, 100);
    t.add(L"STATIC", L"D&rives:", 0xFFFF, SS_LEFT, 6, 150, 60, 8);
    t.add(L"COMBOBOX", L"", idDrives, WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 6, 160, 130, 100);
    t.add(L"BUTTON", L"&Network...", idNetwork, WS_TABSTOP | BS_PUSHBUTTON, 142, 159, 60, 14);
    t.add(L"BUTTON", L"OK", IDOK, WS_TABSTOP | BS_DEFPUSHBUTTON, 96, 176, 50, 14);
    t.add(L"BUTTON", L"Cancel", IDCANCEL, WS_TABSTOP | BS_PUSHBUTTON, 151, 176, 50, 14);
    t.add(L"BUTTON", L"&Help", IDHELP, WS_TABSTOP | BS_PUSHBUTTON, 206, 176, 50, 14);

    // The help context has no help file behind it; Help shows a notice of the program's own.
    Chooser chooser{*this, fs_, widen(request.startFolder)};
    INT_PTR answer = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), t.get(), owner(), chooserProc,
                                             reinterpret_cast<LPARAM>(&chooser));
    if (chooser.failed)
        throw AppError("the folder could not be created");
    if (answer != IDOK)
        return std::nullopt;
    return narrow(chooser.result);
}

}  // namespace platform::win32
