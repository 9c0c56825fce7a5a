#pragma once
// Identifiers of the main window's menu items and controls; the end-to-end driver finds the
// controls by them.
namespace ids {

enum Menu : int {
    n_open = 101, n_add, n_clear, n_preview, n_cancel, n_run, n_help, n_web, m_checkupdate, N1, n_about, n_exit,
    n_undo
};

enum Control : int {
    gb_old = 1001, gb_new, gb_name, gb_extension, gb_attributes, gb_output,
    gb_append, cbAftername, edtRearside,
    gb_filename, cbNewname, edtname,
    gb_No, cbInitNo, edtvalue, cbPos,
    rgIncDec,
    gbReplace, edtOldpart, Label3, edtNewpart,
    gb_insert, cbBeforename, edtForeside,
    cbChangesuffix, edtsuffix_old, Label4, edtsuffix_new,
    cbReadonly, cbHidden,
    rbRename, rbSaveas, btnFolder, lbpath,
    lb_old, mmOriginal, cbShowpathO,
    lb_new, cbshowpathR, mmRenamed, Button1,
};

// The progress window of a run.
enum Progress : int { lbTitle = 2001, pbRun, lbCount, lbFile, btnStop };

}  // namespace ids
