#include "core/files/Cp932.h"
#include "core/files/DoseAdditions.h"
#include "core/files/Dosimeters.h"
#include "core/files/FacilitySettings.h"
#include "core/files/ImportLayouts.h"
#include "core/files/ListFiles.h"
#include "core/files/PersonalFile.h"
#include "gui/entry/ImportLayoutWindow.h"
#include "gui/entry/ServiceReviewWindow.h"
#include "support/PdfText.h"
#include "support/Stores.h"
#include "support/WindowTest.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::test;

namespace {

const QString EnteredMonthMessage = QStringLiteral("この年月のデータは既に入力済みです\n"
                                                   "保存済みの値を変えるには、氏名をダブルクリックしてから"
                                                   "「データ訂正」で訂正して下さい。");

using Kind = ScriptedDialogs::Kind;

class EntryWindow : public WindowTest {
protected:
    void SetUp() override
    {
        makeStore(app.dataDir, Names);
        openEntry();
    }
    void openEntry()
    {
        click(app.form1().Command1);
        ASSERT_TRUE(form.isVisible());
    }
    void doubleClick(const QString& name) { WindowTest::doubleClick(form.List1, name); }
    void setMonth(const QString& year, const QString& month)
    {
        type(form.Text7, year);
        pressEnter(form.Text7);
        type(form.Text6, month);
        pressEnter(form.Text6);
    }
    // Shows a person, types the four doses and the comment and confirms.
    void confirm(const QString& name, const QStringList& doses, const QString& comment = QString())
    {
        doubleClick(name);
        QLineEdit* fields[] = {form.Text8, form.Text9, form.Text11, form.Text12};
        for (int i = 0; i < 4; ++i)
            type(fields[i], doses.value(i));
        type(form.Text13, comment);
        click(form.Command4);
    }
    void saveAll()
    {
        dialogs.answer(true);
        click(form.Command3);
    }
    QList<MonthlyRecord> recordsOf(const QString& name) const
    {
        const auto file = ReadPersonalFile(app.dataDir, name);
        EXPECT_TRUE(file) << name.toStdString();
        return file ? file->records : QList<MonthlyRecord>();
    }

    const QStringList Names = {QStringLiteral("山田"), QStringLiteral("鈴木"), QStringLiteral("髙橋")};
    Form2& form = app.form2();
};

TEST_F(EntryWindow, ControlsStandAtTheirTwipsWithTheirCaptions)
{
    EXPECT_EQ(form.windowTitle(), QStringLiteral("データ入力／訂正"));
    EXPECT_EQ(form.size(), QSize(508, 729));
    EXPECT_EQ(form.List1->geometry(), QRect(16, 32, 185, 604));
    EXPECT_EQ(form.Command4->geometry(), QRect(296, 552, 121, 33));
    EXPECT_EQ(form.Command4->text(), QStringLiteral("確  定"));
    EXPECT_EQ(form.Command2->text(), QStringLiteral("EXIT/cancel"));
    EXPECT_EQ(form.Text13->geometry(), QRect(336, 512, 145, 24));
    EXPECT_EQ(form.Text1->palette().color(QPalette::Base), QColor(192, 255, 255));
    EXPECT_TRUE(form.findChild<QLabel*>("Label19")->font().bold());
    EXPECT_EQ(form.findChild<QLabel*>("Label19")->text(), QStringLiteral("M"));
    EXPECT_TRUE(form.findChild<QLabel*>("Label18")->font().bold());
    EXPECT_FALSE(form.findChild<QLabel*>("Label17")->font().bold());
    EXPECT_EQ(form.focusWidget(), form.List1);
    EXPECT_EQ(form.List1->count(), 3);
}

TEST_F(EntryWindow, EnterLocksTheTargetMonthFieldByFieldAndResetUnlocksIt)
{
    pressEnter(form.Text7); // empty: nothing happens
    EXPECT_TRUE(form.Text7->isEnabled());
    setMonth("2005", "4");
    EXPECT_FALSE(form.Text7->isEnabled());
    EXPECT_FALSE(form.Text6->isEnabled());
    EXPECT_EQ(form.Text7->text(), "2005");
    EXPECT_EQ(form.focusWidget(), form.Text8);
    click(form.Command7);
    EXPECT_TRUE(form.Text7->isEnabled() && form.Text6->isEnabled());
    EXPECT_TRUE(form.Text7->text().isEmpty() && form.Text6->text().isEmpty());
}

TEST_F(EntryWindow, EnterWalksTheDoseFieldsToConfirmWhichEnterPresses)
{
    setMonth("2005", "4");
    doubleClick(QStringLiteral("鈴木"));
    EXPECT_EQ(form.focusWidget(), form.Text8);
    for (QLineEdit* field : {form.Text8, form.Text9, form.Text11, form.Text12})
        pressEnter(field);
    EXPECT_EQ(form.focusWidget(), form.Text13);
    EXPECT_EQ(form.Text13->selectedText(), QStringLiteral("―")); // typing replaces the "no comment" mark
    pressEnter(form.Text13);
    EXPECT_EQ(form.focusWidget(), form.Command4);
    type(form.Text9, "0.2");
    form.Command4->setFocus();
    pressEnter(form.Command4);
    EXPECT_EQ(app.state.pendingEntries[1].lens, 0.2);
}

TEST_F(EntryWindow, DoubleClickShowsThePersonAndFreshDoseFields)
{
    setMonth("2005", "4");
    type(form.Text8, "9.9");
    doubleClick(QStringLiteral("髙橋"));
    EXPECT_EQ(form.Text1->text(), "3");
    EXPECT_EQ(form.Text2->text(), QStringLiteral("髙橋"));
    EXPECT_EQ(form.Text4->text(), QStringLiteral("女"));
    EXPECT_EQ(form.Text5->text(), QStringLiteral("1965年04月12日"));
    EXPECT_EQ(form.Text3->text(), QStringLiteral("医師"));
    EXPECT_EQ(form.Text10->text(), QStringLiteral("放射線科"));
    EXPECT_TRUE(form.Text8->text().isEmpty());
    EXPECT_EQ(form.Text13->text(), QStringLiteral("―"));
    EXPECT_EQ(form.focusWidget(), form.Text8);
}

TEST_F(EntryWindow, AfterAnUnreadableFileNobodyIsShownAndNothingCanBeConfirmed)
{
    writeBytes(app.dataDir.personalFile(QStringLiteral("鈴木")), QByteArray(" 2 \r\n"));
    setMonth("2005", "4");
    doubleClick(QStringLiteral("山田"));
    type(form.Text8, "3");
    doubleClick(QStringLiteral("鈴木"));
    EXPECT_EQ(takeMessages(),
              QStringList{QStringLiteral("ファイル「被曝Data/鈴木.dat」の内容が正しくありません（2行目）")});
    EXPECT_TRUE(form.Text2->text().isEmpty() && form.Text1->text().isEmpty() && form.Text8->text().isEmpty());
    type(form.Text8, "3");
    click(form.Command4);
    EXPECT_EQ(takeMessages(), QStringList{QStringLiteral("正しく入力して下さい")});
    EXPECT_EQ(app.state.pendingEntries[0].effective, 0); // 山田 keeps nothing typed after him
}

struct RefusedConfirm {
    const char* name;
    const char16_t* year;
    const char16_t* month;
    bool showPerson;
    const char16_t* dose;
    const char16_t* message;
};

class EntryWindowRefusal : public EntryWindow, public testing::WithParamInterface<RefusedConfirm> {};

TEST_P(EntryWindowRefusal, RefusesTheConfirmationAndKeepsThePendingValues)
{
    const auto& row = GetParam();
    type(form.Text7, QString::fromUtf16(row.year));
    type(form.Text6, QString::fromUtf16(row.month));
    if (row.showPerson)
        doubleClick(QStringLiteral("鈴木"));
    type(form.Text8, QString::fromUtf16(row.dose));
    click(form.Command4);
    EXPECT_EQ(dialogs.shown, (QList<ScriptedDialogs::Shown>{{Kind::Warn, QString::fromUtf16(row.message)}}));
    EXPECT_EQ(app.state.pendingEntries[1].effective, 0);
    EXPECT_EQ(app.state.pendingEntries[1].comment, QStringLiteral("―"));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, EntryWindowRefusal,
    testing::Values(
        RefusedConfirm{"NoMonth", u"", u"", true, u"1", u"対象年月を指定して下さい"},
        RefusedConfirm{"ZeroMonth", u"0", u"M", true, u"1", u"対象年月を指定して下さい"},
        RefusedConfirm{"NoPerson", u"2005", u"4", false, u"1", u"正しく入力して下さい"},
        RefusedConfirm{"NoDose", u"2005", u"4", true, u"", u"正しく入力して下さい"},
        // A dose the imports refuse, refused with the words they use.
        RefusedConfirm{"InfiniteDose", u"2005", u"4", true, u"1e999", u"実効線量「1e999」は10000 mSvを超えています"},
        RefusedConfirm{"NegativeDose", u"2005", u"4", true, u"-1", u"実効線量「-1」は負の値です"},
        RefusedConfirm{"HugeDose", u"2005", u"4", true, u"99999", u"実効線量「99999」は10000 mSvを超えています"},
        RefusedConfirm{"TooFineDose", u"2005", u"4", true, u"1.0000000000004",
                       u"実効線量「1.0000000000004」は桁が多すぎます（小数点以下12桁、有効数字15桁まで）"},
        RefusedConfirm{"InfiniteYear", u"1e999", u"4", true, u"1", u"正しく入力して下さい"},
        RefusedConfirm{"FractionalKey", u"2005", u"4.5", true, u"1", u"正しく入力して下さい"}),
    [](const auto& row) { return std::string(row.param.name); });

// The list marks who is confirmed for the month, and a person confirmed shows the values confirmed.
TEST_F(EntryWindow, ConfirmedPersonsAreMarkedAndShowTheirValuesAgain)
{
    setMonth("2005", "4");
    confirm(Names[1], {"1.5", "2"}, QStringLiteral("左手"));
    const auto marked = [this] {
        QList<bool> marks;
        for (int row = 0; row < form.List1->count(); ++row)
            marks << !form.List1->item(row)->toolTip().isEmpty();
        return marks;
    };
    EXPECT_EQ(marked(), (QList<bool>{false, true, false}));
    doubleClick(Names[1]);
    EXPECT_EQ(form.Text8->text(), "1.5");
    EXPECT_EQ(form.Text9->text(), "2");
    EXPECT_EQ(form.Text13->text(), QStringLiteral("左手"));
    click(form.Command6); // the list read again keeps its marks
    EXPECT_EQ(marked(), (QList<bool>{false, true, false}));
}

// A saved month is refused as soon as it is fixed, before any dose is typed, pointing to データ訂正.
TEST_F(EntryWindow, FixingASavedMonthIsRefusedAtOnceAndUnlocksAndEmptiesIt)
{
    app.state.enteredMonths = {200504};
    setMonth("2005", "04");
    EXPECT_EQ(takeMessages(), QStringList{EnteredMonthMessage});
    EXPECT_TRUE(form.Text7->isEnabled() && form.Text7->text().isEmpty());
    EXPECT_TRUE(form.Text6->isEnabled() && form.Text6->text().isEmpty());
    EXPECT_EQ(form.focusWidget(), form.Text7);
}

TEST_F(EntryWindow, ConfirmReadsTypedNumbersAndKeepsTheLastValues)
{
    setMonth("2005", "4");
    confirm(QStringLiteral("鈴木"), {"M", "", "", "1.23E-03"}, QStringLiteral("左手"));
    EXPECT_TRUE(dialogs.shown.isEmpty());
    const PendingEntry& entry = app.state.pendingEntries[1];
    EXPECT_EQ(entry.effective, 0);
    EXPECT_EQ(entry.internal, 0.00123);
    EXPECT_EQ(entry.comment, QStringLiteral("左手"));
    for (QLineEdit* field : {form.Text1, form.Text2, form.Text8, form.Text12, form.Text13})
        EXPECT_TRUE(field->text().isEmpty());
    EXPECT_EQ(form.Text7->text(), "2005"); // the target month stays

    confirm(QStringLiteral("鈴木"), {"", "０．５", "", "0.25"});
    EXPECT_EQ(app.state.pendingEntries[1].lens, 0.5);
    EXPECT_EQ(app.state.pendingEntries[1].internal, 0.25);
    EXPECT_EQ(app.state.pendingEntries[1].comment, QStringLiteral("―")); // an empty comment
    EXPECT_EQ(app.state.pendingEntries[0].lens, 0);
}

TEST_F(EntryWindow, ACommentTheCodePageCannotHoldIsRefused)
{
    setMonth("2005", "4");
    confirm(QStringLiteral("鈴木"), {"1"}, QStringLiteral("𠮷"));
    EXPECT_EQ(takeMessages(), QStringList{QStringLiteral("保存できない文字「𠮷」が含まれています")});
    EXPECT_EQ(app.state.pendingEntries[1].effective, 0);
}

TEST_F(EntryWindow, SaveAllWithNothingConfirmedWritesTheDefaultsAndTheMonth)
{
    setMonth("2005", "4");
    saveAll();
    EXPECT_EQ(dialogs.shown, (QList<ScriptedDialogs::Shown>{
                                 {Kind::OkCancel, QStringLiteral("2005年4月：登録者3名のうち、確定した人 0名"
                                                                 "（入力 0名、CSV取込 0名）\n入力しなかった3名は、"
                                                                 "外部被曝 M、内部被曝 0 として保存します。\n\n"
                                                                 "データ入力に間違いはありませんか？")},
                                 {Kind::Inform, QStringLiteral("全データを保存しました。")}}));
    const QByteArray defaults = crlfLines({" 200504 ", " 0 ", " 0 ", " 0 ", " 0 ", "\x81\x5c"});
    for (const QString& name : Names)
        EXPECT_TRUE(fileBytes(app.dataDir.personalFile(name)).endsWith(crlfLines({"04-01-2005"}) + defaults));
    EXPECT_EQ(fileBytes(path(EnteredMonthsFile)), crlfLines({" 200504 "}));
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(app.form1().isVisible());

    dialogs.shown.clear();
    openEntry();
    setMonth("2005", "04");
    EXPECT_EQ(takeMessages(), QStringList{EnteredMonthMessage});
}

TEST_F(EntryWindow, SaveAllAsksToConfirmDosesTypedButNotConfirmed)
{
    setMonth("2026", "6");
    doubleClick(QStringLiteral("山田"));
    type(form.Text8, "0.4");
    type(form.Text9, "0.5");
    type(form.Text11, "0.6");
    const auto before = snapshot(temp.path());
    dialogs.answer(false); // No: back to the window with the values, nothing saved
    click(form.Command3);
    EXPECT_EQ(takeMessages(),
              QStringList{QStringLiteral("山田さんの入力が確定されていません。確定してから保存しますか？")});
    EXPECT_EQ(snapshot(temp.path()), before);
    EXPECT_EQ(form.Text11->text(), "0.6");

    dialogs.answer(true); // Yes: confirmed as 確  定 would, then the usual question
    saveAll();
    EXPECT_EQ(recordsOf(QStringLiteral("山田")).value(0), (MonthlyRecord{202606, 0.4, 0.5, 0.6, 0, NoComment}));
    EXPECT_EQ(recordsOf(QStringLiteral("鈴木")).value(0), (MonthlyRecord{202606, 0, 0, 0, 0, NoComment}));
}

TEST_F(EntryWindow, SaveAllCancelledWritesNothingAndKeepsThePendingValues)
{
    setMonth("2005", "4");
    confirm(QStringLiteral("山田"), {"2"});
    const auto before = snapshot(temp.path());
    dialogs.answer(false);
    click(form.Command3);
    EXPECT_EQ(snapshot(temp.path()), before);
    EXPECT_EQ(app.state.pendingEntries[0].effective, 2);
    EXPECT_TRUE(form.isVisible());
}

TEST_F(EntryWindow, SaveAllUsesTheMonthAtTheMomentOfSaving)
{
    setMonth("2005", "4");
    confirm(QStringLiteral("山田"), {"2"});
    click(form.Command7);
    setMonth("2006", "1");
    saveAll();
    EXPECT_EQ(recordsOf(QStringLiteral("山田")), (QList<MonthlyRecord>{{200601, 2, 0, 0, 0, QStringLiteral("―")}}));
}

TEST_F(EntryWindow, PendingValuesStayWithTheirPersonsAcrossARemovalAndRegistration)
{
    setMonth("2005", "4");
    confirm(QStringLiteral("山田"), {"1"});
    confirm(QStringLiteral("髙橋"), {"3"});
    doubleClick(QStringLiteral("鈴木"));
    dialogs.answer(true);
    dialogs.answer(false); // no leaving record
    click(form.Command5);
    EXPECT_EQ(form.List1->count(), 2);
    EXPECT_TRUE(form.Text2->text().isEmpty());

    // 佐藤 is registered during the visit and stands last.
    click(form.Command1);
    Form3& registration = app.form3();
    type(registration.Text2, QStringLiteral("佐藤"));
    type(registration.Text5, "1970");
    type(registration.Text6, "1");
    type(registration.Text7, "2");
    type(registration.Text4, QStringLiteral("外科"));
    click(registration.Command1);
    ASSERT_TRUE(form.isVisible());
    EXPECT_EQ(form.List1->item(2)->text(), QStringLiteral("佐藤"));

    saveAll();
    EXPECT_EQ(recordsOf(QStringLiteral("山田")).value(0).effective, 1);
    EXPECT_EQ(recordsOf(QStringLiteral("髙橋")).value(0).effective, 3);
    EXPECT_EQ(recordsOf(QStringLiteral("佐藤")), (QList<MonthlyRecord>{{200504}}));
    EXPECT_TRUE(recordsOf(QStringLiteral("鈴木")).isEmpty()); // removed: no record
}

TEST_F(EntryWindow, ConfirmingANameNoLongerListedWritesNowhere)
{
    setMonth("2005", "4");
    doubleClick(QStringLiteral("鈴木"));
    app.state.registrants.names.removeAt(1); // the list changed behind the window's back
    type(form.Text8, "1");
    click(form.Command4);
    EXPECT_EQ(takeMessages(), QStringList{QStringLiteral("該当者が登録者リストにありません")});
    for (const PendingEntry& entry : app.state.pendingEntries)
        ASSERT_EQ(entry.effective, 0);
}

TEST_F(EntryWindow, RemovalAsksFirstAndMovesTheNameToTheRemovedList)
{
    click(form.Command5);
    EXPECT_EQ(dialogs.shown, (QList<ScriptedDialogs::Shown>{{Kind::Inform, QStringLiteral("該当者を選択して下さい")}}));
    dialogs.shown.clear();

    ASSERT_TRUE(AppendMonthlyRecord(app.dataDir, QStringLiteral("山田"), {202604, 1}));
    doubleClick(QStringLiteral("山田"));
    type(form.Text8, "5");
    const auto before = snapshot(temp.path());
    dialogs.answer(false);
    click(form.Command5);
    EXPECT_EQ(snapshot(temp.path()), before);

    // Removed, the person is given the leaving record. The facility is not named yet: 他施設・申告 is offered
    // before anything is typed, and the record follows when it closes: the page printed, the CSV where chosen.
    dialogs.answer(true);
    dialogs.answer(true);
    dialogs.answer(true); // name the facility
    click(form.Command5);
    OtherFacilityWindow& facility = app.otherFacilityWindow();
    ASSERT_TRUE(facility.isVisible());
    facility.FacilityNameBox->setText(QStringLiteral("A病院"));
    click(facility.SaveFacilityButton);
    const QTemporaryDir elsewhere;
    dialogs.answerDay(QDate(2026, 4, 30));
    dialogs.answerFile(elsewhere.filePath(QStringLiteral("離職時記録_山田.csv")));
    dialogs.answer(true);
    click(facility.CloseButton);
    EXPECT_EQ(dialogs.dayProposed, QDate(2026, 4, 30));                    // the last day of the last month with a dose
    EXPECT_EQ(dialogs.dialogStart, QStringLiteral("離職時記録_山田.csv")); // in the documents, not the store
    const QStringList messages = takeMessages();
    ASSERT_EQ(messages.size(), 10);
    EXPECT_EQ(messages.first(2), (QStringList{QStringLiteral("登録を抹消していいですか？"),
                                              QStringLiteral("登録を抹消していいですか？")}));
    EXPECT_TRUE(messages[3].startsWith(QStringLiteral("離職時の線量記録には事業所名が要りますが")));
    EXPECT_EQ(messages[4], QStringLiteral("事業所を保存しました"));
    EXPECT_TRUE(messages[7].startsWith(QStringLiteral("山田さんの離職時の線量記録を印刷し")));
    EXPECT_TRUE(QFileInfo::exists(elsewhere.filePath(QStringLiteral("離職時記録_山田.csv"))));
    EXPECT_TRUE(QFileInfo::exists(path(QStringLiteral("印刷/離職時記録_20261207-101500.pdf"))))
        << messages[9].toStdString();
    // The page states the leaving day chosen.
    QStringList words;
    for (const PdfWord& word : pdfWords(path(QStringLiteral("印刷/離職時記録_20261207-101500.pdf"))))
        words << word.text;
    EXPECT_TRUE(words.join(QLatin1Char(' ')).contains(QStringLiteral("離職日 2026/04/30。")))
        << words.join(' ').toStdString();
    EXPECT_EQ(fileBytes(path(RegistrantNamesFile)), crlfLines({" 2 ", "\x97\xe9\x96\xd8", "\xfb\xfc\x8b\xb4"}));
    EXPECT_EQ(fileBytes(path(RemovedNamesFile)), crlfLines({"\x8e\x52\x93\x63"}));
    EXPECT_EQ(fileBytes(app.dataDir.personalFile(QStringLiteral("山田"))),
              before.value(QStringLiteral("被曝Data/山田.dat")));
    EXPECT_EQ(form.Text8->text(), "5"); // the dose fields keep their contents
    EXPECT_TRUE(form.Text1->text().isEmpty() && form.Text10->text().isEmpty());
}

TEST_F(EntryWindow, RemovingTheOnlyRegistrantLeavesAnEmptyList)
{
    for (const QString& name : Names) {
        doubleClick(name);
        dialogs.answer(true);
        dialogs.answer(false);
        click(form.Command5);
    }
    EXPECT_EQ(fileBytes(path(RegistrantNamesFile)), crlfLines({" 0 "}));
    EXPECT_EQ(form.List1->count(), 0);
    EXPECT_EQ(ReadRemovedNames(app.dataDir), Names);
}

TEST_F(EntryWindow, ReloadShowsTheListAsStored)
{
    ASSERT_TRUE(SaveRegistrantList(app.dataDir, {QStringLiteral("鈴木")}));
    click(form.Command6);
    EXPECT_EQ(form.List1->count(), 1);
    EXPECT_EQ(app.state.registrants.names, QStringList{QStringLiteral("鈴木")});
}

TEST_F(EntryWindow, ExitAsksAndOnlyNoStays)
{
    dialogs.answer(false);
    click(form.Command2);
    EXPECT_TRUE(form.isVisible());
    // With a value confirmed, "はい" would drop it: "いいえ" is the default.
    setMonth("2005", "4");
    confirm(Names[0], {"1"});
    EXPECT_EQ(dialogs.shown.last().kind, Kind::YesNo);
    dialogs.answer(true);
    click(form.Command2);
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(app.form1().isVisible());
    EXPECT_EQ(dialogs.shown.last().kind, Kind::Risky);
    EXPECT_EQ(
        takeMessages(),
        (QStringList{QStringLiteral("データ入力を終了・キャンセルしますか？"),
                     QStringLiteral("確定した1名分の値が保存されていません。データ入力を終了・キャンセルしますか？")}));
}

TEST_F(EntryWindow, ClosingTheWindowReturnsToTheMenuWithoutAQuestion)
{
    form.close();
    EXPECT_TRUE(app.form1().isVisible());
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

TEST_F(EntryWindow, AnImportedMonthIsReviewedAndSavedAsTypingItWould)
{
    // April typed and confirmed, May imported from the same texts: the records match byte for byte.
    setMonth("2005", "4");
    confirm(Names[0], {"0.5", "M", "", "1.23E-03"}, QStringLiteral("腕"));
    confirm(Names[1], {QStringLiteral("１２"), "0", "", ""});
    saveAll();
    openEntry();
    EXPECT_FALSE(form.Command10->isEnabled());
    setMonth("2005", "5");
    EXPECT_TRUE(form.Command9->isEnabled() && form.Command10->isEnabled());
    const QString csv = path(QStringLiteral("filled.csv"));
    writeBytes(csv, *cp932::encode(QStringLiteral("登録番号,氏名,実効線量,水晶体,皮膚,内部被曝,備考\r\n"
                                                  "1,山田,0.5,M,,1.23E-03,腕\r\n2,鈴木,１２,0,,,\r\n"
                                                  "3,髙橋,0.1a,,,,\r\n")));
    dialogs.answerFile(csv);
    dialogs.answer(false); // nothing is filled before the operator accepts
    click(form.Command10);
    doubleClick(Names[0]);
    EXPECT_TRUE(form.Text8->text().isEmpty());

    // 山田 confirmed by hand: the file's values replace them only on a second yes, No being the default.
    confirm(Names[0], {"0.3", "0.4", "0.5"});
    for (const bool replace : {false, true}) {
        dialogs.shown.clear();
        dialogs.answerFile(csv);
        dialogs.answer(true);
        dialogs.answer(replace);
        click(form.Command10);
        ASSERT_EQ(dialogs.shown.size(), 3);
        const QString question = dialogs.shown[1].text;
        EXPECT_EQ(dialogs.shown[1].kind, Kind::Doubtful); // a doubt: Cancel, importing nothing, is the default
        EXPECT_TRUE(question.contains(QStringLiteral("登録者3名のうち2名に値があります")));
        EXPECT_TRUE(question.contains(
            QStringLiteral("数ではない値の行（取り込みません）：1件\n4行目（登録番号 3　髙橋）：実効線量「0.1a」")));
        EXPECT_TRUE(question.contains(QStringLiteral("値のない登録者（今の値のままです）：1名\n髙橋")));
        EXPECT_TRUE(question.contains(QStringLiteral("入力済みの値を変更：1名\n山田　実効 0.3 → 0.5、水晶体 0.4 → 0、"
                                                     "皮膚 0.5 → 0、内部 0 → 0.00123、備考 ― → 腕")))
            << question.toStdString();
        EXPECT_EQ(dialogs.shown[2].kind, Kind::Risky);
        EXPECT_EQ(app.state.pendingEntries[0].effective, replace ? 0.5 : 0.3);
    }
    doubleClick(Names[0]);
    EXPECT_EQ((QStringList{form.Text8->text(), form.Text9->text(), form.Text11->text(), form.Text12->text(),
                           form.Text13->text()}),
              (QStringList{"0.5", "0", "0", "0.00123", QStringLiteral("腕")}));
    saveAll();
    for (const QString& name : Names) {
        const QByteArray bytes = fileBytes(app.dataDir.personalFile(name));
        const qsizetype april = bytes.indexOf(" 200504 \r\n");
        const qsizetype may = bytes.indexOf(" 200505 \r\n");
        ASSERT_TRUE(april > 0 && may > april) << name.toStdString();
        EXPECT_EQ(bytes.mid(april, may - april).replace("200504", "200505"), bytes.mid(may)) << name.toStdString();
    }
}

TEST_F(EntryWindow, AServicesFileIsMappedOnceAndItsLayoutProposedAgain)
{
    setMonth("2005", "4");
    const QString csv = path(QStringLiteral("報告.csv"));
    writeBytes(
        csv, *cp932::encode(QStringLiteral(
                 "個人線量報告書 2005年4月分\r\n番号,氏名,実効線量,胸部Hp(10),胸部Hp(0.07),頸部Hp(10),頸部Hp(0.07)\r\n"
                 "N-1,山田,0.5,0.1,0.1,1.0,1.2\r\nN-2,鈴木,X,X,X,,\r\nN-3,髙橋,0.3,0.3,0.3,,\r\n")));
    const auto box = [](QDialog& window, LayoutColumn column) {
        return static_cast<ImportLayoutWindow&>(window).ColumnBoxes[static_cast<size_t>(column)];
    };
    dialogs.answerFile(csv);
    dialogs.answerWindow([&](QDialog& dialog) {
        auto& window = static_cast<ImportLayoutWindow&>(dialog);
        // The headings found below the title, the columns their words name.
        EXPECT_EQ(window.HeadingRowBox->value(), 2);
        EXPECT_EQ(window.LayoutName->text(), QStringLiteral("報告"));
        EXPECT_EQ(box(window, LayoutColumn::ServiceNumber)->currentText(), QStringLiteral("A：番号"));
        EXPECT_EQ(box(window, LayoutColumn::Name)->currentIndex(), 2);
        EXPECT_EQ(box(window, LayoutColumn::Effective)->currentIndex(), 3);
        for (int c = 0; c < 4; ++c)
            box(window, static_cast<LayoutColumn>(static_cast<int>(LayoutColumn::TrunkHp10) + c))
                ->setCurrentIndex(4 + c);
        window.LayoutName->clear();
        window.OkButton->click();
        EXPECT_EQ(window.FaultLabel->text(), QStringLiteral("レイアウトの名前を入力して下さい。"));
        window.LayoutName->setText(QStringLiteral("A社😀"));
        window.OkButton->click();
        EXPECT_EQ(window.FaultLabel->text(), QStringLiteral("レイアウトの名前か記号に、保存できない文字があります。"));
        window.LayoutName->setText(QStringLiteral("A社"));
        window.OkButton->click();
        return window.result() == QDialog::Accepted;
    });
    // Every person's readings beside the doses computed from them and the service's, the differing row marked.
    dialogs.answerWindow([&](QDialog& dialog) {
        const QTableWidget* doses = static_cast<ServiceReviewWindow&>(dialog).Doses;
        QStringList rows;
        for (int row = 0; row < doses->rowCount(); ++row) {
            QStringList cells;
            for (int column = 0; column < doses->columnCount(); ++column)
                cells << doses->item(row, column)->text();
            rows << cells.join(QLatin1Char('|'));
        }
        EXPECT_EQ(doses->horizontalHeaderItem(2)->text(), QStringLiteral("体幹部 Hp(10)"));
        EXPECT_EQ(rows, (QStringList{QStringLiteral("山田|2個（防護衣）|0.1|0.1|1.0|1.2|0.2|1.2|1.2|0.5"),
                                     QStringLiteral("鈴木|1個|0|0|||0|0|0|0"),
                                     QStringLiteral("髙橋|1個|0.3|0.3|||0.3|0.3|0.3|0.3")}));
        EXPECT_NE(doses->item(0, 0)->background(), doses->item(1, 0)->background());
        return true;
    });
    dialogs.answer(false); // 山田's computed effective dose rather than the service's
    dialogs.answer(true);
    click(form.Command10);
    ASSERT_EQ(dialogs.shown.size(), 5);
    EXPECT_EQ(dialogs.shown[3].text,
              QStringLiteral("測定サービスの線量と、部位別の値から計算した線量が合わない人が1名います。\n"
                             "山田：実効線量 0.5／計算 0.2\n\n測定サービスの線量を取り込みますか？\n"
                             "「いいえ」では計算した線量を取り込みます。"));
    EXPECT_EQ(dialogs.shown[4].kind, Kind::Doubtful);
    EXPECT_TRUE(dialogs.shown[4].text.contains(QStringLiteral("2個以上の線量計を着ける人（この装着で計算します）：1名\n"
                                                              "山田：2個（防護衣）")))
        << dialogs.shown[4].text.toStdString();
    const PendingEntry& yamada = app.state.pendingEntries[0];
    EXPECT_EQ((std::array{yamada.effective, yamada.lens, yamada.skin}), (std::array{0.2, 1.2, 1.2}));
    EXPECT_TRUE(yamada.imported);
    EXPECT_EQ(ReadImportLayouts(app.dataDir)->value(0).name, QStringLiteral("A社"));
    EXPECT_EQ(*ReadDosimeters(app.dataDir), (QList<Dosimeter>{{Names[0], QStringLiteral("N-1"), NeckBadge},
                                                              {Names[1], QStringLiteral("N-2"), OneBadge},
                                                              {Names[2], QStringLiteral("N-3"), OneBadge}}));
    EXPECT_TRUE(historyChanges(app.dataDir).contains("線量計|山田|0||測定番号 N-1、装着 2個（防護衣）"));

    // The next file of the same headings finds its layout; a cancel takes nothing, and asks first once a
    // choice was changed (いいえ keeps the window and the choice).
    dialogs.shown.clear();
    dialogs.answerFile(csv);
    dialogs.answerWindow([&](QDialog& window) {
        EXPECT_EQ(static_cast<ImportLayoutWindow&>(window).LayoutName->text(), QStringLiteral("A社"));
        EXPECT_EQ(box(window, LayoutColumn::NeckHp007)->currentIndex(), 7);
        const QSignalSpy finished(&window, &QDialog::finished);
        box(window, LayoutColumn::NeckHp007)->setCurrentIndex(6);
        dialogs.answer(false);
        static_cast<ImportLayoutWindow&>(window).CancelButton->click();
        EXPECT_EQ(finished.size(), 0);
        dialogs.answer(true);
        static_cast<ImportLayoutWindow&>(window).CancelButton->click();
        EXPECT_EQ(finished.size(), 1);
        return false;
    });
    click(form.Command10);
    EXPECT_EQ(dialogs.shown.size(), 4);
    EXPECT_EQ(dialogs.shown[2].text, QStringLiteral("指定したレイアウトで取り込まずに閉じますか？"));
}

TEST_F(EntryWindow, ThePersonsTheMonthBringsNearOrOverALimitAreNamedBeforeTheQuestion)
{
    ASSERT_TRUE(AppendMonthlyRecord(app.dataDir, Names[0], {202604, 30, 0, 0, 0, NoComment}));
    ASSERT_TRUE(WriteOtherFacilityDoses(
        app.dataDir, {{Names[0], QStringLiteral("第二病院"), 202605, 202605, 15, 0, 0, 0, NoComment}}));
    setMonth("2026", "7");
    const QString csv = path(QStringLiteral("july.csv"));
    writeBytes(csv, *cp932::encode(QStringLiteral("氏名,実効線量,水晶体,皮膚,内部被曝\r\n鈴木,4.5,,,\r\n")));
    dialogs.answerFile(csv);
    dialogs.answer(true);
    click(form.Command10);
    const QString suzuki = QStringLiteral("鈴木：実効 7～9月 4.5 ≥ 4（女性。妊娠不能と診断された者は対象外）");
    EXPECT_TRUE(
        dialogs.shown.last().text.contains(QStringLiteral("【注意】この月の線量で限度の注意となる人が1名います") +
                                           QStringLiteral("（他施設での線量を含みます）。\n") + suzuki))
        << dialogs.shown.last().text.toStdString();

    confirm(Names[0], {"6"});
    confirm(Names[2], {"0"}); // values of 0 change no total
    saveAll();
    const ScriptedDialogs::Shown question = dialogs.shown.value(dialogs.shown.size() - 2);
    EXPECT_EQ(question.kind, Kind::Doubtful); // someone over a limit: Cancel, saving nothing, is the default
    EXPECT_TRUE(question.text.startsWith(
        QStringLiteral("【超過】この月の線量で限度を超える人が1名います（他施設での線量を含みます）。\n"
                       "山田：実効 年度 51 > 50、実効 7～9月 6 > 5（女性。妊娠不能と診断された者は対象外）、"
                       "実効 年度 51 > 20（5年の累積を記録）\n\n【注意】この月の線量で限度の注意となる人が1名います"
                       "（他施設での線量を含みます）。\n") +
        suzuki + QStringLiteral("\n\n")))
        << question.text.toStdString();
    // What is confirmed and what the others get, before the question.
    EXPECT_TRUE(
        question.text.endsWith(QStringLiteral("2026年7月：登録者3名のうち、確定した人 3名（入力 2名、CSV取込 1名）\n\n"
                                              "データ入力に間違いはありませんか？")))
        << question.text.toStdString();
}

TEST_F(EntryWindow, TheTemplateIsOfferedUnderTheMonthsNameInTheDataFolder)
{
    setMonth("2005", "4");
    const QString chosen = path(QStringLiteral("4月.csv"));
    dialogs.answerFile(chosen);
    click(form.Command9);
    EXPECT_EQ(dialogs.dialogStart, path(QStringLiteral("線量入力_200504.csv")));
    EXPECT_TRUE(fileBytes(chosen).startsWith("\xEF\xBB\xBF"));
    EXPECT_EQ(takeMessages().last(),
              QStringLiteral("CSVテンプレートを保存しました。\n") + QDir::toNativeSeparators(chosen));
}

} // namespace
