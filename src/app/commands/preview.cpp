// The preview turns the original list into the new list; cancel throws the new list away.
#include "app/main_window.h"

void TFrmMain::n_previewClick()
{
    present(session_.preview(renameOptions()));
}

void TFrmMain::n_cancelClick()
{
    present(session_.cancelPreview());
}
