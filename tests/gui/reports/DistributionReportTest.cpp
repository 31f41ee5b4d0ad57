#include "gui/reports/DistributionReport.h"
#include "support/RecordingSurface.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::test;

namespace {

// The page of the groups holds each group's row of counts and its total.
TEST(DoseDistributionChart, EachGroupHasItsRowOfCountsAndItsTotal)
{
    DoseDistribution distribution = doseDistribution({}, 2025);
    BandCounts doctors = distribution.effective;
    doctors.counts = {1, 1, 0, 0, 0, 0, 0};
    BandCounts radiology = distribution.effective;
    radiology.counts = {0, 1, 0, 1, 1, 0, 0};
    distribution.byJobType = {{QStringLiteral("医師"), doctors}};
    distribution.byAffiliation = {{QStringLiteral("放射線科"), radiology}};
    RecordingSurface page;
    drawDoseGroups(page, ScreenStyle, distribution);
    for (const QStringList& row : {QStringList{"医師", "1", "1", "0", "0", "0", "0", "0", "2"},
                                   QStringList{"放射線科", "0", "1", "0", "1", "1", "0", "0", "3"}}) {
        ASSERT_NE(page.find(row.first()), nullptr) << row.first().toStdString();
        EXPECT_EQ(page.row(page.find(row.first())->y), row);
    }
}

// The bars of the effective chart stand on the axis, as high as the ticks of their counts.
TEST(DoseDistributionChart, BarsReachTheTickOfTheirCount)
{
    DoseDistribution distribution = doseDistribution({}, 2025);
    distribution.effective.counts = {0, 3, 1, 0, 0, 0, 7};
    RecordingSurface page;
    drawDoseDistribution(page, ScreenStyle, distribution);
    ASSERT_EQ(page.fills.size(), 5); // three bars, then the legend of each chart
    const double axis = page.fills[0].y2;
    const double perWorker = ChartAxisHeight / 10; // ticks 0, 2, … 10 for a largest count of 7
    ASSERT_NE(page.find(QStringLiteral("10")), nullptr);
    EXPECT_DOUBLE_EQ(page.find(QStringLiteral("10"))->y + 20, axis - ChartAxisHeight);
    for (const auto& [bar, count] : {std::pair{0, 3}, {1, 1}, {2, 7}}) {
        EXPECT_DOUBLE_EQ(page.fills[bar].y2, axis);
        EXPECT_DOUBLE_EQ(axis - page.fills[bar].y1, count * perWorker) << count;
    }
}

// More groups than the page holds: the rows it holds, and how many more the CSV has.
TEST(DoseDistributionChart, GroupsBeyondThePageAreCountedUnderTheTables)
{
    DoseDistribution distribution = doseDistribution({}, 2025);
    for (int group = 0; group < 100; ++group)
        (group < 60 ? distribution.byJobType : distribution.byAffiliation)
            .append({QStringLiteral("群%1").arg(group), distribution.effective});
    RecordingSurface page;
    drawDoseGroups(page, ScreenStyle, distribution);
    const auto shown = std::count_if(page.texts.begin(), page.texts.end(),
                                     [](const RecordingSurface::Text& t) { return t.text.startsWith("群"); });
    EXPECT_EQ(shown, 43);
    EXPECT_NE(page.find(QStringLiteral("ほか%1件は「CSV保存」のファイルにあります").arg(100 - shown)), nullptr);
}

} // namespace
