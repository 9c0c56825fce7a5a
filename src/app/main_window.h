#pragma once
// The main window: one field per control of its inventory, one method per event handler. The
// handlers' bodies live beside it in src/app (the menu commands in src/app/commands); the logic
// they call is the engine's (lists, rename, platform), which never includes this header.
#include <chrono>
#include <memory>
#include <span>
#include <string>

#include "app/texts.h"
#include "lists/list_store.h"
#include "rename/compose.h"
#include "rename/rename_options.h"
#include "rename/rename_session.h"
#include "platform/controls.h"
#include "platform/display.h"
#include "platform/open_dialog.h"
#include "platform/platform.h"

class TfrmAbout;
class TfrmProgress;
namespace renaming {
class RunState;
}

class TFrmMain : public platform::Form {
public:
    explicit TFrmMain(const platform::Platform& os);
    ~TFrmMain() override;

    // Stored layout at 96 dots per inch, for the layout rule's arithmetic; scaled to the window's DPI.
    static constexpr platform::Size startSize{648, 753};
    static constexpr platform::Size minimumSize{648, 520};

    // Menu bar.
    platform::MenuItem n_open, n_add, n_clear, n_preview, n_cancel, n_run, n_undo, n_help;
    platform::MenuItem n_web, m_checkupdate, N1, n_about;
    platform::MenuItem n_exit;

    // Declared in tab order within each parent: creation order is keyboard order.
    platform::GroupBox gb_old, gb_new, gb_name, gb_extension, gb_attributes, gb_output;

    platform::Label lb_old;
    platform::Memo mmOriginal;
    platform::CheckBox cbShowpathO;

    platform::Label lb_new;
    platform::CheckBox cbshowpathR;
    platform::Memo mmRenamed;
    platform::Button Button1;

    platform::GroupBox gb_append;
    platform::CheckBox cbAftername;
    platform::Edit edtRearside;
    platform::GroupBox gb_filename;
    platform::CheckBox cbNewname;
    platform::Edit edtname;
    platform::GroupBox gb_No;
    platform::CheckBox cbInitNo;
    platform::Edit edtvalue;
    platform::ComboBox cbPos;
    platform::RadioGroup rgIncDec;
    platform::GroupBox gbReplace;
    platform::Edit edtOldpart;
    platform::Label Label3;
    platform::Edit edtNewpart;
    platform::GroupBox gb_insert;
    platform::CheckBox cbBeforename;
    platform::Edit edtForeside;

    platform::CheckBox cbChangesuffix;
    platform::Edit edtsuffix_old;
    platform::Label Label4;
    platform::Edit edtsuffix_new;

    platform::CheckBox cbReadonly;
    platform::CheckBox cbHidden;

    platform::RadioButton rbRename;
    platform::RadioButton rbSaveas;
    platform::Button btnFolder;
    platform::Label lbpath;

    platform::OpenDialog odOPen;
    platform::OpenDialog Ofile;

    // Created right after the main window, hidden until the Help menu asks for it.
    std::unique_ptr<TfrmAbout> frmAbout;
    // Shown over the main window while a run that lasts goes.
    std::unique_ptr<TfrmProgress> frmProgress;

    // The window's own values besides its controls.
    std::string versionString;
    std::string sourceFolder;
    std::string outputFolder;

    // app/main_window.cpp
    void FormCreate();
    void FormShow();
    bool FormCloseQuery();
    void FormResize();
    void FormClose();
    void n_exitClick();

    // app/view_handlers.cpp
    void mmOriginalChange();
    void mmRenamedChange();
    void cbShowpathOClick();
    void cbshowpathRClick();

    // app/commands/choose_files.cpp
    void n_openClick();
    void n_addClick();
    void n_clearClick();
    // Files dropped on the window or handed over by a second copy: added to the original list,
    // or opened when there is none.
    void FormDropFiles(const std::vector<std::string>& paths);
    // The files the program was started with: opened.
    void openCommandLine(const std::vector<std::string>& arguments);

    // app/commands/import_names.cpp
    void Button1Click();

    // app/commands/help_menu.cpp
    void n_webClick();
    void m_checkupdateClick();
    void n_aboutClick();

    // The composition's zero fill, the engine's own.
    static std::string StrFiller(const std::string& text, int width) { return renaming::StrFiller(text, width); }

    // app/commands/preview.cpp, app/commands/run.cpp
    void n_previewClick();
    void n_cancelClick();
    void n_runClick();
    // app/commands/undo.cpp
    void n_undoClick();

    // app/option_handlers.cpp
    renaming::RenameOptions renameOptions() const;
    void cbNewnameClick();
    void cbInitNoClick();
    void cbChangesuffixClick();
    void edtvalueKeyPress(char32_t& key);
    void rbRenameClick();
    void rbSaveasClick();
    void lbpathDblClick();
    void btnFolderClick();

    const lists::ListStore& store() const { return session_.store(); }

private:
    // When a menu command can be chosen.
    enum class Available {
        Always,
        Idle,      // not while a run goes
        Undoable,  // not while a run goes, and only when a run can be undone
    };
    // One row of the menu: the item, its texts, what choosing it does (nullptr: it opens a
    // submenu or separates), and when it can be chosen.
    struct MenuCommand {
        platform::MenuItem TFrmMain::*item;
        const char* caption;
        const char* hint;
        void (TFrmMain::*handler)();
        Available available;
    };
    static std::span<const MenuCommand> menuCommands();
    // The inventory's controls that a run locks; each gets back its own state afterwards.
    std::vector<platform::Control*> lockedDuringRun();

    void bindEvents();
    // While a run goes, nothing else may start or change the lists: the menu's commands greyed.
    void setRunning(bool running);
    // The options greyed while a run goes; unlocked, each as it was before.
    void lockOptions(bool locked);
    // Greys each menu command that cannot be chosen now.
    void refreshMenu();
    // Called about 30 times a second while a run goes.
    void followRun(std::chrono::steady_clock::time_point started);
    // Carries out the prepared run (or undo) on the worker while the window stays locked and
    // answers.
    void carryOutRun(const texts::progress::RunTexts& says);
    // Shows odOPen; the chosen paths, none when it is cancelled.
    std::vector<std::string> chooseFiles();
    // Files and folders from outside the dialog as files to list, after naming what is missing.
    std::vector<std::string> takeGiven(const std::vector<std::string>& paths);
    // Shows what a command of the session returns, in its order; then raises its error.
    void present(const renaming::Shown& shown);
    void showEffects(const renaming::Shown& shown);
    // Open and add from their second step on: with no files they change nothing.
    void openFiles(const std::vector<std::string>& files);
    void addFiles(const std::vector<std::string>& files);
    // Whether the pair's view shows its path file, not its name file.
    bool showsFullPaths(lists::ListPair pair) const;
    // Shows the pair's path or name file in its view when the pair's path file exists.
    void loadView(lists::ListPair pair);
    // Lines of the pair's path file just written, shown as loadView would show them read back.
    void showWritten(lists::ListPair pair, std::string pathLines);
    platform::Memo& viewOf(lists::ListPair pair);

    platform::Platform os_;
    renaming::RenameSession session_;
    bool running_ = false;  // the window is locked for a run
    const texts::progress::RunTexts* runTexts_ = &texts::progress::executing;
    std::vector<std::pair<platform::Control*, bool>> enabledBeforeRun_;
    bool closeAfterRun_ = false;
    // The run's original list was shown again while its record was still being written.
    bool originalShownEarly_ = false;
};

// The layout rule of the two list areas, over the client size, at the window's DPI.
namespace layout {
constexpr int listAreaWidth(int clientWidth, int dpi = platform::designDpi)
{
    return (clientWidth - platform::scaled(34, dpi)) / 2;
}
constexpr int listAreaHeight(int clientHeight, int dpi = platform::designDpi)
{
    return clientHeight - platform::scaled(200, dpi);
}
}  // namespace layout
