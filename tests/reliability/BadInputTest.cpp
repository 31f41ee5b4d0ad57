#include "core/files/ListFiles.h"
#include "core/files/PersonalFile.h"
#include "support/Stores.h"
#include "support/WindowTest.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::test;

namespace {

class BadInput : public WindowTest {
protected:
    void SetUp() override
    {
        makeStore(app.dataDir, {QStringLiteral("山田")});
        click(app.form1().Command1);
    }
    void saveMonth(const QString& year, const QString& month)
    {
        type(app.form2().Text7, year);
        type(app.form2().Text6, month);
        dialogs.answer(true);
        click(app.form2().Command3);
    }
};

struct TypedDose {
    const char* name;
    const char16_t* typed;
    double stored; // what the month holds after save-all; refused doses leave the default 0
    bool refused;
};

class BadDose : public BadInput, public testing::WithParamInterface<TypedDose> {};

TEST_P(BadDose, IsReadByItsLeadingNumberOrRefused)
{
    doubleClick(app.form2().List1, QStringLiteral("山田"));
    type(app.form2().Text7, "2026");
    type(app.form2().Text6, "4");
    const auto before = snapshot(temp.path());
    type(app.form2().Text8, QString::fromUtf16(GetParam().typed));
    click(app.form2().Command4);
    EXPECT_EQ(takeMessages(),
              GetParam().refused
                  ? QStringList{QStringLiteral("実効線量「%1」は10000 mSvを超えています").arg(GetParam().typed)}
                  : QStringList());
    EXPECT_EQ(snapshot(temp.path()), before); // confirming writes nothing
    saveMonth("2026", "4");
    EXPECT_EQ(ReadPersonalFile(app.dataDir, QStringLiteral("山田"))->records.value(0).effective, GetParam().stored);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, BadDose,
    testing::Values(TypedDose{"Overflow", u"1e999", 0, true}, TypedDose{"MinusAlone", u"-", 0, false},
                    TypedDose{"FullWidth", u"１．５", 1.5, false}, TypedDose{"TwoPoints", u"1.5.5", 1.5, false},
                    TypedDose{"Blanks", u"  2 .5", 2.5, false}, TypedDose{"Letter", u"M", 0, false}),
    [](const auto& row) { return std::string(row.param.name); });

struct TypedMonth {
    const char* name;
    const char16_t* year;
    const char16_t* month;
    const char* enteredMonths; // "既入力.txt" afterwards; empty when refused
    bool yearLocks;            // Enter on the year alone locks it
};

class BadMonth : public BadInput, public testing::WithParamInterface<TypedMonth> {};

TEST_P(BadMonth, IsAYearOfFourDigitsAndAMonthOrRefused)
{
    saveMonth(QString::fromUtf16(GetParam().year), QString::fromUtf16(GetParam().month));
    EXPECT_EQ(fileBytes(path(EnteredMonthsFile)), QByteArray(GetParam().enteredMonths));
    app.form2().Text7->setEnabled(true);
    type(app.form2().Text7, QString::fromUtf16(GetParam().year));
    pressEnter(app.form2().Text7);
    EXPECT_EQ(!app.form2().Text7->isEnabled(), GetParam().yearLocks);
}

INSTANTIATE_TEST_SUITE_P(Rows, BadMonth,
                         testing::Values(TypedMonth{"MonthThirteen", u"2005", u"13", "", true},
                                         TypedMonth{"YearFive", u"5", u"4", "", false},
                                         TypedMonth{"MonthMinusOne", u"2005", u"-1", "", true},
                                         TypedMonth{"FiveDigitYearWithoutMonth", u"19875", u"", "", false},
                                         TypedMonth{"YearBefore1950", u"1949", u"4", "", false},
                                         TypedMonth{"Year2101", u"2101", u"4", "", false},
                                         TypedMonth{"Empty", u"", u"", "", false},
                                         TypedMonth{"OverflowingYear", u"1e999", u"4", "", false},
                                         TypedMonth{"FractionalMonth", u"2005", u"4.5", "", true},
                                         TypedMonth{"FullWidthDigits", u"２１００", u"１２", " 210012 \r\n", true},
                                         TypedMonth{"Year1950", u"1950", u"01", " 195001 \r\n", true}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(BadInput, AThousandCharacterNameIsRefused)
{
    click(app.form2().Command1);
    const auto before = snapshot(temp.path());
    type(app.form3().Text2, QString(1000, QChar(u'山')));
    type(app.form3().Text5, "1965");
    type(app.form3().Text6, "4");
    type(app.form3().Text7, "12");
    type(app.form3().Text4, QStringLiteral("外来"));
    click(app.form3().Command1);
    EXPECT_EQ(takeMessages(), QStringList{QStringLiteral("氏名が長すぎます")});
    EXPECT_EQ(snapshot(temp.path()), before);
}

TEST_F(BadInput, FiscalYearsThatAreNotNumbersReadAsZeroTooLargeOnesAreRefused)
{
    app.form2().close();
    click(app.form1().Command2);
    QTest::mouseClick(app.form4().List1->viewport(), Qt::LeftButton, {},
                      app.form4().List1->visualItemRect(app.form4().List1->item(0)).center());
    type(app.form4().Text1, "1e20");
    click(app.form4().Command3);
    EXPECT_EQ(takeMessages(), QStringList{QStringLiteral("表示年度を入力して下さい")});
    EXPECT_FALSE(app.form4().Command4->isEnabled());
    type(app.form4().Text1, "abc");
    click(app.form4().Command3);
    EXPECT_TRUE(dialogs.shown.isEmpty());
    EXPECT_TRUE(app.form4().Command4->isEnabled());
}

} // namespace
