// The two list views: what the session asks them to show, their line counters and the
// full-path switches.
#include "app/main_window.h"
#include "app/texts.h"

platform::Memo& TFrmMain::viewOf(lists::ListPair pair)
{
    return pair == lists::ListPair::Original ? mmOriginal : mmRenamed;
}

void TFrmMain::loadView(lists::ListPair pair)
{
    const bool fullPaths = (pair == lists::ListPair::Original ? cbShowpathO : cbshowpathR).checked();
    if (auto text = session_.viewText(pair, fullPaths))
        viewOf(pair).setText(*text);
}

void TFrmMain::showEffects(const renaming::Shown& shown)
{
    using Kind = renaming::Effect::Kind;
    // What can be undone changes with every run, undo and recovery.
    refreshMenu();
    for (const renaming::Effect& e : shown.effects) {
        if (e.kind == Kind::LoadView)
            loadView(e.pair);
        else if (e.kind == Kind::ClearView)
            viewOf(e.pair).clear();
        else
            ui().notice(e.text);
    }
}

void TFrmMain::present(const renaming::Shown& shown)
{
    showEffects(shown);
    if (shown.failure)
        std::rethrow_exception(shown.failure);
}

void TFrmMain::mmOriginalChange()
{
    lb_old.setText(texts::counterText(mmOriginal.lineCount()));
}

void TFrmMain::mmRenamedChange()
{
    lb_new.setText(texts::counterText(mmRenamed.lineCount()));
}

void TFrmMain::cbShowpathOClick()
{
    loadView(lists::ListPair::Original);
}

void TFrmMain::cbshowpathRClick()
{
    loadView(lists::ListPair::New);
}
