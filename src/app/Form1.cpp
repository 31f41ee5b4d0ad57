#include "app/Form1.h"

#include "app/DataFolder.h"
#include "core/files/ListFiles.h"
#include "core/rules/ExaminationRules.h"
#include "core/texts/Messages.h"
#include "gui/additions/OtherFacilityWindow.h"
#include "gui/entry/Form2.h"
#include "gui/examinations/ExaminationWindow.h"
#include "gui/platform/Fonts.h"
#include "gui/search/Form4.h"
#include "gui/totals/TotalsWindow.h"
#include "gui/widgets/Controls.h"
#include "gui/widgets/Twips.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QTimer>

namespace velmora {

Form1::Form1(SharedState& sharedState, const DataDir& dir, Dialogs& messageBoxes, MenuWindows menuWindows,
             QSettings& settings, const Clock& systemClock)
    : state(sharedState), dataDir(dir), dialogs(messageBoxes), windows(std::move(menuWindows)), entryLock(dir),
      backups(dir, settings, messageBoxes, systemClock), clock(systemClock)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("個人被曝線量管理"));
    state.entryLock = &entryLock;
    setClientTwips(this, 9165, 6510);

    Label3 = makeLabel(this, QStringLiteral("Label3"), QStringLiteral("個人被曝線量管理"), 2580, 840, 3840, 495);
    Label3->setFont(systemFont(GothicFont, 24));
    Command1 = makeButton(this, QStringLiteral("Command1"), QStringLiteral("データ入力／訂正"), 480, 2640, 2775, 495);
    Command2 = makeButton(this, QStringLiteral("Command2"), QStringLiteral("データ検索／表示"), 480, 3240, 2775, 495);
    Command3 = makeButton(this, QStringLiteral("Command3"), QStringLiteral("EXIT"), 480, 3840, 2775, 495);
    Command3->setToolTip(QStringLiteral(" bye "));
    Command4 = makeButton(this, QStringLiteral("Command4"), QStringLiteral("線量集計／限度確認"), 480, 4440, 2775, 495);
    for (CommandButton* button : {Command1, Command2, Command3, Command4})
        button->setFont(systemFont(ProportionalGothicFont, 11.25));
    BackupLabel = makeLabel(this, QStringLiteral("BackupLabel"), QString(), 480, 5280, 8205, 975);
    BackupLabel->setWordWrap(true);
    BackupLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    BackupLabel->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    BackupLabel->setFont(systemFont(ProportionalGothicFont, 9));
    ExaminationLabel = makeLabel(this, QStringLiteral("ExaminationLabel"), QString(), 3600, 4440, 5085, 495);
    ExaminationLabel->setWordWrap(true);
    ExaminationLabel->setFont(systemFont(ProportionalGothicFont, 9));
    ExaminationLabel->setToolTip(
        QStringLiteral("「線量集計／限度確認」の「健康診断」で、期限と記録を確かめて入力します"));
    // The backup line reads the backup folder, perhaps on a slow share: filled once the menu is shown.
    // The first start asks for the backup folder too, once the menu is shown.
    QTimer::singleShot(0, this, [this] {
        backups.askFolderAtFirstStart();
        showBackupStanding();
    });
    setTabOrder(Command1, Command2);
    setTabOrder(Command2, Command3);
    setTabOrder(Command3, Command4);
    Command1->setFocus();

    connect(Command1, &QPushButton::clicked, this, &Form1::Command1Click);
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2Click);
    connect(Command3, &QPushButton::clicked, this, &Form1::Command3Click);
    connect(Command4, &QPushButton::clicked, this, &Form1::Command4Click);
    connect(BackupLabel, &QLabel::linkActivated, this, &Form1::backupLinkActivated);

    // While the entry window is open its lock is written again now and then, so that other PCs on the
    // shared folder see it is in use.
    lockRefresh.setParent(this);
    lockRefresh.setObjectName(QStringLiteral("lockRefresh"));
    lockRefresh.setInterval(WriterLock::RefreshEvery);
    connect(&lockRefresh, &QTimer::timeout, this, &Form1::refreshEntryLock);
}

void Form1::Command1Click()
{
    if (const QString problem = dataFolderWriteProblem(dataDir.root()); !problem.isEmpty()) {
        dialogs.warn(problem +
                     QStringLiteral("\nデータ入力／訂正はできません。データの検索・表示と線量集計はできます。"));
        return;
    }
    if (!mayStartStoreHere())
        return;
    state.resetPendingEntries();
    windows.entry().clearForOpening();
    // Whatever a first start could not create (a full disk, say) is created now; existing files stay.
    if (const auto created = InitialiseForEntry(dataDir); !created) {
        dialogs.warn(messageOf(created.error()));
        return;
    }
    if (const auto locked = entryLock.tryLock(); !locked && !takeOverStaleLock(locked.error()))
        return;
    removeUnfinishedRewrites(dataDir);
    const auto registrants = LoadRegistrantList(dataDir);
    const auto enteredMonths = registrants ? LoadEnteredMonths(dataDir) : Result<QList<MonthKey>>();
    if (!registrants || !enteredMonths) {
        dialogs.warn(messageOf(!registrants ? registrants.error() : enteredMonths.error()));
        entryLock.unlock();
        return;
    }
    state.registrants = *registrants;
    state.enteredMonths = *enteredMonths;
    backups.entryBegins();
    windows.entry().showRegistrants();
    lockRefresh.start();
    openInsteadOfMenu(&windows.entry());
}

bool Form1::mayStartStoreHere()
{
    // A store begun among the user's other files (a wrong folder, the home folder) would mix with them.
    if (registrantNamesExist(dataDir) || !holdsOtherFilesThanTheStore(dataDir))
        return true;
    return dialogs.confirmRisky(QStringLiteral("データフォルダ「%1」には個人被曝線量のデータ（%2）がなく、ほかの"
                                               "ファイルがあります。このフォルダに新しくデータを作成しますか？")
                                    .arg(QDir::toNativeSeparators(dataDir.root()), RegistrantNamesFile));
}

bool Form1::takeOverStaleLock(const Failure& refused)
{
    if (refused.kind != FailureKind::LockStale) {
        dialogs.warn(messageOf(refused));
        return false;
    }
    if (!dialogs.confirmRisky(messageOf(refused) +
                              QStringLiteral("\n\nロックを引き継いでデータ入力／訂正を開きますか？")))
        return false;
    if (const auto taken = entryLock.takeOver(); !taken) {
        dialogs.warn(messageOf(taken.error()));
        return false;
    }
    return true;
}

void Form1::refreshEntryLock()
{
    // A refresh that cannot be written (the file server away for a moment) is tried again next time.
    if (const auto refreshed = entryLock.refresh();
        !refreshed &&
        (refreshed.error().kind == FailureKind::LockLost || refreshed.error().kind == FailureKind::DataFolderGone)) {
        lockRefresh.stop();
        dialogs.warn(messageOf(refreshed.error()));
    }
}

void Form1::Command2Click()
{
    if (!registrantNamesExist(dataDir)) {
        // A folder that cannot be written is only told about, never half set up.
        if (const QString problem = dataFolderWriteProblem(dataDir.root()); !problem.isEmpty()) {
            dialogs.warn(QStringLiteral("データは１件もありません（ファイル「%1」がありません）。\n%2")
                             .arg(RegistrantNamesFile, problem));
            return;
        }
        if (!mayStartStoreHere())
            return;
        const auto created = InitialiseForSearch(dataDir);
        dialogs.warn(created ? QStringLiteral("データは１件もありません") : messageOf(created.error()));
        return;
    }
    windows.search().clearForOpening();
    const auto registrants = LoadRegistrantList(dataDir);
    if (!registrants) {
        dialogs.warn(messageOf(registrants.error()));
        return;
    }
    state.registrants = *registrants;
    windows.search().showRegistrants();
    openInsteadOfMenu(&windows.search());
}

void Form1::Command4Click()
{
    // The totals only read the store: no lock, and no first-start files are made for them.
    if (!registrantNamesExist(dataDir)) {
        dialogs.warn(QStringLiteral("データは１件もありません"));
        return;
    }
    openInsteadOfMenu(&windows.totals());
    windows.totals().openForCurrentYear();
}

bool Form1::lockForWindowOfTotals()
{
    bool editable = dataFolderWriteProblem(dataDir.root()).isEmpty();
    if (editable) {
        const auto locked = entryLock.tryLock();
        editable = locked || takeOverStaleLock(locked.error());
    }
    if (editable) {
        lockedForWindowOfTotals = true;
        lockRefresh.start();
        backups.entryBegins();
        removeUnfinishedRewrites(dataDir); // left by a write of a copy killed meanwhile, as at data entry
    }
    return editable;
}

void Form1::openAdditions(const QString& name)
{
    if (windows.additions().openFor(name, lockForWindowOfTotals()))
        showAndActivate(&windows.additions());
    else
        windowOfTotalsClosed();
}

void Form1::openExaminations()
{
    if (windows.examinations().open(lockForWindowOfTotals())) {
        showAndActivate(&windows.examinations());
        windows.examinations().ScheduleTable->setFocus();
    } else
        windowOfTotalsClosed();
}

void Form1::windowOfTotalsClosed()
{
    if (!lockedForWindowOfTotals)
        return;
    lockedForWindowOfTotals = false;
    endEntry();
}

void Form1::Command3Click()
{
    QCoreApplication::quit();
}

void Form1::closeEvent(QCloseEvent* event)
{
    event->accept();
    QCoreApplication::quit();
}

void Form1::openInsteadOfMenu(QWidget* window)
{
    showAndActivate(window);
    hide();
}

void Form1::returnToMenu()
{
    endEntry(); // harmless when the search window was the one left
    showAndActivate(this);
}

void Form1::endEntry()
{
    if (lockRefresh.isActive())
        backups.entryEnded();
    lockRefresh.stop();
    entryLock.unlock();
    showBackupStanding();
}

void Form1::backupLinkActivated(const QString& link)
{
    if (link == QLatin1String("folder")) {
        backups.chooseFolder();
    } else if (const auto locked = entryLock.tryLock(); !locked) {
        dialogs.warn(messageOf(locked.error())); // data entry on another PC: its end makes the backup
    } else {
        backups.backUpNow();
        entryLock.unlock();
    }
    showBackupStanding();
}

void Form1::showExaminationStanding()
{
    // Nothing before a store exists, or while its lists cannot be read: the windows say why when opened.
    const auto registrants = LoadRegistrantList(dataDir);
    const auto examinations = ReadExaminations(dataDir);
    if (!registrants || !examinations || registrants->names.isEmpty()) {
        ExaminationLabel->clear();
        return;
    }
    const OverdueCount count = overdueCount(examinationSchedule(registrants->names, *examinations, clock.now().date()));
    const bool due = count.overdue > 0 || count.neverExamined > 0;
    ExaminationLabel->setText(
        QStringLiteral("<span style=\"color:%1\">健康診断：%2</span>")
            .arg(due ? QStringLiteral("#c00000") : QStringLiteral("#000000"),
                 due ? QStringLiteral("期限切れ %1名・記録なし %2名").arg(count.overdue).arg(count.neverExamined)
                     : QStringLiteral("期限切れの人はいません")));
}

void Form1::showBackupStanding()
{
    showExaminationStanding();
    const BackupSchedule::Standing standing = backups.standing();
    // The links on a line of their own, so that a long standing never breaks them inside a word.
    BackupLabel->setText(QStringLiteral("<span style=\"color:%1\">%2</span><br><a href=\"folder\">バックアップ先…</a>"
                                        "　<a href=\"now\">今すぐ作成</a>")
                             .arg(standing.attention ? QStringLiteral("#c00000") : QStringLiteral("#000000"),
                                  standing.text.toHtmlEscaped()));
}

} // namespace velmora
