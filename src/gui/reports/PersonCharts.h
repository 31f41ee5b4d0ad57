#pragma once

#include "core/rules/StoreTotals.h"
#include "gui/reports/ReportPen.h"

#include <QDate>

// One person's doses at a glance, on one page: the fiscal year's months (bars of the effective and lens
// doses, "Ｍ" where a month's record is below detection) with the running quarter and year totals of the
// effective dose, the lens's year and a pregnancy's external and internal totals; and the fiscal years of
// the five-year block with the running block totals. Each chart draws the limits that bind the person in
// its period with their 80 % lines, on an axis that shows the person's figures and the limit they come
// nearest to. Lines and bars keep apart by their weights, styles and patterns and are named at their ends,
// so the page reads in black and white. The same drawing on the screen and on paper.
namespace velmora {

// The top of a dose axis: the smallest of 1, 2, 5, 10, 20, 50, 100, … mSv at or over `largest`.
double doseAxisTop(double largest);

// The height of each chart's axis from 0 mSv to its top, in screen units.
constexpr double DoseAxisHeight = 520;

// Draws the page in screen units at the style's scale; `printed` is shown when valid. Nothing is drawn
// for a person whose file could not be read but the title and why.
void drawPersonCharts(Surface& surface, const ReportStyle& style, const TotalsRow& row, int fiscalYear,
                      const QDate& printed = {});

} // namespace velmora
