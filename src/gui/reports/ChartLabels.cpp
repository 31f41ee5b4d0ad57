#include "gui/reports/ChartLabels.h"

namespace velmora {

QRectF ChartLabels::boxOf(double x, double y, const QString& text)
{
    // A full-width character is as wide as the type is high.
    return {x, y, pen.textWidth(text), pen.textWidth(QStringLiteral("Ｍ")) * 1.2};
}

void ChartLabels::fixed(double x, double y, const QString& text)
{
    pen.text(x, y, text);
    boxes << boxOf(x, y, text);
}

void ChartLabels::line(double x1, double y1, double x2, double y2)
{
    lines << QLineF(x1, y1, x2, y2);
}

void ChartLabels::bar(double x1, double y1, double x2, double y2, Qt::BrushStyle pattern)
{
    pen.bar(x1, y1, x2, y2, pattern);
    boxes << QRectF(QPointF(x1, y1), QPointF(x2, y2)).normalized();
}

bool ChartLabels::isFree(const QRectF& box) const
{
    for (const QRectF& taken : boxes)
        if (taken.intersects(box))
            return false;
    const QLineF edges[] = {{box.topLeft(), box.topRight()},
                            {box.topRight(), box.bottomRight()},
                            {box.bottomRight(), box.bottomLeft()},
                            {box.bottomLeft(), box.topLeft()}};
    for (const QLineF& drawn : lines) {
        if (box.contains(drawn.p1()) || box.contains(drawn.p2()))
            return false;
        for (const QLineF& edge : edges)
            if (drawn.intersects(edge) == QLineF::BoundedIntersection)
                return false;
    }
    return true;
}

void ChartLabels::name(double x, double y, const QString& text, double top, double bottom)
{
    const QRectF preferred = boxOf(x, y, text);
    const double step = preferred.height() / 4;
    for (int tries = 0; tries <= 160; ++tries) {
        // 0, one step down, one up, two down, two up, …
        const double shift = step * ((tries + 1) / 2) * (tries % 2 ? 1 : -1);
        const QRectF box = preferred.translated(0, shift);
        if (box.top() < top || box.bottom() > bottom || !isFree(box))
            continue;
        pen.text(box.left(), box.top(), text);
        boxes << box;
        return;
    }
    pen.text(x, y, text);
    boxes << preferred;
}

} // namespace velmora
