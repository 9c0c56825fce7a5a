#pragma once
// The About window: product line, mail link, web link, maker's line. Created once, hidden;
// closing it only hides it.
#include "platform/controls.h"
#include "platform/platform.h"

class TfrmAbout : public platform::Form {
public:
    TfrmAbout(const platform::Platform& os, const std::string& versionString);

    platform::Label lb_sw;
    platform::Label Label5;
    platform::Label lb_web;
    platform::Label lb_company;

    void FormCreate(const std::string& versionString);
    void lb_webClick();
    void Label5Click();

private:
    platform::Shell& shell_;
};
