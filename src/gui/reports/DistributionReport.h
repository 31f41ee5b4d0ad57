#pragma once

#include "core/rules/DoseDistribution.h"
#include "gui/reports/ReportPen.h"

#include <QDate>

// The dose distribution of a fiscal year on one page: the number of workers in each band of effective,
// lens and skin dose and of the women's quarters, the collective, mean and largest dose, and bar charts
// of the effective and lens bands. The same drawing on the window's picture box and on paper.
namespace velmora {

// The height of a bar chart's axis from 0 to its top tick, and the bar chart's top tick for the largest
// count: the bar of a band of n workers is n × ChartAxisHeight / top units high.
constexpr double ChartAxisHeight = 500;
int chartTop(int largestCount);

// Draws the page in screen units (2960 × 1900 from y 50) at the style's scale; `printed` is shown when
// valid.
void drawDoseDistribution(Surface& surface, const ReportStyle& style, const DoseDistribution& distribution,
                          const QDate& printed = {}, const QString& facility = {});

// Draws the effective-dose bands of each job type and each affiliation, in screen units at the style's
// scale: as many groups as the page holds, the others counted under the tables.
void drawDoseGroups(Surface& surface, const ReportStyle& style, const DoseDistribution& distribution,
                    const QDate& printed = {}, const QString& facility = {});

} // namespace velmora
