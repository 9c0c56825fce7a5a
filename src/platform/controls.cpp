#include "platform/controls.h"

#include <algorithm>

#include "platform/display.h"
#include "platform/errors.h"
#include "platform/line_breaks.h"

namespace platform {

MenuItem::MenuItem(Form& form, MenuItem* parent, int id, bool isSubmenu) : form_(form), id_(id)
{
    form.peer().addMenuItem(parent ? parent->id() : 0, id, "", isSubmenu);
    form.registerMenuItem(*this);
}

void MenuItem::setCaption(const std::string& caption)
{
    caption_ = caption;
    form_.peer().setMenuCaption(id_, caption);
}

void MenuItem::choose()
{
    if (onClick && enabled_)
        form_.dispatch(onClick);
}

void MenuItem::setEnabled(bool on)
{
    enabled_ = on;
    form_.peer().setMenuEnabled(id_, on);
}

Form::Form(Ui& ui, FormBorder border, const std::string& className, bool mainWindow)
    : ui_(ui), peer_(ui.createForm(*this, border, className, mainWindow))
{
}

Form::~Form() = default;

int Form::scaled(int designPixels) const
{
    return platform::scaled(designPixels, peer_->dpi());
}

Size Form::scaled(Size designSize) const
{
    return platform::scaled(designSize, peer_->dpi());
}

void Form::setDesignClientSize(Size size)
{
    designClient_ = size;
    peer_->setClientSize(scaled(size));
}

void Form::dpiChanged()
{
    for (Control* c : controls_)
        c->applyDpi();
    if (designClient_.width > 0)
        peer_->setClientSize(scaled(designClient_));
    resized();
}

void Form::dispatch(const std::function<void()>& handler)
{
    ++running_;
    try {
        handler();
    } catch (const std::exception& e) {
        // AppError above all; anything else escaping a handler is shown the same way rather
        // than unwinding through the window system.
        ui_.errorBox(errorBoxText(e.what()));
    }
    --running_;
    if (running_ == 0 && !waiting_.empty()) {
        const std::function<void()> next = std::move(waiting_.front());
        waiting_.pop_front();
        dispatch(next);
    }
}

void Form::userEvent(std::function<void()> handler)
{
    if (running_ > 0)
        waiting_.push_back(std::move(handler));
    else
        dispatch(handler);
}

void Form::show()
{
    peer_->show();
    resized();
    if (onShow)
        dispatch(onShow);
}

void Form::resized()
{
    if (onResize)
        dispatch(onResize);
}

bool Form::closeQuery()
{
    bool allowed = true;
    if (onCloseQuery)
        dispatch([&] { allowed = onCloseQuery(); });
    return allowed;
}

void Form::closing()
{
    // A closing window takes nothing more the user did meanwhile: files would outlive it in new
    // lists.
    waiting_.clear();
    if (onClose)
        dispatch(onClose);
}

void Form::menuChosen(int id)
{
    auto item = std::find_if(menu_.begin(), menu_.end(), [id](MenuItem* m) { return m->id() == id; });
    if (item != menu_.end())
        (*item)->choose();
}

void Form::filesDropped(const std::vector<std::string>& paths)
{
    if (onDropFiles)
        userEvent([this, paths] { onDropFiles(paths); });
}

void Form::filesHandedOver(const std::vector<std::string>& paths)
{
    peer_->bringToFront();
    filesDropped(paths);
}

Control::Control(Form& form, Control* parent, ControlKind kind, const Rect& bounds, int id)
    : form_(form),
      peer_(form.ui().createControl(kind, *this, form.peer(), parent ? &parent->peer() : nullptr,
                                    scaled(bounds, form.peer().dpi()), id)),
      design_(bounds)
{
    form.registerControl(*this);
}

Control::~Control()
{
    form_.unregisterControl(*this);
}

void Control::setLeft(int left)
{
    Rect r = bounds();
    r.left = left;
    setBounds(r);
}

void Control::setWidth(int width)
{
    Rect r = bounds();
    r.width = width;
    setBounds(r);
}

void Control::setHeight(int height)
{
    Rect r = bounds();
    r.height = height;
    setBounds(r);
}

void Control::setHint(const std::string& hint)
{
    hint_ = hint;
    peer_->setHint(hint);
}

void Control::setFont(const FontSpec& font, Align align)
{
    font_ = font;
    align_ = align;
    form_.ui().setFont(*peer_, scaled(font, form_.peer().dpi()), align);
}

void Control::applyDpi()
{
    // The font first: a view scrolled sideways keeps its part of the lines in sight when the
    // new size then brings it back within them.
    const int dpi = form_.peer().dpi();
    form_.ui().setFont(*peer_, scaled(font_, dpi), align_);
    setBounds(scaled(design_, dpi));
}

void Label::userClicked()
{
    if (onClick)
        form_.userEvent(onClick);
}

void Label::userDoubleClicked()
{
    if (onDblClick)
        form_.userEvent(onDblClick);
}

char32_t Edit::userTyped(char32_t c)
{
    if (onKeyPress)
        form_.dispatch([&] { onKeyPress(c); });
    return c;
}

void Memo::setText(const std::string& text)
{
    peer_->setText(text);
    lines_ = countLines(text);
    if (onChange)
        onChange();
}

void CheckBox::setChecked(bool on)
{
    if (peer_->checked() == on)
        return;
    peer_->setChecked(on);
    if (onClick)
        onClick();
}

void CheckBox::userClicked()
{
    form_.userEvent([this] { setChecked(!checked()); });
}

void RadioButton::setChecked(bool on)
{
    if (peer_->checked() == on)
        return;
    peer_->setChecked(on);
    if (!on)
        return;
    for (RadioButton* other : others_)
        other->peer_->setChecked(false);
    if (onClick)
        onClick();
}

void RadioButton::userClicked()
{
    form_.userEvent([this] { setChecked(true); });
}

void RadioButton::group(const std::vector<RadioButton*>& buttons)
{
    for (RadioButton* b : buttons) {
        b->others_.clear();
        for (RadioButton* o : buttons)
            if (o != b)
                b->others_.push_back(o);
    }
}

std::vector<std::string> RadioGroup::items() const
{
    std::vector<std::string> captions;
    for (const auto& b : buttons_)
        captions.push_back(b->text());
    return captions;
}

void RadioGroup::setItems(const std::vector<std::string>& items)
{
    buttons_.clear();
    const int columns = 2, columnWidth = (design().width - 16) / columns;
    std::vector<RadioButton*> group;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const int column = static_cast<int>(i) % columns, row = static_cast<int>(i) / columns;
        buttons_.push_back(
            std::make_unique<RadioButton>(form_, this, Rect{8 + column * columnWidth, 16 + row * 20, columnWidth, 17}));
        buttons_.back()->setText(items[i]);
        group.push_back(buttons_.back().get());
    }
    RadioButton::group(group);
}

int RadioGroup::itemIndex() const
{
    for (std::size_t i = 0; i < buttons_.size(); ++i)
        if (buttons_[i]->checked())
            return static_cast<int>(i);
    return -1;
}

void RadioGroup::setItemIndex(int index)
{
    if (index >= 0 && index < static_cast<int>(buttons_.size()))
        buttons_[index]->setChecked(true);
    else
        for (const auto& b : buttons_)
            b->peer().setChecked(false);
}

void Button::userClicked()
{
    if (onClick)
        form_.userEvent(onClick);
}

}  // namespace platform
