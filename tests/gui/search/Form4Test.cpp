#include "core/files/ListFiles.h"
#include "core/files/PersonalFile.h"
#include "support/Stores.h"
#include "support/WindowTest.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::test;

namespace {

using Kind = ScriptedDialogs::Kind;

class SearchWindow : public WindowTest {
protected:
    void SetUp() override
    {
        QStringList names;
        for (int i = 1; i <= 40; ++i)
            names << QStringLiteral("職員%1").arg(i);
        makeStore(app.dataDir, names);
        ASSERT_TRUE(AppendMonthlyRecord(app.dataDir, names[0], {200504, 0.5, 0, 0, 0, QStringLiteral("一回目")}));
        ASSERT_TRUE(AppendMonthlyRecord(app.dataDir, names[0], {200504, 0.7, 0, 0, 0, QStringLiteral("二回目")}));
        ASSERT_TRUE(AppendMonthlyRecord(app.dataDir, names[1], {200505, 0.1, 0, 0, 0, QStringLiteral("―")}));
        open();
    }
    void open()
    {
        click(app.form1().Command2);
        ASSERT_TRUE(form.isVisible());
    }
    void choose(const QString& name)
    {
        const auto items = form.List1->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1) << name.toStdString();
        QTest::mouseClick(form.List1->viewport(), Qt::LeftButton, {}, form.List1->visualItemRect(items[0]).center());
    }
    void monthlyList(const QString& year, const QString& month)
    {
        type(form.Text2, year);
        type(form.Text3, month);
        click(form.Command8);
    }
    // Whether the surface shows more than the idle title.
    bool reportDrawn()
    {
        const QImage& picture = form.Picture1->picture();
        for (int y = 0; y < picture.height(); y += 2)
            for (int x = 0; x < picture.width(); x += 2)
                if (picture.pixelColor(x, y) == QColor(Qt::black))
                    return true;
        return false;
    }

    Form4& form = app.form4();
};

TEST_F(SearchWindow, ControlsStandAtTheirTwipsWithTheirCaptions)
{
    EXPECT_EQ(form.size(), QSize(958, 613));
    EXPECT_EQ(form.Picture1->geometry(), QRect(216, 40, 729, 521));
    EXPECT_EQ(form.Command5->geometry(), QRect(904, 576, 33, 33));
    EXPECT_TRUE(form.Command5->text().isEmpty());
    EXPECT_FALSE(form.Command5->icon().isNull());
    EXPECT_EQ(form.Command5->toolTip(), QStringLiteral(" bye "));
    EXPECT_EQ(form.Command9->toolTip(), QStringLiteral(" 続きを表示 "));
    EXPECT_EQ(form.Command7->font().pointSizeF(), 9.75);
    EXPECT_EQ(form.Command1->font().pointSizeF(), 9);
    EXPECT_EQ(form.Command3->font().pointSizeF(), 11.25);
    EXPECT_EQ(form.List1->count(), 40);
    EXPECT_EQ(app.form4().report.mode, ReportMode::None);
    EXPECT_FALSE(form.Command3->isEnabled());
    EXPECT_FALSE(form.Command4->isEnabled());
}

TEST_F(SearchWindow, ChoosingANameLoadsThePersonAndOffersTheRecord)
{
    monthlyList("2005", "4");
    ASSERT_EQ(app.form4().report.mode, ReportMode::MonthlyList);
    choose(QStringLiteral("職員1"));
    EXPECT_EQ(app.form4().report.mode, ReportMode::PersonalRecord); // even with the list still on the surface
    EXPECT_EQ(app.state.current.header.name, QStringLiteral("職員1"));
    EXPECT_EQ(app.state.current.records.size(), 2);
    EXPECT_TRUE(form.Command3->isEnabled());
    EXPECT_TRUE(form.Command4->isEnabled()); // unchanged
    EXPECT_EQ(form.focusWidget(), form.Text1);

    click(form.Command9); // " 続きを表示 " does nothing in mode 1
    EXPECT_EQ(app.form4().report.nextRow, 33);
}

TEST_F(SearchWindow, ShowNeedsAFiscalYear)
{
    choose(QStringLiteral("職員1"));
    click(form.Command3);
    EXPECT_EQ(dialogs.shown, (QList<ScriptedDialogs::Shown>{{Kind::Warn, QStringLiteral("表示年度を入力して下さい")}}));
    type(form.Text1, "1e20");
    click(form.Command3);
    EXPECT_EQ(takeMessages().size(), 2);
    EXPECT_FALSE(form.Command4->isEnabled());
    EXPECT_FALSE(reportDrawn());

    type(form.Text1, "2005");
    click(form.Command3);
    EXPECT_TRUE(dialogs.shown.isEmpty());
    EXPECT_TRUE(reportDrawn());
    EXPECT_TRUE(form.Command4->isEnabled());
    EXPECT_EQ(app.form4().report.mode, ReportMode::PersonalRecord);
}

TEST_F(SearchWindow, EnterInTheFiscalYearMovesOnOnlyWhenShowCanTakeTheFocus)
{
    type(form.Text1, "2005");
    pressEnter(form.Text1);
    EXPECT_EQ(form.focusWidget(), form.Text1);
    EXPECT_TRUE(dialogs.shown.isEmpty());
    choose(QStringLiteral("職員2"));
    pressEnter(form.Text1);
    EXPECT_EQ(form.focusWidget(), form.Command3);
    type(form.Text2, "2005");
    pressEnter(form.Text2);
    EXPECT_EQ(form.focusWidget(), form.Text3);
    pressEnter(form.Text3); // empty
    EXPECT_EQ(form.focusWidget(), form.Text3);
    type(form.Text3, "4");
    pressEnter(form.Text3);
    EXPECT_EQ(form.focusWidget(), form.Command8);
}

TEST_F(SearchWindow, MonthlyListGathersTheFirstRecordOfTheMonth)
{
    monthlyList("2005", "");
    EXPECT_EQ(dialogs.shown, (QList<ScriptedDialogs::Shown>{{Kind::Inform, QStringLiteral("年月を指定して下さい")}}));
    EXPECT_EQ(form.focusWidget(), form.Text2);
    EXPECT_EQ(app.form4().report.mode, ReportMode::None);

    monthlyList("2005", "04");
    EXPECT_EQ(app.form4().report.mode, ReportMode::MonthlyList);
    EXPECT_EQ(app.form4().report.nextRow, 33);
    ASSERT_EQ(app.form4().report.monthRows.size(), 40);
    EXPECT_EQ(app.form4().report.monthRows[0].effective, 0.5);
    EXPECT_EQ(app.form4().report.monthRows[0].comment, QStringLiteral("一回目"));
    EXPECT_EQ(app.form4().report.monthRows[1].effective, -1);
    EXPECT_EQ(app.form4().report.monthRows[1].comment, QStringLiteral("―"));
    EXPECT_EQ(app.form4().report.monthRows[1].registrationNumber, 2);
    EXPECT_TRUE(form.Command4->isEnabled());

    monthlyList("2005", "5");
    EXPECT_EQ(app.form4().report.monthRows[1].effective, 0.1);
    EXPECT_EQ(app.form4().report.monthRows[0].effective, -1);
}

TEST_F(SearchWindow, PagingClearingAndPrintingKeepTheReportMode)
{
    click(form.Command7);
    EXPECT_EQ(app.form4().report.mode, ReportMode::RegistrantTable);
    EXPECT_EQ(app.form4().report.nextRow, 33);
    ASSERT_EQ(app.form4().report.registrantSummary.size(), 40);
    EXPECT_EQ(app.form4().report.registrantSummary[39]->registrationNumber, 40);

    click(form.Command6); // "画面クリア" keeps the mode
    EXPECT_FALSE(form.Command4->isEnabled());
    EXPECT_FALSE(reportDrawn());
    click(form.Command9);
    EXPECT_EQ(app.form4().report.nextRow, 41);
    EXPECT_TRUE(reportDrawn());
    EXPECT_FALSE(form.Command4->isEnabled()); // until a report is drawn again

    click(form.Command7);
    dialogs.answer(false);
    click(form.Command4);
    EXPECT_EQ(takeMessages(), QStringList{QStringLiteral("プリンターＯＫ？")});
    EXPECT_EQ(app.form4().report.nextRow, 33);
    EXPECT_EQ(app.form4().report.mode, ReportMode::RegistrantTable);
}

TEST_F(SearchWindow, AGatheredReportKeepsTheNamesItWasGatheredFor)
{
    QStringList staff;
    for (int i = 1; i <= 45; ++i)
        staff << QStringLiteral("職員%1").arg(i);
    for (int i = 40; i < 45; ++i)
        ASSERT_TRUE(CreatePersonalFile(app.dataDir, personHeader(staff[i], i + 1)));
    const QString printed = path(QStringLiteral("印刷"));
    // Another copy lists more or fewer names after the report was gathered from 40.
    for (const int listed : {45, 3}) {
        for (CommandButton* report : {form.Command7, form.Command8}) {
            ASSERT_TRUE(SaveRegistrantList(app.dataDir, staff.mid(0, 40)));
            click(form.Command1);
            monthlyList("2005", "4");
            click(report);
            ASSERT_TRUE(SaveRegistrantList(app.dataDir, staff.mid(0, listed)));
            click(form.Command1);
            click(form.Command9);
            EXPECT_EQ(app.form4().report.nextRow, 41) << listed;
            QDir(printed).removeRecursively();
            dialogs.answer(true);
            click(form.Command4);
            EXPECT_EQ(QDir(printed).entryList(QDir::Files).size(), 2) << listed;
            takeMessages();
        }
    }
}

TEST_F(SearchWindow, AClickOnTheHighlightedNameChoosesItAgain)
{
    choose(QStringLiteral("職員2"));
    type(form.Text1, "2005");
    click(form.Command7); // the registrant table, while 職員2 stays highlighted
    choose(QStringLiteral("職員2"));
    EXPECT_EQ(app.form4().report.mode, ReportMode::PersonalRecord);
    EXPECT_EQ(form.focusWidget(), form.Text1);
    click(form.Command6);
    click(form.Command3);
    dialogs.answer(true);
    click(form.Command4);
    EXPECT_EQ(QDir(path(QStringLiteral("印刷"))).entryList(QDir::Files),
              QStringList{QStringLiteral("個人被曝記録_20261207-101500.pdf")});
    // The keyboard still moves the choice.
    form.List1->setFocus();
    QTest::keyClick(form.List1, Qt::Key_Down);
    EXPECT_EQ(app.state.current.header.name, QStringLiteral("職員3"));
}

TEST_F(SearchWindow, PrintRefusesAFiscalYearThatShowRefuses)
{
    choose(QStringLiteral("職員1"));
    for (const char* year : {"", "1e20"}) {
        type(form.Text1, year);
        form.Command4->setEnabled(true); // as after another report was drawn
        click(form.Command4);
        EXPECT_EQ(takeMessages(), QStringList{QStringLiteral("表示年度を入力して下さい")}) << year;
        EXPECT_EQ(form.focusWidget(), form.Text1);
    }
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("印刷"))));
}

TEST_F(SearchWindow, WithoutAPrinterThePagesAreSavedAsPdfFiles)
{
    monthlyList("2005", "4");
    dialogs.answer(true);
    click(form.Command4);
    const QString folder = path(QStringLiteral("印刷"));
    EXPECT_EQ(
        dialogs.shown.last(),
        (ScriptedDialogs::Shown{Kind::Inform, QStringLiteral("プリンターが使用できないため、2ページをPDFファイルとして"
                                                             "フォルダ「印刷」に保存しました。\n") +
                                                  QDir::toNativeSeparators(folder)}));
    EXPECT_EQ(QDir(folder).entryList(QDir::Files),
              (QStringList{QStringLiteral("月別被曝一覧表_20261207-101500.pdf"),
                           QStringLiteral("月別被曝一覧表_20261207-101500_2.pdf")}));
    EXPECT_EQ(app.form4().report.nextRow, 41); // past the rows printed
    EXPECT_EQ(app.form4().report.mode, ReportMode::MonthlyList);
    EXPECT_TRUE(form.Command4->isEnabled());

    choose(QStringLiteral("職員1"));
    type(form.Text1, "2005");
    dialogs.answer(true);
    click(form.Command4); // mode 1: the chosen person's record, though the list is on the surface
    EXPECT_TRUE(QFile::exists(QDir(folder).filePath(QStringLiteral("個人被曝記録_20261207-101500.pdf"))));
    dialogs.answer(true);
    click(form.Command4); // the same second: the earlier file stays
    EXPECT_TRUE(QFile::exists(QDir(folder).filePath(QStringLiteral("個人被曝記録_20261207-101500-2.pdf"))));
}

TEST_F(SearchWindow, APrintThatWentNowhereIsToldWithTheExclamationIcon)
{
    writeBytes(path(QStringLiteral("印刷")), "a file where the folder would be");
    monthlyList("2005", "4");
    dialogs.answer(true);
    click(form.Command4);
    EXPECT_EQ(
        dialogs.shown.last(),
        (ScriptedDialogs::Shown{Kind::Warn, QStringLiteral("印刷できませんでした。PDFファイルも保存できませんでした"
                                                           "（フォルダ「%1」に書き込めません）")
                                                .arg(QDir::toNativeSeparators(path(QStringLiteral("印刷"))))}));
}

TEST_F(SearchWindow, AnEmptyRegistrantListStillDrawsTheReports)
{
    ASSERT_TRUE(SaveRegistrantList(app.dataDir, {}));
    click(form.Command1);
    EXPECT_EQ(form.List1->count(), 0);
    click(form.Command7);
    EXPECT_TRUE(reportDrawn());
    EXPECT_TRUE(form.Command4->isEnabled());
    monthlyList("2005", "4");
    EXPECT_EQ(app.form4().report.nextRow, 1);
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

TEST_F(SearchWindow, UnreadableFilesAreNamedOnceAfterTheReportIsDrawn)
{
    QFile::remove(app.dataDir.personalFile(QStringLiteral("職員3")));
    writeBytes(app.dataDir.personalFile(QStringLiteral("職員5")), QByteArray(" 5 \r\n"));
    click(form.Command7);
    EXPECT_EQ(takeMessages(), QStringList{QStringLiteral("次の個人データファイルを読み込めませんでした。\n"
                                                         "被曝Data/職員3.dat\n被曝Data/職員5.dat")});
    EXPECT_TRUE(reportDrawn());
    EXPECT_FALSE(app.form4().report.registrantSummary[2]);
    EXPECT_TRUE(app.form4().report.registrantSummary[3]);

    monthlyList("2005", "4");
    EXPECT_EQ(takeMessages().size(), 1);
    EXPECT_FALSE(app.form4().report.monthRows[2].readable);
    EXPECT_EQ(app.form4().report.monthRows[0].effective, 0.5);

    // After a name without a readable file nobody is chosen: nothing highlighted, "表示" disabled, and
    // the record of the person chosen before is not printed in its place.
    choose(QStringLiteral("職員1"));
    type(form.Text1, "2005");
    click(form.Command3);
    choose(QStringLiteral("職員3"));
    EXPECT_EQ(takeMessages(), QStringList{QStringLiteral("ファイル「被曝Data/職員3.dat」を読み込めません")});
    EXPECT_TRUE(form.List1->selectedItems().isEmpty());
    EXPECT_FALSE(form.Command3->isEnabled());
    EXPECT_FALSE(form.Command4->isEnabled());
    EXPECT_EQ(app.state.current.header.name, QString());
}

TEST_F(SearchWindow, RemovedPersonsCanBeListedAndShown)
{
    ASSERT_TRUE(CreatePersonalFile(app.dataDir, personHeader(QStringLiteral("退職者"), 99)));
    ASSERT_TRUE(AppendRemovedName(app.dataDir, QStringLiteral("退職者")));
    click(form.Command2);
    ASSERT_EQ(form.List1->count(), 1);
    choose(QStringLiteral("退職者"));
    EXPECT_EQ(app.state.current.header.registrationNumber, 99);
    EXPECT_EQ(app.state.registrants.count(), 40); // the reports keep covering the registrants
    type(form.Text1, "2005");
    click(form.Command3);
    EXPECT_TRUE(reportDrawn());

    QFile::remove(app.dataDir.listFile(RemovedNamesFile));
    click(form.Command2);
    EXPECT_EQ(form.List1->count(), 0);
}

TEST_F(SearchWindow, RegistrantListMissingIsEmptyDamagedIsReported)
{
    writeBytes(path(RegistrantNamesFile), QByteArray(" 5 \r\nA\r\n"));
    click(form.Command1);
    EXPECT_EQ(takeMessages(), QStringList{QStringLiteral("ファイル「登録者名.txt」の内容が正しくありません（1行目）")});
    EXPECT_EQ(form.List1->count(), 40);
    QFile::remove(path(RegistrantNamesFile));
    click(form.Command1);
    EXPECT_EQ(form.List1->count(), 0);
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

TEST_F(SearchWindow, TheRecordShowsTheChosenPersonAfterOtherReports)
{
    choose(QStringLiteral("職員2"));
    click(form.Command7);
    monthlyList("2005", "5");
    type(form.Text1, "2005");
    click(form.Command3);
    EXPECT_EQ(app.form4().report.mode, ReportMode::PersonalRecord);
    EXPECT_EQ(app.state.current.header.name, QStringLiteral("職員2"));
}

TEST_F(SearchWindow, LeavingShowsTheMenu)
{
    click(form.Command5);
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(app.form1().isVisible());
    open();
    form.close();
    EXPECT_TRUE(app.form1().isVisible());
}

} // namespace
