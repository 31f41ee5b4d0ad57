#include "core/changes/RecordedWrites.h"
#include "core/files/ChangeHistory.h"
#include "core/files/Examinations.h"
#include "core/files/HistoryAgreement.h"
#include "core/files/PersonalFile.h"
#include "support/PdfText.h"
#include "support/Stores.h"
#include "support/WindowTest.h"

using namespace velmora;
using namespace velmora::test;

namespace {

class ExaminationsWindow : public WindowTest {
protected:
    void SetUp() override
    {
        makeStore(app.dataDir, {QStringLiteral("山田"), QStringLiteral("鈴木")});
        ASSERT_TRUE(AppendMonthlyRecord(app.dataDir, QStringLiteral("山田"), {202511, 1.5, 2, 3, 0, NoComment}));
        ASSERT_TRUE(WriteExaminations(app.dataDir, {{QStringLiteral("鈴木"), 20260801, ExaminationKind::Periodic}}));
    }
    // Presses keys on whatever has the focus, as the operator does.
    void keys(Qt::Key key, int times = 1)
    {
        for (int at = 0; at < times; ++at)
            QTest::keyClick(form.focusWidget(), key);
    }
    void typeHere(const QString& text) { QTest::keyClicks(form.focusWidget(), text); }

    ExaminationWindow& form = app.examinationWindow();
};

// From the totals, by keyboard alone: the overdue person first, an examination entered with an item left out and
// a finding, stored with its history record; a backup generation when the window closes; the menu's line.
TEST_F(ExaminationsWindow, EntersAnExaminationByKeyboardWithItsHistoryAndABackupAfterwards)
{
    QTemporaryDir backups;
    dialogs.answerFolder(backups.path());
    emit app.form1().BackupLabel->linkActivated(QStringLiteral("folder"));
    takeMessages();
    QCoreApplication::processEvents();
    EXPECT_TRUE(app.form1().ExaminationLabel->text().contains(QStringLiteral("記録なし 1名")));
    click(app.form1().Command4);
    click(app.totalsWindow().ExaminationsButton);
    ASSERT_TRUE(form.isVisible());
    EXPECT_EQ(form.ScheduleTable->item(0, 0)->text(), QStringLiteral("山田"));
    EXPECT_EQ(form.ScheduleTable->item(0, 4)->text(), QStringLiteral("記録なし"));
    EXPECT_EQ(form.ScheduleTable->item(1, 3)->text(), QStringLiteral("2027/02/01"));

    // The schedule has the focus with 山田 chosen; Tab on to the fields of the examination.
    ASSERT_EQ(form.focusWidget(), form.ScheduleTable);
    keys(Qt::Key_Tab, 2); // past the person's examinations to the day
    ASSERT_EQ(form.focusWidget(), form.DayBox);
    typeHere(QStringLiteral("2026/11/20"));
    keys(Qt::Key_Tab, 3); // the kind, the doctor's instructions, the exposure history
    keys(Qt::Key_Tab);    // white cells: 所見あり
    keys(Qt::Key_Down);
    keys(Qt::Key_Tab); // red cells: 省略
    keys(Qt::Key_Up);
    ASSERT_EQ(form.focusWidget(), form.ItemBoxes[2]);
    keys(Qt::Key_Tab, 3); // eyes, skin, then 追加
    ASSERT_EQ(form.focusWidget(), form.AddButton);
    keys(Qt::Key_Space);
    EXPECT_EQ(takeMessages(), QStringList());
    Examination entered{QStringLiteral("山田"), 20261120, ExaminationKind::Periodic};
    entered.items[1] = ItemResult::Findings;
    entered.items[2] = ItemResult::LeftOut;
    EXPECT_EQ(ReadExaminations(app.dataDir)->last(), entered);
    const auto history = ReadChangeHistory(app.dataDir);
    ASSERT_TRUE(history);
    EXPECT_EQ(history->records.last().change.kind, ChangeKind::Examination);
    EXPECT_EQ(
        history->records.last().change.after,
        QStringLiteral("実施日 20261120、種別 定期、被ばく歴 所見なし、白血球 所見あり、赤血球 省略、眼 所見なし、"
                       "皮膚 所見なし、医師の指示 なし"));
    EXPECT_TRUE(filesShow(app.dataDir, history->records.last())); // the record is one --verify finds made

    // The same day again, a day to come and an item required at hiring: refused, nothing stored.
    form.DayBox->setText(QStringLiteral("2026/11/20"));
    click(form.AddButton);
    form.DayBox->setText(QStringLiteral("2026/12/08"));
    click(form.AddButton);
    form.DayBox->setText(QStringLiteral("2026/11/21"));
    form.KindBox->setCurrentIndex(form.KindBox->findData(static_cast<int>(ExaminationKind::Hiring)));
    form.ItemBoxes[2]->setCurrentIndex(form.ItemBoxes[2]->findData(static_cast<int>(ItemResult::LeftOut)));
    click(form.AddButton);
    EXPECT_EQ(takeMessages(), (QStringList{QStringLiteral("同じ日の健康診断が登録済みです。訂正する場合は一覧で選んで"
                                                          "「訂正」として下さい"),
                                           QStringLiteral("実施日が今日より後の日付です"),
                                           QStringLiteral("雇入れ時・配置替え時の健康診断では、血液（項目2・3）と皮膚"
                                                          "（項目5）の検査は省略できません")}));
    EXPECT_EQ(ReadExaminations(app.dataDir)->size(), 2);

    // An examination entered meanwhile on another PC: nothing is stored over it, the window shows it, and the
    // same entry again is stored beside it.
    const QList<Examination> shown = *ReadExaminations(app.dataDir);
    QList<Examination> elsewhere = shown;
    elsewhere.append({QStringLiteral("山田"), 20261201, ExaminationKind::Periodic});
    ASSERT_TRUE(SaveExaminations(app.dataDir, shown, elsewhere));
    form.DayBox->setText(QStringLiteral("2026/11/25"));
    form.KindBox->setCurrentIndex(form.KindBox->findData(static_cast<int>(ExaminationKind::Periodic)));
    click(form.AddButton);
    EXPECT_EQ(takeMessages(), QStringList{QStringLiteral("「健康診断.txt」は、表示した後に別のPCかプログラムで変更"
                                                         "されました。保存していません。表示し直しましたので、もう一度"
                                                         "行って下さい")});
    EXPECT_EQ(*ReadExaminations(app.dataDir), elsewhere);
    EXPECT_EQ(form.ScheduleTable->item(1, 1)->text(), QStringLiteral("2026/12/01"));
    click(form.AddButton);
    EXPECT_EQ(ReadExaminations(app.dataDir)->size(), 4);

    // The doctor's sheet opens over the window and takes input itself.
    click(form.SheetButton);
    EXPECT_EQ(QApplication::activeModalWidget()->objectName(), QStringLiteral("DoctorSheetWindow"));
    QApplication::activeModalWidget()->close();

    // The sheets of everyone due by a month, one page each: in February 2027 鈴木's, whose last was in August.
    form.DueMonthBox->setText(QStringLiteral("2027/01"));
    click(form.DueSheetsButton);
    form.DueMonthBox->setText(QStringLiteral("2027/02"));
    dialogs.answer(true);
    click(form.DueSheetsButton);
    EXPECT_EQ(takeMessages().mid(0, 2),
              (QStringList{
                  QStringLiteral("2027年1月までに期限となる人はいません"),
                  QStringLiteral("2027年2月までに期限となる1名の「医師に示す線量」を印刷します。プリンターＯＫ？")}));
    const QString sheets = path(QStringLiteral("印刷/健康診断_医師に示す線量_20261207-101500.pdf"));
    EXPECT_EQ(pdfPageCount(sheets), 1);
    const QList<PdfWord> words = pdfWords(sheets);
    EXPECT_TRUE(
        std::any_of(words.begin(), words.end(), [](const PdfWord& w) { return w.text == QStringLiteral("鈴木"); }));

    form.close();
    EXPECT_EQ(QDir(backups.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 1);
    EXPECT_TRUE(app.form1().ExaminationLabel->text().contains(QStringLiteral("期限切れの人はいません")));
}

// Two persons in a row: the form is emptied once the first is stored and shows the second's own latest
// examination, so that no finding or instruction of the first is stored for the second; the first stays chosen
// when the schedule re-sorts.
TEST_F(ExaminationsWindow, NeverCarriesOnePersonsFindingsToTheNext)
{
    click(app.form1().Command4);
    click(app.totalsWindow().ExaminationsButton);
    ASSERT_EQ(form.ScheduleTable->item(0, 0)->text(), QStringLiteral("山田"));
    const auto fields = [&] {
        QStringList texts{form.DayBox->text(), form.KindBox->currentText(),
                          form.InstructedBox->isChecked() ? QStringLiteral("指示") : QString()};
        for (const QComboBox* box : form.ItemBoxes)
            texts << box->currentText();
        return texts.join(QLatin1Char(' '));
    };
    const QString empty = QStringLiteral(" 定期  所見なし 所見なし 所見なし 所見なし 所見なし");
    EXPECT_EQ(fields(), empty);
    form.DayBox->setText(QStringLiteral("2026/11/20"));
    form.ItemBoxes[1]->setCurrentIndex(form.ItemBoxes[1]->findText(QStringLiteral("所見あり")));
    form.InstructedBox->setChecked(true);
    click(form.AddButton);
    EXPECT_EQ(fields(), empty);
    EXPECT_EQ(form.ScheduleTable->item(form.ScheduleTable->currentRow(), 0)->text(), QStringLiteral("山田"));
    EXPECT_EQ(form.ScheduleTable->item(1, 0)->text(), QStringLiteral("山田")); // due after 鈴木 now

    form.ScheduleTable->selectRow(0);
    EXPECT_EQ(fields(), QStringLiteral("2026/08/01 定期  所見なし 所見なし 所見なし 所見なし 所見なし"));
    form.DayBox->setText(QStringLiteral("2026/11/21"));
    click(form.AddButton);
    EXPECT_EQ(takeMessages(), QStringList());
    EXPECT_EQ(ReadExaminations(app.dataDir)->last(),
              (Examination{QStringLiteral("鈴木"), 20261121, ExaminationKind::Periodic}));

    // Before the 15th birthday refused; the examination at hiring before the registration day taken.
    form.ScheduleTable->selectRow(1);
    form.DayBox->setText(QStringLiteral("1980/04/11"));
    click(form.AddButton);
    form.DayBox->setText(QStringLiteral("2001/04/01"));
    click(form.AddButton);
    EXPECT_EQ(takeMessages(), QStringList{QStringLiteral("実施日が15歳の誕生日より前の日付です")});
    EXPECT_EQ(ReadExaminations(app.dataDir)->last().day, 20010401);
}

} // namespace
