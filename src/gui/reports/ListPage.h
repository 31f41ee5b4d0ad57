#pragma once

#include "gui/platform/Printer.h"
#include "gui/reports/ReportPen.h"

#include <QList>
#include <functional>

// The ruled page that the registrant data table and the monthly exposure list share: a title, the frame
// from (150, 200) to (2800, 1900) with the line under the headings at y 300, the column rules of the
// report, 31 row rules and up to 32 rows, 50 units apart.
namespace velmora {

struct PlacedText {
    double x;
    double y;
    QString text;
};

constexpr qsizetype RowsPerPage = 32;

struct ListPage {
    QString title;
    std::function<void(ReportPen&)> drawColumnRules;
    QList<PlacedText> headings;
    // Draws the cells of the registrant at list index `index` (from 0) with their top at `y`.
    std::function<void(ReportPen&, qsizetype index, double y)> drawRow;
};

// Clears the surface and draws one page with the rows of registrants nextRow, nextRow + 1, … (1-based)
// of `count`; leaves nextRow at the first registrant not drawn.
void drawListPage(ReportPen& pen, const ListPage& page, qsizetype count, qsizetype& nextRow);

// Prints the pages of a list from nextRow on, each page a print job of its own with the facility at its
// foot, until every registrant of `count` is printed; a list without registrants prints one page without
// rows.
void printPages(Printer& printer, const QString& reportName, qsizetype count, const qsizetype& nextRow,
                const QString& facility, const std::function<void(Surface&)>& drawPage);

} // namespace velmora
