#pragma once

#include "gui/reports/ReportPen.h"

#include <QLineF>
#include <QList>
#include <QRectF>

// The texts of a chart kept clear of one another, of its axes and of its lines: every text written and every
// line drawn is remembered, and a name that would touch one moves up or down to the nearest free place.
namespace velmora {

class ChartLabels {
public:
    explicit ChartLabels(ReportPen& chartPen) : pen(chartPen) {}

    // A text that stands where it must (a month's name, a tick's value, the legend): written and remembered.
    void fixed(double x, double y, const QString& text);
    // A line drawn on the chart, which names keep clear of.
    void line(double x1, double y1, double x2, double y2);
    // A bar of the chart: drawn, and kept clear of.
    void bar(double x1, double y1, double x2, double y2, Qt::BrushStyle pattern);
    // A name that prefers its top-left corner at (x, y): written at the free place nearest it between `top`
    // and `bottom` (where it prefers when there is none).
    void name(double x, double y, const QString& text, double top, double bottom);

    // The box a text takes with its top-left corner at (x, y), in screen units.
    QRectF boxOf(double x, double y, const QString& text);

private:
    bool isFree(const QRectF& box) const;

    ReportPen& pen;
    QList<QRectF> boxes;
    QList<QLineF> lines;
};

} // namespace velmora
