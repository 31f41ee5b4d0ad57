#pragma once

#include "core/rules/TotalsColumns.h"
#include "gui/platform/Printer.h"

#include <QDate>

// The dose notice a worker is entitled to: one A4 page per person with the fiscal year's months,
// quarters and year and the block's running totals of the effective, lens, skin and internal dose, a
// pregnancy's running totals month by month, the limits that bind the person, the verdict with its
// reasons, the facility and the print date.
namespace velmora {

// The left edge of what a page puts beside a figure table, and the page's right edge, in millimetres.
constexpr double FigureSideLeft = 20 + 32 + 4 * 28 + 8;
constexpr double PageRight = 287;

// A table of figure rows with the headings 実効線量, 水晶体, 皮膚 and 内部被曝 (mSv), from `top` at the
// page's left margin; returns its bottom.
double drawFigureTable(Surface& page, const QList<PersonFigureRow>& figures, double top);

// Draws one person's notice on a page, in millimetres.
void drawDoseNotice(Surface& page, const TotalsRow& row, int fiscalYear, const QDate& printed, const QString& facility);

// Prints the notices of `rows` in their order as one document, a page each.
void PrintDoseNotices(Printer& printer, const QList<TotalsRow>& rows, int fiscalYear, const QDate& printed,
                      const QString& facility);

} // namespace velmora
