#pragma once

#include "gui/platform/Surface.h"

#include <QList>
#include <QStringList>

// A printed table whose cells wrap within their columns, laid out over as many pages as its rows need.
namespace velmora {

struct TableShape {
    QList<double> edges; // the left edge of each column and the right edge of the last, in millimetres
    double cellSize = 7; // the text size of the cells
    double padding = 0.8;
};

using CellLines = QList<QStringList>; // the lines of each column of a row

// The texts of a row wrapped within their columns.
CellLines cellLines(Surface& page, const TableShape& shape, const QStringList& texts);

// The height of a row: its tallest cell.
double rowHeight(const TableShape& shape, const CellLines& cells);

// Draws the cells of a row from their columns' left edges under `top`; returns the y under the row.
double drawRow(Surface& page, const TableShape& shape, double top, const CellLines& cells);

// Where each page's rows begin, with the end of the rows last: the rows from `top` down to `bottom`,
// at least one a page; `roomAtEnd` left free under the last row (else one more, empty page).
QList<qsizetype> pageStarts(const TableShape& shape, const QList<CellLines>& rows, double top, double bottom,
                            double roomAtEnd = 0);

// A cell taller than the rows of a page is cut short with "…（以下略）".
void cutToPage(const TableShape& shape, QList<CellLines>& rows, double top, double bottom);

} // namespace velmora
