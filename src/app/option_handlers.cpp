// The rename options: reading them as one value, their interplay, the start-number key filter
// and the output destination with its folder chooser.
#include "app/main_window.h"
#include "platform/errors.h"

renaming::RenameOptions TFrmMain::renameOptions() const
{
    renaming::RenameOptions o;
    o.cbNewname = cbNewname.checked();
    o.edtname = edtname.text();
    o.cbInitNo = cbInitNo.checked();
    o.edtvalue = edtvalue.text();
    o.numberBefore = cbPos.itemIndex() == 1;
    o.decrement = rgIncDec.itemIndex() == 1;
    o.edtOldpart = edtOldpart.text();
    o.edtNewpart = edtNewpart.text();
    o.cbBeforename = cbBeforename.checked();
    o.edtForeside = edtForeside.text();
    o.cbAftername = cbAftername.checked();
    o.edtRearside = edtRearside.text();
    o.cbChangesuffix = cbChangesuffix.checked();
    o.edtsuffix_old = edtsuffix_old.text();
    o.edtsuffix_new = edtsuffix_new.text();
    o.cbReadonly = cbReadonly.checked();
    o.cbHidden = cbHidden.checked();
    o.rbRename = rbRename.checked();
    o.lbpath = lbpath.text();
    return o;
}

void TFrmMain::cbNewnameClick()
{
    if (cbNewname.checked()) {
        edtname.setEnabled(true);
        cbInitNo.setChecked(true);
    } else {
        edtname.setText("");
        edtname.setEnabled(false);
    }
}

void TFrmMain::cbInitNoClick()
{
    const bool on = cbInitNo.checked();
    cbNewname.setChecked(on);
    edtvalue.setEnabled(on);
    cbPos.setEnabled(on);
}

void TFrmMain::cbChangesuffixClick()
{
    edtsuffix_old.setEnabled(cbChangesuffix.checked());
    edtsuffix_new.setEnabled(cbChangesuffix.checked());
}

void TFrmMain::edtvalueKeyPress(char32_t& key)
{
    const bool passes = (key >= U'0' && key <= U'9') || key == U'.' || key == 8 || key == 13;
    if (!passes)
        key = U'0';
}

void TFrmMain::rbRenameClick()
{
    lbpath.setText(sourceFolder);
}

void TFrmMain::rbSaveasClick()
{
    btnFolderClick();
}

void TFrmMain::lbpathDblClick()
{
    if (rbSaveas.checked())
        btnFolderClick();
    else
        rbSaveas.setChecked(true);
}

void TFrmMain::btnFolderClick()
{
    try {
        const std::string shown = lbpath.text();
        const std::string start = os_.fs.folderExists(shown) ? shown : os_.fs.currentFolder();
        if (auto chosen = ui().chooseFolder({start, 1000}))
            lbpath.setText(*chosen);
        outputFolder = lbpath.text();
    } catch (const platform::AppError&) {
        // The chooser reports nothing of its own beyond its question.
    }
}
