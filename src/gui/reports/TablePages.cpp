#include "gui/reports/TablePages.h"

#include "gui/reports/PageText.h"

namespace velmora {

CellLines cellLines(Surface& page, const TableShape& shape, const QStringList& texts)
{
    CellLines cells;
    for (qsizetype column = 0; column < texts.size(); ++column)
        cells << wrapped(page, texts[column], shape.edges[column + 1] - shape.edges[column] - 2 * shape.padding,
                         shape.cellSize);
    return cells;
}

double rowHeight(const TableShape& shape, const CellLines& cells)
{
    qsizetype lines = 1;
    for (const QStringList& cell : cells)
        lines = std::max(lines, cell.size());
    return static_cast<double>(lines) * lineHeight(shape.cellSize) + shape.padding;
}

double drawRow(Surface& page, const TableShape& shape, double top, const CellLines& cells)
{
    for (qsizetype column = 0; column < cells.size(); ++column)
        drawLines(page, shape.edges[column] + shape.padding, top + shape.padding, cells[column], shape.cellSize);
    return top + rowHeight(shape, cells);
}

QList<qsizetype> pageStarts(const TableShape& shape, const QList<CellLines>& rows, double top, double bottom,
                            double roomAtEnd)
{
    QList<qsizetype> starts{0};
    double y = top;
    for (qsizetype at = 0; at < rows.size(); ++at) {
        if (y + rowHeight(shape, rows[at]) > bottom && at > starts.last()) {
            starts << at;
            y = top;
        }
        y += rowHeight(shape, rows[at]);
    }
    starts << rows.size();
    if (y + roomAtEnd > bottom)
        starts << rows.size();
    return starts;
}

void cutToPage(const TableShape& shape, QList<CellLines>& rows, double top, double bottom)
{
    const auto pageLines = static_cast<qsizetype>((bottom - top - shape.padding) / lineHeight(shape.cellSize));
    for (CellLines& cells : rows)
        for (QStringList& lines : cells)
            if (lines.size() > pageLines) {
                lines.resize(pageLines);
                lines.last() = QStringLiteral("…（以下略）");
            }
}

} // namespace velmora
