#pragma once

#include "core/files/DataDir.h"
#include "gui/history/HistoryModel.h"
#include "gui/platform/Clock.h"
#include "gui/platform/Dialogs.h"
#include "gui/platform/Printer.h"
#include "gui/widgets/CommandButton.h"

#include <QComboBox>
#include <QLabel>
#include <QTableView>
#include <QWidget>

namespace velmora {

// The window "変更履歴": every change of the store with its time, PC, user and the values before and after,
// chosen by person and by month, printed as shown, with a line saying whether the chain of records holds or
// at which record it breaks. It only reads.
class ChangeHistoryWindow : public QWidget {
    Q_OBJECT
public:
    ChangeHistoryWindow(const DataDir& dir, Dialogs& messageBoxes, Printer& systemPrinter, const Clock& systemClock);

    // Reads the history again and shows it, newest first, with every person and month.
    void open();

    QComboBox* PersonBox;       // "すべて", then the names the history holds
    QComboBox* MonthBox;        // "すべて", then the months the history holds, newest first
    QLabel* ChainLabel;         // whether every record is as written
    QTableView* HistoryTable;   // the records chosen
    CommandButton* PrintButton; // "印刷"
    CommandButton* CloseButton; // "閉じる"

private:
    void connectControls();
    void choose();
    void printHistory();

    DataDir dataDir;
    Dialogs& dialogs;
    Printer& printer;
    const Clock& clock;
    QList<ChangeRecord> all; // newest first
    HistoryModel model;
};

} // namespace velmora
