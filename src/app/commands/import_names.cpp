// Importing prepared names as the new list.
#include "app/main_window.h"

void TFrmMain::Button1Click()
{
    present(session_.settle());
    if (const auto chosen = Ofile.execute())
        present(session_.importNames(chosen->front()));
}
