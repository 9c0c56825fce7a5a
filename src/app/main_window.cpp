#include "app/main_window.h"

#include <algorithm>

#include "app/about_window.h"
#include "app/progress_window.h"
#include "app/control_ids.h"
#include "app/texts.h"
#include "rename/run_state.h"

using platform::Rect;

namespace {
// The list areas' stored sizes are those the layout rule gives at the start size.
constexpr int storedAreaWidth = 303, storedAreaHeight = 500, storedViewWidth = 283, storedViewHeight = 442;
}  // namespace

TFrmMain::TFrmMain(const platform::Platform& os)
    : Form(os.ui, platform::FormBorder::Sizeable, "TFrmMain", true),
      n_open(*this, nullptr, ids::n_open),
      n_add(*this, nullptr, ids::n_add),
      n_clear(*this, nullptr, ids::n_clear),
      n_preview(*this, nullptr, ids::n_preview),
      n_cancel(*this, nullptr, ids::n_cancel),
      n_run(*this, nullptr, ids::n_run),
      n_undo(*this, nullptr, ids::n_undo),
      n_help(*this, nullptr, ids::n_help, true),
      n_web(*this, &n_help, ids::n_web),
      m_checkupdate(*this, &n_help, ids::m_checkupdate),
      N1(*this, &n_help, ids::N1),
      n_about(*this, &n_help, ids::n_about),
      n_exit(*this, nullptr, ids::n_exit),
      gb_old(*this, nullptr, {8, 194, storedAreaWidth, storedAreaHeight}, ids::gb_old),
      gb_new(*this, nullptr, {8 + storedAreaWidth + 16, 194, storedAreaWidth, storedAreaHeight}, ids::gb_new),
      gb_name(*this, nullptr, {8, 6, 614, 115}, ids::gb_name),
      gb_extension(*this, nullptr, {8, 123, 118, 68}, ids::gb_extension),
      gb_attributes(*this, nullptr, {131, 123, 97, 68}, ids::gb_attributes),
      gb_output(*this, nullptr, {234, 123, 388, 68}, ids::gb_output),
      lb_old(*this, &gb_old, {110, 20, 97, 16}, ids::lb_old),
      mmOriginal(*this, &gb_old, {10, 44, storedViewWidth, storedViewHeight}, ids::mmOriginal),
      cbShowpathO(*this, &gb_old, {10, 20, 90, 17}, ids::cbShowpathO),
      lb_new(*this, &gb_new, {218, 20, 97, 16}, ids::lb_new),
      cbshowpathR(*this, &gb_new, {10, 20, 90, 17}, ids::cbshowpathR),
      mmRenamed(*this, &gb_new, {10, 44, storedViewWidth, storedViewHeight}, ids::mmRenamed),
      Button1(*this, &gb_new, {114, 14, 92, 25}, ids::Button1),
      gb_append(*this, &gb_name, {226, 64, 214, 44}, ids::gb_append),
      cbAftername(*this, &gb_append, {8, 14, 94, 17}, ids::cbAftername),
      edtRearside(*this, &gb_append, {86, 13, 114, 21}, ids::edtRearside),
      gb_filename(*this, &gb_name, {6, 15, 214, 44}, ids::gb_filename),
      cbNewname(*this, &gb_filename, {8, 15, 85, 17}, ids::cbNewname),
      edtname(*this, &gb_filename, {98, 14, 105, 21}, ids::edtname),
      gb_No(*this, &gb_name, {226, 15, 214, 44}, ids::gb_No),
      cbInitNo(*this, &gb_No, {8, 15, 76, 17}, ids::cbInitNo),
      edtvalue(*this, &gb_No, {86, 14, 27, 21}, ids::edtvalue),
      cbPos(*this, &gb_No, {123, 13, 80, 21}, ids::cbPos),
      rgIncDec(*this, &gb_name, {446, 10, 160, 48}, ids::rgIncDec),
      gbReplace(*this, &gb_name, {446, 60, 160, 48}, ids::gbReplace),
      edtOldpart(*this, &gbReplace, {8, 16, 60, 21}, ids::edtOldpart),
      Label3(*this, &gbReplace, {72, 19, 12, 13}, ids::Label3),
      edtNewpart(*this, &gbReplace, {91, 15, 60, 21}, ids::edtNewpart),
      gb_insert(*this, &gb_name, {6, 64, 214, 44}, ids::gb_insert),
      cbBeforename(*this, &gb_insert, {8, 14, 84, 17}, ids::cbBeforename),
      edtForeside(*this, &gb_insert, {98, 13, 105, 21}, ids::edtForeside),
      cbChangesuffix(*this, &gb_extension, {8, 18, 54, 17}, ids::cbChangesuffix),
      edtsuffix_old(*this, &gb_extension, {6, 40, 40, 21}, ids::edtsuffix_old),
      Label4(*this, &gb_extension, {51, 43, 12, 13}, ids::Label4),
      edtsuffix_new(*this, &gb_extension, {69, 40, 40, 21}, ids::edtsuffix_new),
      cbReadonly(*this, &gb_attributes, {8, 18, 74, 17}, ids::cbReadonly),
      cbHidden(*this, &gb_attributes, {8, 40, 68, 20}, ids::cbHidden),
      rbRename(*this, &gb_output, {8, 18, 173, 17}, ids::rbRename),
      rbSaveas(*this, &gb_output, {187, 18, 161, 17}, ids::rbSaveas),
      btnFolder(*this, &gb_output, {327, 14, 49, 23}, ids::btnFolder),
      lbpath(*this, &gb_output, {12, 42, 365, 13}, ids::lbpath),
      odOPen(os.ui, true),
      Ofile(os.ui, false),
      os_(os),
      session_(os.fs)
{
    // What the window's stored layout holds before FormCreate runs.
    peer().setOuterSize(scaled(startSize));
    cbNewname.peer().setChecked(true);
    cbInitNo.peer().setChecked(true);
    edtvalue.setText(texts::caption::edtvalue);
    edtvalue.setMaxLength(4);
    Label3.setText(texts::caption::arrows);
    Label4.setText(texts::caption::arrows);
    rgIncDec.setText(texts::caption::rgIncDec);
    rgIncDec.setItems({texts::caption::increment, texts::caption::decrement});
    rgIncDec.setItemIndex(0);
    edtsuffix_old.setEnabled(false);
    edtsuffix_new.setEnabled(false);
    platform::RadioButton::group({&rbRename, &rbSaveas});
    rbRename.peer().setChecked(true);
    btnFolder.setText(texts::caption::btnFolder);
    btnFolder.setVisible(false);
    lbpath.setEllipsis(platform::Ellipsis::Middle);
    Ofile.filter = texts::importFilter;

    bindEvents();
    FormCreate();
    frmAbout = std::make_unique<TfrmAbout>(os, versionString);
    frmProgress = std::make_unique<TfrmProgress>(os);
}

TFrmMain::~TFrmMain() = default;

// The menu, one row per item in menu order: adding a command is a row here, its handler and its text.
std::span<const TFrmMain::MenuCommand> TFrmMain::menuCommands()
{
    static const MenuCommand commands[] = {
        {&TFrmMain::n_open, texts::menu::open, texts::menu::openHint, &TFrmMain::n_openClick, Available::Idle},
        {&TFrmMain::n_add, texts::menu::add, texts::menu::addHint, &TFrmMain::n_addClick, Available::Idle},
        {&TFrmMain::n_clear, texts::menu::clear, texts::menu::clearHint, &TFrmMain::n_clearClick, Available::Idle},
        {&TFrmMain::n_preview, texts::menu::preview, texts::menu::previewHint, &TFrmMain::n_previewClick, Available::Idle},
        {&TFrmMain::n_cancel, texts::menu::cancel, texts::menu::cancelHint, &TFrmMain::n_cancelClick, Available::Idle},
        {&TFrmMain::n_run, texts::menu::run, texts::menu::runHint, &TFrmMain::n_runClick, Available::Idle},
        {&TFrmMain::n_undo, texts::menu::undo, texts::menu::undoHint, &TFrmMain::n_undoClick, Available::Undoable},
        {&TFrmMain::n_help, texts::menu::help, "", nullptr, Available::Idle},
        // Reached only through 帮助, which a run greys.
        {&TFrmMain::n_web, texts::menu::web, "", &TFrmMain::n_webClick, Available::Always},
        {&TFrmMain::m_checkupdate, texts::menu::checkUpdate, "", &TFrmMain::m_checkupdateClick, Available::Always},
        {&TFrmMain::N1, texts::menu::separator, "", nullptr, Available::Always},
        {&TFrmMain::n_about, texts::menu::about, "", &TFrmMain::n_aboutClick, Available::Always},
        {&TFrmMain::n_exit, texts::menu::exit, "", &TFrmMain::n_exitClick, Available::Idle},
    };
    return commands;
}

std::vector<platform::Control*> TFrmMain::lockedDuringRun()
{
    std::vector<platform::Control*> locked{
        &gb_name, &gb_filename, &cbNewname, &edtname, &gb_No, &cbInitNo, &edtvalue, &cbPos, &rgIncDec,
        &gbReplace, &edtOldpart, &edtNewpart, &gb_insert, &cbBeforename, &edtForeside, &gb_append,
        &cbAftername, &edtRearside, &gb_extension, &cbChangesuffix, &edtsuffix_old, &edtsuffix_new,
        &gb_attributes, &cbReadonly, &cbHidden, &gb_output, &rbRename, &rbSaveas, &btnFolder, &lbpath,
        &cbShowpathO, &cbshowpathR, &Button1};
    for (const auto& item : rgIncDec.buttons())
        locked.push_back(item.get());
    return locked;
}

void TFrmMain::bindEvents()
{
    onShow = [this] { FormShow(); };
    onResize = [this] { FormResize(); };
    onCloseQuery = [this] { return FormCloseQuery(); };
    onClose = [this] { FormClose(); };
    onDropFiles = [this](const std::vector<std::string>& paths) { FormDropFiles(paths); };
    for (const MenuCommand& c : menuCommands())
        if (c.handler)
            (this->*c.item).onClick = [this, handler = c.handler] { (this->*handler)(); };
    mmOriginal.onChange = [this] { mmOriginalChange(); };
    mmRenamed.onChange = [this] { mmRenamedChange(); };
    cbShowpathO.onClick = [this] { cbShowpathOClick(); };
    cbshowpathR.onClick = [this] { cbshowpathRClick(); };
    Button1.onClick = [this] { Button1Click(); };
    cbNewname.onClick = [this] { cbNewnameClick(); };
    cbInitNo.onClick = [this] { cbInitNoClick(); };
    cbChangesuffix.onClick = [this] { cbChangesuffixClick(); };
    edtvalue.onKeyPress = [this](char32_t& key) { edtvalueKeyPress(key); };
    rbRename.onClick = [this] { rbRenameClick(); };
    rbSaveas.onClick = [this] { rbSaveasClick(); };
    lbpath.onDblClick = [this] { lbpathDblClick(); };
    btnFolder.onClick = [this] { btnFolderClick(); };
}

void TFrmMain::FormCreate()
{
    using namespace texts;
    versionString = texts::versionString;
    ui().setHintTimes(500, 10000);
    lb_old.setText(counterText(0));
    lb_new.setText(counterText(0));

    ui().setApplicationTitle(applicationTitle);
    for (const MenuCommand& c : menuCommands()) {
        (this->*c.item).setCaption(c.caption);
        (this->*c.item).setHint(c.hint);
    }

    const struct {
        platform::Control& control;
        const char* caption;  // nullptr: the control has no caption of its own
        const char* hint;
    } controlTexts[] = {
        {gb_name, caption::gbName, ""},
        {gb_extension, caption::gbExtension, hint::gbExtension},
        {gb_attributes, caption::gbAttributes, hint::gbAttributes},
        {gb_output, caption::gbOutput, ""},
        {gb_old, caption::gbOld, ""},
        {gb_new, caption::gbNew, ""},
        {gbReplace, caption::gbReplace, hint::gbReplace},
        {cbNewname, caption::cbNewname, hint::newName},
        {edtname, nullptr, hint::newName},
        {cbInitNo, caption::cbInitNo, hint::startNumber},
        {edtvalue, nullptr, hint::startNumber},
        {edtOldpart, nullptr, hint::oldPart},
        {edtNewpart, nullptr, hint::newPart},
        {cbBeforename, caption::cbBeforename, hint::before},
        {edtForeside, nullptr, hint::before},
        {cbAftername, caption::cbAftername, hint::after},
        {edtRearside, nullptr, hint::after},
        {cbChangesuffix, caption::cbChangesuffix, hint::suffix},
        {edtsuffix_old, nullptr, hint::suffix},
        {edtsuffix_new, nullptr, hint::suffix},
        {cbReadonly, caption::cbReadonly, hint::attributes},
        {cbHidden, caption::cbHidden, hint::attributes},
        {rbRename, caption::rbRename, ""},
        {rbSaveas, caption::rbSaveas, ""},
        {lbpath, nullptr, hint::lbpath},
        {cbShowpathO, caption::showPath, hint::showPath},
        {cbshowpathR, caption::showPath, hint::showPath},
        {Button1, caption::button1, hint::button1},
    };
    for (const auto& c : controlTexts) {
        if (c.caption)
            static_cast<platform::TextControl&>(c.control).setText(c.caption);
        if (*c.hint)
            c.control.setHint(c.hint);
    }

    odOPen.filter = openFilter;

    cbPos.setItems({caption::posAfter, caption::posBefore});
    cbPos.setItemIndex(0);

    setCaption(std::string(productName) + versionString);
}

void TFrmMain::FormShow()
{
    // Lists that a process which did not end through its window left behind are in force:
    // they must be seen before anything acts on them.
    present(session_.start());
}

void TFrmMain::FormResize()
{
    const int dpi = peer().dpi();
    // The smallest size, unless the screen is smaller still: then the window fits the screen.
    const platform::Size smallest = scaled(minimumSize), work = peer().workArea();
    const platform::Size minimum{std::min(smallest.width, work.width), std::min(smallest.height, work.height)};
    const platform::Size outer = peer().outerSize();
    if (outer.width < minimum.width) {
        peer().setOuterSize({minimum.width, outer.height});
    } else {
        gb_old.setWidth(layout::listAreaWidth(peer().clientSize().width, dpi));
        gb_new.setWidth(gb_old.bounds().width);
        gb_new.setLeft(gb_old.bounds().width + scaled(24));
        mmOriginal.setWidth(gb_old.bounds().width - scaled(20));
        mmRenamed.setWidth(gb_new.bounds().width - scaled(20));
        cbshowpathR.setLeft(scaled(10));
    }
    const platform::Size now = peer().outerSize();
    if (now.height < minimum.height) {
        peer().setOuterSize({now.width, minimum.height});
    } else {
        gb_old.setHeight(layout::listAreaHeight(peer().clientSize().height, dpi));
        gb_new.setHeight(gb_old.bounds().height);
        mmOriginal.setHeight(gb_old.bounds().height - scaled(58));
        mmRenamed.setHeight(mmOriginal.bounds().height);
    }
}

void TFrmMain::FormClose()
{
    session_.close();
}

bool TFrmMain::FormCloseQuery()
{
    renaming::RunState* run = session_.run();
    if (!run)
        return true;
    // Closing during a run asks to stop it: the window closes once every file is in its place.
    if (run->askToStop([this] { return ui().ask(runTexts_->stopQuestion); }))
        closeAfterRun_ = true;
    return false;
}

void TFrmMain::n_exitClick()
{
    peer().close();
}
