#pragma once

#include "core/rules/ReportData.h"
#include "gui/platform/Printer.h"
#include "gui/reports/ReportPen.h"

// The monthly exposure list: the doses of every registrant for one month, 32 rows to a page.
namespace velmora {

struct MonthlyListInput {
    QString yearText;                 // the year box as it reads now
    QString monthText;                // the month box as it reads now
    const QStringList& names;         // RegistrantList
    const QList<MonthRowEntry>& rows; // MonthRow, one entry per name
};

// Draws one page from nextRow in the given style and advances nextRow past the rows drawn.
void drawMonthlyListPage(Surface& surface, const ReportStyle& style, const MonthlyListInput& input, qsizetype& nextRow);

// One screen page on the picture box.
void ShowMonthlyList(Surface& picture, const MonthlyListInput& input, qsizetype& nextRow);

// Every page from nextRow on, each page a print job of its own (one page without rows for no registrant).
void PrintMonthlyList(Printer& printer, const MonthlyListInput& input, qsizetype& nextRow, const QString& facility);

} // namespace velmora
