// The Help menu: the maker's pages through the shell, and the About window.
#include "app/about_window.h"
#include "app/main_window.h"
#include "app/texts.h"

void TFrmMain::n_webClick()
{
    os_.shell.execute("open", texts::homePage, "", "", platform::swShow);
}

void TFrmMain::m_checkupdateClick()
{
    os_.shell.execute("open", texts::downloadPage, "", "", platform::swShow);
}

void TFrmMain::n_aboutClick()
{
    if (!frmAbout->peer().visible()) {
        frmAbout->peer().centreOver(peer());
        frmAbout->peer().show();
    }
    frmAbout->peer().bringToFront();
}
