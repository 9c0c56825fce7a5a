// Importing prepared names as the new list.
#include "app/main_window.h"

void TFrmMain::Button1Click()
{
    // A click can come before a run's first look locks the button: nothing replaces the lists
    // the run is reading or writing, nor settles its journal while it goes.
    if (running_)
        return;
    present(session_.settle());
    if (const auto chosen = Ofile.execute())
        present(session_.importNames(chosen->front()));
}
