#include "gui/reports/ListPage.h"

#include "gui/reports/PageText.h"

namespace velmora {

void drawListPage(ReportPen& pen, const ListPage& page, qsizetype count, qsizetype& nextRow)
{
    const ReportStyle& style = pen.reportStyle();
    pen.clear();
    pen.fontSize(style.titleSize);
    pen.text(200, 100, page.title);
    pen.fontSize(style.textSize);
    pen.frameBox(150, 200, 2800, 1900);
    pen.frameLine(150, 300, 2800, 300);
    page.drawColumnRules(pen);
    for (int y = 350; y <= 1850; y += 50)
        pen.rowRule(150, y, 2800, y);
    for (const PlacedText& heading : page.headings)
        pen.text(heading.x, heading.y, heading.text);
    for (qsizetype row = 1; row <= RowsPerPage && nextRow <= count; ++row, ++nextRow)
        page.drawRow(pen, nextRow - 1, 260 + 50 * static_cast<double>(row));
}

void printPages(Printer& printer, const QString& reportName, qsizetype count, const qsizetype& nextRow,
                const QString& facility, const std::function<void(Surface&)>& drawPage)
{
    do {
        Surface& page = printer.beginDocument(reportName);
        drawPage(page);
        drawFacilityFooter(page, facility);
        printer.endDocument();
    } while (nextRow <= count);
}

} // namespace velmora
