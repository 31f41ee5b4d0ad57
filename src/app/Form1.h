#pragma once

#include "app/BackupSchedule.h"
#include "core/files/DataDir.h"
#include "core/files/WriterLock.h"
#include "core/session/SharedState.h"
#include "gui/platform/Dialogs.h"
#include "gui/widgets/CommandButton.h"

#include <QLabel>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace velmora {

class Form2;
class Form4;
class TotalsWindow;
class OtherFacilityWindow;
class ExaminationWindow;

// The windows the main menu opens, each made the first time it is asked for.
struct MenuWindows {
    std::function<Form2&()> entry;
    std::function<Form4&()> search;
    std::function<TotalsWindow&()> totals;
    std::function<OtherFacilityWindow&()> additions;
    std::function<ExaminationWindow&()> examinations;
};

// The main menu "個人被曝線量管理": opens the entry window, the search window or the dose totals, or ends
// the program.
class Form1 : public QWidget {
    Q_OBJECT
public:
    Form1(SharedState& state, const DataDir& dataDir, Dialogs& dialogs, MenuWindows windows, QSettings& settings,
          const Clock& clock);

    // Shows the menu again when a window it opened was left.
    void returnToMenu();
    // Opens the doses at other facilities and declarations from the totals window: with the entry lock
    // taken as data entry takes it, or only to be shown while another copy enters data or the folder
    // cannot be written.
    void openAdditions(const QString& name);
    // Opens the health examinations from the totals window, with the lock taken as for the additions.
    void openExaminations();
    // Gives the lock back that openAdditions or openExaminations took, when their window closes.
    void windowOfTotalsClosed();

    QLabel* Label3;
    CommandButton* Command1; // "データ入力／訂正"
    CommandButton* Command2; // "データ検索／表示"
    CommandButton* Command3; // "EXIT"
    CommandButton* Command4; // "線量集計／限度確認"
    QLabel* BackupLabel; // when the last backup was made, with 「バックアップ先…」 and 「今すぐ作成」
    QLabel* ExaminationLabel; // how many registrants are past their examination's due day or never examined

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Command1Click();
    void Command2Click();
    void Command3Click();
    void Command4Click();
    // Whether a first start may make the store here: asked when the folder holds other files but no store.
    bool mayStartStoreHere();
    // Offers to take over a lock of another PC left unrefreshed; whether the lock is now this copy's.
    bool takeOverStaleLock(const Failure& refused);
    void refreshEntryLock();
    void openInsteadOfMenu(QWidget* window);
    // The lock given back after data entry, a backup made first when the store changed.
    void endEntry();
    void backupLinkActivated(const QString& link);
    void showBackupStanding();
    void showExaminationStanding();
    // Takes the entry lock for a window opened from the totals; whether the window may change the store.
    bool lockForWindowOfTotals();

    SharedState& state;
    DataDir dataDir;
    Dialogs& dialogs;
    MenuWindows windows;
    WriterLock entryLock; // held while the entry window is open
    QTimer lockRefresh;
    bool lockedForWindowOfTotals = false; // the lock was taken for a window opened from the totals
    BackupSchedule backups;
    const Clock& clock;
};

} // namespace velmora
