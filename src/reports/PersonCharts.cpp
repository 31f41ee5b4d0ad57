#include "PersonCharts.h"

#include "totals/TotalsColumns.h"

#include <QPointF>
#include <algorithm>

namespace velmora {
namespace {

constexpr double Left = 100;
constexpr double AxisLeft = 260;
constexpr double Right = 2500;
constexpr double Padding = 10;
constexpr int YearLimit = 50;   // effective dose of a fiscal year
constexpr int BlockLimit = 100; // effective dose of a five-year block

// A dose axis from `bottom` up: its title, five ticks with their values in mSv, and the x axis.
struct DoseAxis {
    double bottom;
    double top; // mSv at the axis's top
    double y(const ExactDose& dose) const { return y(dose.toDouble()); }
    double y(double mSv) const { return bottom - DoseAxisHeight * mSv / top; }
};

DoseAxis drawAxis(ReportPen& pen, double top, double largest, int limit)
{
    const DoseAxis axis{top + 90 + DoseAxisHeight, doseAxisTop(std::max(largest, double(limit)))};
    pen.text(Left, top + 40, QStringLiteral("線量（mSv）"));
    pen.frameLine(AxisLeft, axis.bottom - DoseAxisHeight, AxisLeft, axis.bottom);
    pen.frameLine(AxisLeft, axis.bottom, Right, axis.bottom);
    for (int tick = 0; tick <= 5; ++tick) {
        const double mSv = axis.top * tick / 5;
        const double y = axis.y(mSv);
        if (tick > 0)
            pen.rule(AxisLeft, y, Right, y);
        const QString text = QString::number(mSv);
        pen.text(AxisLeft - Padding * 2 - pen.textWidth(text), y - 20, text);
    }
    return axis;
}

// The limit and its 80 % across the chart, each named at its right end.
void drawLimit(ReportPen& pen, const DoseAxis& axis, int limit, const QString& name)
{
    const ExactDose limitDose = ExactDose::whole(limit);
    pen.chartLine(AxisLeft, axis.y(limitDose), Right, axis.y(limitDose), Qt::DashDotLine);
    pen.text(Right + Padding, axis.y(limitDose) - 20, QStringLiteral("%1 %2").arg(name, limitDose.text()));
    pen.chartLine(AxisLeft, axis.y(limitDose.fourFifths()), Right, axis.y(limitDose.fourFifths()), Qt::DotLine);
    pen.text(Right + Padding, axis.y(limitDose.fourFifths()) - 20,
             QStringLiteral("80% %1").arg(limitDose.fourFifths().text()));
}

// A legend line: a short sample of a bar pattern or a line style, and what it shows.
void legendBar(ReportPen& pen, double x, double y, Qt::BrushStyle pattern, const QString& text)
{
    pen.bar(x, y + 5, x + 60, y + 35, pattern);
    pen.text(x + 75, y, text);
}

void legendLine(ReportPen& pen, double x, double y, Qt::PenStyle style, const QString& text)
{
    pen.chartLine(x, y + 20, x + 60, y + 20, style);
    pen.text(x + 75, y, text);
}

void drawMonths(ReportPen& pen, double top, const DoseTotals& totals, int fiscalYear)
{
    pen.fontSize(pen.reportStyle().titleSize * 0.75);
    pen.text(Left, top, QStringLiteral("月別の線量（%1年度）").arg(fiscalYear));
    pen.fontSize(pen.reportStyle().textSize);
    double largest = std::max(totals.effectiveYear.toDouble(), totals.lensYear.toDouble());
    for (const MonthDoses& month : totals.months)
        largest = std::max(largest, month.lens.toDouble());
    const DoseAxis axis = drawAxis(pen, top, largest, YearLimit);
    drawLimit(pen, axis, YearLimit, QStringLiteral("実効 年度限度"));
    const double slot = (Right - AxisLeft) / 12;
    ExactDose year;
    ExactDose quarter;
    // The points drawn last: the year's line runs on, the quarter's begins again with each quarter.
    QPointF lastYear;
    QPointF lastQuarter;
    for (int at = 0; at < 12; ++at) {
        const MonthDoses& month = totals.months[static_cast<size_t>(at)];
        const double x = AxisLeft + slot * at;
        const QString name = QStringLiteral("%1月").arg((at + 3) % 12 + 1);
        pen.text(x + (slot - pen.textWidth(name)) / 2, axis.bottom + Padding, name);
        if (at % 3 == 0)
            quarter = ExactDose();
        // The running totals count the doses elsewhere, as the limits do; the bars are this hospital's.
        const ExactDose counted = month.effective + totals.otherFacilityMonths[static_cast<size_t>(at)].effective;
        year += counted;
        quarter += counted;
        const QPointF yearPoint(x + slot / 2, axis.y(year));
        const QPointF quarterPoint(x + slot / 2, axis.y(quarter));
        if (at > 0)
            pen.chartLine(lastYear.x(), lastYear.y(), yearPoint.x(), yearPoint.y(), Qt::SolidLine);
        if (at % 3 > 0)
            pen.chartLine(lastQuarter.x(), lastQuarter.y(), quarterPoint.x(), quarterPoint.y(), Qt::DashLine);
        lastYear = yearPoint;
        lastQuarter = quarterPoint;
        if (!month.recorded)
            continue;
        const std::pair<const ExactDose*, Qt::BrushStyle> bars[] = {{&month.effective, Qt::BDiagPattern},
                                                                    {&month.lens, Qt::DiagCrossPattern}};
        for (int bar = 0; bar < 2; ++bar) {
            const double left = x + slot * (0.15 + 0.35 * bar);
            if (bars[bar].first->isZero())
                pen.text(left + (slot * 0.35 - pen.textWidth(QStringLiteral("Ｍ"))) / 2, axis.bottom - 45,
                         QStringLiteral("Ｍ"));
            else
                pen.bar(left, axis.y(*bars[bar].first), left + slot * 0.35, axis.bottom, bars[bar].second);
        }
    }
    const double legend = top + 20;
    legendBar(pen, 1300, legend, Qt::BDiagPattern, QStringLiteral("実効線量"));
    legendBar(pen, 1650, legend, Qt::DiagCrossPattern, QStringLiteral("水晶体の等価線量"));
    legendLine(pen, 2100, legend, Qt::SolidLine, QStringLiteral("実効 年度累計"));
    legendLine(pen, 1300, legend + 45, Qt::DashLine, QStringLiteral("実効 四半期累計"));
    legendLine(pen, 1650, legend + 45, Qt::DashDotLine, QStringLiteral("限度"));
    legendLine(pen, 2100, legend + 45, Qt::DotLine, QStringLiteral("限度の80%"));
    pen.text(Left, axis.bottom + 60, QStringLiteral("Ｍ：検出限界未満"));
}

void drawBlock(ReportPen& pen, double top, const DoseTotals& totals, int fiscalYear)
{
    const int first = blockStart(fiscalYear);
    pen.fontSize(pen.reportStyle().titleSize * 0.75);
    pen.text(Left, top, QStringLiteral("5年間の実効線量（%1～%2年度）").arg(first).arg(first + 4));
    pen.fontSize(pen.reportStyle().textSize);
    const double largest = totals.blockYears.isEmpty() ? 0 : totals.blockYears.last().runningTotal.toDouble();
    const DoseAxis axis = drawAxis(pen, top, largest, BlockLimit);
    drawLimit(pen, axis, BlockLimit, QStringLiteral("5年限度"));
    const double slot = (Right - AxisLeft) / 5;
    std::optional<QPointF> last;
    for (int at = 0; at < 5; ++at) {
        const double x = AxisLeft + slot * at;
        const QString name = QStringLiteral("%1年度").arg(first + at);
        pen.text(x + (slot - pen.textWidth(name)) / 2, axis.bottom + Padding, name);
        if (at >= totals.blockYears.size())
            continue;
        const DoseTotals::BlockYear& year = totals.blockYears[at];
        if (!year.effective.isZero())
            pen.bar(x + slot * 0.3, axis.y(year.effective), x + slot * 0.7, axis.bottom, Qt::BDiagPattern);
        const QPointF point(x + slot / 2, axis.y(year.runningTotal));
        if (last)
            pen.chartLine(last->x(), last->y(), point.x(), point.y(), Qt::SolidLine);
        last = point;
    }
    const double legend = top + 20;
    legendBar(pen, 1300, legend, Qt::BDiagPattern, QStringLiteral("年度の実効線量"));
    legendLine(pen, 1750, legend, Qt::SolidLine, QStringLiteral("5年の累計"));
}

} // namespace

double doseAxisTop(double largest)
{
    for (double decade = 1;; decade *= 10)
        for (const double top : {decade, 2 * decade, 5 * decade})
            if (top >= largest)
                return top;
}

void drawPersonCharts(Surface& surface, const ReportStyle& style, const TotalsRow& row, int fiscalYear,
                      const QDate& printed)
{
    ReportPen pen(surface, style);
    const QString number =
        row.totals ? QStringLiteral("登録番号 %1　").arg(cellText(row, TotalsColumn::RegistrationNumber, fiscalYear))
                   : QString();
    pen.beginPage(QStringLiteral("%1%2　%3年度").arg(number, row.name).arg(fiscalYear), printed);
    if (!row.totals) {
        pen.text(Left, 180, row.unreadable);
        return;
    }
    drawMonths(pen, 170, *row.totals, fiscalYear);
    drawBlock(pen, 1020, *row.totals, fiscalYear);
}

} // namespace velmora
