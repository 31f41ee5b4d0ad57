#include "app/BackupSchedule.h"
#include "app/DataFolder.h"
#include "core/changes/RecordedWrites.h"
#include "core/files/ListFiles.h"
#include "gui/totals/TotalsWindow.h"
#include "gui/widgets/WayOut.h"
#include "support/Stores.h"
#include "support/WindowTest.h"

#include <QApplication>
#include <QScreen>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QTimer>
#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::test;

namespace {

class MainMenu : public WindowTest {
protected:
    void writeRegistrants(const QByteArray& bytes)
    {
        ASSERT_TRUE(InitialiseForEntry(app.dataDir));
        writeBytes(path(RegistrantNamesFile), bytes);
    }
};

TEST_F(MainMenu, ShowsItsTitleAndThreeCommandsAsLaidOut)
{
    EXPECT_EQ(app.form1().windowTitle(), QStringLiteral("個人被曝線量管理"));
    EXPECT_TRUE(app.form1().isVisible());
    EXPECT_EQ(app.form1().size(), QSize(611, 434));
    EXPECT_EQ(app.form1().Label3->geometry(), QRect(172, 56, 256, 33));
    EXPECT_EQ(app.form1().Label3->font().pointSizeF(), 24);
    EXPECT_EQ(app.form1().Command1->geometry(), QRect(32, 176, 185, 33));
    EXPECT_EQ(app.form1().Command2->geometry(), QRect(32, 216, 185, 33));
    EXPECT_EQ(app.form1().Command3->geometry(), QRect(32, 256, 185, 33));
    EXPECT_EQ(app.form1().Command3->toolTip(), QStringLiteral(" bye "));
    EXPECT_EQ(app.form1().Command1->font().pointSizeF(), 11.25);
    EXPECT_EQ(app.form1().Command1->nextInFocusChain(), app.form1().Command2);
    EXPECT_EQ(app.form1().Command2->nextInFocusChain(), app.form1().Command3);
    // No file is read or created before a command is chosen.
    EXPECT_TRUE(QDir(temp.path()).isEmpty());
}

TEST_F(MainMenu, FirstEntryCreatesTheStoreAndOpensAnEmptyEntryWindow)
{
    click(app.form1().Command1);
    EXPECT_TRUE(dialogs.shown.isEmpty());
    EXPECT_TRUE(app.form2().isVisible());
    EXPECT_FALSE(app.form1().isVisible());
    EXPECT_EQ(app.form2().List1->count(), 0);
    expectFirstStartStore(temp.path());
}

TEST_F(MainMenu, FirstSearchCreatesThreeFilesSaysThereIsNoDataAndStays)
{
    click(app.form1().Command2);
    EXPECT_EQ(dialogs.shown, (QList<ScriptedDialogs::Shown>{
                                 {ScriptedDialogs::Kind::Warn, QStringLiteral("データは１件もありません")}}));
    EXPECT_TRUE(app.form1().isVisible());
    EXPECT_FALSE(app.form4().isVisible());
    EXPECT_EQ(snapshot(temp.path()).size(), 3);

    writeBytes(path(NextNumberFile), QByteArray(" 5 \r\n"));
    click(app.form1().Command1);
    EXPECT_TRUE(app.form2().isVisible());
    EXPECT_EQ(fileBytes(path(NextNumberFile)), QByteArray(" 5 \r\n"));
    EXPECT_EQ(fileBytes(path(EnteredMonthsFile)), QByteArray());
    EXPECT_TRUE(QFileInfo(path(JobTypesFile)).isFile());
    EXPECT_TRUE(QFileInfo(path(DoseDataFolder)).isDir());
    EXPECT_EQ(dialogs.shown.size(), 1);
}

TEST_F(MainMenu, AFolderThatCannotBeWrittenShowsItsReportsAndRefusesEntry)
{
    makeStore(app.dataDir, {QStringLiteral("山田")});
    const ImmutableFile locked(temp.path());
    ASSERT_TRUE(locked.ok);
    const auto before = snapshot(temp.path());
    click(app.form1().Command1);
    EXPECT_EQ(takeMessages(),
              QStringList{QStringLiteral("データフォルダ「%1」に書き込めません（書き込む権限がありません）。\n"
                                         "データ入力／訂正はできません。データの検索・表示と線量集計はできます。")
                              .arg(temp.path())});
    EXPECT_TRUE(app.form1().isVisible());
    click(app.form1().Command2);
    ASSERT_TRUE(app.form4().isVisible());
    EXPECT_EQ(app.form4().List1->count(), 1);
    click(app.form4().Command7); // the registrant data table
    click(app.form4().Command5);
    click(app.form1().Command4);
    EXPECT_TRUE(app.totalsWindow().isVisible());
    dialogs.answerFile(path(QStringLiteral("集計.csv")));
    click(app.totalsWindow().SaveCsvButton);
    EXPECT_EQ(takeMessages().size(), 2); // where to save it, then that it cannot be written
    EXPECT_EQ(snapshot(temp.path()), before);
}

TEST_F(MainMenu, AFolderThatCannotBeWrittenAndHasNoStoreIsToldAndLeftAsItIs)
{
    const ImmutableFile locked(temp.path());
    ASSERT_TRUE(locked.ok);
    click(app.form1().Command2);
    EXPECT_TRUE(takeMessages().value(0).startsWith(
        QStringLiteral("データは１件もありません（ファイル「登録者名.txt」がありません）。")));
    EXPECT_TRUE(QDir(temp.path()).isEmpty());
}

TEST_F(MainMenu, BothWindowsListTheRegistrantsInFileOrder)
{
    writeRegistrants(crlfLines({" 3 ", "\x97\xe9\x96\xd8", "\x8e\x52\x93\x63", "\xfb\xfc\x8b\xb4"}));
    const QStringList expected = {QStringLiteral("鈴木"), QStringLiteral("山田"), QStringLiteral("髙橋")};
    click(app.form1().Command1);
    ASSERT_TRUE(app.form2().isVisible());
    QStringList shown;
    for (int i = 0; i < app.form2().List1->count(); ++i)
        shown << app.form2().List1->item(i)->text();
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(app.state.registrants.names, expected);

    app.form2().close();
    EXPECT_TRUE(app.form1().isVisible());
    click(app.form1().Command2);
    ASSERT_TRUE(app.form4().isVisible());
    EXPECT_EQ(app.form4().List1->count(), 3);
    EXPECT_EQ(app.form4().List1->item(2)->text(), QStringLiteral("髙橋"));
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

// A window opens where it was last hidden, in this run or an earlier one, moved onto the screen as far as it
// needs, and where the window system puts it when that place is on no screen.
TEST_F(MainMenu, AWindowOpensWhereItWasLastUnlessThatIsOffTheScreen)
{
    makeStore(app.dataDir, {QStringLiteral("山田")});
    click(app.form1().Command4);
    TotalsWindow& totals = app.totalsWindow();
    totals.move(60, 50);
    settings.setValue(QStringLiteral("places/Form1"), QPoint(4, 3)); // as an earlier run left it
    click(totals.BackButton);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(app.form1().pos(), QPoint(4, 3));
    EXPECT_EQ(settings.value(QStringLiteral("places/TotalsWindow")).toPoint(), QPoint(60, 50));
    settings.setValue(QStringLiteral("places/TotalsWindow"), QPoint(5000, 5000));
    click(app.form1().Command4);
    EXPECT_TRUE(screen.intersects(totals.frameGeometry()));
}

// However long the line before them, the links break as a whole onto the next line, never inside a word.
TEST_F(MainMenu, TheBackupLinksNeverBreakInsideAWord)
{
    QCoreApplication::processEvents(); // the line is filled once the menu is shown
    QTextDocument line;
    line.setDefaultFont(app.form1().BackupLabel->font());
    line.setHtml(app.form1().BackupLabel->text());
    const QFontMetricsF metrics(line.defaultFont());
    const QString plain = line.toPlainText();
    const auto links = plain.indexOf(QStringLiteral("バックアップ先…"));
    ASSERT_GT(links, 0);
    // Wide enough for the standing text and half of the first link.
    line.setTextWidth(metrics.horizontalAdvance(plain.left(links) + QStringLiteral("バック")) +
                      2 * line.documentMargin());
    (void)line.size(); // laid out at that width
    const QTextLayout* layout = line.firstBlock().layout();
    ASSERT_GT(layout->lineCount(), 1);
    for (int at = 0; at < layout->lineCount(); ++at) {
        const QTextLine wrapped = layout->lineAt(at);
        const qsizetype start = wrapped.textStart();
        EXPECT_TRUE(start <= links || start >= links + 16) << "a line begins at " << start;
    }
}

// The backup folder chosen once; a generation after each data entry that changed the store, and on demand;
// the menu says when the last was made and asks for attention when there is none or the last failed.
TEST_F(MainMenu, BacksUpAfterADataEntryThatChangedTheStoreAndSaysWhen)
{
    const auto standing = [this] { return app.form1().BackupLabel->text(); };
    const auto told = [this](const QString& start) {
        const QStringList messages = takeMessages();
        return std::any_of(messages.begin(), messages.end(), [&](const QString& m) { return m.startsWith(start); });
    };
    QCoreApplication::processEvents(); // the line is filled once the menu is shown
    EXPECT_TRUE(standing().contains(QStringLiteral("#c00000\">バックアップ先が設定されていません。")));
    QTemporaryDir backups;
    QTemporaryDir elsewhere; // a link to the data folder is the data folder
    const QString link = QDir(elsewhere.path()).filePath(QStringLiteral("リンク"));
    QFile::link(app.dataDir.root(), link);
    dialogs.answerFolder(link);
    dialogs.answerFolder(backups.path());
    for (int choice = 0; choice < 2; ++choice)
        emit app.form1().BackupLabel->linkActivated(QStringLiteral("folder"));
    EXPECT_TRUE(told(QStringLiteral("バックアップ先「")));
    EXPECT_TRUE(standing().contains(QStringLiteral("（まだ作成されていません。")));

    const auto generations = [&] { return QDir(backups.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot); };
    click(app.form1().Command1); // a first start: the store is made, but nothing recorded as a change
    app.form2().close();
    EXPECT_TRUE(generations().isEmpty());
    click(app.form1().Command1);
    ASSERT_TRUE(SaveFacility(app.dataDir, {}, {QStringLiteral("A病院"), {}, {}}));
    app.form2().close();
    EXPECT_EQ(generations(), QStringList{QStringLiteral("Velmora_20261207-101500")});
    EXPECT_TRUE(standing().contains(QStringLiteral("#000000\">最後のバックアップ：2026/12/07 10:15（")));

    clock.moment = clock.moment.addDays(6);
    app.form1().returnToMenu();
    EXPECT_FALSE(standing().contains(QStringLiteral("#c00000")));
    clock.moment = clock.moment.addDays(1);
    app.form1().returnToMenu();
    EXPECT_TRUE(standing().contains(QStringLiteral("7日間バックアップされていません。")));
    emit app.form1().BackupLabel->linkActivated(QStringLiteral("now"));
    EXPECT_EQ(generations().size(), 2);
    EXPECT_FALSE(standing().contains(QStringLiteral("#c00000")));

    // A backup folder that has become a file: the failure is told and stays on the menu.
    QDir(backups.path()).removeRecursively();
    writeBytes(backups.path(), "x");
    emit app.form1().BackupLabel->linkActivated(QStringLiteral("now"));
    EXPECT_TRUE(told(QStringLiteral("データのバックアップを作成できませんでした。")));
    EXPECT_TRUE(standing().contains(QStringLiteral("#c00000\">データのバックアップを作成できませんでした。")));
}

// The data folder the first start chose: once the menu shows, the backup folder is asked for, once; 「いいえ」
// leaves it to the menu's line.
TEST_F(MainMenu, TheFirstStartAsksForTheBackupFolderOnce)
{
    QTemporaryDir backups;
    for (const bool now : {false, true}) {
        settings.setValue(AskBackupFolderKey, app.dataDir.root());
        Application started(app.dataDir.root(), dialogs, clock, printer, settings);
        dialogs.answer(now);
        if (now)
            dialogs.answerFolder(backups.path());
        started.start();
        QCoreApplication::processEvents();
        EXPECT_TRUE(
            takeMessages().value(0).startsWith(QStringLiteral("データのバックアップ先のフォルダも決めて下さい")));
        EXPECT_EQ(backupFolderOf(settings, app.dataDir), now ? backups.path() : QString());
        EXPECT_TRUE(
            started.form1().BackupLabel->text().contains(now ? QStringLiteral("（まだ作成されていません。")
                                                             : QStringLiteral("バックアップ先が設定されていません。")));
        EXPECT_FALSE(settings.contains(AskBackupFolderKey));
    }
    Application again(app.dataDir.root(), dialogs, clock, printer, settings);
    again.start();
    QCoreApplication::processEvents();
    EXPECT_TRUE(takeMessages().isEmpty());
}

TEST_F(MainMenu, EachVisitToTheEntryWindowStartsFresh)
{
    writeRegistrants(crlfLines({" 1 ", "A"}));
    writeBytes(path(EnteredMonthsFile), crlfLines({" 200504 "}));
    click(app.form1().Command1);
    app.state.pendingEntries[0] = PendingEntry{1, 2, 3, 4, QStringLiteral("x")};
    app.form2().Text7->setText("2005");
    app.form2().Text7->setEnabled(false);
    app.form2().Text8->setText("1.5");
    app.form2().Text1->setText("7");
    app.form2().close();

    writeBytes(path(EnteredMonthsFile), crlfLines({" 200504 ", " 200505 "}));
    click(app.form1().Command1);
    EXPECT_EQ(app.state.pendingEntries[0].effective, 0);
    EXPECT_EQ(app.state.pendingEntries[0].comment, QStringLiteral("―"));
    EXPECT_EQ(app.state.pendingEntries.size(), 1000u);
    EXPECT_TRUE(app.form2().Text7->isEnabled());
    EXPECT_TRUE(app.form2().Text7->text().isEmpty());
    EXPECT_TRUE(app.form2().Text8->text().isEmpty());
    EXPECT_TRUE(app.form2().Text1->text().isEmpty());
    EXPECT_EQ(app.form2().List1->count(), 1);
    EXPECT_EQ(app.state.enteredMonths, (QList<MonthKey>{200504, 200505}));
}

TEST_F(MainMenu, SearchWindowOpensWithItsIdleTitleAndNothingToShowOrPrint)
{
    writeRegistrants(QByteArray(" 0 \r\n"));
    app.form4().report.mode = ReportMode::MonthlyList;
    app.form4().Text1->setText("2005");
    click(app.form1().Command2);
    EXPECT_TRUE(dialogs.shown.isEmpty());
    ASSERT_TRUE(app.form4().isVisible());
    EXPECT_EQ(app.form4().windowTitle(), QStringLiteral("個人被曝線量　データ検索・表示"));
    EXPECT_EQ(app.form4().List1->count(), 0);
    EXPECT_TRUE(app.form4().Text1->text().isEmpty());
    EXPECT_FALSE(app.form4().Command3->isEnabled());
    EXPECT_FALSE(app.form4().Command4->isEnabled());
    EXPECT_EQ(app.form4().report.mode, ReportMode::None);
    const QImage& picture = app.form4().Picture1->picture();
    int titlePixels = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            titlePixels += picture.pixelColor(x, y) == QColor(234, 234, 234);
    EXPECT_GT(titlePixels, 500);

    app.form4().close();
    EXPECT_TRUE(app.form1().isVisible());
}

struct DamagedStore {
    const char* name;
    QByteArray registrants;
    QByteArray enteredMonths;
    QString named; // the file the message names
};

class MainMenuWithDamagedStore : public MainMenu, public testing::WithParamInterface<DamagedStore> {};

TEST_P(MainMenuWithDamagedStore, ReportsTheFileStaysInTheMenuAndChangesNothing)
{
    writeRegistrants(GetParam().registrants);
    writeBytes(path(EnteredMonthsFile), GetParam().enteredMonths);
    const auto before = snapshot(temp.path());
    click(app.form1().Command1);
    EXPECT_FALSE(app.form2().isVisible());
    EXPECT_TRUE(app.form1().isVisible());
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].kind, ScriptedDialogs::Kind::Warn);
    EXPECT_TRUE(dialogs.shown[0].text.contains(GetParam().named)) << dialogs.shown[0].text.toStdString();
    if (GetParam().named == RegistrantNamesFile) {
        click(app.form1().Command2);
        EXPECT_FALSE(app.form4().isVisible());
        EXPECT_EQ(dialogs.shown.size(), 2);
    }
    EXPECT_EQ(snapshot(temp.path()), before);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, MainMenuWithDamagedStore,
    testing::Values(DamagedStore{"CountLargerThanNames", QByteArray(" 2 \r\nA\r\n"), {}, RegistrantNamesFile},
                    DamagedStore{"CountOver1000", QByteArray(" 1001 \r\n"), {}, RegistrantNamesFile},
                    DamagedStore{"EmptyRegistrantNames", QByteArray(), {}, RegistrantNamesFile},
                    DamagedStore{"EnteredMonthNotANumber", QByteArray(" 0 \r\n"), QByteArray("abc\r\n"),
                                 EnteredMonthsFile}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(MainMenu, ExitEndsTheProgram)
{
    QTimer::singleShot(0, [this] { click(app.form1().Command3); });
    QTimer::singleShot(5000, [] { QCoreApplication::exit(1); }); // only if EXIT did not end it
    EXPECT_EQ(QApplication::exec(), 0);
}

// A logout or shutdown that can still ask does so only while data entry holds values not saved, as its
// EXIT/cancel does.
TEST_F(MainMenu, TheEndOfTheSessionAsksOnlyWhileDataEntryHoldsValues)
{
    EXPECT_TRUE(WayOut::mayEndSession());
    click(app.form1().Command1);
    EXPECT_TRUE(WayOut::mayEndSession());
    app.form2().Text8->setText(QStringLiteral("1"));
    app.form2().Text8->textEdited(QStringLiteral("1"));
    dialogs.answer(false);
    EXPECT_FALSE(WayOut::mayEndSession());
    EXPECT_TRUE(app.form2().isVisible());
    dialogs.answer(true);
    EXPECT_TRUE(WayOut::mayEndSession());
    EXPECT_EQ(takeMessages(), QStringList(2, QStringLiteral("データ入力を終了・キャンセルしますか？")));
}

// A folder with the user's own files but no store is a wrong folder as likely as a new one: asked first.
TEST_F(MainMenu, AFirstStartAmongOtherFilesAsksBeforeMakingTheStore)
{
    writeBytes(path(QStringLiteral("議事録.docx")), "x");
    for (CommandButton* command : {app.form1().Command1, app.form1().Command2}) {
        dialogs.answer(false);
        click(command);
        EXPECT_EQ(dialogs.shown.value(0).kind, ScriptedDialogs::Kind::Risky);
        EXPECT_EQ(takeMessages(),
                  QStringList{QStringLiteral("データフォルダ「%1」には個人被曝線量のデータ（登録者名.txt）がなく、"
                                             "ほかのファイルがあります。このフォルダに新しくデータを作成しますか？")
                                  .arg(temp.path())});
        EXPECT_EQ(QDir(temp.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                  QStringList{QStringLiteral("議事録.docx")});
    }
    dialogs.answer(true);
    click(app.form1().Command1);
    EXPECT_TRUE(app.form2().isVisible());
    EXPECT_EQ(fileBytes(path(RegistrantNamesFile)), " 0 \r\n");
    EXPECT_EQ(fileBytes(path(QStringLiteral("議事録.docx"))), "x");
}

} // namespace
