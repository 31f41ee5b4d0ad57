#include "core/changes/Exports.h"
#include "core/files/ListFiles.h"
#include "core/files/PersonalFile.h"
#include "core/rules/TotalsColumns.h"
#include "support/DataFiles.h"
#include "support/Stores.h"

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
    DoseAdditions additions = {}; // doses at other facilities and declarations
};

void PrintTo(const Case& row, std::ostream* out)
{
    *out << row.name;
}

class Limits : public testing::TestWithParam<Case> {};

TEST_P(Limits, AreCheckedOnExactSums)
{
    const Case& row = GetParam();
    PersonalFile person{personHeader(QStringLiteral("山田")), row.records};
    person.header.sexCode = row.sexCode;
    auto additions = row.additions;
    for (OtherFacilityDose& dose : additions.otherDoses)
        EXPECT_EQ(storedOtherDoseProblem(dose), std::nullopt) << row.name;
    const DoseTotals totals = doseTotals(person, row.fiscalYear, additions);
    EXPECT_EQ(totals.verdict, row.verdict);
    EXPECT_EQ(totals.reasons, row.reasons);
}

const QString Woman = QStringLiteral("（女性。妊娠不能と診断された者は対象外）");
const QString Over20 = QStringLiteral(" > 20（5年の累積を記録）");

// A dose received at another facility in the months from…to.
OtherFacilityDose elsewhere(MonthKey from, MonthKey to, double effective, double lens = 0, double internal = 0)
{
    return {QStringLiteral("山田"), QStringLiteral("他病院"), from, to, effective, lens, 0, internal, NoComment};
}

Declaration declared(DeclarationKind kind, qint64 from, qint64 to = 0)
{
    return {QStringLiteral("山田"), kind, from, to, NoComment};
}

const QString Pregnant = QStringLiteral("（2025/06/10からの妊娠）");

INSTANTIATE_TEST_SUITE_P(
    Rows, Limits,
    testing::Values(
        Case{"FiftyInAYearIsWithin",
             0,
             {month(202104, 16.7), month(202105, 16.7), month(202203, 16.5, 0, 0, 0.1)},
             2021,
             Verdict::Warning,
             {"実効 年度 50 ≥ 40", "実効 年度 50" + Over20}},
        Case{"JustOverFiftyIsExceeded",
             0,
             {month(202104, 50.0000001)},
             2021,
             Verdict::Exceeded,
             {"実効 年度 50.0000001 > 50", "実効 年度 50.0000001" + Over20}},
        Case{"FortyIsAWarningAndTwentyNeedsNoRunningTotal",
             0,
             {month(202104, 20), month(202107, 20)},
             2021,
             Verdict::Warning,
             {"実効 年度 40 ≥ 40", "実効 年度 40" + Over20}},
        Case{"JustUnderFortyIsWithin", 0, {month(202104, 19.9), month(202107, 0.05)}, 2021, Verdict::Within, {}},
        Case{"ExactlyTwentyInAYearIsWithin", 0, {month(202104, 12.3), month(202110, 7.7)}, 2021, Verdict::Within, {}},
        Case{"FiveInAWomansQuarterIsWithin",
             1,
             {month(202104, 2.1), month(202105, 2.2), month(202106, 0.7)},
             2021,
             Verdict::Warning,
             {"実効 4～6月 5 ≥ 4" + Woman}},
        Case{"FourInAWomansQuarterIsAWarning",
             1,
             {month(202110, 1.2), month(202111, 1.4), month(202112, 1.4)},
             2021,
             Verdict::Warning,
             {"実効 10～12月 4 ≥ 4" + Woman}},
        Case{"OverFiveInAWomansQuarterIsExceeded",
             1,
             {month(202107, 5, 0, 0, 0.01)},
             2021,
             Verdict::Exceeded,
             {"実効 7～9月 5.01 > 5" + Woman}},
        Case{"AMansQuarterHasNoLimit", 0, {month(202107, 5.5)}, 2021, Verdict::Within, {}},
        // A hand-edited file's dose finer than 10⁻¹² mSv is counted rounded and named, never silently.
        Case{"ADoseFinerThanTheExactTypeIsNamed",
             0,
             {month(202107, 49), month(202108, 1.0000000000004)},
             2021,
             Verdict::Doubtful,
             {"実効 年度 50 ≥ 40", "実効 年度 50" + Over20,
              "2021年8月の実効 1.0000000000004は小数点以下12桁を超えるため、12桁に丸めて集計"}},
        Case{"MarchBelongsToTheYearBefore",
             1,
             {month(202103, 4.5), month(202104, 1)},
             2020,
             Verdict::Warning,
             {"実効 1～3月 4.5 ≥ 4" + Woman}},
        Case{"LensOf60WithinIn2020", 0, {month(202010, 0, 60)}, 2020, Verdict::Within, {}},
        Case{"LensOfFiftyIsWithinFrom2021",
             0,
             {month(202110, 0, 20.3), month(202111, 0, 29.7)},
             2021,
             Verdict::Warning,
             {"水晶体 年度 50 ≥ 40"}},
        Case{"LensBlockCountsInItsFirstYear",
             0,
             {month(202110, 0, 50.1), month(202111, 0, 30)},
             2021,
             Verdict::Exceeded,
             {"水晶体 年度 80.1 > 50", "水晶体 5年 80.1 ≥ 80"}},
        Case{"TheBlockOfExactlyHundredIsWithin",
             0,
             {month(202104, 20.1), month(202204, 19.9), month(202304, 20.2), month(202404, 19.8), month(202504, 20)},
             2025,
             Verdict::Warning,
             {"実効 5年 100 ≥ 80"}},
        Case{"2021StartsANewBlock",
             0,
             {month(201604, 19), month(201704, 19), month(201804, 19), month(201904, 19), month(202004, 19),
              month(202104, 19)},
             2021,
             Verdict::Within,
             {}},
        Case{"SkinOfFiveHundredIsWithin",
             0,
             {month(202105, 0, 0, 250.1), month(202106, 0, 0, 249.9)},
             2021,
             Verdict::Warning,
             {"皮膚 年度 500 ≥ 400"}},
        Case{"SkinOverFiveHundred", 0, {month(202105, 0, 0, 501)}, 2021, Verdict::Exceeded, {"皮膚 年度 501 > 500"}},
        Case{"AMonthHeldTwiceCountsItsLargerDoses",
             0,
             {month(202106, 1), month(202107, 0.5), month(202106, 45, 0, 2)},
             2021,
             Verdict::Doubtful,
             {"実効 年度 45.5 ≥ 40", "実効 年度 45.5" + Over20,
              "2021年6月の記録が2件（実効 1、45／皮膚 0、2。各線量の大きい方で集計）"}},
        Case{"AMonthHeldTwiceExceedingIsExceeded",
             0,
             {month(202106, 1), month(202106, 51), month(202106, 1)},
             2021,
             Verdict::Exceeded,
             {"実効 年度 51 > 50", "実効 年度 51" + Over20,
              "2021年6月の記録が3件（実効 1、51、1。各線量の大きい方で集計）"}},
        Case{"AMonthHeldTwiceInAnEarlierYearOfTheBlock",
             0,
             {month(202106, 1), month(202106, 1)},
             2022,
             Verdict::Doubtful,
             {"2021年6月の記録が2件（同じ値。各線量の大きい方で集計）"}},
        Case{"AMonthNumbered13IsNamed",
             0,
             {month(202113, 30, 0, 0, 0.5)},
             2021,
             Verdict::Doubtful,
             {"2021年13月の記録（実効 30.5）は月が1～12でないため集計外"}},
        Case{"NegativeDosesAreLeftOutAndNamed",
             0,
             {month(202104, 0, -0.5), month(202105, -1, 0, 0, -0.25), month(202106, 0)},
             2021,
             Verdict::Doubtful,
             {"負の値を除外 水晶体 −0.5（2021年4月）、実効 −1（2021年5月）、内部 −0.25（2021年5月）"}},
        Case{"ThirtyHereAndTwentyFiveElsewhereExceedTheYear",
             0,
             {month(202506, 30)},
             2025,
             Verdict::Exceeded,
             {"実効 年度 55 > 50", "実効 年度 55" + Over20},
             {{elsewhere(202509, 202509, 25)}, {}}},
        Case{"APeriodElsewhereCountsInItsLastMonthAndTheBlock",
             1,
             {month(202104, 60)},
             2025,
             Verdict::Exceeded,
             {"実効 5年 101 > 100", "実効 1～3月 4.5 ≥ 4" + Woman},
             {{elsewhere(202601, 202603, 4.5, 12), elsewhere(202404, 202503, 36.5)}, {}}},
        Case{"PregnancyAt1Point9IsAWarningAndMonthsBeforeTheDeclarationDoNotCount",
             1,
             {month(202505, 2.5), month(202506, 1.0), month(202507, 0.9, 0, 0, 0.8)},
             2025,
             Verdict::Warning,
             {"妊娠中 外部 1.9 ≥ 1.6" + Pregnant, "妊娠中 内部 0.8 ≥ 0.8" + Pregnant},
             {{}, {declared(DeclarationKind::Pregnancy, 20250610)}}},
        Case{"PregnancyAt2Point1IsExceeded",
             1,
             {month(202506, 1.0), month(202507, 1.1)},
             2025,
             Verdict::Exceeded,
             {"妊娠中 外部 2.1 > 2" + Pregnant},
             {{}, {declared(DeclarationKind::Pregnancy, 20250610)}}},
        Case{"PregnancyCountsAPeriodElsewhereThatTouchesItsMonthsWhole",
             1,
             {month(202506, 1.0)},
             2025,
             Verdict::Exceeded,
             {"妊娠中 外部 2.5 > 2" + Pregnant},
             {{elsewhere(202504, 202506, 1.5)}, {declared(DeclarationKind::Pregnancy, 20250610)}}},
        Case{"PregnancyEndsWithTheDelivery",
             1,
             {month(202506, 1.0), month(202507, 0.5), month(202508, 1.0)},
             2025,
             Verdict::Within,
             {},
             {{}, {declared(DeclarationKind::Pregnancy, 20250610, 20250731)}}},
        Case{"PregnancyDeclaredTheYearBeforeCountsFromItsMonthAndTwoIsWithin",
             1,
             {month(202501, 7), month(202502, 1.5), month(202504, 0.5)},
             2025,
             Verdict::Warning,
             {"妊娠中 外部 2 ≥ 1.6（2025/02/10からの妊娠）"},
             {{}, {declared(DeclarationKind::Pregnancy, 20250210)}}},
        Case{"AnExemptWomanHasNoQuarterLimit",
             1,
             {month(202507, 6)},
             2025,
             Verdict::Within,
             {},
             {{}, {declared(DeclarationKind::CannotConceive, 20200401)}}},
        Case{"AnExemptionFromMidQuarterLeavesThatQuarterChecked",
             1,
             {month(202507, 6)},
             2025,
             Verdict::Exceeded,
             {"実効 7～9月 6 > 5" + Woman},
             {{}, {declared(DeclarationKind::CannotConceive, 20250801)}}},
        Case{"AnExemptionEndingMidQuarterLeavesThatQuarterChecked",
             1,
             {month(202507, 6)},
             2025,
             Verdict::Exceeded,
             {"実効 7～9月 6 > 5" + Woman},
             {{}, {declared(DeclarationKind::CannotConceive, 20200401, 20250815)}}},
        Case{"AnExemptionFromAprilCoversTheFourthQuarter",
             1,
             {month(202602, 6)},
             2025,
             Verdict::Within,
             {},
             {{}, {declared(DeclarationKind::CannotConceive, 20250401)}}},
        Case{"AWrittenDeclarationKeepsTheQuarterLimitOfTheStricterLaw",
             1,
             {month(202504, 3), month(202505, 3)},
             2025,
             Verdict::Exceeded,
             {"実効 4～6月 6 > 5（女性。妊娠の意思なし（書面）の申出は電離則では対象外とならない）"},
             {{}, {declared(DeclarationKind::NoPregnancyPlan, 20200401)}}},
        Case{"AnEntryElsewhereOverSeveralMonthsCountsInItsLastMonth",
             1,
             {},
             2025,
             Verdict::Exceeded,
             {"実効 7～9月 6 > 5" + Woman,
              "他施設線量（他病院 2025年6月～2025年8月）は期間が四半期をまたぐため、終了月の7～9月に集計"},
             {{elsewhere(202506, 202508, 6)}, {}}},
        Case{"AMansPeriodAcrossQuartersNeedsNoLook",
             0,
             {},
             2025,
             Verdict::Within,
             {},
             {{elsewhere(202506, 202508, 6)}, {}}},
        Case{"AnEntryElsewhereAcrossAFiscalYearCountsInItsLastMonthAndNeedsALook",
             0,
             {},
             2026,
             Verdict::Doubtful,
             {"他施設線量（他病院 2026年2月～2026年5月）は期間が年度をまたぐため、終了月に集計"},
             {{elsewhere(202602, 202605, 3)}, {}}},
        Case{"AYearAPeriodElsewhereTouchesIsFlaggedThoughItCountsInTheNext",
             0,
             {},
             2025,
             Verdict::Doubtful,
             {"他施設線量（他病院 2026年2月～2026年5月）は期間の一部がこの年度にあるが、2026年度（終了月）に集計"},
             {{elsewhere(202602, 202605, 3)}, {}}},
        Case{"ANegativeDoseHidesNothing",
             0,
             {month(202104, 45), month(202105, -10)},
             2021,
             Verdict::Doubtful,
             {"実効 年度 45 ≥ 40", "実効 年度 45" + Over20, "負の値を除外 実効 −10（2021年5月）"}},
        Case{"ADesignatedDoctorIsHeldToSixtyOverFY2023To2025",
             0,
             {month(202306, 0, 22), month(202406, 0, 20), month(202506, 0, 19)},
             2025,
             Verdict::Exceeded,
             {"水晶体 2023年度から 61 > 60（経過措置対象医師）"},
             {{}, {declared(DeclarationKind::DesignatedDoctor, 20210401)}}},
        Case{"ADesignatedDoctorHasNoLensBlockLimitBefore2026",
             0,
             {month(202106, 0, 45), month(202206, 0, 45), month(202306, 0, 10)},
             2023,
             Verdict::Within,
             {},
             {{}, {declared(DeclarationKind::DesignatedDoctor, 20210401)}}},
        Case{"ADesignatedDoctorsTransitionBeginsInFY2021",
             0,
             {month(202106, 0, 45), month(202206, 0, 45)},
             2022,
             Verdict::Warning,
             {"水晶体 年度 45 ≥ 40"},
             {{}, {declared(DeclarationKind::DesignatedDoctor, 20210401)}}},
        Case{"AnExemptionEndingOnTheThirtiethOfDecemberLeavesTheQuarterChecked",
             1,
             {month(202511, 6)},
             2025,
             Verdict::Exceeded,
             {"実効 10～12月 6 > 5" + Woman},
             {{}, {declared(DeclarationKind::CannotConceive, 20200401, 20251230)}}},
        Case{"APregnancysFigureForAYearStopsAtItsMarch",
             1,
             {month(202603, 1), month(202604, 1.5)},
             2025,
             Verdict::Within,
             {},
             {{}, {declared(DeclarationKind::Pregnancy, 20260210, 20260610)}}},
        Case{"APregnancyDeclaredBeforeTheBlockCountsItsMonthsBeforeIt",
             1,
             {month(202602, 1), month(202605, 0.7)},
             2026,
             Verdict::Warning,
             {"妊娠中 外部 1.7 ≥ 1.6（2026/02/01からの妊娠）"},
             {{}, {declared(DeclarationKind::Pregnancy, 20260201)}}},
        Case{"AnInternalDoseElsewhereCountsInTheEffectiveDose",
             0,
             {month(202504, 30)},
             2025,
             Verdict::Exceeded,
             {"実効 年度 51 > 50", "実効 年度 51" + Over20},
             {{elsewhere(202505, 202505, 20, 0, 1)}, {}}},
        Case{"FromFY2026ADesignatedDoctorFollowsTheOrdinaryRule",
             0,
             {month(202606, 0, 45)},
             2026,
             Verdict::Warning,
             {"水晶体 年度 45 ≥ 40"},
             {{}, {declared(DeclarationKind::DesignatedDoctor, 20210401)}}}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(DoseTotals, EveryQuarterOfExactlyFiveInTenthsIsWithin)
{
    // Each split of 5 mSv into three months in steps of 0.1, as the file's texts give them.
    const auto dose = [](int tenths) { return QStringLiteral("%1.%2").arg(tenths / 10).arg(tenths % 10).toDouble(); };
    int misjudged = 0;
    for (int first = 0; first <= 50; ++first)
        for (int second = 0; first + second <= 50; ++second) {
            PersonalFile person{
                personHeader(QStringLiteral("山田")),
                {month(202104, dose(first)), month(202105, dose(second)), month(202106, dose(50 - first - second))}};
            const DoseTotals totals = doseTotals(person, 2021);
            misjudged += totals.verdict != Verdict::Warning || totals.effectiveQuarters[0] != ExactDose::whole(5);
        }
    EXPECT_EQ(misjudged, 0);
}

TEST(DoseTotals, QuartersYearAndBlockWithTheRunningTotalKeptAfterAYearOver20)
{
    PersonalFile person{
        personHeader(QStringLiteral("山田")),
        {month(202104, 1, 2, 3, 0.5), month(202107, 22), month(202201, 0.1), month(202204, 4), month(202304, 0.25)}};
    const DoseTotals totals = doseTotals(person, 2022);
    EXPECT_EQ(totals.effectiveQuarters[0].text(), "4");
    EXPECT_EQ(totals.effectiveBlock->text(), "27.6"); // 2021: 1.5 + 22 + 0.1, 2022: 4
    EXPECT_EQ(totals.lensBlock->text(), "2");
    ASSERT_EQ(totals.blockYears.size(), 2);
    EXPECT_EQ(totals.blockYears[0].effective.text(), "23.6");
    EXPECT_EQ(totals.blockYears[1].runningTotal.text(), "27.6");
    EXPECT_TRUE(totals.months[0].recorded);
    EXPECT_FALSE(totals.months[1].recorded);
    EXPECT_EQ(doseTotals(person, 2000).effectiveBlock, std::nullopt);
    EXPECT_EQ(doseTotals(person, 2020).lensBlock, std::nullopt);

    const PersonalFile twenty{personHeader(QStringLiteral("鈴木")), {month(202104, 20), month(202204, 20)}};
    EXPECT_TRUE(totals.runningTotalKept);
    EXPECT_FALSE(doseTotals(twenty, 2022).runningTotalKept); // kept only above 20
}

// An entry elsewhere after the current month makes its person 要確認; the others keep their figures.
TEST(DoseTotals, ADoubtfulEntryElsewhereStopsOnePersonNotTheOthers)
{
    QTemporaryDir temp;
    const DataDir dir(temp.path());
    makeStore(dir, {QStringLiteral("山田"), QStringLiteral("鈴木")});
    ASSERT_TRUE(AppendMonthlyRecord(dir, QStringLiteral("鈴木"), month(202605, 1)));
    OtherFacilityDose thisMonth = elsewhere(202612, 202612, 0.5);
    thisMonth.name = QStringLiteral("鈴木");
    ASSERT_TRUE(WriteOtherFacilityDoses(dir, {elsewhere(202701, 202701, 2), thisMonth}));
    const auto rows = gatherStoreTotals(dir, 2026, 202612);
    ASSERT_TRUE(rows);
    EXPECT_EQ(rows->at(0).verdict(), Verdict::Doubtful);
    EXPECT_EQ(rows->at(0).totals->reasons,
              QStringList{"他施設線量（他病院 2027年1月～2027年1月）は今月より後の月のため、入力の誤りがないか確認"});
    EXPECT_EQ(rows->at(0).totals->effectiveYear.text(), "2"); // counted all the same
    EXPECT_EQ(rows->at(1).verdict(), Verdict::Within);
    EXPECT_EQ(rows->at(1).totals->effectiveYear.text(), "1.5"); // this month's entry is no doubt
}

// The person's months by their calendar year, the internal dose beside them, and a pregnancy month by month.
TEST(DoseTotals, PersonFiguresNameEachMonthsYearAndGiveThePregnancy)
{
    const PersonalFile person{personHeader(QStringLiteral("山田")),
                              {month(202612, 0.5, 0, 0, 0.25), month(202701, 0.5), month(202703, 0, 0, 0, 0.1)}};
    const DoseAdditions pregnant{{}, {declared(DeclarationKind::Pregnancy, 20270115)}};
    const QList<PersonFigureRow> rows = personFigures(doseTotals(person, 2026, pregnant), 2026);
    EXPECT_EQ(rows[8].label, "2026年12月");
    EXPECT_EQ(rows[8].cells, (std::array<QString, 4>{"0.75", "Ｍ", "Ｍ", "0.25"}));
    EXPECT_EQ(rows[9].label, "2027年1月");
    EXPECT_EQ(rows[11].cells[3], "0.1");
    EXPECT_EQ(rows.last().label, "妊娠 2027年3月");
    EXPECT_EQ(rows.last().cells, (std::array<QString, 4>{"0.5", {}, {}, "0.1"}));
}

TEST(ExactDose, TakesTheStoredDecimal)
{
    for (const auto& [stored, text] : {std::pair{0.1, "0.1"},
                                       {1.23e-03, "0.00123"},
                                       {-0.5, "-0.5"},
                                       {123456.789, "123456.789"},
                                       {1e-13, "0"},
                                       {5e-13, "0.000000000001"},
                                       {1e300, "1000000000000000000000000"}})
        EXPECT_EQ(ExactDose::of(stored).text(), text) << stored;
    EXPECT_EQ((ExactDose::of(0.1) + ExactDose::of(0.2)).text(), "0.3");
    // A mean rounds half a unit of 10⁻¹² mSv away from zero; nobody shares nothing.
    for (const auto& [total, count, text] : {std::tuple{1e-12, 2, "0.000000000001"},
                                             {-1e-12, 2, "-0.000000000001"},
                                             {1e-12, 3, "0"},
                                             {2e-12, 3, "0.000000000001"},
                                             {5.0, 0, "0"}})
        EXPECT_EQ(ExactDose::of(total).dividedBy(count).text(), text) << total << " / " << count;
    // The printed mean, to 0.001 mSv, half away from zero.
    for (const auto& [total, count, text] : {std::tuple{3.188, 3, "1.063"},
                                             {-3.188, 3, "-1.063"},
                                             {0.0015, 1, "0.002"},
                                             {0.0014999, 1, "0.001"},
                                             {2.0, 1, "2"}})
        EXPECT_EQ(ExactDose::of(total).dividedBy(count).roundedTo(3).text(), text) << total << " / " << count;
}

// The pregnancy columns show the latest pregnancy, in whichever order they were declared; one with no
// delivery 300 days after it began needs a look.
TEST(DoseTotals, TheLatestPregnancyIsShownAndOneWithoutAnEndPastThreeHundredDaysIsDoubted)
{
    PersonalFile person{personHeader(QStringLiteral("山田")), {month(202504, 0.3), month(202601, 0.7)}};
    person.header.sexCode = 1;
    const Declaration earlier = declared(DeclarationKind::Pregnancy, 20250401, 20250420);
    const Declaration later = declared(DeclarationKind::Pregnancy, 20251201);
    for (const QList<Declaration>& declarations : {QList{earlier, later}, QList{later, earlier}}) {
        const DoseTotals totals = doseTotals(person, 2025, {{}, declarations}, 202603);
        ASSERT_EQ(totals.pregnancies.size(), 2);
        EXPECT_EQ(totals.pregnancies.last().from, 20251201);
        EXPECT_EQ(totals.verdict, Verdict::Within);
    }
    const DoseTotals late = doseTotals(person, 2025, {{}, {earlier, later}}, 202610);
    EXPECT_EQ(late.verdict, Verdict::Doubtful);
    EXPECT_EQ(late.reasons, QStringList{"2025/12/01からの妊娠は300日を過ぎても出産日（終了日）がないため、入力を確認"});
}

TEST(DoseTotals, TheCsvHoldsRegistrantsRemovedStaffOfTheBlockAndUnreadableFiles)
{
    QTemporaryDir temp;
    const DataDir dir(temp.path());
    makeStore(dir, {QStringLiteral("山田"), QStringLiteral("鈴木, 一郎"), QStringLiteral("佐藤"),
                    QStringLiteral("田中"), QStringLiteral("高橋"), QStringLiteral("伊藤")});
    ASSERT_TRUE(AppendMonthlyRecord(dir, QStringLiteral("山田"), month(202504, 0.1, 0, 0, 0.2)));
    ASSERT_TRUE(AppendMonthlyRecord(dir, QStringLiteral("山田"), month(202603, 0.4)));
    ASSERT_TRUE(AppendMonthlyRecord(dir, QStringLiteral("鈴木, 一郎"), month(202601, 0, 45, 1e-05)));
    writeBytes(dir.personalFile(QStringLiteral("佐藤")), " 3 \r\n");
    // 田中 left after working in the block, 高橋 before it; 伊藤's file is damaged.
    ASSERT_TRUE(AppendMonthlyRecord(dir, QStringLiteral("田中"), month(202104, 6, 30)));
    ASSERT_TRUE(AppendMonthlyRecord(dir, QStringLiteral("高橋"), month(202103, 60)));
    writeBytes(dir.personalFile(QStringLiteral("伊藤")), " 3 \r\n");
    ASSERT_TRUE(
        SaveRegistrantList(dir, {QStringLiteral("山田"), QStringLiteral("鈴木, 一郎"), QStringLiteral("佐藤")}));
    ASSERT_TRUE(RewriteRemovedNames(dir, {QStringLiteral("田中"), QStringLiteral("高橋"), QStringLiteral("伊藤")}));
    // The doses elsewhere of a removed person count as well.
    OtherFacilityDose removedElsewhere = elsewhere(202504, 202504, 1);
    removedElsewhere.name = QStringLiteral("田中");
    // An entry under a name nobody has (mistyped by hand) is named, never passed over silently.
    OtherFacilityDose nobodys = elsewhere(202504, 202504, 3);
    nobodys.name = QStringLiteral("山田　");
    ASSERT_TRUE(WriteOtherFacilityDoses(
        dir, {elsewhere(202505, 202505, 0.5, 1), elsewhere(202405, 202405, 9), removedElsewhere, nobodys}));
    ASSERT_TRUE(WriteDeclarations(dir, {declared(DeclarationKind::Pregnancy, 20250601)}));

    const QString output = temp.filePath(QStringLiteral("totals.csv"));
    QStringList unreadable;
    QStringList unknownPersons;
    ASSERT_TRUE(ExportDoseTotals(dir, 2025, 202603, output, unreadable, &unknownPersons));
    EXPECT_EQ(unreadable, (QStringList{QStringLiteral("被曝Data/佐藤.dat"), QStringLiteral("被曝Data/伊藤.dat")}));
    EXPECT_EQ(unknownPersons, QStringList{nobodys.name});
    const QString damaged = QStringLiteral("の内容が正しくありません（2行目）");
    EXPECT_EQ(
        fileBytes(output),
        QStringLiteral("\uFEFF登録番号,氏名,性別,年度,実効_Q1,実効_Q2,実効_Q3,実効_Q4,実効_年度,実効_5年,水晶体_Q1,"
                       "水晶体_Q2,水晶体_Q3,水晶体_Q4,水晶体_年度,水晶体_5年,皮膚_Q1,皮膚_Q2,皮膚_Q3,皮膚_Q4,"
                       "皮膚_年度,判定,理由,在籍,他施設_実効,他施設_水晶体,内部_Q1,内部_Q2,内部_Q3,内部_Q4,内部_年度,"
                       "妊娠中_外部,妊娠中_内部,水晶体_2023年度から\r\n"
                       "1,山田,女,2025,0.8,0,0,0.4,1.2,10.2,1,0,0,0,1,1,0,0,0,0,0,,,在籍,0.5,1,0.2,0,0,0,0.2,0.4,0,\r\n"
                       "2,\"鈴木, 一郎\",女,2025,0,0,0,0,0,0,0,0,0,45,45,45,0,0,0,0.00001,0.00001,注意,"
                       "水晶体 年度 45 ≥ 40,在籍,,,0,0,0,0,0,,,\r\n"
                       ",佐藤,,2025,,,,,,,,,,,,,,,,,,読込不可,ファイル「被曝Data/佐藤.dat」%1,在籍,,,,,,,,,,\r\n"
                       "4,田中,女,2025,1,0,0,0,1,7,0,0,0,0,0,30,0,0,0,0,0,,,抹消,1,0,0,0,0,0,0,,,\r\n"
                       ",伊藤,,2025,,,,,,,,,,,,,,,,,,読込不可,ファイル「被曝Data/伊藤.dat」%1,抹消,,,,,,,,,,\r\n")
            .arg(damaged)
            .toUtf8());
}

} // namespace
