#pragma once

#include "app/Form1.h"
#include "correction/Form6.h"
#include "entry/Form2.h"
#include "platform/Clock.h"
#include "platform/Printer.h"
#include "registration/Form3.h"
#include "search/Form4.h"
#include "totals/Form7.h"

namespace velmora {

// The windows of one run and the state they share, wired together over one data directory.
class Application {
public:
    Application(const QString& dataRoot, Dialogs& dialogs, const Clock& clock, Printer& printer);

    // Shows the main menu; no file is read or created before the user chooses a command.
    void start();

    SharedState state;
    DataDir dataDir;
    Form3 form3;
    Form6 form6;
    Form2 form2;
    Form4 form4;
    Form7 form7;
    Form1 form1;
};

} // namespace velmora
