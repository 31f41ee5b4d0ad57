#include "gui/reports/PersonCharts.h"
#include "support/RecordingSurface.h"
#include "support/Stores.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::test;

namespace {

// A woman with 3 mSv in April (lens "Ｍ"), nothing in May, 1 + 0.5 internal in June and 2 elsewhere in
// September: at 4.5 in the first quarter she is nearest her quarter's limit, so the axis runs 0–10 mSv;
// the bars, the "Ｍ", the running totals and her limits land where the figures say.
TEST(PersonCharts, BarsLinesAndMarksLandWhereTheFiguresSay)
{
    const PersonalFile person{personHeader(QStringLiteral("山田")),
                              {{202604, 3, 0, 0, 0, NoComment}, {202606, 1, 2, 0, 0.5, NoComment}}};
    const DoseAdditions elsewhere{
        {{QStringLiteral("山田"), QStringLiteral("第二病院"), 202609, 202609, 2, 0, 0, 0, NoComment}}, {}};
    const TotalsRow row{QStringLiteral("山田"), false, 1, 1, {}, {}, doseTotals(person, 2026, elsewhere), {}};
    RecordingSurface page;
    drawPersonCharts(page, ScreenStyle, row, 2026);
    const double perMSv = DoseAxisHeight / 10;
    // Month bars: April's effective, June's effective and lens; the legend's samples after them.
    ASSERT_GE(page.fills.size(), 3);
    const double axis = page.fills[0].y2;
    EXPECT_NEAR(axis - page.fills[0].y1, 3 * perMSv, 1e-9);
    EXPECT_NEAR(axis - page.fills[1].y1, 1.5 * perMSv, 1e-9);
    EXPECT_NEAR(axis - page.fills[2].y1, 2 * perMSv, 1e-9);
    EXPECT_EQ(std::count_if(page.texts.begin(), page.texts.end(), [](const auto& t) { return t.text == "Ｍ"; }), 1);
    // Her quarter's limit, heavy and dash-dotted, and its 80 % dotted; the year's limits stand above the axis.
    const auto across = [&](Qt::PenStyle style, double mSv) {
        return std::any_of(page.lines.begin(), page.lines.end(), [&](const RecordingSurface::Line& l) {
            return l.style == style && l.y1 == l.y2 && std::abs(l.y1 - (axis - mSv * perMSv)) < 1e-9 &&
                   (style != Qt::DashDotLine || l.width == 3 * ScreenStyle.frameWidth);
        });
    };
    EXPECT_TRUE(across(Qt::DashDotLine, 5));
    EXPECT_TRUE(across(Qt::DotLine, 4));
    const auto written = [&](const QString& text) {
        return std::any_of(page.texts.begin(), page.texts.end(), [&](const auto& t) { return t.text == text; });
    };
    EXPECT_TRUE(written(QStringLiteral("実効 3か月 5")));
    EXPECT_TRUE(written(QStringLiteral("軸より上の限度：実効 年度・水晶体 年度 50 mSv")));
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
    // Every pattern the bars use stands in the legend, which lies above the plot.
    EXPECT_EQ(
        std::count_if(page.fills.begin(), page.fills.end(), [&](const auto& f) { return f.y2 < axis - 10 * perMSv; }),
        2); // the samples of the effective and lens bars

    // A pregnant worker's 2 and 1 mSv, with her running external total named at its end.
    const PersonalFile pregnant{personHeader(QStringLiteral("山田")), {{202606, 0.7, 0, 0, 0.2, NoComment}}};
    const DoseAdditions declared{{}, {{QStringLiteral("山田"), DeclarationKind::Pregnancy, 20260520, 0, NoComment}}};
    drawPersonCharts(page, ScreenStyle,
                     {QStringLiteral("山田"), false, 1, 1, {}, {}, doseTotals(pregnant, 2026, declared), {}}, 2026);
    const double top = page.fills[0].y2 - DoseAxisHeight; // 0–2 mSv: she is nearest her external limit
    for (const double mSv : {2.0, 1.0})
        EXPECT_TRUE(std::any_of(page.lines.begin(), page.lines.end(), [&](const RecordingSurface::Line& l) {
            return l.style == Qt::DashDotLine && std::abs(l.y1 - (top + DoseAxisHeight * (1 - mSv / 2))) < 1e-9;
        })) << mSv;
    EXPECT_TRUE(written(QStringLiteral("妊娠中 外部 0.7")));
}

} // namespace
