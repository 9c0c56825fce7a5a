// The preview turns the original list into the new list; cancel throws the new list away.
#include "app/main_window.h"
#include "platform/trace.h"

void TFrmMain::n_previewClick()
{
    platform::trace("preview-chosen");
    present(session_.preview(renameOptions()));
    platform::trace("preview-shown");
}

void TFrmMain::n_cancelClick()
{
    present(session_.cancelPreview());
}
