#pragma once
// The option controls of the main window read as one value when a preview or an execution runs.
// Fields are named after their controls.
#include <string>

namespace renaming {

struct RenameOptions {
    bool cbNewname = true;
    std::string edtname;
    bool cbInitNo = true;
    std::string edtvalue = "001";
    bool numberBefore = false;  // cbPos: its second item "序号前置"
    bool decrement = false;     // rgIncDec: its second item "-1"
    std::string edtOldpart;
    std::string edtNewpart;
    bool cbBeforename = false;
    std::string edtForeside;
    bool cbAftername = false;
    std::string edtRearside;
    bool cbChangesuffix = false;
    std::string edtsuffix_old;
    std::string edtsuffix_new;
    bool cbReadonly = false;
    bool cbHidden = false;
    bool rbRename = true;  // otherwise rbSaveas: copies into a folder
    std::string lbpath;
};

}  // namespace renaming
