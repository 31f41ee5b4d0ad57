#pragma once

#include "app/Form1.h"
#include "app/WindowPlaces.h"
#include "gui/additions/OtherFacilityWindow.h"
#include "gui/correction/Form6.h"
#include "gui/entry/Form2.h"
#include "gui/examinations/ExaminationWindow.h"
#include "gui/history/ChangeHistoryWindow.h"
#include "gui/platform/Clock.h"
#include "gui/platform/Printer.h"
#include "gui/registration/Form3.h"
#include "gui/search/Form4.h"
#include "gui/totals/TotalsWindow.h"

#include <memory>

namespace velmora {

// The windows of one run and the state they share, wired together over one data directory. The main
// menu is made at once; every other window the first time it is asked for, so that a start shows the menu
// without building windows the user may not open.
class Application {
public:
    Application(const QString& dataRoot, Dialogs& dialogs, const Clock& clock, Printer& printer, QSettings& settings);

    // Shows the main menu; nothing is created before the user chooses a command (the menu reads the registrant
    // list and the examinations once shown, to count the examinations due).
    void start();

    Form1& form1() { return menu; }
    Form2& form2();
    Form3& form3();
    Form4& form4();
    Form6& form6();
    TotalsWindow& totalsWindow();
    OtherFacilityWindow& otherFacilityWindow();
    ChangeHistoryWindow& historyWindow();
    ExaminationWindow& examinationWindow();

    SharedState state;
    DataDir dataDir;

private:
    // The leaving record of a person just removed; without the facility's name, 他施設・申告 is offered first
    // to name it, and the record follows when that window closes.
    void offerLeavingRecord(const QString& name);

    Dialogs& dialogs;
    const Clock& clock;
    Printer& printer;
    WindowPlaces places;
    std::unique_ptr<Form3> registration;
    std::unique_ptr<Form6> correction;
    std::unique_ptr<OtherFacilityWindow> additions;
    std::unique_ptr<Form2> entry;
    std::unique_ptr<Form4> search;
    std::unique_ptr<TotalsWindow> totals;
    std::unique_ptr<ChangeHistoryWindow> history;
    std::unique_ptr<ExaminationWindow> examinations;
    Form1 menu; // first to go: it may still refer to the others while it closes
};

} // namespace velmora
