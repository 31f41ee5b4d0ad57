#include "core/files/NumberForms.h"
#include "support/DataFiles.h"

#include <clocale>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using namespace velmora;

namespace {

TEST(PrintForm, SignPlaceDigitsAndTrailingBlank)
{
    EXPECT_EQ(printForm(0), QStringLiteral(" 0 "));
    EXPECT_EQ(printForm(-0.0), QStringLiteral(" 0 "));
    EXPECT_EQ(printForm(12), QStringLiteral(" 12 "));
    EXPECT_EQ(printForm(-5), QStringLiteral("-5 "));
    EXPECT_EQ(printForm(200504), QStringLiteral(" 200504 "));
    EXPECT_EQ(printForm(19650412), QStringLiteral(" 19650412 "));
    EXPECT_EQ(printForm(0.00123), QStringLiteral(" 0.00123 "));
    EXPECT_EQ(printForm(1.23e-05), QStringLiteral(" 1.23E-05 "));
    EXPECT_EQ(printForm(-2.5), QStringLiteral("-2.5 "));
    EXPECT_EQ(printForm(1.5e20), QStringLiteral(" 1.5E+20 "));
    EXPECT_EQ(printFormDigits(200504), QStringLiteral(" 200504"));
}

TEST(PrintForm, ReadsBackToTheSameValue)
{
    for (double value : {0.1, 1.0 / 3, 2.0 / 3 * 1e-7, 123456.789, 0.1 + 0.2, 9.999999999999999e22, -1e-300}) {
        const QString line = printForm(value);
        EXPECT_EQ(readNumberLine(line), value) << line.toStdString();
    }
}

TEST(PrintForm, ReportsShowSumsWithFifteenDigits)
{
    EXPECT_EQ(printForm(0.1 + 0.2), QStringLiteral(" 0.30000000000000004 "));
    EXPECT_EQ(reportForm(0.1 + 0.2), QStringLiteral(" 0.3 "));
    EXPECT_EQ(reportForm(-1.23e-05), QStringLiteral("-1.23E-05 "));
    EXPECT_EQ(reportForm(12), QStringLiteral(" 12 "));
}

TEST(NumberLine, AcceptsBlanksSignsMissingZerosAndExponents)
{
    EXPECT_EQ(readNumberLine(QByteArrayView(" 0 ")), 0);
    EXPECT_EQ(readNumberLine(QByteArrayView(".00123")), 0.00123);
    EXPECT_EQ(readNumberLine(QByteArrayView("-5")), -5);
    EXPECT_EQ(readNumberLine(QByteArrayView("1.23E-05")), 1.23e-05);
    EXPECT_EQ(readNumberLine(QByteArrayView(" 1.5D+02 ")), 150);
    EXPECT_EQ(readNumberLine(QByteArrayView(" 2 00 5 04 ")), 200504);
    EXPECT_EQ(readNumberLine(QByteArrayView("+7")), 7);
}

TEST(NumberLine, RefusesWhatIsNotOneNumber)
{
    for (const char* line : {"", "  ", "abc", "12abc", "1.2.3", "-", ".", "E5", "1E", "0x10", "１", "1e999", "-1D400"})
        EXPECT_FALSE(readNumberLine(QString::fromUtf8(line))) << line;
}

struct Typed {
    const char16_t* text;
    double value;
};

class LeadingNumberRows : public testing::TestWithParam<Typed> {};

TEST_P(LeadingNumberRows, ReadsTheLongestBeginningThatIsANumber)
{
    EXPECT_EQ(LeadingNumber(QString::fromUtf16(GetParam().text)), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(TypedTexts, LeadingNumberRows,
                         testing::Values(Typed{u"1.23E-03", 0.00123}, Typed{u"M", 0}, Typed{u"", 0}, Typed{u"Ｍ", 0},
                                         Typed{u"12abc", 12}, Typed{u"  2 .5", 2.5}, Typed{u"1.5.5", 1.5},
                                         Typed{u"-", 0}, Typed{u"-.5", -0.5}, Typed{u"1.5D+02", 150}, Typed{u"3E", 3},
                                         Typed{u"3E+", 3}, Typed{u"\t4\n2", 42}, Typed{u"１．５", 1.5},
                                         Typed{u"－０．２５", -0.25}, Typed{u"２Ｅ－０３", 0.002}, Typed{u"１　２", 12},
                                         Typed{u"+8", 8}, Typed{u"2005年", 2005}));

TEST(CellNumber, IsTheWholeCellOrNothing)
{
    for (const auto& [cell, value] :
         {std::pair{u" １．５ ", 1.5}, {u"-2E-3", -0.002}, {u"\u3000７\t", 7.0}, {u".5", 0.5}})
        EXPECT_EQ(cellNumber(cell), value);
    const QString withNul = QStringLiteral("0") + QChar(0);
    for (const QString& cell :
         {QStringLiteral("0,06"), QStringLiteral("0.09.5"), QStringLiteral("1 2"), QStringLiteral("12abc"),
          QStringLiteral("M"), QString(), QStringLiteral("-"), withNul, QStringLiteral("2005年")})
        EXPECT_EQ(cellNumber(cell), std::nullopt) << cell.toStdString();
}

TEST(LeadingNumber, OverflowIsInfiniteAndNotStorableAndUnderflowIsZero)
{
    const double huge = LeadingNumber(u"1e999");
    EXPECT_TRUE(std::isinf(huge));
    EXPECT_EQ(LeadingNumber(u"-0.0001e-320"), -0.0);
    EXPECT_EQ(LeadingNumber(u"5e-324"), 5e-324); // the smallest double, not out of range
    EXPECT_EQ(LeadingNumber(u"100000e-330"), 0.0);
    EXPECT_TRUE(std::isinf(LeadingNumber(u"23E99999999999999999999")));
    EXPECT_EQ(LeadingNumber(u"0.0023E-99999999999999999999"), 0.0);
    EXPECT_TRUE(std::isinf(LeadingNumber(u"-0.00001e314")) && LeadingNumber(u"-0.00001e314") < 0);
    EXPECT_EQ(LeadingNumber(u"0.00001e300"), 1e295);
    EXPECT_FALSE(isStorable(huge));
    EXPECT_FALSE(isStorable(std::numeric_limits<double>::quiet_NaN()));
    EXPECT_TRUE(isStorable(LeadingNumber(u"1e20")));
}

TEST(ExponentForm, OneDigitTwoDecimalsAndSignedExponent)
{
    EXPECT_EQ(exponentForm(0.00123), QStringLiteral("1.23E-03"));
    EXPECT_EQ(exponentForm(0), QStringLiteral("0.00E+00"));
    EXPECT_EQ(exponentForm(150), QStringLiteral("1.50E+02"));
    EXPECT_EQ(exponentForm(-0.5), QStringLiteral("-5.00E-01"));
    EXPECT_EQ(exponentForm(1.23e-105), QStringLiteral("1.23E-105"));
}

// A German numeric locale writes "0,5"; the data files must not follow it.
TEST(NumberForms, IgnoreTheUsersNumericLocale)
{
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && !std::setlocale(LC_NUMERIC, "de_DE"))
        GTEST_SKIP() << "no German locale on this machine";
    EXPECT_EQ(printForm(0.5), QStringLiteral(" 0.5 "));
    EXPECT_EQ(readNumberLine(QByteArrayView("0.5")), 0.5);
    EXPECT_EQ(LeadingNumber(u"0.5"), 0.5);
    EXPECT_EQ(exponentForm(0.5), QStringLiteral("5.00E-01"));
    std::setlocale(LC_NUMERIC, previous.c_str());
}

} // namespace
