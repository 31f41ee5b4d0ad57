#include "core/model/Calendar.h"

#include <gtest/gtest.h>

using namespace velmora;

namespace {

// The months of the records: which may stand, their fiscal year (from April) and its five-year block.
TEST(Calendar, PlacesAMonthInItsFiscalYearAndBlock)
{
    struct Month {
        MonthKey key;
        bool recorded;
        int fiscalYear;
        int block;
    };
    for (const Month& month :
         {Month{202503, true, 2024, 2021}, Month{202504, true, 2025, 2021}, Month{202604, true, 2026, 2026},
          Month{200103, true, 2000, 1996}, Month{195001, true, 1949, 1946}, Month{210012, true, 2100, 2096},
          Month{194912, false, 1949, 1946}, Month{202513, false, 2025, 2021}, Month{202500, false, 2024, 2021},
          Month{210101, false, 2100, 2096}}) {
        EXPECT_EQ(isRecordMonth(month.key), month.recorded) << month.key;
        EXPECT_EQ(fiscalYearOf(month.key), month.fiscalYear) << month.key;
        EXPECT_EQ(blockStart(fiscalYearOf(month.key)), month.block) << month.key;
    }
}

// Months and days as the operator types them, in the windows and in a CSV; 0 is a refusal.
TEST(Calendar, ReadsTypedMonthsAndDaysAsWritten)
{
    for (const auto& [text, month] : {std::pair{u"2025/05", 202505},
                                      {u"2025/5", 202505},
                                      {u"202505", 202505},
                                      {u"２０２５年５月", 202505},
                                      {u"2025-13", 0},
                                      {u"1949/12", 0},
                                      {u"2101/01", 0},
                                      {u"20255", 0},
                                      {u"2025/05/01", 0},
                                      {u"May 2025", 0}})
        EXPECT_EQ(typedYearMonth(QString::fromUtf16(text)).value_or(0), month)
            << QString::fromUtf16(text).toStdString();
    for (const auto& [text, day] : {std::pair{u"2025/06/10", 20250610LL},
                                    {u"20250610", 20250610LL},
                                    {u"2025年6月10日", 20250610LL},
                                    {u"2024/02/29", 20240229LL},
                                    {u"2025/02/29", 0LL},
                                    {u"1899/12/31", 0LL},
                                    {u"1900/01/01", 19000101LL}, // the first day a record may hold
                                    {u"2100/12/31", 21001231LL},
                                    {u"2101/01/01", 0LL},
                                    {u"2025/6", 0LL},
                                    {u"2025/06/31", 0LL}})
        EXPECT_EQ(typedDay(QString::fromUtf16(text)).value_or(0), day) << QString::fromUtf16(text).toStdString();
    EXPECT_EQ(yearMonthText(202505), QStringLiteral("2025/05"));
    EXPECT_EQ(monthName(202505), QStringLiteral("2025年5月"));
}

// A fiscal year's months, days, quarters and block, at their edges.
TEST(Calendar, AFiscalYearKnowsItsMonthsDaysQuartersAndBlock)
{
    const FiscalYear year(2025);
    EXPECT_EQ(FiscalYear::of(202603).year(), 2025);
    EXPECT_EQ(FiscalYear::of(202604).year(), 2026);
    EXPECT_EQ(year.month(0), 202504);
    EXPECT_EQ(year.month(9), 202601);
    EXPECT_EQ(year.firstDay(), 20250401);
    EXPECT_EQ(year.lastDay(), 20260331);
    EXPECT_EQ(year.quarterDays(2), (std::pair<qint64, qint64>{20251001, 20251231}));
    EXPECT_EQ(year.quarterDays(3), (std::pair<qint64, qint64>{20260101, 20260331}));
    for (const auto& [fiscalYear, start] : {std::pair{2001, 2001}, {2025, 2021}, {2026, 2026}, {2000, 1996}})
        EXPECT_EQ(FiscalYear(fiscalYear).blockStart().year(), start) << fiscalYear;
    EXPECT_EQ(year.placeInBlock(), 4);
    EXPECT_EQ(nextMonth(202512), 202601);
}

} // namespace
