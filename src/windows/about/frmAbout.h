#pragma once

#include "windows/about/AboutWindow.h"

class ProgramStarter;

// Glimmerage's About window: what the program does, how to use it, and examples.
class frmAbout : public AboutWindow {
    Q_OBJECT

public:
    frmAbout();
};

// The About window of Ombravon, the gradient tool this program's fill comes from. Its
// "MS Paint" link starts the system's paint program.
class frmAbout2 : public AboutWindow {
    Q_OBJECT

public:
    explicit frmAbout2(ProgramStarter& programs);

private:
    void Label3_Click();

    ProgramStarter& programs_;
};
