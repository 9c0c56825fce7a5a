// The two list views: what the session asks them to show, their line counters and the
// full-path switches.
#include "app/main_window.h"
#include "app/texts.h"
#include "lists/views.h"

platform::Memo& TFrmMain::viewOf(lists::ListPair pair)
{
    return pair == lists::ListPair::Original ? mmOriginal : mmRenamed;
}

bool TFrmMain::showsFullPaths(lists::ListPair pair) const
{
    return (pair == lists::ListPair::Original ? cbShowpathO : cbshowpathR).checked();
}

void TFrmMain::loadView(lists::ListPair pair)
{
    if (auto text = session_.viewText(pair, showsFullPaths(pair)))
        viewOf(pair).setText(*text);
}

void TFrmMain::showWritten(lists::ListPair pair, std::string pathLines)
{
    viewOf(pair).setText(
        lists::viewText(showsFullPaths(pair) ? std::move(pathLines) : lists::namePartLines(pathLines)));
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
