#include "platform/headless/headless_ui.h"

#include <algorithm>
#include <utility>

#include "platform/folder_chooser.h"
#include "platform/utf8.h"

namespace platform::headless {

std::string HeadlessControl::text() const
{
    if (kind_ == ControlKind::ComboBox)
        return index_ >= 0 && index_ < static_cast<int>(items_.size()) ? items_[index_] : "";
    return text_;
}

void HeadlessControl::setItems(const std::vector<std::string>& items)
{
    items_ = items;
    index_ = -1;
}

void HeadlessControl::click()
{
    if (enabled_ && visible_)
        events_.userClicked();
}

void HeadlessControl::doubleClick()
{
    if (enabled_ && visible_)
        events_.userDoubleClicked();
}

void HeadlessControl::type(char32_t c)
{
    if (!enabled_)
        return;
    c = events_.userTyped(c);
    if (c == 8) {
        text_ = utf8DropLast(text_);
    } else if (c >= 32 && (maxLength_ == 0 || utf8Length(text_) < static_cast<std::size_t>(maxLength_))) {
        text_ += utf8Encode(c);
    }
}

void HeadlessControl::type(const std::u32string& keys)
{
    for (char32_t c : keys)
        type(c);
}

void HeadlessForm::setOuterSize(Size size)
{
    if (size == outer_)
        return;
    outer_ = size;
    events_.resized();
}

Size HeadlessForm::frame() const
{
    return scaled(border_ == FormBorder::Sizeable ? sizeableFrame : dialogFrame, dpi_);
}

void HeadlessForm::moveToDisplay(int dpi, Size suggested)
{
    dpi_ = dpi;
    outer_ = suggested;  // laid out once, with the controls at the new DPI, as the system's window is
    events_.dpiChanged();
}

Size HeadlessForm::clientSize() const
{
    return {outer_.width - frame().width, outer_.height - frame().height};
}

void HeadlessForm::setClientSize(Size size)
{
    setOuterSize({size.width + frame().width, size.height + frame().height});
}

void HeadlessForm::show()
{
    visible_ = true;
}

void HeadlessForm::close()
{
    if (!events_.closeQuery())
        return;
    if (mainWindow_)
        events_.closing();
    visible_ = false;
    closed = mainWindow_;
}

void HeadlessForm::setMenuEnabled(int id, bool on)
{
    for (auto& item : menu_)
        if (item.id == id)
            item.enabled = on;
}

bool HeadlessForm::menuEnabled(int id) const
{
    for (const auto& item : menu_)
        if (item.id == id)
            return item.enabled;
    return false;
}

void HeadlessForm::addMenuItem(int parent, int id, const std::string& caption, bool)
{
    menu_.push_back({parent, id, caption});
}

void HeadlessForm::setMenuCaption(int id, const std::string& caption)
{
    for (Item& item : menu_)
        if (item.id == id)
            item.caption = caption;
}

std::string HeadlessForm::menuCaption(int id) const
{
    auto it = std::find_if(menu_.begin(), menu_.end(), [id](const Item& i) { return i.id == id; });
    return it == menu_.end() ? "" : it->caption;
}

std::unique_ptr<FormPeer> HeadlessUi::createForm(FormEvents& events, FormBorder border, const std::string&,
                                                 bool mainWindow)
{
    return std::make_unique<HeadlessForm>(events, border, mainWindow, dpi_);
}

std::unique_ptr<ControlPeer> HeadlessUi::createControl(ControlKind kind, ControlEvents& events, FormPeer&,
                                                       ControlPeer*, const Rect& bounds, int id)
{
    return std::make_unique<HeadlessControl>(kind, events, bounds, id);
}

void HeadlessUi::setFont(ControlPeer& control, const FontSpec& font, Align align)
{
    auto& c = static_cast<HeadlessControl&>(control);
    c.font = font;
    c.align = align;
}

void HeadlessUi::modalOpen()
{
    if (auto meanwhile = std::exchange(whileModal, nullptr))
        meanwhile();
}

void HeadlessUi::notice(const std::string& text)
{
    shown.push_back({Shown::Notice, text});
    modalOpen();
}

bool HeadlessUi::ask(const std::string& text)
{
    shown.push_back({Shown::Question, text});
    modalOpen();
    if (answers.empty())
        return false;
    bool yes = answers.front();
    answers.pop_front();
    return yes;
}

std::optional<OpenFileAnswer> HeadlessUi::openFiles(const OpenFileRequest& request)
{
    fileRequests.push_back(request);
    modalOpen();
    if (fileAnswers.empty())
        return std::nullopt;
    auto answer = fileAnswers.front();
    fileAnswers.pop_front();
    return answer;
}

std::optional<std::string> HeadlessUi::chooseFolder(const FolderRequest& request)
{
    folderRequests.push_back(request);
    if (folderAnswers.empty())
        return std::nullopt;
    const std::vector<std::string> typed = folderAnswers.front();
    folderAnswers.pop_front();
    for (const std::string& folder : typed)
        if (acceptFolder(*this, fs_, folder))
            return folder;
    return std::nullopt;
}

}  // namespace platform::headless
