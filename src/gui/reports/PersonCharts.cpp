#include "gui/reports/PersonCharts.h"

#include "core/rules/DoseLimits.h"
#include "core/rules/TotalsColumns.h"
#include "gui/reports/ChartLabels.h"

#include <QPointF>
#include <algorithm>
#include <cmath>
#include <deque>

namespace velmora {
namespace {

constexpr double Left = 100;
constexpr double AxisLeft = 260;
constexpr double Right = 2420;
constexpr double Padding = 10;
constexpr double LegendTop = 45; // below a chart's title
constexpr double AxisTop = 150;  // below the legend, so that no line runs through it
constexpr int LimitWeight = 3;   // a limit's line is this many times as heavy as a chart's lines

// A dose axis from `bottom` up: its title, five ticks with their values in mSv, and the x axis.
struct DoseAxis {
    double bottom;
    double top; // mSv at the axis's top
    double y(const ExactDose& dose) const { return y(dose.toDouble()); }
    double y(double mSv) const { return bottom - DoseAxisHeight * mSv / top; }
};

// A limit that binds the person in the chart's period, with the figure held against it and the stretches
// of the chart it binds in, as fractions of its width (a women's quarter a diagnosis leaves out has no line;
// the designated doctors' lens total from FY2023 binds from that year).
struct ChartLimit {
    QString name;
    ExactDose limit;
    ExactDose value;
    QList<std::pair<double, double>> spans;
};

// Where in the chart a checked limit binds: its quarter of the year, the block's years from the limit's
// first, or the whole chart.
std::pair<double, double> spanOf(const DoseTotals::CheckedLimit& checked, int blockFirst)
{
    if (checked.limit->period == LimitPeriod::Quarter)
        return {(checked.quarter - 1) / 4.0, checked.quarter / 4.0};
    if (checked.limit->period == LimitPeriod::TransitionYears)
        return {std::max(0, checked.limit->fromYear - blockFirst) / 5.0,
                std::min(5, checked.limit->lastYear - blockFirst + 1) / 5.0};
    return {0, 1};
}

// The limits of the given periods that bind the person, each once (the highest quarter for a quarter's).
QList<ChartLimit> limitsOf(const DoseTotals& totals, int blockFirst, std::initializer_list<LimitPeriod> periods)
{
    QList<ChartLimit> limits;
    QList<const DoseLimit*> seen;
    for (const DoseTotals::CheckedLimit& checked : totals.checkedLimits) {
        if (std::find(periods.begin(), periods.end(), checked.limit->period) == periods.end())
            continue;
        if (const auto at = seen.indexOf(checked.limit); at >= 0) {
            limits[at].value = std::max(limits[at].value, checked.value);
            limits[at].spans << spanOf(checked, blockFirst);
            continue;
        }
        seen << checked.limit;
        limits.append({checked.limit->figure(), checked.limit->limit(), checked.value, {spanOf(checked, blockFirst)}});
    }
    // Limits of one value share a line, named together ("実効 5年・水晶体 5年 100").
    QList<ChartLimit> merged;
    for (const ChartLimit& limit : limits) {
        const auto same =
            std::find_if(merged.begin(), merged.end(), [&](const ChartLimit& m) { return m.limit == limit.limit; });
        if (same == merged.end()) {
            merged << limit;
            continue;
        }
        same->name += QStringLiteral("・") + limit.name;
        same->spans << limit.spans;
        if (limit.value > same->value)
            same->value = limit.value;
    }
    return merged;
}

// The axis shows every figure drawn and the limit the person comes nearest to; the other limits stand
// above it and are named under the chart.
double axisTopFor(double largest, const QList<ChartLimit>& limits)
{
    const auto nearest = std::max_element(limits.begin(), limits.end(), [](const ChartLimit& a, const ChartLimit& b) {
        return a.value.toDouble() / a.limit.toDouble() < b.value.toDouble() / b.limit.toDouble();
    });
    return doseAxisTop(std::max(largest, nearest == limits.end() ? 0.0 : nearest->limit.toDouble()));
}

DoseAxis drawAxis(ReportPen& pen, ChartLabels& labels, double top, double axisTop)
{
    const DoseAxis axis{top + AxisTop + DoseAxisHeight, axisTop};
    pen.frameLine(AxisLeft, axis.bottom - DoseAxisHeight, AxisLeft, axis.bottom);
    pen.frameLine(AxisLeft, axis.bottom, Right, axis.bottom);
    labels.line(AxisLeft, axis.bottom - DoseAxisHeight, AxisLeft, axis.bottom);
    labels.line(AxisLeft, axis.bottom, Right, axis.bottom);
    for (int tick = 0; tick <= 5; ++tick) {
        const double mSv = axis.top * tick / 5;
        const double y = axis.y(mSv);
        if (tick > 0)
            pen.rule(AxisLeft, y, Right, y);
        const QString text = QString::number(mSv);
        labels.fixed(AxisLeft - Padding * 2 - pen.textWidth(text), y - 20, text);
    }
    labels.name(Left, top + AxisTop - 40, QStringLiteral("線量（mSv）"), top + LegendTop, axis.bottom);
    return axis;
}

// Each limit on the axis and its 80 % across the chart, named at their right ends; those above the axis are
// named under it. Returns the y under what was written.
double drawLimits(ReportPen& pen, ChartLabels& labels, const DoseAxis& axis, const QList<ChartLimit>& limits,
                  double below)
{
    QStringList above;
    for (const ChartLimit& limit : limits) {
        if (limit.limit.toDouble() > axis.top) {
            above << QStringLiteral("%1 %2").arg(limit.name, limit.limit.text());
            continue;
        }
        const double y = axis.y(limit.limit);
        const double warning = axis.y(limit.limit.fourFifths());
        for (const auto& [from, to] : limit.spans) {
            const double left = AxisLeft + (Right - AxisLeft) * from;
            const double right = AxisLeft + (Right - AxisLeft) * to;
            pen.chartLine(left, y, right, y, Qt::DashDotLine, LimitWeight);
            pen.chartLine(left, warning, right, warning, Qt::DotLine);
            labels.line(left, y, right, y);
            labels.line(left, warning, right, warning);
        }
    }
    // The names at the right, after every line is known.
    const double plotTop = axis.bottom - DoseAxisHeight - 60;
    for (const ChartLimit& limit : limits) {
        if (limit.limit.toDouble() > axis.top)
            continue;
        labels.name(Right + Padding, axis.y(limit.limit) - 20,
                    QStringLiteral("%1 %2").arg(limit.name, limit.limit.text()), plotTop, axis.bottom + 40);
        labels.name(Right + Padding, axis.y(limit.limit.fourFifths()) - 20,
                    QStringLiteral("%1 %2").arg(WarningShare, limit.limit.fourFifths().text()), plotTop,
                    axis.bottom + 40);
    }
    if (above.isEmpty())
        return below;
    labels.fixed(Left, below, QStringLiteral("軸より上の限度：%1 mSv").arg(above.join(QStringLiteral("、"))));
    return below + 40;
}

// A legend entry: a short sample of a bar pattern or a line, and what it shows.
struct LegendEntry {
    std::optional<Qt::BrushStyle> pattern;
    Qt::PenStyle line = Qt::NoPen;
    int weight = 1;
    QString text;
};

// The legend above the plot, from left to right in rows, each entry as wide as its text and at least a
// quarter of the row, so that the entries stand in columns when their texts are short.
void drawLegend(ReportPen& pen, ChartLabels& labels, double top, const QList<LegendEntry>& entries)
{
    constexpr double RowLeft = 900;
    constexpr double Column = 400;
    double x = RowLeft;
    double y = top + LegendTop;
    for (const LegendEntry& entry : entries) {
        const double width = std::ceil((75 + pen.textWidth(entry.text) + 40) / Column) * Column;
        if (x > RowLeft && x + width > Right + Column) {
            x = RowLeft;
            y += 40;
        }
        if (entry.pattern)
            pen.bar(x, y + 5, x + 60, y + 35, *entry.pattern);
        else // long enough for a heavy line's pattern to show
            pen.chartLine(x - 40, y + 20, x + 60, y + 20, entry.line, entry.weight);
        labels.line(x - 40, y + 20, x + 60, y + 20);
        labels.fixed(x + 75, y, entry.text);
        x += width;
    }
}

// A running total drawn point by point, with its name and value at its last point.
class RunningLine {
public:
    // The name stands above the last point, or under it for the second of two lines that may run close,
    // or as near there as is free once every line is drawn.
    RunningLine(ReportPen& linePen, ChartLabels& chartLabels, const DoseAxis& lineAxis, Qt::PenStyle lineStyle,
                QString lineName, bool nameUnder = false)
        : pen(linePen), labels(chartLabels), axis(lineAxis), style(lineStyle), name(std::move(lineName)),
          under(nameUnder)
    {
    }
    void to(double x, const ExactDose& total, bool joined = true)
    {
        const QPointF point(x, axis.y(total));
        if (last && joined) {
            pen.chartLine(last->x(), last->y(), point.x(), point.y(), style);
            labels.line(last->x(), last->y(), point.x(), point.y());
        }
        last = point;
        value = total;
    }
    void nameAtEnd()
    {
        if (last)
            labels.name(last->x() + Padding, last->y() + (under ? Padding : -45),
                        QStringLiteral("%1 %2").arg(name, value.text()), axis.bottom - DoseAxisHeight - 60,
                        axis.bottom);
    }

private:
    ReportPen& pen;
    ChartLabels& labels;
    const DoseAxis& axis;
    Qt::PenStyle style;
    QString name;
    bool under;
    std::optional<QPointF> last;
    ExactDose value;
};

void drawMonths(ReportPen& pen, double top, const DoseTotals& totals, int fiscalYear)
{
    pen.fontSize(pen.reportStyle().titleSize * 0.75);
    pen.text(Left, top, QStringLiteral("月別の線量（%1年度）").arg(fiscalYear));
    pen.fontSize(pen.reportStyle().textSize);
    const QList<ChartLimit> limits = limitsOf(totals, blockStart(fiscalYear),
                                              {LimitPeriod::Quarter, LimitPeriod::FiscalYear, LimitPeriod::Pregnancy});
    QList<ChartLimit> drawn; // the skin's limit has no line of its own here
    for (const ChartLimit& limit : limits)
        if (!limit.name.startsWith(QStringLiteral("皮膚")))
            drawn << limit;
    double largest = std::max(totals.effectiveYear.toDouble(), totals.lensYear.toDouble());
    for (const MonthDoses& month : totals.months)
        largest = std::max(largest, month.lens.toDouble());
    ChartLabels labels(pen);
    const DoseAxis axis = drawAxis(pen, labels, top, axisTopFor(largest, drawn));
    const double under = drawLimits(pen, labels, axis, drawn, axis.bottom + 60);
    const double slot = (Right - AxisLeft) / 12;
    RunningLine year(pen, labels, axis, Qt::SolidLine, QStringLiteral("実効 年度累計"));
    RunningLine quarter(pen, labels, axis, Qt::DashLine, QStringLiteral("四半期"));
    RunningLine lens(pen, labels, axis, Qt::DashDotDotLine, QStringLiteral("水晶体 年度累計"), true);
    ExactDose yearTotal;
    ExactDose quarterTotal;
    ExactDose lensTotal;
    // The running totals go as far as the last month with a dose: the months after it have none yet.
    int lastMonth = -1;
    for (int at = 0; at < 12; ++at)
        if (totals.months[static_cast<size_t>(at)].recorded ||
            totals.otherFacilityMonths[static_cast<size_t>(at)].recorded)
            lastMonth = at;
    for (int at = 0; at < 12; ++at) {
        const MonthDoses& month = totals.months[static_cast<size_t>(at)];
        const MonthDoses& elsewhere = totals.otherFacilityMonths[static_cast<size_t>(at)];
        const double x = AxisLeft + slot * at;
        const QString name = QStringLiteral("%1月").arg((at + 3) % 12 + 1);
        labels.fixed(x + (slot - pen.textWidth(name)) / 2, axis.bottom + Padding, name);
        if (at % 3 == 0)
            quarterTotal = ExactDose();
        // The running totals count the doses elsewhere, as the limits do; the bars are this hospital's.
        yearTotal += month.effective + elsewhere.effective;
        quarterTotal += month.effective + elsewhere.effective;
        lensTotal += month.lens + elsewhere.lens;
        if (at <= lastMonth) {
            year.to(x + slot / 2, yearTotal);
            quarter.to(x + slot / 2, quarterTotal, at % 3 > 0);
            lens.to(x + slot / 2, lensTotal);
        }
        if (!month.recorded)
            continue;
        const std::pair<const ExactDose*, Qt::BrushStyle> bars[] = {{&month.effective, Qt::BDiagPattern},
                                                                    {&month.lens, Qt::DiagCrossPattern}};
        for (int bar = 0; bar < 2; ++bar) {
            const double left = x + slot * (0.15 + 0.35 * bar);
            if (bars[bar].first->isZero())
                labels.name(left + (slot * 0.35 - pen.textWidth(QStringLiteral("Ｍ"))) / 2, axis.bottom - 45,
                            QStringLiteral("Ｍ"), axis.bottom - DoseAxisHeight, axis.bottom);
            else
                labels.bar(left, axis.y(*bars[bar].first), left + slot * 0.35, axis.bottom, bars[bar].second);
        }
    }
    QList<LegendEntry> legend{{Qt::BDiagPattern, Qt::NoPen, 1, QStringLiteral("実効線量")},
                              {Qt::DiagCrossPattern, Qt::NoPen, 1, QStringLiteral("水晶体の等価線量")},
                              {std::nullopt, Qt::SolidLine, 1, QStringLiteral("実効 年度累計")},
                              {std::nullopt, Qt::DashLine, 1, QStringLiteral("実効 四半期累計")},
                              {std::nullopt, Qt::DashDotDotLine, 1, QStringLiteral("水晶体 年度累計")}};
    // A pregnancy's running external and internal totals from its first month in the year.
    std::deque<RunningLine> pregnancyLines;
    for (const DoseTotals::Pregnancy& pregnancy : totals.pregnancies) {
        RunningLine& external =
            pregnancyLines.emplace_back(pen, labels, axis, Qt::DashLine, QStringLiteral("妊娠中 外部"));
        RunningLine& internal =
            pregnancyLines.emplace_back(pen, labels, axis, Qt::DotLine, QStringLiteral("妊娠中 内部"), true);
        for (const PregnancyMonth& month : pregnancy.months) {
            if (fiscalYearOf(month.key) != fiscalYear)
                continue;
            const int at = slotInYear(month.key);
            external.to(AxisLeft + slot * (at + 0.5), month.external);
            internal.to(AxisLeft + slot * (at + 0.5), month.internal);
        }
    }
    legend << LegendEntry{std::nullopt, Qt::DashDotLine, LimitWeight, QStringLiteral("限度")}
           << LegendEntry{std::nullopt, Qt::DotLine, 1, WarningShareOfLimit};
    drawLegend(pen, labels, top, legend);
    labels.fixed(Left, under, QStringLiteral("Ｍ：検出限界未満"));
    // The names last, each where nothing drawn is.
    year.nameAtEnd();
    lens.nameAtEnd();
    for (RunningLine& line : pregnancyLines)
        line.nameAtEnd();
}

void drawBlock(ReportPen& pen, double top, const DoseTotals& totals, int fiscalYear)
{
    const int first = blockStart(fiscalYear);
    pen.fontSize(pen.reportStyle().titleSize * 0.75);
    pen.text(Left, top, QStringLiteral("5年間の線量（%1～%2年度）").arg(first).arg(first + 4));
    pen.fontSize(pen.reportStyle().textSize);
    const QList<ChartLimit> limits = limitsOf(totals, first, {LimitPeriod::Block, LimitPeriod::TransitionYears});
    double largest = 0;
    for (const DoseTotals::BlockYear& year : totals.blockYears)
        largest = std::max({largest, year.runningTotal.toDouble(), year.lens.toDouble()});
    ExactDose lensRunning;
    for (const DoseTotals::BlockYear& year : totals.blockYears)
        lensRunning += year.lens;
    largest = std::max(largest, lensRunning.toDouble());
    ChartLabels labels(pen);
    const DoseAxis axis = drawAxis(pen, labels, top, axisTopFor(largest, limits));
    drawLimits(pen, labels, axis, limits, axis.bottom + 60);
    const double slot = (Right - AxisLeft) / 5;
    RunningLine effective(pen, labels, axis, Qt::SolidLine, QStringLiteral("実効 5年累計"));
    RunningLine lens(pen, labels, axis, Qt::DashDotDotLine, QStringLiteral("水晶体 5年累計"), true);
    ExactDose lensTotal;
    // A designated doctor's lens is judged on its total from the transitional limit's first year.
    const auto transition =
        std::find_if(totals.checkedLimits.begin(), totals.checkedLimits.end(),
                     [](const DoseTotals::CheckedLimit& c) { return c.limit->period == LimitPeriod::TransitionYears; });
    RunningLine sinceTransition(pen, labels, axis, Qt::DashLine,
                                transition == totals.checkedLimits.end() ? QString() : transition->limit->figure());
    ExactDose sinceTransitionTotal;
    for (int at = 0; at < 5; ++at) {
        const double x = AxisLeft + slot * at;
        const QString name = QStringLiteral("%1年度").arg(first + at);
        labels.fixed(x + (slot - pen.textWidth(name)) / 2, axis.bottom + Padding, name);
        if (at >= totals.blockYears.size())
            continue;
        const DoseTotals::BlockYear& year = totals.blockYears[at];
        const std::pair<const ExactDose*, Qt::BrushStyle> bars[] = {{&year.effective, Qt::BDiagPattern},
                                                                    {&year.lens, Qt::DiagCrossPattern}};
        for (int bar = 0; bar < 2; ++bar) {
            const double left = x + slot * (0.2 + 0.3 * bar);
            if (!bars[bar].first->isZero())
                labels.bar(left, axis.y(*bars[bar].first), left + slot * 0.3, axis.bottom, bars[bar].second);
        }
        lensTotal += year.lens;
        effective.to(x + slot / 2, year.runningTotal);
        lens.to(x + slot / 2, lensTotal);
        if (transition != totals.checkedLimits.end() && year.fiscalYear >= transition->limit->fromYear) {
            sinceTransitionTotal += year.lens;
            sinceTransition.to(x + slot / 2, sinceTransitionTotal);
        }
    }

    QList<LegendEntry> legend{{Qt::BDiagPattern, Qt::NoPen, 1, QStringLiteral("年度の実効線量")},
                              {Qt::DiagCrossPattern, Qt::NoPen, 1, QStringLiteral("年度の水晶体")},
                              {std::nullopt, Qt::SolidLine, 1, QStringLiteral("実効 5年累計")},
                              {std::nullopt, Qt::DashDotDotLine, 1, QStringLiteral("水晶体 5年累計")}};
    if (transition != totals.checkedLimits.end())
        legend << LegendEntry{std::nullopt, Qt::DashLine, 1, transition->limit->figure() + QStringLiteral("累計")};
    legend << LegendEntry{std::nullopt, Qt::DashDotLine, LimitWeight, QStringLiteral("限度")}
           << LegendEntry{std::nullopt, Qt::DotLine, 1, WarningShareOfLimit};
    drawLegend(pen, labels, top, legend);
    effective.nameAtEnd();
    lens.nameAtEnd();
    sinceTransition.nameAtEnd();
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
    drawMonths(pen, 160, *row.totals, fiscalYear);
    drawBlock(pen, 1000, *row.totals, fiscalYear);
}

} // namespace velmora
