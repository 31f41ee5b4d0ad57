#pragma once

#include <QColor>
#include <QString>

namespace velmora {

// What the reports draw on: the picture box of the search window, the printer, or a test's recorder.
// Coordinates are the surface's own units; text is placed by its top-left corner at its point size.
class Surface {
public:
    virtual ~Surface() = default;
    virtual void clear() = 0;
    virtual void setFontSize(double points) = 0;
    virtual void setForeColor(const QColor& color) = 0;
    virtual void setLineWidth(int pixels) = 0;
    // Solid, dashed or dotted lines from now on: a chart's lines apart without colour.
    virtual void setLineStyle(Qt::PenStyle style) = 0;
    virtual void line(double x1, double y1, double x2, double y2, const QColor& color) = 0;
    virtual void box(double x1, double y1, double x2, double y2, const QColor& color) = 0;
    // A rectangle filled with a black pattern and framed at the line width: bars that stay apart when
    // printed in black and white.
    virtual void fill(double x1, double y1, double x2, double y2, Qt::BrushStyle pattern) = 0;
    virtual void text(double x, double y, const QString& text) = 0;
    // The width `text` takes at the current font size, in the surface's units.
    virtual double textWidth(const QString& text) = 0;
};

} // namespace velmora
