// Undo: the newest run taken back, as a run goes, after the user said yes.
#include "app/main_window.h"

void TFrmMain::n_undoClick()
{
    present(session_.settle());
    const auto question = session_.undoQuestion();
    if (!question || !ui().ask(*question))
        return;
    const renaming::Shown prepared = session_.prepareUndo();
    if (!session_.run()) {
        present(prepared);
        return;
    }
    showEffects(prepared);
    carryOutRun(texts::progress::undoing);
    const renaming::Shown undone = session_.finishUndo();
    if (closeAfterRun_) {
        // The user closed the window during the undo and was asked already.
        closeAfterRun_ = false;
        showEffects(undone);
        peer().close();
        return;
    }
    present(undone);
}
