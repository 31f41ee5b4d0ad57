#pragma once

#include "ReportPen.h"
#include "totals/DoseTotals.h"

#include <QDate>

// One person's doses at a glance, on one page: the fiscal year's months (bars of the effective and lens
// doses, "Ｍ" where a month's record is below detection) with the running quarter and year totals of the
// effective dose against the year's limit and its 80 % line; and the fiscal years of the five-year block
// with the running block total against the block limit. Lines and bars keep apart by their styles and
// patterns, so the page reads in black and white. The same drawing on the screen and on paper.
namespace velmora {

// The top of a dose axis: the smallest of 1, 2, 5, 10, 20, 50, 100, … mSv at or over `largest`.
double doseAxisTop(double largest);

// The height of each chart's axis from 0 mSv to its top, in screen units.
constexpr double DoseAxisHeight = 560;

// Draws the page in screen units at the style's scale; `printed` is shown when valid. Nothing is drawn
// for a person whose file could not be read but the title and why.
void drawPersonCharts(Surface& surface, const ReportStyle& style, const TotalsRow& row, int fiscalYear,
                      const QDate& printed = {});

} // namespace velmora
