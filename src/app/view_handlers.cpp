// The two list views: their line counters and the full-path switches.
#include "app/main_window.h"
#include "app/texts.h"
#include "lists/views.h"

void TFrmMain::loadView(platform::Memo& view, lists::ListPair pair, bool fullPaths)
{
    using lists::ListFile;
    const bool original = pair == lists::ListPair::Original;
    const ListFile pathFile = original ? ListFile::OriginalPaths : ListFile::NewPaths;
    const ListFile nameFile = original ? ListFile::OriginalNames : ListFile::NewNames;
    if (!store_.exists(pathFile))
        return;
    view.setText(lists::viewText(store_.text(fullPaths ? pathFile : nameFile)));
}

void TFrmMain::mmOriginalChange()
{
    lb_old.setText(texts::counterText(lists::countLines(mmOriginal.text())));
}

void TFrmMain::mmRenamedChange()
{
    lb_new.setText(texts::counterText(lists::countLines(mmRenamed.text())));
}

void TFrmMain::cbShowpathOClick()
{
    loadView(mmOriginal, lists::ListPair::Original, cbShowpathO.checked());
}

void TFrmMain::cbshowpathRClick()
{
    loadView(mmRenamed, lists::ListPair::New, cbshowpathR.checked());
}
