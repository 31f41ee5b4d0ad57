#pragma once

#include "platform/Printer.h"
#include "totals/DoseTotals.h"

#include <QDate>

// The dose notice a worker is entitled to: one A4 page per person with the fiscal year's months,
// quarters and year and the block's running totals of the effective, lens, skin and internal dose, a
// pregnancy's running totals month by month, the limits that bind the person, the verdict with its
// reasons, the facility and the print date.
namespace velmora {

// Draws one person's notice on a page, in millimetres.
void drawDoseNotice(Surface& page, const TotalsRow& row, int fiscalYear, const QDate& printed, const QString& facility);

// Prints the notices of `rows` in their order as one document, a page each.
void PrintDoseNotices(Printer& printer, const QList<TotalsRow>& rows, int fiscalYear, const QDate& printed,
                      const QString& facility);

} // namespace velmora
