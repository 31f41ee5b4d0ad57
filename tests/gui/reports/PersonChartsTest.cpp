#include "gui/reports/PersonCharts.h"
#include "support/RecordingSurface.h"
#include "support/Stores.h"

#include <QLineF>
#include <QRectF>
#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::test;

namespace {

// Whether a line runs through a box or touches it.
bool lineCrosses(const QLineF& line, const QRectF& box)
{
    if (box.contains(line.p1()) || box.contains(line.p2()))
        return true;
    const QLineF edges[] = {{box.topLeft(), box.topRight()},
                            {box.bottomLeft(), box.bottomRight()},
                            {box.topLeft(), box.bottomLeft()},
                            {box.topRight(), box.bottomRight()}};
    return std::any_of(std::begin(edges), std::end(edges),
                       [&](const QLineF& edge) { return line.intersects(edge) == QLineF::BoundedIntersection; });
}

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

// The charts of persons whose figures crowd their names (a pregnant worker's internal dose at its limit, a
// designated doctor's lens, a year near its limits, a woman exempt from the quarter's limit in part of the
// year) on paper: no text overprints another, an axis or a limit's line.
TEST(PersonCharts, NoTextOverprintsAnotherAnAxisOrALimit)
{
    const auto person = [](std::initializer_list<MonthlyRecord> records) {
        return PersonalFile{personHeader(QStringLiteral("山田")), records};
    };
    const auto declared = [](DeclarationKind kind, qint64 from, qint64 to = 0) {
        return DoseAdditions{{}, {{QStringLiteral("山田"), kind, from, to, NoComment}}};
    };
    const struct {
        PersonalFile file;
        DoseAdditions additions;
        int year;
        bool exemptFromQ3;
    } people[] = {
        {person({{202606, 0.5, 0, 0, 0.6, NoComment}, {202607, 0.3, 0.1, 0, 0.41, NoComment}}),
         declared(DeclarationKind::Pregnancy, 20260520), 2026, false},
        {person({{202105, 0, 45, 0, 0, NoComment}, {202206, 0, 45, 0, 0, NoComment}, {202310, 1, 30, 0, 0, NoComment}}),
         declared(DeclarationKind::DesignatedDoctor, 20210401, 20260331), 2023, false},
        {person({{202604, 20, 40, 0, 0, NoComment}, {202605, 19, 1, 0, 0, NoComment}, {202606, 0, 0, 0, 0, NoComment}}),
         {},
         2026,
         false},
        {person({{202504, 2, 2, 0, 0, NoComment}, {202505, 2, 0, 0, 0, NoComment}, {202510, 4, 0, 0, 0, NoComment}}),
         declared(DeclarationKind::CannotConceive, 20250815), 2025, true},
    };
    for (const auto& p : people) {
        const DoseTotals totals = doseTotals(p.file, p.year, p.additions);
        RecordingSurface page;
        drawPersonCharts(page, ChartPaperStyle, {QStringLiteral("山田"), false, 1, 1, {}, {}, totals, {}}, p.year);
        QList<QRectF> boxes;
        for (const RecordingSurface::Text& t : page.texts) {
            page.setFontSize(t.size);
            boxes << QRectF(t.x, t.y, page.textWidth(t.text), page.textWidth(QStringLiteral("Ｍ")) * 1.2);
        }
        for (qsizetype a = 0; a < boxes.size(); ++a) {
            for (qsizetype b = a + 1; b < boxes.size(); ++b)
                EXPECT_FALSE(boxes[a].intersects(boxes[b]))
                    << p.year << ": " << page.texts[a].text.toStdString() << " / " << page.texts[b].text.toStdString();
            for (const RecordingSurface::Line& l : page.lines) {
                const bool axisOrLimit = (l.style == Qt::SolidLine && l.color == Qt::black && l.width > 1) ||
                                         (l.style == Qt::DashDotLine && l.width > ChartPaperStyle.frameWidth) ||
                                         (l.style == Qt::DotLine && l.y1 == l.y2 && l.x2 - l.x1 > 20);
                const QLineF line(l.x1, l.y1, l.x2, l.y2);
                const QRectF& box = boxes[a];
                EXPECT_FALSE(axisOrLimit && lineCrosses(line, box))
                    << p.year << ": " << page.texts[a].text.toStdString() << " on a line at " << l.y1;
            }
        }
        // The women's quarter's limit stands only over the quarters it binds: April to September, the
        // diagnosis covering October to March (the month chart's plot runs from 26 to 242 mm).
        for (const RecordingSurface::Line& l : page.lines) {
            const bool inMonthsPlot = l.y1 > 31 && l.y1 < 83; // under the legend, above the axis
            if (p.exemptFromQ3 && inMonthsPlot && l.style == Qt::DashDotLine && l.width > ChartPaperStyle.frameWidth) {
                EXPECT_LE(l.x2, 26 + (242 - 26) / 2.0 + 0.01) << l.y1;
            }
            // The designated doctor's 60 mSv binds from FY2023, the third year of the block's chart (its axis
            // at 167 mm, 0–200 mSv over 52 mm for the block's lens total of 120).
            const bool sixty = std::abs(l.y1 - (167 - 52 * 60 / 200.0)) < 0.01;
            if (p.year == 2023 && sixty && l.style == Qt::DashDotLine && l.width > ChartPaperStyle.frameWidth) {
                EXPECT_GE(l.x1, 26 + (242 - 26) * 0.4 - 0.01) << l.y1;
            }
        }
    }
}

} // namespace
