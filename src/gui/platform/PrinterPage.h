#pragma once

#include "gui/platform/Fonts.h"
#include "gui/platform/Surface.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>

namespace velmora {

constexpr int PrintResolution = 600; // dots per inch of a printed or saved page

// The pages of a report on paper: A4 landscape.
void setUpLandscapeA4(QPrinter& printer);

// A page of a document: millimetres turned into device pixels, text at its point size, line widths in
// device pixels.
class PrinterPage : public Surface {
public:
    explicit PrinterPage(QPrinter& printer) : painter(&printer), font(systemFont(MinchoFont, 10))
    {
        pixelsPerMillimetre = printer.resolution() / 25.4;
    }
    bool isActive() const { return painter.isActive(); }
    void end()
    {
        if (painter.isActive())
            painter.end();
    }

    void clear() override {}
    void setFontSize(double points) override { font.setPointSizeF(points); }
    void setForeColor(const QColor& color) override { fore = color; }
    void setLineWidth(int pixels) override { lineWidth = pixels; }
    void setLineStyle(Qt::PenStyle style) override { lineStyle = style; }
    void line(double x1, double y1, double x2, double y2, const QColor& color) override
    {
        painter.setPen(QPen(color, lineWidth, lineStyle, Qt::SquareCap));
        painter.drawLine(toDevice(x1, y1), toDevice(x2, y2));
    }
    void box(double x1, double y1, double x2, double y2, const QColor& color) override
    {
        painter.setPen(QPen(color, lineWidth, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(toDevice(x1, y1), toDevice(x2, y2)).normalized());
    }
    void fill(double x1, double y1, double x2, double y2, Qt::BrushStyle pattern) override
    {
        painter.setPen(QPen(Qt::black, lineWidth, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        painter.setBrush(QBrush(Qt::black, pattern));
        painter.drawRect(QRectF(toDevice(x1, y1), toDevice(x2, y2)).normalized());
        painter.setBrush(Qt::NoBrush);
    }
    void text(double x, double y, const QString& text) override
    {
        painter.setFont(font);
        painter.setPen(fore);
        painter.drawText(toDevice(x, y) + QPointF(0, QFontMetricsF(font, painter.device()).ascent()), text);
    }
    double textWidth(const QString& text) override
    {
        return QFontMetricsF(font, painter.device()).horizontalAdvance(text) / pixelsPerMillimetre;
    }

private:
    QPointF toDevice(double x, double y) const { return {x * pixelsPerMillimetre, y * pixelsPerMillimetre}; }

    QPainter painter;
    QFont font;
    QColor fore = Qt::black;
    int lineWidth = 1;
    Qt::PenStyle lineStyle = Qt::SolidLine;
    double pixelsPerMillimetre;
};

// Where a page that can go nowhere is drawn, so that a report finishes and its failure is told.
class DiscardedPage : public Surface {
public:
    void clear() override {}
    void setFontSize(double) override {}
    void setForeColor(const QColor&) override {}
    void setLineWidth(int) override {}
    void setLineStyle(Qt::PenStyle) override {}
    void line(double, double, double, double, const QColor&) override {}
    void box(double, double, double, double, const QColor&) override {}
    void fill(double, double, double, double, Qt::BrushStyle) override {}
    void text(double, double, const QString&) override {}
    double textWidth(const QString&) override { return 0; }
};

} // namespace velmora
