#include "app/about_window.h"

#include "app/texts.h"

TfrmAbout::TfrmAbout(const platform::Platform& os, const std::string& versionString)
    : Form(os.ui, platform::FormBorder::Dialog, "TfrmAbout", false),
      lb_sw(*this, nullptr, {8, 16, 225, 17}),
      Label5(*this, nullptr, {39, 48, 169, 17}),
      lb_web(*this, nullptr, {32, 80, 177, 17}),
      lb_company(*this, nullptr, {120, 112, 116, 13}),
      shell_(os.shell)
{
    setDesignClientSize({242, 142});
    lb_sw.setFont({"MS Sans Serif", 13}, platform::Align::Centre);
    const platform::FontSpec link{"Arial", 13, false, true, true};
    Label5.setFont(link, platform::Align::Centre);
    lb_web.setFont(link, platform::Align::Centre);
    lb_company.setFont({"MS Sans Serif", 11, true}, platform::Align::Right);
    Label5.setText(std::string(texts::about::mailPrefix) + texts::supportAddress);
    lb_web.onClick = [this] { lb_webClick(); };
    Label5.onClick = [this] { Label5Click(); };
    Label5.makeLink();
    lb_web.makeLink();
    FormCreate(versionString);
}

void TfrmAbout::FormCreate(const std::string& versionString)
{
    setCaption(texts::about::title);
    lb_web.setText(std::string(texts::about::webPrefix) + texts::webHost);
    lb_sw.setText(std::string(texts::productName) + versionString);
    lb_company.setText(texts::about::company);
}

void TfrmAbout::lb_webClick()
{
    shell_.execute("open", texts::homePage, "", "", platform::swShow);
}

void TfrmAbout::Label5Click()
{
    // Handed to the shell's handler for mail links: no browser of a fixed name is needed.
    shell_.execute("open", std::string("mailto:") + texts::supportAddress, "", "", platform::swShow);
}
