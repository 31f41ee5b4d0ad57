#include "core/files/ListFiles.h"
#include "core/files/PersonalFile.h"
#include "support/Stores.h"
#include "support/WindowTest.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::test;

namespace {

const QString SameNameHint = QStringLiteral("\n同じ氏名の別の人を登録するときは、「山田　花子２」のように"
                                            "氏名に区別する文字を加えて登録して下さい。");

using Kind = ScriptedDialogs::Kind;

class RegistrationWindow : public WindowTest {
protected:
    void SetUp() override
    {
        click(app.form1().Command1); // a first start: creates the store
        openRegistration();
    }
    void openRegistration()
    {
        click(app.form2().Command1);
        ASSERT_TRUE(form.isVisible());
    }
    void fill(const QString& name, const QString& year = "1965", const QString& month = "4", const QString& day = "12",
              const QString& affiliation = QStringLiteral("放射線科"))
    {
        type(form.Text2, name);
        type(form.Text5, year);
        type(form.Text6, month);
        type(form.Text7, day);
        type(form.Text4, affiliation);
    }
    void registerPerson(const QString& name)
    {
        openRegistration();
        fill(name);
        click(form.Command1);
    }
    void remove(const QString& name)
    {
        doubleClick(app.form2().List1, name);
        dialogs.answer(true);
        dialogs.answer(false); // no leaving record
        click(app.form2().Command5);
    }

    Form3& form = app.form3();
};

TEST_F(RegistrationWindow, OpensWithTheNextNumberAndTheDefaults)
{
    EXPECT_EQ(form.windowTitle(), QStringLiteral("新規登録"));
    EXPECT_EQ(form.size(), QSize(265, 472));
    EXPECT_EQ(form.Text1->geometry(), QRect(104, 16, 145, 25));
    EXPECT_EQ(form.Text1->palette().color(QPalette::Base), QColor(192, 255, 255));
    EXPECT_EQ(form.Text1->text(), "1");
    EXPECT_TRUE(form.Option1->isChecked());
    EXPECT_TRUE(form.Option8->isChecked());
    EXPECT_EQ(form.Option9->text(), QStringLiteral("あり  →"));
    EXPECT_EQ(form.Combo1->count(), 8);
    EXPECT_EQ(form.Combo1->itemText(4), QStringLiteral("薬剤師"));
    EXPECT_EQ(form.Combo1->currentText(), QStringLiteral("医師"));
    EXPECT_EQ(form.focusWidget(), form.Text2);
    EXPECT_FALSE(app.form2().isVisible());
}

TEST_F(RegistrationWindow, FirstRegistrationWritesTheFileTheListAndTheNextNumber)
{
    fill(QStringLiteral("山田　花子"));
    form.Option2->click();
    form.Combo1->setEditText(QStringLiteral("看護師"));
    click(form.Command1);
    EXPECT_TRUE(dialogs.shown.isEmpty());
    EXPECT_EQ(fileBytes(app.dataDir.personalFile(QStringLiteral("山田　花子"))),
              crlfLines({" 1 ", "\x8e\x52\x93\x63\x81\x40\x89\xd4\x8e\x71", " 1 ", " 19650412 ",
                         "\x95\xfa\x8e\xcb\x90\xfc\x89\xc8", "\x8a\xc5\x8c\xec\x8e\x74", " 0 ", " 0 ", "12-07-2026"}));
    EXPECT_EQ(fileBytes(path(RegistrantNamesFile)), crlfLines({" 1 ", "\x8e\x52\x93\x63\x81\x40\x89\xd4\x8e\x71"}));
    EXPECT_EQ(fileBytes(path(NextNumberFile)), crlfLines({" 2 "}));
    EXPECT_FALSE(form.isVisible());
    ASSERT_TRUE(app.form2().isVisible());
    EXPECT_EQ(app.form2().List1->item(0)->text(), QStringLiteral("山田　花子"));

    openRegistration();
    EXPECT_EQ(form.Text1->text(), "2");
    EXPECT_TRUE(form.Text2->text().isEmpty());
    EXPECT_TRUE(form.Option1->isChecked());
}

TEST_F(RegistrationWindow, IncompleteFieldsAreRefusedAndKept)
{
    fill(QStringLiteral("山田"), "1965", "4", "12", QString());
    click(form.Command1);
    EXPECT_EQ(dialogs.shown, (QList<ScriptedDialogs::Shown>{{Kind::Warn, QStringLiteral("全項目を入力して下さい")}}));
    EXPECT_EQ(form.Text2->text(), QStringLiteral("山田"));
    EXPECT_TRUE(form.isVisible());
}

struct BirthDate {
    const char* year;
    const char* month;
    const char* day;
    const char* refusal;
};

class BirthDates : public RegistrationWindow, public testing::WithParamInterface<BirthDate> {};

// Only a day that exists and has come is stored: the readers take year, month and day by position.
TEST_P(BirthDates, AreRefusedNamingTheFieldAndNothingIsWritten)
{
    fill(QStringLiteral("鈴木"), GetParam().year, GetParam().month, GetParam().day);
    const auto before = snapshot(temp.path());
    click(form.Command1);
    EXPECT_EQ(takeMessages(), QStringList{QString::fromUtf8(GetParam().refusal)});
    EXPECT_EQ(snapshot(temp.path()), before);
    EXPECT_TRUE(form.isVisible());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, BirthDates,
    testing::Values(BirthDate{"65", "4", "12", "生年月日の年は1900～2026の4桁の数で入力して下さい"},
                    BirthDate{"3", "外来", "3", "生年月日の年は1900～2026の4桁の数で入力して下さい"},
                    BirthDate{"1899", "4", "12", "生年月日の年は1900～2026の4桁の数で入力して下さい"},
                    BirthDate{"2027", "1", "1", "生年月日の年は1900～2026の4桁の数で入力して下さい"},
                    BirthDate{"1992", "13", "1", "生年月日の月は1～12で入力して下さい"},
                    BirthDate{"1992", "4月", "1", "生年月日の月は1～12で入力して下さい"},
                    BirthDate{"1992", "2", "30", "生年月日の日は1～29で入力して下さい（1992年2月）"},
                    BirthDate{"1993", "2", "29", "生年月日の日は1～28で入力して下さい（1993年2月）"},
                    BirthDate{"1992", "12", "40", "生年月日の日は1～31で入力して下さい（1992年12月）"},
                    BirthDate{"2026", "12", "31", "生年月日が今日より後の日になっています"}));

TEST_F(RegistrationWindow, PastExposureWithAnEmptyDoseStoresFlagOneAndZero)
{
    fill(QStringLiteral("鈴木"), "１９６５", "4", "12");
    form.Option9->click();
    EXPECT_EQ(form.focusWidget(), form.Text3);
    form.Combo1->setEditText(QString());
    click(form.Command1);
    const auto header = ReadPersonalHeader(app.dataDir, QStringLiteral("鈴木"), 9);
    ASSERT_TRUE(header);
    EXPECT_EQ(header->pastExposureFlag, 1);
    EXPECT_EQ(header->pastDose, 0);
    EXPECT_EQ(header->dateOfBirth, 19650412); // full-width digits are digits
    EXPECT_EQ(header->jobType, QString());
}

TEST_F(RegistrationWindow, PastDoseIsStoredOnlyWithThePastExposureChoice)
{
    fill(QStringLiteral("鈴木"));
    type(form.Text3, "12.5");
    click(form.Command1);
    EXPECT_EQ(ReadPersonalHeader(app.dataDir, QStringLiteral("鈴木"), 9)->pastDose, 0);
    openRegistration();
    fill(QStringLiteral("佐藤"));
    form.Option9->click();
    type(form.Text3, "12.5");
    click(form.Command1);
    EXPECT_EQ(ReadPersonalHeader(app.dataDir, QStringLiteral("佐藤"), 9)->pastDose, 12.5);
}

TEST_F(RegistrationWindow, EnterMovesAlongTheChainOnlyFromFilledFields)
{
    pressEnter(form.Text2);
    EXPECT_EQ(form.focusWidget(), form.Text2);
    fill(QStringLiteral("鈴木"));
    QWidget* chain[] = {form.Text2, form.Text5, form.Text6, form.Text7, form.Text4, form.Combo1, form.Command1};
    for (size_t i = 0; i + 1 < std::size(chain); ++i) {
        QWidget* target = chain[i] == form.Combo1 ? static_cast<QWidget*>(form.Combo1->lineEdit()) : chain[i];
        pressEnter(target);
        EXPECT_EQ(form.focusWidget() == form.Combo1->lineEdit() ? form.Combo1 : form.focusWidget(), chain[i + 1]);
    }
    form.Text3->setFocus();
    pressEnter(form.Text3); // empty past dose: the name decides
    EXPECT_EQ(form.focusWidget(), form.Command1);
}

TEST_F(RegistrationWindow, AnExistingNameIsRefusedTheFieldsResetAndNothingWritten)
{
    registerPerson(QStringLiteral("鈴木"));
    openRegistration();
    form.Combo1->setEditText(QStringLiteral("薬剤師"));
    fill(QStringLiteral("鈴木"));
    form.Option2->click();
    const auto before = snapshot(temp.path());
    click(form.Command1);
    EXPECT_EQ(dialogs.shown,
              (QList<ScriptedDialogs::Shown>{
                  {Kind::Warn, QStringLiteral("この人の名前はすでに登録者リストに存在します。") + SameNameHint}}));
    EXPECT_EQ(snapshot(temp.path()), before);
    EXPECT_TRUE(form.Text2->text().isEmpty() && form.Text4->text().isEmpty() && form.Text5->text().isEmpty());
    EXPECT_TRUE(form.Option1->isChecked());
    EXPECT_EQ(form.Text1->text(), "2");
    EXPECT_EQ(form.Combo1->currentText(), QStringLiteral("薬剤師"));
}

TEST_F(RegistrationWindow, FramesDrawTheirOutlineAtTheirOwnRectangle)
{
    for (QGroupBox* frame : {form.Frame1, form.Frame2, form.Frame3}) {
        const QImage image = frame->grab().toImage();
        // The rows where the outline crosses the right part of the frame, away from the caption; the top row
        // is the window behind the caption.
        const QRgb background = image.pixel(image.width() - 20, 0);
        QList<int> rows;
        for (int y = 0; y < image.height(); ++y)
            if (image.pixel(image.width() - 20, y) != background)
                rows << y;
        ASSERT_FALSE(rows.isEmpty()) << frame->objectName().toStdString();
        EXPECT_LE(rows.first(), QFontMetrics(form.font()).height() / 2 + 1) << frame->objectName().toStdString();
        EXPECT_GE(rows.last(), image.height() - 2) << frame->objectName().toStdString();
    }
}

struct RefusedName {
    const char* name;
    const char16_t* typed;
};

class RegistrationRefusal : public RegistrationWindow, public testing::WithParamInterface<RefusedName> {};

TEST_P(RegistrationRefusal, NamesThatCannotBeStoredAreRefusedBeforeAnythingIsWritten)
{
    const auto before = snapshot(temp.path());
    fill(QString::fromUtf16(GetParam().typed));
    click(form.Command1);
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].kind, Kind::Warn);
    EXPECT_EQ(snapshot(temp.path()), before);
    EXPECT_TRUE(form.isVisible());
}

INSTANTIATE_TEST_SUITE_P(Rows, RegistrationRefusal,
                         testing::Values(RefusedName{"Slash", u"a/b"}, RefusedName{"Backslash", u"a\\b"},
                                         RefusedName{"Colon", u"a:b"}, RefusedName{"Star", u"a*"},
                                         RefusedName{"Question", u"a?"}, RefusedName{"Quote", u"a\"b"},
                                         RefusedName{"Less", u"<a"}, RefusedName{"Greater", u"a>"},
                                         RefusedName{"Bar", u"a|b"}, RefusedName{"Control", u"a\u0007b"},
                                         RefusedName{"DotDot", u".."}, RefusedName{"Emoji", u"山田😀"},
                                         RefusedName{"OutsideCodePage", u"𠮷田"}, RefusedName{"WindowsDevice", u"con"},
                                         RefusedName{"WindowsPort", u"LPT1.x"}, RefusedName{"EndingInADot", u"山田."},
                                         RefusedName{"EndingInASpace", u"山田 "}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(RegistrationWindow, AffiliationOutsideTheCodePageIsRefused)
{
    const auto before = snapshot(temp.path());
    fill(QStringLiteral("鈴木"), "1965", "4", "12", QStringLiteral("𠮷野病院"));
    click(form.Command1);
    EXPECT_EQ(takeMessages(), QStringList{QStringLiteral("保存できない文字「𠮷」が含まれています")});
    EXPECT_EQ(snapshot(temp.path()), before);
}

TEST_F(RegistrationWindow, ANameIsUsedInTheFormItReadsBackIn)
{
    fill(QStringLiteral("山田〜"));
    click(form.Command1);
    EXPECT_TRUE(QFile::exists(app.dataDir.personalFile(QStringLiteral("山田～"))));
    EXPECT_EQ(app.state.registrants.names, QStringList{QStringLiteral("山田～")});
    EXPECT_EQ(ReadPersonalHeader(app.dataDir, QStringLiteral("山田～"), 6)->name, QStringLiteral("山田～"));
}

TEST_F(RegistrationWindow, RestoreKeepsTheOldFileAndPutsTheNameLast)
{
    registerPerson(QStringLiteral("鈴木"));
    registerPerson(QStringLiteral("山田"));
    registerPerson(QStringLiteral("佐藤"));
    remove(QStringLiteral("鈴木"));
    remove(QStringLiteral("佐藤"));
    const QByteArray file = fileBytes(app.dataDir.personalFile(QStringLiteral("鈴木")));
    dialogs.shown.clear();

    openRegistration();
    fill(QStringLiteral("鈴木"), "1999", "1", "1", QStringLiteral("別の所属"));
    dialogs.answer(true);
    click(form.Command1);
    EXPECT_EQ(dialogs.shown,
              (QList<ScriptedDialogs::Shown>{
                  {Kind::YesNo, QStringLiteral("この人の名前は登録抹消者リストにあります。復活登録しますか？")},
                  {Kind::Inform, QStringLiteral("抹消者リストから登録者リストに移動しました。")}}));
    EXPECT_EQ(app.state.registrants.names, (QStringList{QStringLiteral("山田"), QStringLiteral("鈴木")}));
    EXPECT_EQ(app.form2().List1->item(1)->text(), QStringLiteral("鈴木"));
    EXPECT_EQ(ReadRemovedNames(app.dataDir), QStringList{QStringLiteral("佐藤")});
    EXPECT_EQ(fileBytes(app.dataDir.personalFile(QStringLiteral("鈴木"))), file);
    EXPECT_EQ(fileBytes(path(NextNumberFile)), crlfLines({" 4 "}));
    EXPECT_TRUE(app.form2().isVisible());

    remove(QStringLiteral("鈴木"));
    EXPECT_EQ(ReadRemovedNames(app.dataDir), (QStringList{QStringLiteral("佐藤"), QStringLiteral("鈴木")}));
}

// いいえ to the restore says what is true of the name: it is on the removed list, not the registrant list.
TEST_F(RegistrationWindow, DecliningTheRestoreSaysTheNameIsRemovedAndHowToRegisterAnother)
{
    registerPerson(QStringLiteral("鈴木"));
    remove(QStringLiteral("鈴木"));
    dialogs.shown.clear();
    openRegistration();
    fill(QStringLiteral("鈴木"));
    const auto before = snapshot(temp.path());
    dialogs.answer(false);
    click(form.Command1);
    EXPECT_EQ(takeMessages(),
              (QStringList{QStringLiteral("この人の名前は登録抹消者リストにあります。復活登録しますか？"),
                           QStringLiteral("この人の名前は登録抹消者リストにあるため、復活登録しない限り新しく"
                                          "登録できません。") +
                               SameNameHint}));
    EXPECT_EQ(snapshot(temp.path()), before);
}

TEST_F(RegistrationWindow, CancelAndTheCloseBoxWriteNothing)
{
    fill(QStringLiteral("鈴木"));
    const auto before = snapshot(temp.path());
    click(form.Command2);
    EXPECT_TRUE(app.form2().isVisible());
    openRegistration();
    form.close();
    EXPECT_TRUE(app.form2().isVisible());
    EXPECT_EQ(snapshot(temp.path()), before);
}

TEST_F(RegistrationWindow, AFullListRefusesRegistrationAndRestoreBeforeWriting)
{
    QStringList names;
    for (int i = 0; i < 1000; ++i)
        names << QStringLiteral("職員%1").arg(i);
    ASSERT_TRUE(SaveRegistrantList(app.dataDir, names));
    ASSERT_TRUE(CreatePersonalFile(app.dataDir, personHeader(QStringLiteral("鈴木"))));
    ASSERT_TRUE(AppendRemovedName(app.dataDir, QStringLiteral("鈴木")));
    click(app.form2().Command6);
    const auto before = snapshot(temp.path());

    fill(QStringLiteral("佐藤"));
    click(form.Command1);
    fill(QStringLiteral("鈴木"));
    dialogs.answer(true);
    click(form.Command1);
    EXPECT_EQ(takeMessages(),
              (QStringList{QStringLiteral("登録者数が上限の1000人に達しているため登録できません"),
                           QStringLiteral("この人の名前は登録抹消者リストにあります。復活登録しますか？"),
                           QStringLiteral("登録者数が上限の1000人に達しているため登録できません")}));
    EXPECT_EQ(snapshot(temp.path()), before);
}

} // namespace
