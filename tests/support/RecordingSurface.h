#pragma once

#include "gui/platform/Surface.h"

#include <QList>
#include <QStringList>
#include <optional>

namespace velmora::test {

// A surface that remembers everything drawn on it, for assertions on texts, positions and sizes.
class RecordingSurface : public Surface {
public:
    struct Text {
        double x;
        double y;
        double size;
        QColor color;
        QString text;
    };
    struct Fill {
        double x1, y1, x2, y2;
        Qt::BrushStyle pattern;
    };
    struct Line {
        double x1, y1, x2, y2;
        int width;
        QColor color;
        bool box;
        Qt::PenStyle style;
    };

    void clear() override
    {
        texts.clear();
        lines.clear();
        fills.clear();
        ++clears;
    }
    void setFontSize(double points) override { size = points; }
    void setForeColor(const QColor& color) override { fore = color; }
    void setLineWidth(int pixels) override { width = pixels; }
    void setLineStyle(Qt::PenStyle style) override { lineStyle = style; }
    void line(double x1, double y1, double x2, double y2, const QColor& color) override
    {
        lines.append({x1, y1, x2, y2, width, color, false, lineStyle});
    }
    void box(double x1, double y1, double x2, double y2, const QColor& color) override
    {
        lines.append({x1, y1, x2, y2, width, color, true, lineStyle});
    }
    void fill(double x1, double y1, double x2, double y2, Qt::BrushStyle pattern) override
    {
        fills.append({x1, y1, x2, y2, pattern});
    }
    void text(double x, double y, const QString& text) override { texts.append({x, y, size, fore, text}); }
    // As a fixed-pitch Japanese font measures: half an em for a half-width character, an em for the rest.
    double textWidth(const QString& text) override
    {
        double ems = 0;
        for (const QChar c : text)
            ems += c.unicode() < 0x80 || (c.unicode() >= 0xFF61 && c.unicode() <= 0xFF9F) ? 0.5 : 1;
        return ems * size * unitsPerPoint;
    }

    // The text drawn with its top-left corner at (x, y), if any.
    std::optional<QString> at(double x, double y) const
    {
        for (const Text& t : texts)
            if (t.x == x && t.y == y)
                return t.text;
        return std::nullopt;
    }
    const Text* find(const QString& text) const
    {
        for (const Text& t : texts)
            if (t.text == text)
                return &t;
        return nullptr;
    }
    // The texts of one row, in drawing order.
    QStringList row(double y) const
    {
        QStringList shown;
        for (const Text& t : texts)
            if (t.y == y)
                shown.append(t.text);
        return shown;
    }
    qsizetype countLines(int lineWidth, const QColor& color) const
    {
        return std::count_if(lines.begin(), lines.end(),
                             [&](const Line& l) { return l.width == lineWidth && l.color == color; });
    }

    QList<Text> texts;
    QList<Line> lines;
    QList<Fill> fills;
    int clears = 0;
    double unitsPerPoint = 25.4 / 72; // millimetres, as on paper

private:
    double size = 9.75;
    QColor fore = Qt::black;
    int width = 1;
    Qt::PenStyle lineStyle = Qt::SolidLine;
};

} // namespace velmora::test
