#include "core/files/ListFiles.h"
#include "core/files/PersonalFile.h"
#include "core/files/StoreCheck.h"
#include "core/texts/Messages.h"
#include "support/DataFiles.h"
#include "support/Stores.h"
#include "support/WindowTest.h"

#include <QCloseEvent>
#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::test;

namespace {

using Kind = ScriptedDialogs::Kind;

const QString Yamada = QStringLiteral("山田");

class CorrectionWindow : public WindowTest {
protected:
    void SetUp() override { makeStore(app.dataDir, {Yamada, QStringLiteral("鈴木")}); }

    void withRecords(const QList<MonthlyRecord>& records)
    {
        for (const MonthlyRecord& record : records)
            ASSERT_TRUE(AppendMonthlyRecord(app.dataDir, Yamada, record));
    }
    void open(const QString& name = Yamada)
    {
        click(app.form1().Command1);
        doubleClick(app.form2().List1, name);
        click(app.form2().Command8);
    }
    void chooseMonth(int row)
    {
        form.List1->clearSelection();
        QTest::mouseClick(form.List1->viewport(), Qt::LeftButton, {},
                          form.List1->visualItemRect(form.List1->item(row)).center());
    }
    void finish()
    {
        dialogs.answer(true);
        click(form.Command2);
    }
    QByteArray yamadaFile() const { return fileBytes(app.dataDir.personalFile(Yamada)); }
    QList<MonthlyRecord> yamadaRecords() const { return ReadPersonalFile(app.dataDir, Yamada)->records; }
    QStringList labels() const
    {
        QStringList shown;
        for (int i = 0; i < form.List1->count(); ++i)
            shown << form.List1->item(i)->text();
        return shown;
    }

    Form6& form = app.form6();
};

TEST_F(CorrectionWindow, NeedsAPersonShown)
{
    click(app.form1().Command1);
    click(app.form2().Command8);
    EXPECT_EQ(dialogs.shown, (QList<ScriptedDialogs::Shown>{{Kind::Inform, QStringLiteral("該当者を選択して下さい")}}));
    EXPECT_FALSE(form.isVisible());
}

TEST_F(CorrectionWindow, OpensWithThePersonAndTheMonthsInRecordOrder)
{
    withRecords({{200512}, {200504}, {200501}});
    open();
    ASSERT_TRUE(form.isVisible());
    EXPECT_FALSE(app.form2().isVisible());
    EXPECT_EQ(form.windowTitle(), QStringLiteral("入力済みデータの訂正"));
    EXPECT_EQ(form.size(), QSize(468, 669));
    EXPECT_EQ(form.Text1->text(), "1");
    EXPECT_EQ(form.Text2->text(), Yamada);
    EXPECT_EQ(form.Text4->text(), QStringLiteral("女"));
    EXPECT_EQ(form.Text5->text(), QStringLiteral("1965年04月12日"));
    EXPECT_EQ(form.Text3->text(), QStringLiteral("医師"));
    EXPECT_EQ(form.Text10->text(), QStringLiteral("放射線科"));
    EXPECT_EQ(form.Text7->text(), QStringLiteral("04-01-2005"));
    EXPECT_EQ(form.Text14->text(), QStringLiteral("なし"));
    EXPECT_EQ(labels(), (QStringList{" 2005年 12月", " 2005年 04月", " 2005年 01月"}));
    EXPECT_EQ(form.focusWidget(), form.Text10);
    EXPECT_FALSE(form.Command4->isEnabled());
    EXPECT_FALSE(form.Command3->isEnabled());
    EXPECT_TRUE(form.Text1->isReadOnly() && form.Text6->isReadOnly());
    EXPECT_EQ(form.Command3->toolTip(), QStringLiteral("この月のデータを削除する"));
    EXPECT_EQ(form.Text6->palette().color(QPalette::Base), QColor(255, 255, 192));
}

TEST_F(CorrectionWindow, APersonWithoutRecordsGetsTheHeaderWithTheFourEditedFields)
{
    open();
    type(form.Text7, QStringLiteral("2005/4/1"));
    type(form.Text10, QStringLiteral("外来"));
    type(form.Text3, QStringLiteral("看護師"));
    type(form.Text14, "1.5");
    finish();
    EXPECT_EQ(takeMessages(), (QStringList{QStringLiteral("訂正したデータを保存します。"),
                                           QStringLiteral("訂正したデータを保存しました。")}));
    EXPECT_EQ(yamadaFile(), crlfLines({" 1 ", "\x8e\x52\x93\x63", " 1 ", " 19650412 ", "\x8a\x4f\x97\x88",
                                       "\x8a\xc5\x8c\xec\x8e\x74", " 1 ", " 1.5 ", "2005/4/1"}));
    EXPECT_FALSE(form.isVisible());
    ASSERT_TRUE(app.form2().isVisible());
    EXPECT_EQ(app.form2().Text3->text(), QStringLiteral("看護師"));
    EXPECT_EQ(app.form2().Text10->text(), QStringLiteral("外来"));
}

// Sex and birth day typed by a slip are corrected: refused unless they are a sex and a day up to today, then
// stored with their history record before and after, the entry window and the totals following.
TEST_F(CorrectionWindow, CorrectsTheSexAndTheBirthDayWithTheirHistoryRecord)
{
    open();
    ASSERT_EQ(form.Text4->text(), QStringLiteral("女"));
    const QByteArray before = yamadaFile();
    for (const auto& [sex, born] : {std::pair{"おとこ", "1965年04月12日"}, std::pair{"男", "1965/02/30"},
                                    std::pair{"男", "2026/12/08"}, std::pair{"男", "1899/12/31"}}) {
        type(form.Text4, QString::fromUtf8(sex));
        type(form.Text5, QString::fromUtf8(born));
        finish();
    }
    EXPECT_EQ(yamadaFile(), before);
    const QString bornWrong = QStringLiteral("生年月日は「1965年04月12日」か「1965/04/12」のように、1900年1月1日から"
                                             "今日までの日付で入力して下さい");
    EXPECT_EQ(takeMessages(), (QStringList{QStringLiteral("訂正したデータを保存します。"),
                                           QStringLiteral("性別は「男」か「女」で入力して下さい"),
                                           QStringLiteral("訂正したデータを保存します。"), bornWrong,
                                           QStringLiteral("訂正したデータを保存します。"), bornWrong,
                                           QStringLiteral("訂正したデータを保存します。"), bornWrong}));
    type(form.Text5, QStringLiteral("1966/4/12"));
    finish();
    const PersonalHeader header = ReadPersonalFile(app.dataDir, Yamada)->header;
    EXPECT_EQ(header.sexCode, 0);
    EXPECT_EQ(header.dateOfBirth, 19660412);
    EXPECT_TRUE(historyChanges(app.dataDir)
                    .contains("登録内容の訂正|山田|0|性別 女、生年月日 19650412|性別 男、生年月日 19660412"));
    EXPECT_EQ(app.form2().Text4->text(), QStringLiteral("男"));
    EXPECT_EQ(app.form2().Text5->text(), QStringLiteral("1966年04月12日"));
    EXPECT_TRUE(VerifyStore(app.dataDir).faults.isEmpty());
}

TEST_F(CorrectionWindow, ChoosingAMonthShowsItAndCorrectionStoresTypedNumbers)
{
    withRecords({{200504, 0.5, 0, 0.25, 0.00123, QStringLiteral("腕")}});
    open();
    chooseMonth(0);
    EXPECT_EQ(form.Text6->text(), QStringLiteral(" 2005年 04月"));
    EXPECT_EQ(form.Text8->text(), "0.5");
    EXPECT_EQ(form.Text9->text(), "0");
    EXPECT_EQ(form.Text12->text(), "0.00123");
    EXPECT_EQ(form.Text13->text(), QStringLiteral("腕"));
    EXPECT_EQ(form.focusWidget(), form.Text8);
    QTest::keyClicks(form.Text8, "2.5"); // typed over the stored value, which is selected
    EXPECT_EQ(form.Text8->text(), "2.5");

    type(form.Text8, "M");
    type(form.Text12, "1.23E-03");
    type(form.Text13, QString());
    click(form.Command4);
    EXPECT_TRUE(form.Text8->text().isEmpty() && form.Text13->text().isEmpty());
    EXPECT_EQ(form.Text6->text(), QStringLiteral(" 2005年 04月")); // the month stays shown
    // A second Enter stores nothing over the correction: 訂正 and 削除 wait for a month to be chosen again.
    EXPECT_FALSE(form.Command4->isEnabled());
    EXPECT_FALSE(form.Command3->isEnabled());
    pressEnter(form.Command4);
    chooseMonth(0);
    EXPECT_EQ(form.Text8->text(), "0");
    EXPECT_EQ(form.Text12->text(), "0.00123");
    finish();
    EXPECT_EQ(yamadaRecords(), (QList<MonthlyRecord>{{200504, 0, 0, 0.25, 0.00123, QStringLiteral("―")}}));
}

// A value typed for the month chosen and left without 「訂正」 is never dropped while "saved": 全訂正終了
// asks to correct with it first; いいえ keeps the window with the value, はい stores it and its record.
TEST_F(CorrectionWindow, AValueTypedWithoutCorrectionIsAskedForBeforeSaving)
{
    withRecords({{200504, 1.05}});
    const QByteArray before = yamadaFile();
    open();
    chooseMonth(0);
    type(form.Text8, "7.77");
    const QString question = QStringLiteral(" 2005年 04月の入力した値は、まだ「訂正」されていません。\n"
                                            "この値で訂正してから保存しますか？");
    dialogs.answer(false);
    click(form.Command2);
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.Text8->text(), "7.77");
    EXPECT_EQ(yamadaFile(), before);
    dialogs.answer(true);
    finish();
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(yamadaRecords().first().effective, 7.77);
    EXPECT_EQ(takeMessages(), (QStringList{question, question, QStringLiteral("訂正したデータを保存します。"),
                                           QStringLiteral("訂正したデータを保存しました。")}));
    EXPECT_TRUE(historyChanges(app.dataDir).contains(QStringLiteral("訂正|山田|200504|実効 1.05").toUtf8()));
}

TEST_F(CorrectionWindow, CorrectionWithEveryBoxEmptyStoresZerosAndNoComment)
{
    withRecords({{200504, 1, 2, 3, 4, QStringLiteral("x")}});
    open();
    chooseMonth(0);
    for (QLineEdit* field : {form.Text8, form.Text9, form.Text11, form.Text12, form.Text13})
        type(field, QString());
    click(form.Command4);
    finish();
    EXPECT_EQ(yamadaRecords(), (QList<MonthlyRecord>{{200504, 0, 0, 0, 0, QStringLiteral("―")}}));
}

TEST_F(CorrectionWindow, TwoRecordsOfOneMonthActOnTheFirst)
{
    withRecords({{200504, 1}, {200505, 2}, {200504, 3}});
    open();
    chooseMonth(2);
    EXPECT_EQ(form.Text8->text(), "1");
    type(form.Text8, "9");
    click(form.Command4);
    dialogs.answer(true);
    chooseMonth(2);
    click(form.Command3);
    finish();
    EXPECT_EQ(yamadaRecords(), (QList<MonthlyRecord>{{200505, 2}, {200504, 3}}));
}

TEST_F(CorrectionWindow, DeletingEveryRecordLeavesTheHeaderAlone)
{
    const QByteArray header = yamadaFile();
    withRecords({{200504, 1}, {200505, 2}, {200506, 3}});
    open();
    chooseMonth(2); // the last position first
    dialogs.answer(false);
    click(form.Command3);
    EXPECT_EQ(labels().size(), 3);
    dialogs.answer(true);
    click(form.Command3);
    EXPECT_EQ(labels(), (QStringList{" 2005年 04月", " 2005年 05月"}));
    EXPECT_TRUE(form.Text6->text().isEmpty());
    EXPECT_FALSE(form.Command4->isEnabled() || form.Command3->isEnabled());
    for (int i = 0; i < 2; ++i) {
        chooseMonth(0);
        dialogs.answer(true);
        click(form.Command3);
    }
    EXPECT_EQ(form.List1->count(), 0);
    finish();
    EXPECT_EQ(yamadaFile(), header);
}

struct PastExposure {
    const char16_t* typed;
    double flag;
    double dose;
};

class CorrectionPastExposure : public CorrectionWindow, public testing::WithParamInterface<PastExposure> {};

TEST_P(CorrectionPastExposure, FlagAndDoseFollowTheBox)
{
    open();
    type(form.Text14, QString::fromUtf16(GetParam().typed));
    finish();
    const auto header = ReadPersonalHeader(app.dataDir, Yamada, 9);
    EXPECT_EQ(header->pastExposureFlag, GetParam().flag);
    EXPECT_EQ(header->pastDose, GetParam().dose);
}

INSTANTIATE_TEST_SUITE_P(Rows, CorrectionPastExposure,
                         testing::Values(PastExposure{u"0", 0, 0}, PastExposure{u"なし", 0, 0},
                                         PastExposure{u"x", 0, 0}, PastExposure{u"", 0, 0},
                                         PastExposure{u"1.5", 1, 1.5}, PastExposure{u"-2", 1, -2}));

TEST_F(CorrectionWindow, APastDoseIsShownInItsGeneralForm)
{
    PersonalHeader header = personHeader(Yamada);
    header.pastExposureFlag = 1;
    header.pastDose = 0.00123;
    ASSERT_TRUE(RewritePersonalFile(app.dataDir, Yamada, header, {}));
    open();
    EXPECT_EQ(form.Text14->text(), "0.00123");
}

TEST_F(CorrectionWindow, CancelAsksOnlyWhenMonthsWereChanged)
{
    withRecords({{200504, 1}});
    const QByteArray before = yamadaFile();
    open();
    type(form.Text7, "changed");
    type(form.Text10, "changed");
    click(form.Command1);
    EXPECT_TRUE(dialogs.shown.isEmpty());
    EXPECT_TRUE(app.form2().isVisible());

    click(app.form2().Command8);
    chooseMonth(0);
    type(form.Text8, "5");
    click(form.Command4);
    dialogs.answer(false);
    click(form.Command1);
    EXPECT_TRUE(form.isVisible());
    dialogs.answer(true);
    click(form.Command1);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(dialogs.shown.last().kind, ScriptedDialogs::Kind::Risky); // "はい" drops the corrections
    EXPECT_EQ(takeMessages(), (QStringList(2, QStringLiteral("訂正したデータがあります。訂正をキャンセルしますか？"))));
    EXPECT_EQ(yamadaFile(), before);
}

TEST_F(CorrectionWindow, ClosingByTheFrameIsCancel)
{
    withRecords({{200504, 1}});
    open();
    chooseMonth(0);
    click(form.Command4);
    dialogs.answer(false);
    form.close();
    EXPECT_TRUE(form.isVisible());
    dialogs.answer(true);
    form.close();
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(app.form2().isVisible());
}

TEST_F(CorrectionWindow, FinishingWithoutChangesRewritesTheSameBytes)
{
    withRecords({{200504, 0.1, 0, 1.5e-5, 0.00123, QStringLiteral("腕,胸")}, {200505}});
    const QByteArray before = yamadaFile();
    open();
    dialogs.answer(false);
    click(form.Command2); // Cancel at the question: nothing happens
    EXPECT_TRUE(form.isVisible());
    finish();
    EXPECT_EQ(yamadaFile(), before);
}

TEST_F(CorrectionWindow, AFileChangedByAnotherPcSinceItWasReadIsNotOverwritten)
{
    withRecords({{200504, 1}});
    open();
    withRecords({{200505, 2}}); // another PC saves May meanwhile
    const QByteArray changed = yamadaFile();
    chooseMonth(0);
    type(form.Text8, QStringLiteral("3"));
    click(form.Command4);
    finish();
    EXPECT_EQ(takeMessages().last(), messageOf(failure(FailureKind::ChangedMeanwhile, "被曝Data/山田.dat")));
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(yamadaFile(), changed);
}

TEST_F(CorrectionWindow, AFailedRewriteLeavesTheFileAndTheWindowAsTheyWere)
{
    withRecords({{200504, 1}});
    const QByteArray before = yamadaFile();
    open();
    ImmutableFile locked(app.dataDir.personalFile(Yamada));
    if (!locked.ok)
        GTEST_SKIP() << "this file system cannot make a file immutable";
    chooseMonth(0);
    dialogs.answer(true);
    click(form.Command3);
    finish();
    EXPECT_EQ(takeMessages().last(),
              QStringLiteral("ファイル「被曝Data/山田.dat」に書き込めません\n"
                             "原因：データフォルダに書き込むアクセス権がありません。フォルダの権限を確認して下さい。"));
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(yamadaFile(), before);
}

TEST_F(CorrectionWindow, TextsThatCannotBeStoredAreRefusedAndNothingIsWritten)
{
    withRecords({{200504, 1}});
    const QByteArray before = yamadaFile();
    open();
    chooseMonth(0);
    type(form.Text8, "1e999");
    click(form.Command4);
    EXPECT_EQ(takeMessages(), QStringList{QStringLiteral("実効線量「1e999」は10000 mSvを超えています")});
    type(form.Text8, "1");
    type(form.Text12, "-1"); // as the entry window and the imports refuse it
    click(form.Command4);
    EXPECT_EQ(takeMessages(), QStringList{QStringLiteral("内部被曝「-1」は負の値です")});
    type(form.Text12, "0");
    type(form.Text8, "2");
    type(form.Text13, QStringLiteral("𠮷"));
    click(form.Command4); // refused while the comment is still shown
    EXPECT_EQ(takeMessages(), QStringList{QStringLiteral("保存できない文字「𠮷」が含まれています")});
    EXPECT_EQ(form.Text13->text(), QStringLiteral("𠮷"));
    finish();
    EXPECT_EQ(yamadaFile(), before);
}

TEST_F(CorrectionWindow, AnUnreadableFileKeepsTheWindowClosed)
{
    writeBytes(app.dataDir.personalFile(QStringLiteral("鈴木")),
               fileBytes(app.dataDir.personalFile(QStringLiteral("鈴木"))) + " 200504 \r\n 1");
    open(QStringLiteral("鈴木"));
    EXPECT_EQ(takeMessages(),
              QStringList{QStringLiteral("ファイル「被曝Data/鈴木.dat」の内容が正しくありません（12行目）")});
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(app.form2().isVisible());
}

TEST_F(CorrectionWindow, EnterWalksTheDoseBoxesToCorrection)
{
    withRecords({{200504, 1}});
    open();
    chooseMonth(0);
    for (QLineEdit* field : {form.Text8, form.Text9, form.Text11, form.Text12})
        pressEnter(field);
    EXPECT_EQ(form.focusWidget(), form.Text13);
    pressEnter(form.Text13);
    EXPECT_EQ(form.focusWidget(), form.Command4);
}

TEST_F(CorrectionWindow, MoreThan500RecordsAreShownAndRewrittenWhole)
{
    QList<MonthlyRecord> records;
    for (int i = 0; i < 510; ++i)
        records.append({198504 + i, i * 0.5});
    ASSERT_TRUE(RewritePersonalFile(app.dataDir, Yamada, personHeader(Yamada), records));
    open();
    EXPECT_EQ(form.List1->count(), 510);
    finish();
    EXPECT_EQ(yamadaRecords(), records);
}

} // namespace
