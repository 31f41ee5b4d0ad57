#pragma once

#include "DoseDistribution.h"
#include "platform/Clock.h"
#include "platform/CommandButton.h"
#include "platform/Dialogs.h"
#include "platform/PictureBox.h"
#include "platform/Printer.h"

#include <QWidget>

namespace velmora {

// The window "線量分布": the dose distribution of the totals window's fiscal year, its tables and bar
// charts drawn on a picture box as they are printed, the print and the CSV. It only reads the store.
class Form8 : public QWidget {
    Q_OBJECT
public:
    Form8(const DataDir& dir, Dialogs& messageBoxes, Printer& systemPrinter, const Clock& systemClock);

    // Draws the distribution and keeps it for the print and the CSV.
    void showDistribution(DoseDistribution shown);

    PictureBox* Picture1;
    CommandButton* PrintButton;   // "印刷"
    CommandButton* SaveCsvButton; // "CSV保存"
    CommandButton* CloseButton;   // "閉じる"

private:
    void PrintButtonClick();
    void SaveCsvButtonClick();

    DataDir dataDir;
    Dialogs& dialogs;
    Printer& printer;
    const Clock& clock;
    DoseDistribution distribution;
};

} // namespace velmora
