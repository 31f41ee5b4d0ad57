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
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <atomic>

namespace velmora {

// The window "変更履歴": every change of the store with its time, PC, user and the values before and after,
// chosen by person and by month, printed as shown, with a line saying whether the chain of records holds or
// at which record it breaks, and which lines do not read. It only reads, but for setting a damaged history
// aside so that changes can go on. A history unchanged since it was last found whole on this PC is shown at
// once, said to be as it was then, and checked again behind the window before it is called whole.
class ChangeHistoryWindow : public QWidget {
    Q_OBJECT
public:
    ChangeHistoryWindow(const DataDir& dir, Dialogs& messageBoxes, Printer& systemPrinter, const Clock& systemClock);
    ~ChangeHistoryWindow() override;

    // Reads the history again and shows it, newest first, with every person and month.
    void open();

    QComboBox* PersonBox;       // "すべて", then the names the history holds
    QComboBox* MonthBox;        // "すべて", then the months the history holds, newest first
    QLabel* ChainLabel;         // whether every record is as written
    QTableView* HistoryTable;   // the records chosen
    CommandButton* PrintButton; // "印刷"
    CommandButton* SetAsideButton; // "損傷部分を保管して続ける", shown while the history has lines that do not read
    CommandButton* StopCheckButton; // "確認を中止", shown while every record is checked again behind the window
    CommandButton* CloseButton;     // "閉じる"

    // Whether the records are being checked again behind the window.
    bool checking() const { return check != nullptr; }

private:
    void connectControls();
    // The names the history holds in the registrant list's order (then the removed list's, then the rest).
    QStringList inListOrder(const QStringList& persons) const;
    void choose();
    void printHistory();
    void showChainStanding();
    void checkBehind();
    void stopCheck();
    void checked(Result<HistoryRead> outcome);
    void setAsideDamage();

    DataDir dataDir;
    Dialogs& dialogs;
    Printer& printer;
    const Clock& clock;
    static constexpr qsizetype NewestShown = 1000; // the records shown until a person or month is chosen
    QList<ChangeRecord> newest;                    // newest first
    qsizetype total = 0;                           // every record that reads
    Result<HistoryRead> shown;                     // the reading the window shows (its records aside)
    QDateTime lastFoundWhole;                      // of a history taken from the note: when it was noted
    QThread* check = nullptr;                      // the check behind the window, while it runs
    quint64 checkRun = 0;                          // which check the window waits for
    std::atomic<bool> stopping = false;
    std::atomic<int> percent = 0;
    std::optional<Result<HistoryRead>> behind; // its outcome
    QTimer progress;
    HistoryModel model;
};

} // namespace velmora
