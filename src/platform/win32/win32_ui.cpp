// Win32Ui: the form and control factory, fonts, and what the app sets on a label or a button.
// The application window, the message loop, the worker thread, the hints, the boxes and the
// dialogs are in files of their own.
#include "platform/win32/win32_ui.h"

#include <objbase.h>

#include "platform/win32/font_recipe.h"
#include "platform/win32/peers/button_peer.h"
#include "platform/win32/peers/check_box_peer.h"
#include "platform/win32/peers/combo_box_peer.h"
#include "platform/win32/peers/edit_peer.h"
#include "platform/win32/peers/group_box_peer.h"
#include "platform/win32/peers/label_peer.h"
#include "platform/win32/peers/memo_peer.h"
#include "platform/win32/peers/progress_bar_peer.h"
#include "platform/win32/peers/radio_button_peer.h"
#include "platform/win32/win32_form.h"

namespace platform::win32 {

Win32Ui::Win32Ui(FileSystem& fs) : fs_(fs)
{
    // Accessible objects are handed to screen readers through COM.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
}

Win32Ui::~Win32Ui()
{
    if (applicationWindow_)
        DestroyWindow(applicationWindow_);
    for (auto& [key, font] : fonts_)
        DeleteObject(font);
    CoUninitialize();
}

std::unique_ptr<FormPeer> Win32Ui::createForm(FormEvents& events, FormBorder border, const std::string& className,
                                              bool mainWindow)
{
    auto form = std::make_unique<Win32Form>(*this, events, border, className, mainWindow,
                                            mainWindow ? applicationWindow() : mainWindow_);
    if (mainWindow)
        mainWindow_ = form->hwnd();
    return form;
}

namespace {
std::unique_ptr<Win32Control> peerOf(ControlKind kind, const ControlSite& site)
{
    switch (kind) {
    case ControlKind::GroupBox: return std::make_unique<GroupBoxPeer>(site);
    case ControlKind::Label: return std::make_unique<LabelPeer>(site);
    case ControlKind::Edit: return std::make_unique<EditPeer>(site);
    case ControlKind::Memo: return std::make_unique<MemoPeer>(site);
    case ControlKind::CheckBox: return std::make_unique<CheckBoxPeer>(site);
    case ControlKind::RadioButton: return std::make_unique<RadioButtonPeer>(site);
    // The frame of a radio group is a group box; its items are radio buttons of their own.
    case ControlKind::RadioGroup: return std::make_unique<GroupBoxPeer>(site);
    case ControlKind::ComboBox: return std::make_unique<ComboBoxPeer>(site);
    case ControlKind::Button: return std::make_unique<ButtonPeer>(site);
    case ControlKind::ProgressBar: return std::make_unique<ProgressBarPeer>(site);
    }
    return nullptr;
}
}  // namespace

std::unique_ptr<ControlPeer> Win32Ui::createControl(ControlKind kind, ControlEvents& events, FormPeer& form,
                                                    ControlPeer* parent, const Rect& bounds, int id)
{
    auto& f = static_cast<Win32Form&>(form);
    HWND parentWindow = parent ? static_cast<Win32Control*>(parent)->hwnd() : f.hwnd();
    return peerOf(kind, {*this, events, f, parentWindow, bounds, id});
}

HFONT Win32Ui::font(const FontSpec& wanted)
{
    const std::string key = wanted.face + "/" + std::to_string(wanted.pixels) + (wanted.bold ? "b" : "") +
                            (wanted.underline ? "u" : "");
    auto it = fonts_.find(key);
    if (it != fonts_.end())
        return it->second;
    const LOGFONTW lf = logFontOf(wanted);
    HFONT font = CreateFontIndirectW(&lf);
    fonts_[key] = font;
    return font;
}

void Win32Ui::setFont(ControlPeer& control, const FontSpec& font, Align align)
{
    auto& c = static_cast<Win32Control&>(control);
    c.blue = font.blue;
    SendMessageW(c.hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(this->font(font)), TRUE);
    c.setAlign(align);
}

void Win32Ui::setEllipsis(ControlPeer& label, Ellipsis where)
{
    static_cast<LabelPeer&>(label).setEllipsis(where);
}

void Win32Ui::makeLink(ControlPeer& label)
{
    static_cast<LabelPeer&>(label).makeLink();
}

void Win32Ui::makeDefault(ControlPeer& button)
{
    static_cast<ButtonPeer&>(button).makeDefault();
}

HWND Win32Ui::owner() const
{
    HWND active = GetActiveWindow();
    return active ? active : mainWindow_;
}

}  // namespace platform::win32
