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
// at which record it breaks, and which lines do not read. It only reads, but for setting a damaged history
// aside so that changes can go on.
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
    CommandButton* SetAsideButton; // "損傷部分を保管して続ける", shown while the history has lines that do not read
    CommandButton* CloseButton; // "閉じる"

private:
    void connectControls();
    // The names the history holds in the registrant list's order (then the removed list's, then the rest).
    QStringList inListOrder(const QStringList& persons) const;
    void choose();
    void printHistory();
    void showChainStanding(const Result<HistoryRead>& read);
    void setAsideDamage();

    DataDir dataDir;
    Dialogs& dialogs;
    Printer& printer;
    const Clock& clock;
    static constexpr qsizetype NewestShown = 1000; // the records shown until a person or month is chosen
    QList<ChangeRecord> newest;                    // newest first
    qsizetype total = 0;                           // every record that reads
    HistoryModel model;
};

} // namespace velmora
