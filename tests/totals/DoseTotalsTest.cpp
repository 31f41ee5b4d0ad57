#include "store/ListFiles.h"
#include "store/PersonalFile.h"
#include "support/DataFiles.h"
#include "support/Stores.h"
#include "totals/TotalsCsv.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::test;

namespace {

// A month's external effective, lens, skin and internal doses.
MonthlyRecord month(MonthKey key, double effective, double lens = 0, double skin = 0, double internal = 0)
{
    return {key, effective, lens, skin, internal, NoComment};
}

struct Case {
    const char* name;
    double sexCode;
    QList<MonthlyRecord> records;
    int fiscalYear;
    Verdict verdict;
    QStringList reasons;
};

void PrintTo(const Case& row, std::ostream* out)
{
    *out << row.name;
}

class Limits : public testing::TestWithParam<Case> {};

TEST_P(Limits, AreCheckedAtTheirBoundaries)
{
    const Case& row = GetParam();
    PersonalFile person{personHeader(QStringLiteral("山田")), row.records};
    person.header.sexCode = row.sexCode;
    const DoseTotals totals = doseTotals(person, row.fiscalYear);
    EXPECT_EQ(totals.verdict, row.verdict);
    EXPECT_EQ(totals.reasons, row.reasons);
}

const QString Woman = QStringLiteral("（女性。妊娠不能と診断された者等は対象外）");

INSTANTIATE_TEST_SUITE_P(
    Rows, Limits,
    testing::Values(
        Case{"FiftyInAYearIsWithinTheLimit",
             0,
             {month(202104, 30), month(202203, 10, 0, 0, 10)},
             2021,
             Verdict::Warning,
             {"実効 年度 50 ≥ 40", "実効 年度 50 > 20（5年の累積を記録）"}},
        Case{"JustOverFiftyIsExceeded",
             0,
             {month(202104, 50.0000001)},
             2021,
             Verdict::Exceeded,
             {"実効 年度 50.0000001 > 50", "実効 年度 50.0000001 > 20（5年の累積を記録）"}},
        Case{"FiveInAWomansQuarterIsWithin",
             1,
             {month(202104, 2), month(202106, 3)},
             2021,
             Verdict::Warning,
             {"実効 Q1 5 ≥ 4" + Woman}},
        Case{"OverFiveInAWomansQuarterIsExceeded",
             1,
             {month(202107, 5.5)},
             2021,
             Verdict::Exceeded,
             {"実効 Q2 5.5 > 5" + Woman}},
        Case{"AMansQuarterHasNoLimit", 0, {month(202107, 5.5)}, 2021, Verdict::Within, {}},
        Case{"MarchBelongsToTheYearBefore",
             1,
             {month(202103, 4.5), month(202104, 1)},
             2020,
             Verdict::Warning,
             {"実効 Q4 4.5 ≥ 4" + Woman}},
        Case{"LensOf60WithinIn2020", 0, {month(202010, 0, 60)}, 2020, Verdict::Within, {}},
        Case{"LensOf60ExceededFrom2021", 0, {month(202110, 0, 60)}, 2021, Verdict::Exceeded, {"水晶体 年度 60 > 50"}},
        Case{"TheBlock2016To2020Adds",
             0,
             {month(201604, 19), month(201704, 19), month(201804, 19), month(201904, 19), month(202004, 19)},
             2020,
             Verdict::Warning,
             {"実効 5年 95 ≥ 80"}},
        Case{"2021StartsANewBlock",
             0,
             {month(201604, 19), month(201704, 19), month(201804, 19), month(201904, 19), month(202004, 19),
              month(202104, 19)},
             2021,
             Verdict::Within,
             {}},
        Case{"SkinOverFiveHundred", 0, {month(202105, 0, 0, 501)}, 2021, Verdict::Exceeded, {"皮膚 年度 501 > 500"}},
        Case{"NegativeValuesAreLeftOutAndNamed",
             0,
             {month(202105, -3, 0, 0, 0), month(202106, 0)},
             2021,
             Verdict::Within,
             {"負の値を除外 2021/05"}}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(DoseTotals, QuartersYearAndBlockWithTheRunningTotalKeptAfterAYearOver20)
{
    PersonalFile person{personHeader(QStringLiteral("山田")),
                        {month(202104, 1, 2, 3, 0.5), month(202104, 9), month(202107, 22), month(202201, 0.1),
                         month(202204, 4), month(202304, 0.25)}};
    person.header.sexCode = 0;
    const DoseTotals totals = doseTotals(person, 2022);
    EXPECT_EQ(totals.effectiveQuarters, (std::array<double, 4>{4, 0, 0, 0}));
    EXPECT_EQ(totals.effectiveBlock, 27.6); // 2021: 1.5 (the first April record) + 22 + 0.1, 2022: 4
    EXPECT_EQ(totals.lensBlock, 2);
    ASSERT_EQ(totals.blockYears.size(), 2);
    EXPECT_EQ(totals.blockYears[0].effective, 23.6);
    EXPECT_EQ(totals.blockYears[1].runningTotal, 27.6);
    EXPECT_EQ(doseTotals(person, 2000).effectiveBlock, std::nullopt);
    EXPECT_EQ(doseTotals(person, 2020).lensBlock, std::nullopt);
}

TEST(DoseTotals, TheCsvOfASmallStoreIsExact)
{
    QTemporaryDir temp;
    const DataDir dir(temp.path());
    makeStore(dir, {QStringLiteral("山田"), QStringLiteral("鈴木, 一郎"), QStringLiteral("佐藤")});
    ASSERT_TRUE(AppendMonthlyRecord(dir, QStringLiteral("山田"), month(202504, 0.1, 0, 0, 0.2)));
    ASSERT_TRUE(AppendMonthlyRecord(dir, QStringLiteral("鈴木, 一郎"), month(202601, 0, 45, 1e-05)));
    writeBytes(dir.personalFile(QStringLiteral("佐藤")), " 3 \r\n");
    const QString output = temp.filePath(QStringLiteral("totals.csv"));
    QStringList unreadable;
    ASSERT_TRUE(exportDoseTotals(dir, 2025, output, unreadable));
    EXPECT_EQ(unreadable, QStringList{QStringLiteral("被曝Data/佐藤.dat")});
    EXPECT_EQ(fileBytes(output),
              QStringLiteral(
                  "\uFEFF登録番号,氏名,性別,年度,実効_Q1,実効_Q2,実効_Q3,実効_Q4,実効_年度,実効_5年,水晶体_Q1,"
                  "水晶体_Q2,水晶体_Q3,水晶体_Q4,水晶体_年度,水晶体_5年,皮膚_Q1,皮膚_Q2,皮膚_Q3,皮膚_Q4,"
                  "皮膚_年度,判定,理由\r\n"
                  "1,山田,女,2025,0.3,0,0,0,0.3,0.3,0,0,0,0,0,0,0,0,0,0,0,,\r\n"
                  "2,\"鈴木, 一郎\",女,2025,0,0,0,0,0,0,0,0,0,45,45,45,0,0,0,0.00001,0.00001,注意,"
                  "水晶体 年度 45 ≥ 40\r\n"
                  ",佐藤,,2025,,,,,,,,,,,,,,,,,,,ファイル「被曝Data/佐藤.dat」の内容が正しくありません（2行目）\r\n")
                  .toUtf8());
}

} // namespace
