#pragma once

#include "gui/platform/Surface.h"

#include <QDate>

// What the screen page and the paper page of a report differ in, besides a few captions.
namespace velmora {

inline const QColor Grey(128, 128, 128);

struct ReportStyle {
    double scale; // surface units per screen unit: 1 on the screen, 0.1 (millimetres) on paper
    double titleSize;
    double textSize;  // headings and cells
    int frameWidth;   // the frame and the line under the headings, in device pixels
    QColor ruleColor; // the column rules
};

// The screen page of every report on the picture box.
inline const ReportStyle ScreenStyle{1, 14, 8, 2, Grey};
// The printed registrant data table and monthly exposure list: one tenth, in millimetres.
inline const ReportStyle PaperStyle{0.1, 16, 10, 5, Qt::black};
// The printed charts: their band and month labels smaller than the lists' cells, to fit their columns.
// Their grid in light grey, so that the limits' lines stand out from it.
inline const ReportStyle ChartPaperStyle{0.1, 16, 7, 5, QColor(170, 170, 170)};

// Draws a report laid out in screen units on a surface of any scale.
class ReportPen {
public:
    ReportPen(Surface& target, const ReportStyle& penStyle) : surface(target), style(penStyle) {}

    const ReportStyle& reportStyle() const { return style; }
    // Starts a chart page: cleared, its title at the top left with the facility (when named) below it, the
    // print date (when valid) at the top right, and the text size set for what follows.
    void beginPage(const QString& title, const QDate& printed, const QString& facility = {});
    void clear() { surface.clear(); }
    void fontSize(double points) { surface.setFontSize(points); }
    void text(double x, double y, const QString& text) { surface.text(x * style.scale, y * style.scale, text); }
    // A text placed in the surface's own units, where the paper layout is not one tenth of the screen's.
    void textAt(double x, double y, const QString& text) { surface.text(x, y, text); }
    // The width of a text at the current font size, in screen units like the positions.
    double textWidth(const QString& text) { return surface.textWidth(text) / style.scale; }
    // The frame and the heading lines: black at the frame width.
    void frameBox(double x1, double y1, double x2, double y2);
    void frameLine(double x1, double y1, double x2, double y2);
    // Column rules: width 1 in the rule colour.
    void rule(double x1, double y1, double x2, double y2);
    // A line of a chart: black at `weight` times the frame width, in a style of its own.
    void chartLine(double x1, double y1, double x2, double y2, Qt::PenStyle lineStyle, int weight = 1);
    // A bar of a chart: framed, filled with a black pattern.
    void bar(double x1, double y1, double x2, double y2, Qt::BrushStyle pattern)
    {
        surface.fill(x1 * style.scale, y1 * style.scale, x2 * style.scale, y2 * style.scale, pattern);
    }
    // Row rules: width 1, black.
    void rowRule(double x1, double y1, double x2, double y2);

private:
    void line(double x1, double y1, double x2, double y2, const QColor& color);
    Surface& surface;
    ReportStyle style;
};

} // namespace velmora
