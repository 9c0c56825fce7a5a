#pragma once
// The controls a window class holds as fields. They hold no state of their own beyond their
// callbacks: the backend's peer holds it. Event rules both backends share:
//  - a user's action runs inside the form's dispatcher, which shows an escaping AppError in the
//    error box and ends the handler there;
//  - setting a check box from code raises its click callback only when the state changes;
//  - selecting a radio button from code raises its click callback (again only on a change).
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui.h"

namespace platform {

class Form;
class Control;

class MenuItem {
public:
    // parent == nullptr: an item of the menu bar.
    MenuItem(Form& form, MenuItem* parent, int id, bool isSubmenu = false);
    int id() const { return id_; }
    const std::string& caption() const { return caption_; }
    void setCaption(const std::string& caption);
    const std::string& hint() const { return hint_; }
    void setHint(const std::string& hint) { hint_ = hint; }
    std::function<void()> onClick;
    void choose();  // as the user does; nothing while disabled
    bool enabled() const { return enabled_; }
    void setEnabled(bool on);

private:
    Form& form_;
    int id_;
    bool enabled_ = true;
    std::string caption_;
    std::string hint_;  // kept with the item; the window has no status line to show it
};

class Form : public FormEvents {
public:
    Form(Ui& ui, FormBorder border, const std::string& className, bool mainWindow);
    ~Form() override;
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    Ui& ui() const { return ui_; }
    FormPeer& peer() const { return *peer_; }
    // A designed value (pixels at 96 dots per inch) at the window's DPI.
    int scaled(int designPixels) const;
    Size scaled(Size designSize) const;
    // A fixed client size as designed: kept at every DPI the window comes to.
    void setDesignClientSize(Size size);

    std::string caption() const { return peer_->title(); }
    void setCaption(const std::string& title) { peer_->setTitle(title); }

    // Runs a handler for an event the user caused; what escapes it is shown in the error box.
    void dispatch(const std::function<void()>& handler);
    // A click, or files from outside: dispatched at once, or, while another handler is under way
    // (a run's loop keeps the window answering, a modal box waits), once that handler has ended,
    // in the order they came: no handler runs inside another. A key's filter is not one of them:
    // it answers before the key reaches its field.
    void userEvent(std::function<void()> handler);

    // Shows the window and lays it out for its size, as its first resize does.
    void show();

    std::function<void()> onShow;
    std::function<void()> onResize;
    // False keeps the window open.
    std::function<bool()> onCloseQuery;
    std::function<void()> onClose;
    std::function<void(const std::vector<std::string>& paths)> onDropFiles;

    void resized() override;
    bool closeQuery() override;
    void closing() override;
    void menuChosen(int id) override;
    // Files from outside, taken as userEvent takes a click.
    void filesDropped(const std::vector<std::string>& paths) override;
    // The window comes to the front and takes the files as a drop.
    void filesHandedOver(const std::vector<std::string>& paths) override;
    // Every control goes to its designed place and font at the new DPI; then the layout runs.
    void dpiChanged() override;
    void registerMenuItem(MenuItem& item) { menu_.push_back(&item); }
    void registerControl(Control& control) { controls_.push_back(&control); }
    // A control made and dropped while the window lives (the items of a radio group).
    void unregisterControl(Control& control) { std::erase(controls_, &control); }

private:
    Ui& ui_;
    std::unique_ptr<FormPeer> peer_;
    std::vector<MenuItem*> menu_;
    std::vector<Control*> controls_;
    Size designClient_{};  // none: the window's size is the user's
    int running_ = 0;  // handlers under way, one inside another's modal box
    std::deque<std::function<void()>> waiting_;  // what the user did while a handler was under way
};

class Control : public ControlEvents {
public:
    // The bounds as designed, at 96 dots per inch: the control starts at them scaled to the
    // window's DPI. bounds() and the setters below are in the display's pixels.
    Control(Form& form, Control* parent, ControlKind kind, const Rect& bounds, int id);
    ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    ControlPeer& peer() const { return *peer_; }
    Form& form() const { return form_; }

    bool enabled() const { return peer_->enabled(); }
    void setEnabled(bool on) { peer_->setEnabled(on); }
    bool visible() const { return peer_->visible(); }
    void setVisible(bool on) { peer_->setVisible(on); }
    Rect bounds() const { return peer_->bounds(); }
    void setBounds(const Rect& r) { peer_->setBounds(r); }
    void setLeft(int left);
    void setWidth(int width);
    void setHeight(int height);
    const std::string& hint() const { return hint_; }
    void setHint(const std::string& hint);
    // The font as designed, at 96 dots per inch.
    void setFont(const FontSpec& font, Align align = Align::Left);
    // Back to the designed place and font, at the window's DPI.
    void applyDpi();
    const Rect& design() const { return design_; }

protected:
    Form& form_;
    std::unique_ptr<ControlPeer> peer_;
    std::string hint_;

private:
    Rect design_;
    FontSpec font_;
    Align align_ = Align::Left;
};

// Controls whose text is their caption or content.
class TextControl : public Control {
public:
    using Control::Control;
    std::string text() const { return peer_->text(); }
    void setText(const std::string& text) { peer_->setText(text); }
};

class GroupBox : public TextControl {
public:
    GroupBox(Form& form, Control* parent, const Rect& bounds, int id = 0)
        : TextControl(form, parent, ControlKind::GroupBox, bounds, id) {}
};

class Label : public TextControl {
public:
    Label(Form& form, Control* parent, const Rect& bounds, int id = 0)
        : TextControl(form, parent, ControlKind::Label, bounds, id) {}
    void setEllipsis(Ellipsis where) { form_.ui().setEllipsis(*peer_, where); }
    void makeLink() { form_.ui().makeLink(*peer_); }
    std::function<void()> onClick;
    std::function<void()> onDblClick;
    void userClicked() override;
    void userDoubleClicked() override;
};

class Edit : public TextControl {
public:
    Edit(Form& form, Control* parent, const Rect& bounds, int id = 0)
        : TextControl(form, parent, ControlKind::Edit, bounds, id) {}
    void setMaxLength(int chars) { peer_->setMaxLength(chars); }
    // May replace the typed character.
    std::function<void(char32_t& key)> onKeyPress;
    char32_t userTyped(char32_t c) override;
};

// Read-only multi-line view; every change of its text raises onChange.
class Memo : public TextControl {
public:
    Memo(Form& form, Control* parent, const Rect& bounds, int id = 0)
        : TextControl(form, parent, ControlKind::Memo, bounds, id) {}
    void setText(const std::string& text);
    void clear() { setText(""); }
    // Told from the text as it is set: asking the view for a million lines back costs a fifth of
    // a second.
    std::size_t lineCount() const { return lines_; }
    std::function<void()> onChange;

private:
    std::size_t lines_ = 0;
};

class CheckBox : public TextControl {
public:
    CheckBox(Form& form, Control* parent, const Rect& bounds, int id = 0)
        : TextControl(form, parent, ControlKind::CheckBox, bounds, id) {}
    bool checked() const { return peer_->checked(); }
    void setChecked(bool on);
    std::function<void()> onClick;
    void userClicked() override;
};

class RadioButton : public TextControl {
public:
    RadioButton(Form& form, Control* parent, const Rect& bounds, int id = 0)
        : TextControl(form, parent, ControlKind::RadioButton, bounds, id) {}
    bool checked() const { return peer_->checked(); }
    // Selecting one clears the others of its group.
    void setChecked(bool on);
    std::function<void()> onClick;
    void userClicked() override;
    static void group(const std::vector<RadioButton*>& buttons);

private:
    std::vector<RadioButton*> others_;
};

// A framed group of radio buttons laid out in two columns; each item is a radio button of its
// own, so that it can be locked and is drawn so.
class RadioGroup : public TextControl {
public:
    RadioGroup(Form& form, Control* parent, const Rect& bounds, int id = 0)
        : TextControl(form, parent, ControlKind::RadioGroup, bounds, id) {}
    std::vector<std::string> items() const;
    void setItems(const std::vector<std::string>& items);
    // -1 when none is selected.
    int itemIndex() const;
    void setItemIndex(int index);
    const std::vector<std::unique_ptr<RadioButton>>& buttons() const { return buttons_; }

private:
    std::vector<std::unique_ptr<RadioButton>> buttons_;
};

class ComboBox : public Control {
public:
    ComboBox(Form& form, Control* parent, const Rect& bounds, int id = 0)
        : Control(form, parent, ControlKind::ComboBox, bounds, id) {}
    std::vector<std::string> items() const { return peer_->items(); }
    void setItems(const std::vector<std::string>& items) { peer_->setItems(items); }
    int itemIndex() const { return peer_->itemIndex(); }
    void setItemIndex(int index) { peer_->setItemIndex(index); }
    std::string text() const { return peer_->text(); }
};

class ProgressBar : public Control {
public:
    ProgressBar(Form& form, Control* parent, const Rect& bounds, int id = 0)
        : Control(form, parent, ControlKind::ProgressBar, bounds, id) {}
    void setProgress(int position, int range) { peer_->setProgress(position, range); }
};

class Button : public TextControl {
public:
    Button(Form& form, Control* parent, const Rect& bounds, int id = 0)
        : TextControl(form, parent, ControlKind::Button, bounds, id) {}
    void makeDefault() { form_.ui().makeDefault(*peer_); }
    std::function<void()> onClick;
    void userClicked() override;
};

}  // namespace platform
