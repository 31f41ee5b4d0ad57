#include "core/changes/OtherDoseImport.h"
#include "core/files/ListFiles.h"
#include "core/files/PersonalFile.h"
#include "core/files/WriterLock.h"
#include "core/rules/TotalsColumns.h"
#include "support/Stores.h"
#include "support/WindowTest.h"

#include <QFileInfo>

using namespace velmora;
using namespace velmora::test;

namespace {

using Kind = ScriptedDialogs::Kind;

class AdditionsWindow : public WindowTest {
protected:
    void SetUp() override
    {
        makeStore(app.dataDir, {QStringLiteral("山田"), QStringLiteral("鈴木")});
        ASSERT_TRUE(AppendMonthlyRecord(app.dataDir, QStringLiteral("山田"), {202606, 30, 0, 0, 0, NoComment}));
    }
    void typeDose(const QString& facility, const QString& from, const QString& to, const QString& effective,
                  const QString& lens = {})
    {
        type(form.FacilityBox, facility);
        type(form.FromMonthBox, from);
        type(form.ToMonthBox, to);
        type(form.EffectiveBox, effective);
        type(form.LensBox, lens);
    }
    QString cell(QTableWidget* table, int row, int column) const { return table->item(row, column)->text(); }

    OtherFacilityWindow& form = app.otherFacilityWindow();
};

TEST_F(AdditionsWindow, EntersCorrectsAndDeletesWhatCountsBesideTheMonthsFromTheEntryWindow)
{
    click(app.form1().Command1);
    doubleClick(app.form2().List1, QStringLiteral("山田"));
    // 鈴木's entry stands first in the list: 山田's rows are not the list's rows.
    const OtherFacilityDose suzukis{
        QStringLiteral("鈴木"), QStringLiteral("第三病院"), 202605, 202605, 2, 0, 0, 0, NoComment};
    ASSERT_TRUE(WriteOtherFacilityDoses(app.dataDir, {suzukis}));
    click(app.form2().Command11);
    ASSERT_TRUE(form.isVisible());
    EXPECT_EQ(form.PersonBox->currentText(), QStringLiteral("山田"));
    EXPECT_TRUE(form.AddDoseButton->isEnabled());

    typeDose(QStringLiteral("第二病院"), QStringLiteral("２０２６/７"), QString(), QStringLiteral("25"), "M");
    click(form.AddDoseButton);
    typeDose(QStringLiteral("第二病院"), QStringLiteral("2026/13"), QString(), QStringLiteral("1"));
    click(form.AddDoseButton);
    typeDose(QStringLiteral("第二病院"), QStringLiteral("2027/03"), QStringLiteral("2027/04"), QStringLiteral("1"));
    click(form.AddDoseButton);
    typeDose(QStringLiteral("第二病院"), QStringLiteral("2026/08"), QString(), QStringLiteral("-1"));
    click(form.AddDoseButton);
    EXPECT_EQ(takeMessages(),
              (QStringList{QStringLiteral("年月は「2025/05」のように、1950年～2100年の1～12月で入力して下さい"),
                           QStringLiteral("期間は同じ年度の中で、開始から終了の順に入力して下さい"),
                           QStringLiteral("実効線量「-1」は負の値です")}));
    EXPECT_EQ(
        *ReadOtherFacilityDoses(app.dataDir),
        (QList<OtherFacilityDose>{
            suzukis, {QStringLiteral("山田"), QStringLiteral("第二病院"), 202607, 202607, 25, 0, 0, 0, NoComment}}));
    ASSERT_EQ(form.DoseTable->rowCount(), 1);
    EXPECT_EQ(cell(form.DoseTable, 0, 1), QStringLiteral("2026/07"));

    // A row chosen fills the fields; 訂正 replaces it.
    form.DoseTable->selectRow(0);
    EXPECT_EQ(form.EffectiveBox->text(), QStringLiteral("25"));
    type(form.ToMonthBox, QStringLiteral("202609")); // six digits: the month as written
    type(form.EffectiveBox, QStringLiteral("24.5"));
    click(form.ChangeDoseButton);
    EXPECT_EQ(cell(form.DoseTable, 0, 1), QStringLiteral("2026/07～2026/09"));
    EXPECT_EQ(ReadOtherFacilityDoses(app.dataDir)->value(0), suzukis);
    EXPECT_EQ(ReadOtherFacilityDoses(app.dataDir)->value(1).effective, 24.5);

    // 鈴木's pregnancy, open until the delivery is known.
    form.PersonBox->setCurrentIndex(form.PersonBox->findData(QStringLiteral("鈴木")));
    EXPECT_EQ(form.DoseTable->rowCount(), 1);
    type(form.FromDayBox, QStringLiteral("2026年6月10日"));
    click(form.AddDeclarationButton);
    EXPECT_EQ(*ReadDeclarations(app.dataDir),
              (QList<Declaration>{{QStringLiteral("鈴木"), DeclarationKind::Pregnancy, 20260610, 0, NoComment}}));
    form.DeclarationTable->selectRow(0);
    type(form.ToDayBox, QStringLiteral("2026/02/30"));
    click(form.ChangeDeclarationButton);
    EXPECT_EQ(takeMessages(), QStringList{QStringLiteral("日付は「2025/06/10」のように、ある日で入力して下さい")});
    type(form.ToDayBox, QStringLiteral("20270310")); // eight digits: the day as written
    click(form.ChangeDeclarationButton);
    EXPECT_EQ(ReadDeclarations(app.dataDir)->value(0).to, 20270310);
    dialogs.answer(true);
    click(form.DeleteDeclarationButton);
    EXPECT_EQ(ReadDeclarations(app.dataDir)->size(), 0);

    // Another program changed the list meanwhile, keeping its length: nothing is stored over it.
    ASSERT_TRUE(WriteOtherFacilityDoses(app.dataDir, {suzukis, suzukis}));
    form.PersonBox->setCurrentIndex(0);
    form.DoseTable->selectRow(0);
    dialogs.answer(true);
    click(form.DeleteDoseButton);
    EXPECT_TRUE(takeMessages().last().contains(QStringLiteral("変更されました")));
    EXPECT_EQ(form.DoseTable->rowCount(), 0);
    EXPECT_EQ(*ReadOtherFacilityDoses(app.dataDir), (QList<OtherFacilityDose>{suzukis, suzukis}));
    click(form.CloseButton);
    EXPECT_TRUE(app.form2().isVisible());
}

TEST_F(AdditionsWindow, TakesAWomansDeclarationOnlyForAWomanAndForgetsTheFieldsOfThePersonBefore)
{
    PersonalHeader man = personHeader(QStringLiteral("佐藤"), 3);
    man.sexCode = 0;
    ASSERT_TRUE(CreatePersonalFile(app.dataDir, man));
    ASSERT_TRUE(SaveRegistrantList(app.dataDir, {QStringLiteral("山田"), QStringLiteral("鈴木"), man.name}));
    click(app.form1().Command1);
    doubleClick(app.form2().List1, man.name);
    click(app.form2().Command11);
    type(form.FromDayBox, QStringLiteral("2026/06/10"));
    for (int kind = 0; kind < 4; ++kind) {
        form.KindBox->setCurrentIndex(kind);
        click(form.AddDeclarationButton);
    }
    const QStringList refusals = takeMessages();
    ASSERT_EQ(refusals.size(), 3);
    EXPECT_EQ(refusals[0],
              QStringLiteral("「妊娠」は女性の申告です。佐藤は男性として登録されているため入力できません"));
    EXPECT_EQ(ReadDeclarations(app.dataDir)->value(0).kind, DeclarationKind::DesignatedDoctor);

    typeDose(QStringLiteral("第二病院"), QStringLiteral("2026/07"), QString(), QStringLiteral("1"));
    form.PersonBox->setCurrentIndex(form.PersonBox->findData(QStringLiteral("山田")));
    for (const QLineEdit* field : {form.FacilityBox, form.FromMonthBox, form.EffectiveBox, form.FromDayBox})
        EXPECT_TRUE(field->text().isEmpty()) << field->objectName().toStdString();
}

TEST_F(AdditionsWindow, OpensFromTheTotalsWithTheLockAndTheTotalsCountWhatWasEntered)
{
    click(app.form1().Command4);
    TotalsWindow& totals = app.totalsWindow();
    totals.FrozenTable->selectRow(0);
    writeBytes(path(".velmora-writing-k1ll3d00"), "left by a copy killed while it wrote");
    click(totals.AdditionsButton);
    ASSERT_TRUE(form.isVisible());
    EXPECT_TRUE(QFileInfo::exists(path(WriterLock::FileName))); // no second copy may enter data meanwhile
    EXPECT_FALSE(QFileInfo::exists(path(".velmora-writing-k1ll3d00")));
    EXPECT_TRUE(form.AddDoseButton->isEnabled());

    // Another facility's list of everyone, read twice: the second time adds nothing.
    writeBytes(path("other.csv"), QStringLiteral("氏名,施設名,開始年月,終了年月,実効線量,水晶体,皮膚,内部被曝\r\n"
                                                 "山田,第二病院,2026/10,2026/12,25,1,M,\r\n"
                                                 "山田,第二病院,2026/04,2027/04,1,0,0,0\r\n"
                                                 "佐々木,第二病院,2026/10,,1,0,0,0\r\n")
                                      .toUtf8());
    for (int round = 0; round < 2; ++round) {
        dialogs.answerFile(path("other.csv"));
        if (round == 0)
            dialogs.answer(true);
        click(form.ImportButton);
    }
    EXPECT_EQ(dialogs.shown.value(1).kind, ScriptedDialogs::Kind::Doubtful); // rows left out: Cancel the default
    const QStringList messages = takeMessages();
    ASSERT_EQ(messages.size(), 5); // each file dialog, the question, what was taken, what the second read found
    EXPECT_TRUE(messages[1].startsWith(QStringLiteral("「other.csv」から他施設での線量を2件取り込みます。")));
    // A period across fiscal years, as a leaving record may hand it on, is taken and named.
    EXPECT_TRUE(messages[1].contains(
        QStringLiteral("年度をまたぐ期間の行（取り込み、集計では要確認とします）：1行\n3行目（山田）")));
    EXPECT_TRUE(messages[1].contains(QStringLiteral("4行目（佐々木）")));
    EXPECT_TRUE(messages[4].contains(QStringLiteral("同じ内容が登録済みの行（取り込みません）：2行")));
    EXPECT_EQ(ReadOtherFacilityDoses(app.dataDir)->size(), 2);

    click(form.CloseButton);
    EXPECT_FALSE(QFileInfo::exists(path(WriterLock::FileName)));
    // The totals were gathered again: 30 here and 25 elsewhere exceed the year.
    const TotalsRow row = totals.shownRows().first();
    EXPECT_EQ(cellText(row, TotalsColumn::EffectiveYear, 2026), "55");
    EXPECT_EQ(cellText(row, TotalsColumn::OtherEffectiveYear, 2026), "25");
    EXPECT_EQ(row.verdict(), Verdict::Exceeded);
    EXPECT_FALSE(totals.TotalsTable->isColumnHidden(15)); // 他施設 実効, now that the year has some
    totals.FrozenTable->selectRow(0); // the panel shows them apart, before the quarters that count them
    EXPECT_EQ(totals.PersonMonths->verticalHeaderItem(12)->text(), QStringLiteral("他施設"));
    EXPECT_EQ(totals.PersonMonths->item(12, 0)->text(), "25");
    EXPECT_EQ(totals.PersonMonths->item(15, 0)->text(), "25"); // Q3, October to December
}

TEST_F(AdditionsWindow, OnlyShowsWhileAnotherCopyEntersData)
{
    WriterLock other(app.dataDir);
    ASSERT_TRUE(other.tryLock());
    click(app.form1().Command4);
    click(app.totalsWindow().AdditionsButton);
    EXPECT_EQ(takeMessages().size(), 1); // who holds the lock
    ASSERT_TRUE(form.isVisible());
    EXPECT_FALSE(form.AddDoseButton->isEnabled());
    EXPECT_FALSE(form.ShowOnlyNote->text().isEmpty());
    click(form.CloseButton);
    EXPECT_TRUE(other.confirmHeld()); // the other copy's lock stays theirs
}

} // namespace

namespace {

// The facility named on the printed pages is kept as typed, with the lock, and read back when reopened.
TEST_F(AdditionsWindow, KeepsTheFacilityForThePrintedPages)
{
    click(app.form1().Command4);
    click(app.totalsWindow().AdditionsButton);
    type(form.FacilityNameBox, QString(LongestFacilityText + 1, QChar(0x75C5)));
    click(form.SaveFacilityButton);
    EXPECT_FALSE(QFileInfo::exists(path(FacilityFile)));
    type(form.FacilityNameBox, QStringLiteral("ベルモラ総合病院"));
    type(form.ResponsibleNameBox, QStringLiteral("佐藤　次郎"));
    click(form.SaveFacilityButton);
    EXPECT_EQ(takeMessages(), (QStringList{QStringLiteral("各欄は40文字以内で入力して下さい"),
                                           QStringLiteral("事業所を保存しました")}));
    EXPECT_EQ(ReadFacility(app.dataDir),
              (Facility{QStringLiteral("ベルモラ総合病院"), {}, QStringLiteral("佐藤　次郎")}));
    click(form.CloseButton);
    click(app.totalsWindow().AdditionsButton);
    EXPECT_EQ(form.ResponsibleNameBox->text(), QStringLiteral("佐藤　次郎"));
}

} // namespace
