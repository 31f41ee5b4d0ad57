#include "reports/PersonCharts.h"
#include "support/RecordingSurface.h"
#include "support/Stores.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::test;

namespace {

// A person with 3 mSv in April (lens "Ｍ"), nothing in May, 1 + 0.5 internal in June and 2 elsewhere in
// September: the bars, the "Ｍ", the running total and the limits land where the figures say on a 0–50 mSv
// axis.
TEST(PersonCharts, BarsLinesAndMarksLandWhereTheFiguresSay)
{
    const PersonalFile person{personHeader(QStringLiteral("山田")),
                              {{202604, 3, 0, 0, 0, NoComment}, {202606, 1, 2, 0, 0.5, NoComment}}};
    const DoseAdditions elsewhere{
        {{QStringLiteral("山田"), QStringLiteral("第二病院"), 202609, 202609, 2, 0, 0, 0, NoComment}}, {}};
    const TotalsRow row{QStringLiteral("山田"), false, 1, 1, {}, {}, doseTotals(person, 2026, elsewhere), {}};
    RecordingSurface page;
    drawPersonCharts(page, ScreenStyle, row, 2026);
    const double perMSv = DoseAxisHeight / 50;
    // Month bars: April's effective, June's effective and lens; the legend's samples after them.
    ASSERT_GE(page.fills.size(), 3);
    const double axis = page.fills[0].y2;
    EXPECT_NEAR(axis - page.fills[0].y1, 3 * perMSv, 1e-9);
    EXPECT_NEAR(axis - page.fills[1].y1, 1.5 * perMSv, 1e-9);
    EXPECT_NEAR(axis - page.fills[2].y1, 2 * perMSv, 1e-9);
    EXPECT_EQ(std::count_if(page.texts.begin(), page.texts.end(), [](const auto& t) { return t.text == "Ｍ"; }), 1);
    // The year's limit and its 80 % across the chart, dash-dotted and dotted.
    const auto across = [&](Qt::PenStyle style, double mSv) {
        return std::any_of(page.lines.begin(), page.lines.end(), [&](const RecordingSurface::Line& l) {
            return l.style == style && l.y1 == l.y2 && std::abs(l.y1 - (axis - mSv * perMSv)) < 1e-9;
        });
    };
    EXPECT_TRUE(across(Qt::DashDotLine, 50));
    EXPECT_TRUE(across(Qt::DotLine, 40));
    // The running year total reaches June's 4.5, then 6.5 with September's dose elsewhere.
    const auto solidTo = [&](double mSv) {
        return std::any_of(page.lines.begin(), page.lines.end(), [&](const RecordingSurface::Line& l) {
            return l.style == Qt::SolidLine && l.y1 != l.y2 && std::abs(l.y2 - (axis - mSv * perMSv)) < 1e-9;
        });
    };
    EXPECT_TRUE(solidTo(4.5));
    EXPECT_TRUE(solidTo(6.5));
    // The running quarter total starts again at 0 in July.
    EXPECT_TRUE(std::any_of(page.lines.begin(), page.lines.end(), [&](const RecordingSurface::Line& l) {
        return l.style == Qt::DashLine && l.y1 == axis && l.y2 == axis;
    }));
}

} // namespace
