#pragma once

#include "gui/platform/Surface.h"

#include <QStringList>

// Texts on a printed page in millimetres: measured, wrapped within a width, and set line under line.
namespace velmora {

// The width of a text at a size, as the page measures it.
double textWidth(Surface& page, const QString& text, double points);

// The height of a line of text at a size, with the gap to the next.
double lineHeight(double points);

// The lines of a text within `width`: broken after a blank or a punctuation mark where one fits, else
// between characters.
QStringList wrapped(Surface& page, const QString& text, double width, double points);

// Draws the lines one below the other from (x, y) at a size; returns the y under the last.
double drawLines(Surface& page, double x, double y, const QStringList& lines, double points);

// The facility's line in small type at the foot of a printed page (landscape A4), below everything the
// reports place; nothing when no facility is named.
void drawFacilityFooter(Surface& page, const QString& facility);

} // namespace velmora
