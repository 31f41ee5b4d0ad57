#include "core/files/DoseAdditions.h"
#include "core/files/ListFiles.h"
#include "core/files/PersonalFile.h"
#include "core/rules/DoseDistribution.h"
#include "core/rules/TotalsColumns.h"
#include "support/DataFiles.h"
#include "support/PdfText.h"
#include "support/Stores.h"
#include "support/WindowTest.h"

#include <QHeaderView>
#include <QScrollBar>

using namespace velmora;
using namespace velmora::test;

namespace {

class DoseTotalsWindow : public WindowTest {
protected:
    void SetUp() override
    {
        makeStore(app.dataDir, {QStringLiteral("山田"), QStringLiteral("鈴木"), QStringLiteral("佐藤"),
                                QStringLiteral("田中"), QStringLiteral("伊藤")});
        add(QStringLiteral("山田"), {202604, 4.5, 0, 0, 0, NoComment});
        add(QStringLiteral("鈴木"), {202605, 60, 0, 0, 0, NoComment});
        add(QStringLiteral("佐藤"), {202606, 0, 0, 0, 0, NoComment});
        add(QStringLiteral("佐藤"), {202606, 1, 0, 0, 0, NoComment});
        add(QStringLiteral("田中"), {202607, 2, 0, 0, 0, NoComment});
        writeBytes(app.dataDir.personalFile(QStringLiteral("伊藤")), " 5 \r\n");
        ASSERT_TRUE(SaveRegistrantList(app.dataDir, {QStringLiteral("山田"), QStringLiteral("鈴木"),
                                                     QStringLiteral("佐藤"), QStringLiteral("伊藤")}));
        ASSERT_TRUE(RewriteRemovedNames(app.dataDir, {QStringLiteral("田中")}));
    }
    void add(const QString& name, const MonthlyRecord& record)
    {
        ASSERT_TRUE(AppendMonthlyRecord(app.dataDir, name, record));
    }
    QString cell(int row, int column) const { return form.TotalsTable->model()->index(row, column).data().toString(); }
    QColor colour(int row) const
    {
        return form.TotalsTable->model()->index(row, 5).data(Qt::BackgroundRole).value<QColor>();
    }
    QStringList names() const
    {
        QStringList shown;
        for (int row = 0; row < form.TotalsTable->model()->rowCount(); ++row)
            shown << cell(row, 1);
        return shown;
    }

    TotalsWindow& form = app.totalsWindow();
};

// Without the facility's name the leaving record says so before the leaving day is asked (the scripted
// dialogs fail on a day window nobody answers), so that nothing typed for it is lost.
TEST_F(DoseTotalsWindow, TheLeavingRecordNeedsTheFacilityBeforeItsDayIsAsked)
{
    click(app.form1().Command4);
    takeMessages();
    form.FrozenTable->selectRow(0);
    click(form.LeavingRecordButton);
    EXPECT_EQ(takeMessages(),
              QStringList{QStringLiteral("事業所名が設定されていません。「線量集計／限度確認」の"
                                         "「他施設・申告」で事業所名を保存してから、もう一度行って下さい")});
}

TEST_F(DoseTotalsWindow, ShowsRemovedStaffAndDoubtfulMonthsWithNamesFrozenWhileTheRestScrolls)
{
    click(app.form1().Command4);
    ASSERT_TRUE(form.isVisible());
    EXPECT_EQ(form.FiscalYearBox->text(), "2026"); // December 2026 belongs to the fiscal year 2026
    EXPECT_TRUE(takeMessages().value(0).contains(QStringLiteral("被曝Data/伊藤.dat")));
    EXPECT_EQ(names(), (QStringList{"山田", "鈴木", "佐藤", "伊藤", "田中"}));
    const auto verdict = static_cast<int>(shownColumns().indexOf(TotalsColumn::Verdict));
    EXPECT_EQ(cell(0, verdict), QStringLiteral("注意"));
    EXPECT_EQ(colour(0), QColor(255, 224, 160));
    EXPECT_EQ(cell(1, verdict), QStringLiteral("超過"));
    EXPECT_EQ(cell(2, verdict), QStringLiteral("要確認"));
    EXPECT_EQ(colour(2), QColor(214, 200, 255));
    EXPECT_EQ(cell(3, verdict), QStringLiteral("読込不可"));
    EXPECT_EQ(colour(3), QColor(200, 200, 200));
    EXPECT_EQ(cell(4, 3), QStringLiteral("抹消"));

    // The names and 判定 stay in view beside the scrolled columns, which 理由 leads; without designated
    // doctors, internal doses, doses elsewhere or pregnancies in the year, their columns (12, 14 to 18) are
    // not shown.
    for (int column = 0; column < 21; ++column) {
        EXPECT_EQ(form.FrozenTable->isColumnHidden(column), column >= 2 && column != verdict) << column;
        EXPECT_EQ(form.TotalsTable->isColumnHidden(column),
                  column < 2 || column == verdict || column == 12 || (column >= 14 && column <= 18))
            << column;
    }
    EXPECT_EQ(form.FrozenTable->horizontalHeader()->visualIndex(verdict), 2);
    EXPECT_EQ(form.TotalsTable->horizontalHeader()->logicalIndex(2), verdict + 1); // 理由
    form.TotalsTable->horizontalScrollBar()->setValue(form.TotalsTable->horizontalScrollBar()->maximum());
    EXPECT_TRUE(form.FrozenTable->isVisible());
    EXPECT_EQ(form.FrozenTable->horizontalHeader()->sectionViewportPosition(1), form.FrozenTable->columnWidth(0));

    // By verdict, most concern first: 読込不可, 超過, 要確認, 注意, then within.
    form.TotalsTable->horizontalHeader()->sectionClicked(verdict);
    form.TotalsTable->horizontalHeader()->sectionClicked(verdict);
    EXPECT_EQ(names(), (QStringList{"伊藤", "鈴木", "佐藤", "山田", "田中"}));
    form.FrozenTable->selectRow(2);
    EXPECT_EQ(form.PersonTitle->text(), QStringLiteral("登録番号 3　佐藤（2026年度）"));
    EXPECT_EQ(form.PersonMonths->item(2, 0)->text(), "1");       // the larger of June's two records
    EXPECT_EQ(form.PersonMonths->item(0, 0)->text(), QString()); // April has no record
    form.FrozenTable->selectRow(4);
    EXPECT_EQ(form.PersonTitle->text(), QStringLiteral("登録番号 4　田中（2026年度）　抹消"));
    EXPECT_EQ(form.PersonMonths->item(3, 0)->text(), "2");
    EXPECT_EQ(form.PersonMonths->item(3, 1)->text(), QStringLiteral("Ｍ"));

    form.FlaggedOnlyBox->click();
    EXPECT_EQ(names(), (QStringList{"伊藤", "鈴木", "佐藤", "山田"}));
    EXPECT_LE(form.width(), 1366);
}

// The year's archive is made only for a closed year and only from a whole store: each refusal says why.
TEST_F(DoseTotalsWindow, KeepsAClosedYearOnlyWhenEveryFileReads)
{
    click(app.form1().Command4);
    takeMessages();
    // The open year shown: refused before a folder is asked for, and the last closed year proposed.
    const QString proposal =
        QStringLiteral("2026年度はまだ終わっていません。保存版は年度末（2027年3月31日）の後に"
                       "作成して下さい\n\n終わっている最後の年度、2025年度の保存版を作成しますか？");
    dialogs.answer(false);
    click(form.ArchiveButton);
    EXPECT_EQ(takeMessages(), QStringList{proposal});
    // A period elsewhere reaching into FY2025 from FY2026 makes that year's person 要確認, named before anything
    // is written; Cancel is the default and writes nothing.
    ASSERT_TRUE(WriteOtherFacilityDoses(
        app.dataDir, {{QStringLiteral("山田"), QStringLiteral("B病院"), 202602, 202605, 10, 0, 0, 0, NoComment}}));
    dialogs.answer(true);
    dialogs.answer(false);
    click(form.ArchiveButton);
    const QStringList asked = takeMessages();
    ASSERT_EQ(asked.size(), 2);
    EXPECT_TRUE(asked[1].startsWith(
        QStringLiteral("2025年度には要確認の人が1名います。保存版にはこのまま記録されます。\n"
                       "山田：他施設線量（B病院 2026年2月～2026年5月）は期間の一部がこの年度にある")))
        << asked[1].toStdString();
    QTemporaryDir archives;
    dialogs.answer(true);
    dialogs.answer(true);
    dialogs.answerFolder(archives.path());
    click(form.ArchiveButton);
    EXPECT_EQ(dialogs.shown.value(2).text, QStringLiteral("2025年度の保存版を作成するフォルダ"));
    EXPECT_TRUE(
        takeMessages().last().startsWith(QStringLiteral("ファイル「被曝Data/伊藤.dat」の内容が正しくありません")));
}

TEST_F(DoseTotalsWindow, PrintsWhatItShowsInOneDocumentAndSavesTheCsv)
{
    click(app.form1().Command4);
    takeMessages();
    form.FlaggedOnlyBox->click();
    dialogs.answerFile(path(QStringLiteral("集計.csv")));
    click(form.SaveCsvButton);
    EXPECT_EQ(dialogs.dialogStart, path(QStringLiteral("線量集計_2026年度_20261207.csv"))); // proposed, dated
    EXPECT_TRUE(QFileInfo::exists(path(QStringLiteral("集計.csv"))));
    dialogs.answer(true);
    click(form.PrintButton);
    const QStringList printed = QDir(path(QStringLiteral("印刷"))).entryList(QDir::Files);
    ASSERT_EQ(printed, QStringList{QStringLiteral("線量集計_20261207-101500.pdf")});
    QStringList words;
    for (const PdfWord& word : pdfWords(path(QStringLiteral("印刷/") + printed.first())))
        words << word.text;
    EXPECT_TRUE(words.contains(QStringLiteral("鈴木")));
    EXPECT_FALSE(words.contains(QStringLiteral("田中"))); // filtered out in the window
    takeMessages();
    click(form.BackButton);
    EXPECT_TRUE(app.form1().isVisible());
}

// The words of a printed file, joined by blanks, each checked to stand inside its page.
QString wordsInsideTheirPages(const QString& file)
{
    QStringList words;
    for (const PdfBox& word : pdfWordBoxes(file)) {
        words << word.text;
        EXPECT_TRUE(word.xMin >= 0 && word.yMin >= 0 && word.xMax <= word.pageWidth && word.yMax <= word.pageHeight)
            << word.text.toStdString();
    }
    return words.join(' ');
}

TEST_F(DoseTotalsWindow, ShowsPrintsAndSavesTheDistributionOfItsYear)
{
    click(app.form1().Command4);
    takeMessages();
    click(form.DistributionButton);
    PageWindow& window = form.distributionWindow;
    ASSERT_TRUE(window.isVisible());
    EXPECT_EQ(window.windowTitle(), QStringLiteral("線量分布（2026年度）"));
    const QByteArray names = fileBytes(path(RegistrantNamesFile));
    dialogs.answerFile(path(RegistrantNamesFile)); // a file of the store is never replaced
    click(window.SaveCsvButton);
    EXPECT_EQ(fileBytes(path(RegistrantNamesFile)), names);
    dialogs.answerFile(path(QStringLiteral("線量分布_2026年度.csv")));
    click(window.SaveCsvButton);
    EXPECT_EQ(fileBytes(path(QStringLiteral("線量分布_2026年度.csv"))),
              distributionCsv(doseDistribution(*gatherStoreTotals(app.dataDir, 2026, 202612), 2026)));
    takeMessages();
    dialogs.answer(true);
    click(window.PrintButton);
    const QString distribution = wordsInsideTheirPages(path(QStringLiteral("印刷/線量分布_20261207-101500.pdf")));
    for (const char* expected : {"線量分布（2026年度）", "実効線量（年度）", "20超25以下", "50超", "区分（mSv）",
                                 "人数（人）", "線量区分（mSv）", "該当する作業者数"})
        EXPECT_TRUE(distribution.contains(QString::fromUtf8(expected))) << expected;
    takeMessages();
    click(form.GroupsButton);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("職種別・所属別の線量分布（2026年度）"));
    QTest::keyClick(&window, Qt::Key_Escape); // Esc closes it, as 「閉じる」 does
    EXPECT_FALSE(window.isVisible());

    // The chosen person's charts, printed on one page with every word inside it.
    EXPECT_FALSE(form.PersonChartButton->isEnabled());
    form.FrozenTable->selectRow(1);
    click(form.PersonChartButton);
    ASSERT_TRUE(form.personChartWindow.isVisible());
    EXPECT_EQ(form.personChartWindow.windowTitle(), QStringLiteral("個人グラフ　鈴木（2026年度）"));
    EXPECT_FALSE(form.personChartWindow.SaveCsvButton->isVisible());
    dialogs.answer(true);
    click(form.personChartWindow.PrintButton);
    const QString charts = wordsInsideTheirPages(path(QStringLiteral("印刷/個人線量グラフ_20261207-101500.pdf")));
    for (const char* expected :
         {"鈴木", "月別の線量（2026年度）", "5年間の線量（2026", "実効 年度", "5年 100", "限度の80%"})
        EXPECT_TRUE(charts.contains(QString::fromUtf8(expected))) << expected;
    takeMessages();

    // The chosen person's dose notice, then those of the rows shown, a page each; every word inside its page.
    dialogs.answer(true);
    click(form.NoticeButton);
    form.FlaggedOnlyBox->click();
    dialogs.answer(true);
    click(form.AllNoticesButton);
    const QStringList messages = takeMessages();
    ASSERT_EQ(messages.size(), 4); // each question, then where its PDF went
    EXPECT_EQ(messages[0], QStringLiteral("鈴木さんの線量通知を印刷します。プリンターＯＫ？"));
    EXPECT_EQ(messages[2], QStringLiteral("表に表示中の4名の線量通知を、表の順に1人1ページ、計4ページで印刷します。"
                                          "プリンターＯＫ？"));
    const QString one = path(QStringLiteral("印刷/線量通知_20261207-101500.pdf"));
    const QString all = path(QStringLiteral("印刷/線量通知_20261207-101500-2.pdf")); // the same minute
    EXPECT_EQ(pdfPageCount(one), 1);
    EXPECT_EQ(pdfPageCount(all), 4);
    const QString notice = wordsInsideTheirPages(all);
    for (const char* expected :
         {"線量通知（2026年度）", "判定：超過", "2026年度 累積", "2026年5月", "60", "線量限度", "内部被曝", "電離則"})
        EXPECT_TRUE(notice.contains(QString::fromUtf8(expected))) << expected;
}

} // namespace
