#include "core/changes/RecordedWrites.h"
#include "core/changes/RegistrantChanges.h"
#include "core/files/ChangeHistory.h"
#include "core/files/ListFiles.h"
#include "gui/totals/TotalsWindow.h"
#include "support/PdfText.h"
#include "support/Stores.h"
#include "support/WindowTest.h"

using namespace velmora;
using namespace velmora::test;

namespace {

class ChangeHistoryView : public WindowTest {};

// Waits until the check of every record behind the window has ended.
void waitForTheCheck(const ChangeHistoryWindow& window)
{
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window.checking(); }, 30000));
}

TEST_F(ChangeHistoryView, ShowsEveryChangeByPersonAndMonthSaysWhereTheChainBreaksAndPrints)
{
    makeStore(app.dataDir, {QStringLiteral("山田"), QStringLiteral("鈴木")});
    SharedState state;
    state.registrants = *LoadRegistrantList(app.dataDir);
    const OtherFacilityDose may{QStringLiteral("山田"), QStringLiteral("B病院"), 202505, 202505, 1, 0, 0, 0, NoComment};
    OtherFacilityDose june = may;
    june.from = june.to = 202506;
    ASSERT_TRUE(SaveOtherFacilityDoses(app.dataDir, {}, {may, june}));
    ASSERT_TRUE(RemoveRegistrant(app.dataDir, state, QStringLiteral("鈴木")));

    click(app.form1().Command4);
    TotalsWindow& totals = app.totalsWindow();
    click(totals.HistoryButton);
    ChangeHistoryWindow& window = app.historyWindow();
    ASSERT_TRUE(window.isVisible());
    const auto rows = [&] { return window.HistoryTable->model()->rowCount(); };
    const auto cell = [&](int row, int column) {
        return window.HistoryTable->model()->index(row, column).data().toString();
    };
    EXPECT_EQ(rows(), 3);
    EXPECT_EQ(cell(0, 1), QStringLiteral("抹消")); // newest first
    waitForTheCheck(window);
    EXPECT_EQ(window.ChainLabel->text(), QStringLiteral("3件の記録は、どれも書かれたときのままです。"));
    window.PersonBox->setCurrentText(QStringLiteral("山田"));
    EXPECT_EQ(rows(), 2);
    window.MonthBox->setCurrentText(QStringLiteral("2025年6月"));
    ASSERT_EQ(rows(), 1);
    EXPECT_EQ(cell(0, 3), QStringLiteral("2025/06"));

    // A value changed by hand in the first record: the window names it and shows it in red.
    const QString history = app.dataDir.listFile(ChangeHistoryFile);
    writeBytes(history, fileBytes(history).replace("202505", "202504"));
    click(totals.HistoryButton);
    EXPECT_EQ(rows(), 3);
    EXPECT_TRUE(window.ChainLabel->text().startsWith(QStringLiteral("「変更履歴.txt」の1件目の記録（1行目から）")))
        << window.ChainLabel->text().toStdString();
    EXPECT_EQ(window.HistoryTable->model()->index(2, 0).data(Qt::ForegroundRole).value<QBrush>().color(), Qt::red);

    dialogs.answer(true);
    click(window.PrintButton);
    const QStringList printed = QDir(path(QStringLiteral("印刷"))).entryList(QDir::Files);
    ASSERT_EQ(printed, QStringList{QStringLiteral("変更履歴_20261207-101500.pdf")});
    QString words;
    for (const PdfWord& word : pdfWords(path(QStringLiteral("印刷/") + printed.first())))
        words += word.text;
    for (const char* expected :
         {"変更履歴", "氏名：すべて", "3件", "1件目の記録", "抹消", "鈴木", "他施設線量", "B病院"})
        EXPECT_TRUE(words.contains(QString::fromUtf8(expected))) << expected;
}

// A garbage line appended: every record is shown, the line named, and the history set aside from the
// window begins anew.
// The names to choose from stand in the registrant list's order, not in the order of their character codes.
TEST_F(ChangeHistoryView, OffersThePersonsInTheRegistrantListsOrder)
{
    const QStringList names{QStringLiteral("青木"), QStringLiteral("山田")};
    makeStore(app.dataDir, names);
    QList<OtherFacilityDose> doses;
    for (const QString& name : names)
        doses << OtherFacilityDose{name, QStringLiteral("B病院"), 202505, 202505, 1, 0, 0, 0, NoComment};
    ASSERT_TRUE(SaveOtherFacilityDoses(app.dataDir, {}, doses));
    click(app.form1().Command4);
    click(app.totalsWindow().HistoryButton);
    const QComboBox* box = app.historyWindow().PersonBox;
    QStringList offered;
    for (int item = 1; item < box->count(); ++item)
        offered << box->itemText(item);
    EXPECT_EQ(offered, names);
}

TEST_F(ChangeHistoryView, ShowsEveryRecordPastADamagedLineAndSetsTheDamageAside)
{
    makeStore(app.dataDir, {QStringLiteral("山田")});
    ASSERT_TRUE(SaveFacility(app.dataDir, {}, {QStringLiteral("A病院"), {}, {}}));
    const QString history = app.dataDir.listFile(ChangeHistoryFile);
    writeBytes(history, fileBytes(history) + "garbage\r\n");
    click(app.form1().Command4);
    TotalsWindow& totals = app.totalsWindow();
    click(totals.HistoryButton);
    ChangeHistoryWindow& window = app.historyWindow();
    EXPECT_EQ(window.HistoryTable->model()->rowCount(), 1);
    EXPECT_TRUE(window.ChainLabel->text().startsWith(QStringLiteral("「変更履歴.txt」の10行目が読めません")))
        << window.ChainLabel->text().toStdString();
    ASSERT_TRUE(window.SetAsideButton->isVisible());

    dialogs.answer(true);
    click(window.SetAsideButton);
    EXPECT_TRUE(takeMessages().last().startsWith(
        QStringLiteral("読めない行のある変更履歴を「変更履歴_損傷_20261207-101500.txt」")));
    EXPECT_FALSE(window.SetAsideButton->isVisible());
    EXPECT_EQ(window.HistoryTable->model()->rowCount(), 2);
    waitForTheCheck(window);
    EXPECT_TRUE(window.ChainLabel->text().startsWith(QStringLiteral("2件の記録は、どれも書かれたときのままです。")));
}

// A long history: the newest thousand at once, a person's every record when chosen, and an edit made after
// the chain was last found whole is still found.
TEST_F(ChangeHistoryView, ShowsTheNewestThousandAndAPersonsEveryRecordAndFindsALaterEdit)
{
    QList<Change> changes;
    for (int at = 0; at < 1001; ++at)
        changes.append({ChangeKind::MonthSaved,
                        at % 2 ? QStringLiteral("鈴木") : QStringLiteral("山田"),
                        200001 + at % 12,
                        {},
                        QStringLiteral("実効 %1").arg(at)});
    ASSERT_TRUE(RecordWrite(app.dataDir, changes, [] { return Status(); }));
    click(app.form1().Command4);
    TotalsWindow& totals = app.totalsWindow();
    click(totals.HistoryButton);
    ChangeHistoryWindow& window = app.historyWindow();
    EXPECT_EQ(window.HistoryTable->model()->rowCount(), 1000);
    EXPECT_TRUE(window.ChainLabel->text().contains(QStringLiteral("最新の1000件を表示しています")));
    window.PersonBox->setCurrentText(QStringLiteral("山田"));
    EXPECT_EQ(window.HistoryTable->model()->rowCount(), 501);

    const QString history = app.dataDir.listFile(ChangeHistoryFile);
    const QDateTime written = QFileInfo(history).lastModified();
    writeBytes(history, fileBytes(history).replace("\x8e\xc0\x8c\xf8 7\r\n", "\x8e\xc0\x8c\xf8 8\r\n"));
    QFile edited(history); // an editor's save, seconds later, of the same size
    ASSERT_TRUE(edited.open(QIODevice::ReadWrite) &&
                edited.setFileTime(written.addSecs(2), QFileDevice::FileModificationTime));
    edited.close();
    click(totals.HistoryButton);
    EXPECT_TRUE(window.ChainLabel->text().startsWith(QStringLiteral("「変更履歴.txt」の8件目の記録")))
        << window.ChainLabel->text().toStdString();
}

// An old record edited by hand to the same size, its time put back: the note of the history found whole
// still matches, so the window shows the records at once but never calls them whole before it has checked
// them again; the check behind it finds the edit.
TEST_F(ChangeHistoryView, NeverCallsAHistoryWholeThatItTookFromItsNote)
{
    makeStore(app.dataDir, {QStringLiteral("山田")});
    const OtherFacilityDose dose{QStringLiteral("山田"), QStringLiteral("B病院"), 202505, 202505, 12.5, 0, 0, 0};
    ASSERT_TRUE(SaveOtherFacilityDoses(app.dataDir, {}, {dose}));
    ASSERT_TRUE(SaveFacility(app.dataDir, {}, {QStringLiteral("A病院"), {}, {}}));
    click(app.form1().Command4);
    TotalsWindow& totals = app.totalsWindow();
    click(totals.HistoryButton);
    ChangeHistoryWindow& window = app.historyWindow();
    waitForTheCheck(window);
    ASSERT_EQ(window.ChainLabel->text(), QStringLiteral("2件の記録は、どれも書かれたときのままです。"));

    const QString history = app.dataDir.listFile(ChangeHistoryFile);
    const QDateTime written = QFileInfo(history).lastModified();
    writeBytes(history, fileBytes(history).replace(" 12.5", " 02.5"));
    QFile edited(history);
    ASSERT_TRUE(edited.open(QIODevice::ReadWrite) && edited.setFileTime(written, QFileDevice::FileModificationTime));
    edited.close();
    click(totals.HistoryButton);
    EXPECT_TRUE(window.checking());
    EXPECT_TRUE(window.ChainLabel->text().contains(QStringLiteral("いま改めて確かめています")))
        << window.ChainLabel->text().toStdString();
    waitForTheCheck(window);
    EXPECT_TRUE(window.ChainLabel->text().startsWith(QStringLiteral("「変更履歴.txt」の1件目の記録")))
        << window.ChainLabel->text().toStdString();
    // Opened again, it no longer takes the edited history for the one it found whole.
    click(totals.HistoryButton);
    EXPECT_FALSE(window.checking());
    EXPECT_TRUE(window.ChainLabel->text().startsWith(QStringLiteral("「変更履歴.txt」の1件目の記録")));
}

} // namespace
