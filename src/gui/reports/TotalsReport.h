#pragma once

#include "core/rules/StoreTotals.h"
#include "gui/platform/Printer.h"

#include <QDate>

// The printed dose totals: a document to file, of the persons as the totals window shows them, each with
// every figure of the year by quarter (effective, lens, skin, internal), with the periods, the print date,
// the counts of each verdict and the limits applied on every page.
namespace velmora {

struct TotalsPrintout {
    int fiscalYear = 0;
    QDate printed;
    bool flaggedOnly = false; // only the rows with a verdict are shown
    QList<TotalsRow> rows;    // in the order shown
    QString facility;         // the facility's line, when set
    QString historyHead;      // the change history's record count and last hash, under the check box
};

// The left edges of the printed columns and the right edge of the last, in millimetres from the left of
// the printable area; every text stays within its column.
extern const QList<double> TotalsColumnEdges;

// Prints every row in one document, as many pages as they need; a reason or a name too long for its
// cell is wrapped within it and the row grows. The last page ends with a box for the checker's name, date
// and seal, and under it the change history's head, so that the signed page pins the history as it stood.
void PrintDoseTotals(Printer& printer, const TotalsPrintout& printout);

} // namespace velmora
