#include "gui/reports/DistributionReport.h"

#include "core/model/Calendar.h"
#include <algorithm>
#include <numeric>

namespace velmora {
namespace {

constexpr double Left = 100;
constexpr double CellWidth = 170;
constexpr double LabelWidth = 180;
constexpr double RowHeight = 50;
constexpr double Padding = 10;

// The quarters of the women's table, as the statutory form names them.

// A text centred in a cell.
void centred(ReportPen& pen, double left, double width, double top, const QString& text)
{
    pen.text(left + (width - pen.textWidth(text)) / 2, top + Padding, text);
}

// A table of band counts: a label column, one column per band and one for the total, a heading row and
// one row per line of counts. Returns the bottom.
double drawCountTable(ReportPen& pen, double top, const QString& heading, const QStringList& labels,
                      const QList<std::pair<QString, QList<int>>>& lines, double rowHeight = RowHeight,
                      double labelWidth = LabelWidth)
{
    pen.fontSize(pen.reportStyle().titleSize * 0.75);
    pen.text(Left, top, heading);
    top += RowHeight + Padding;
    pen.fontSize(pen.reportStyle().textSize);
    const double right = Left + labelWidth + CellWidth * double(labels.size() + 1);
    const double bottom = top + rowHeight * double(lines.size() + 1);
    pen.frameBox(Left, top, right, bottom);
    pen.frameLine(Left, top + rowHeight, right, top + rowHeight);
    for (qsizetype at = 0; at <= labels.size(); ++at) {
        const double x = Left + labelWidth + CellWidth * double(at);
        pen.rule(x, top, x, bottom);
        centred(pen, x, CellWidth, top, at < labels.size() ? labels[at] : QStringLiteral("合計"));
    }
    centred(pen, Left, labelWidth, top, QStringLiteral("区分（mSv）"));
    double y = top + rowHeight;
    for (const auto& [name, counts] : lines) {
        if (y > top + rowHeight)
            pen.rowRule(Left, y, right, y);
        pen.text(Left + Padding, y + Padding, name);
        for (qsizetype at = 0; at <= counts.size(); ++at) {
            const int count = at < counts.size() ? counts[at] : std::accumulate(counts.begin(), counts.end(), 0);
            const QString text = QString::number(count);
            pen.text(Left + labelWidth + CellWidth * double(at + 1) - Padding - pen.textWidth(text), y + Padding, text);
        }
        y += rowHeight;
    }
    return bottom;
}

// A bar chart of band counts: the count axis with its ticks, one patterned bar per band with its label
// and count, the axis titles and a legend.
void drawBarChart(ReportPen& pen, double left, double top, const QString& title, const BandCounts& counts,
                  Qt::BrushStyle pattern)
{
    const double width = 1200;
    const double axisLeft = left + 120;
    const double axisBottom = top + 100 + ChartAxisHeight;
    const int topTick = chartTop(*std::max_element(counts.counts.begin(), counts.counts.end()));
    pen.fontSize(pen.reportStyle().titleSize * 0.75);
    pen.text(left, top, title);
    pen.fontSize(pen.reportStyle().textSize);
    pen.text(left, top + 50, QStringLiteral("人数（人）"));
    pen.frameLine(axisLeft, axisBottom - ChartAxisHeight, axisLeft, axisBottom);
    pen.frameLine(axisLeft, axisBottom, left + width, axisBottom);
    const int step = std::max(1, topTick / 5);
    for (int tick = 0; tick <= topTick; tick += step) {
        const double y = axisBottom - ChartAxisHeight * tick / topTick;
        if (tick > 0)
            pen.rule(axisLeft, y, left + width, y);
        const QString text = QString::number(tick);
        pen.text(axisLeft - Padding * 2 - pen.textWidth(text), y - 20, text);
    }
    const QStringList labels = counts.labels();
    const double slot = (left + width - axisLeft) / double(labels.size());
    for (qsizetype at = 0; at < labels.size(); ++at) {
        const double x = axisLeft + slot * double(at);
        const double height = ChartAxisHeight * counts.counts[at] / topTick;
        if (counts.counts[at] > 0)
            pen.bar(x + slot * 0.2, axisBottom - height, x + slot * 0.8, axisBottom, pattern);
        const QString count = QString::number(counts.counts[at]);
        pen.text(x + (slot - pen.textWidth(count)) / 2, axisBottom - height - 45, count);
        pen.text(x + (slot - pen.textWidth(labels[at])) / 2, axisBottom + Padding, labels[at]);
    }
    const QString unit = QStringLiteral("線量区分（mSv）");
    pen.text(left + width - pen.textWidth(unit), axisBottom + 55, unit);
    // The legend: the pattern of the bars and what they count.
    const double legendLeft = left + width - 330;
    pen.bar(legendLeft, top + 5, legendLeft + 60, top + 40, pattern);
    pen.text(legendLeft + 75, top, QStringLiteral("該当する作業者数"));
}

} // namespace

int chartTop(int largestCount)
{
    // The smallest round top at or over the largest count: 5, 10, 20, 50, 100, 200, … so that the five
    // ticks fall on whole numbers.
    for (int decade = 1;; decade *= 10)
        for (const int top : {5 * decade, 10 * decade, 20 * decade})
            if (top >= largestCount)
                return top;
}

void drawDoseGroups(Surface& surface, const ReportStyle& style, const DoseDistribution& distribution,
                    const QDate& printed, const QString& facility)
{
    ReportPen pen(surface, style);
    pen.beginPage(QStringLiteral("職種別・所属別の実効線量（%1年度）").arg(distribution.fiscalYear), printed, facility);
    // The groups share the page's height, each row at least MinimumRowHeight high; the groups that do not
    // fit are counted under the tables (the CSV holds them all).
    constexpr double MinimumRowHeight = 30;
    constexpr double GroupLabelWidth = 400;
    const double available = 1800 - 180 - 2 * (RowHeight * 2 + Padding) - 100;
    const qsizetype groups = distribution.byJobType.size() + distribution.byAffiliation.size();
    const double rowHeight =
        std::clamp(available / double(std::max<qsizetype>(groups, 1)), MinimumRowHeight, RowHeight);
    const auto fitting = static_cast<qsizetype>(available / rowHeight);
    qsizetype room = fitting;
    const auto linesOf = [&room](const QList<GroupCounts>& counts) {
        QList<std::pair<QString, QList<int>>> lines;
        for (const GroupCounts& group : counts.first(std::min(room, counts.size())))
            lines.append({group.group, group.effective.counts});
        room -= lines.size();
        return lines;
    };
    const QStringList labels = distribution.effective.labels();
    double y = drawCountTable(pen, 180, QStringLiteral("職種別"), labels, linesOf(distribution.byJobType), rowHeight,
                              GroupLabelWidth);
    y = drawCountTable(pen, y + 40, QStringLiteral("所属別"), labels, linesOf(distribution.byAffiliation), rowHeight,
                       GroupLabelWidth);
    if (const qsizetype left = groups - fitting; left > 0)
        pen.text(Left, y + 20, QStringLiteral("ほか%1件は「CSV保存」のファイルにあります").arg(left));
}

void drawDoseDistribution(Surface& surface, const ReportStyle& style, const DoseDistribution& distribution,
                          const QDate& printed, const QString& facility)
{
    ReportPen pen(surface, style);
    pen.beginPage(QStringLiteral("線量分布（%1年度）").arg(distribution.fiscalYear), printed, facility);

    double y = drawCountTable(pen, 180, effectiveYearBands().heading, distribution.effective.labels(),
                              {{QStringLiteral("人数"), distribution.effective.counts}});
    pen.text(
        Left, y + Padding,
        QStringLiteral("集団線量 %1 人・mSv　平均 %2 mSv　最大 %3 mSv")
            .arg(distribution.collective.text(), distribution.mean.roundedTo(3).text(), distribution.maximum.text()));
    y = drawCountTable(pen, y + 90, lensYearBands().heading, distribution.lens.labels(),
                       {{QStringLiteral("人数"), distribution.lens.counts}});
    y = drawCountTable(pen, y + 50, skinYearBands().heading, distribution.skin.labels(),
                       {{QStringLiteral("人数"), distribution.skin.counts}});
    QList<std::pair<QString, QList<int>>> quarters;
    for (int quarter = 0; quarter < 4; ++quarter)
        quarters.append({quarterName(quarter + 1), distribution.womenQuarters[static_cast<size_t>(quarter)].counts});
    y = drawCountTable(pen, y + 50, womenQuarterBands().heading, distribution.womenQuarters[0].labels(), quarters);
    pen.text(Left, y + 40,
             QStringLiteral("対象：%1年4月～%2年3月に記録のある作業者（抹消者を含む）%3名　読込不可 %4件")
                 .arg(distribution.fiscalYear)
                 .arg(distribution.fiscalYear + 1)
                 .arg(distribution.workers)
                 .arg(distribution.unreadable.size()));

    drawBarChart(pen, 1700, 180, effectiveYearBands().heading, distribution.effective, Qt::BDiagPattern);
    drawBarChart(pen, 1700, 1000, lensYearBands().heading, distribution.lens, Qt::DiagCrossPattern);
}

} // namespace velmora
