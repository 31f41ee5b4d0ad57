#include "gui/reports/ReportPen.h"

namespace velmora {

void ReportPen::beginPage(const QString& title, const QDate& printed, const QString& facility)
{
    surface.clear();
    fontSize(style.titleSize);
    text(100, 70, title);
    fontSize(style.textSize);
    if (!facility.isEmpty())
        text(100, 125, facility);
    if (printed.isValid())
        text(2500, 90, printed.toString(QStringLiteral("印刷日 yyyy年MM月dd日")));
}

void ReportPen::frameBox(double x1, double y1, double x2, double y2)
{
    surface.setLineWidth(style.frameWidth);
    surface.box(x1 * style.scale, y1 * style.scale, x2 * style.scale, y2 * style.scale, Qt::black);
}

void ReportPen::frameLine(double x1, double y1, double x2, double y2)
{
    surface.setLineWidth(style.frameWidth);
    line(x1, y1, x2, y2, Qt::black);
}

void ReportPen::rule(double x1, double y1, double x2, double y2)
{
    surface.setLineWidth(1);
    line(x1, y1, x2, y2, style.ruleColor);
}

void ReportPen::rowRule(double x1, double y1, double x2, double y2)
{
    surface.setLineWidth(1);
    line(x1, y1, x2, y2, Qt::black);
}

void ReportPen::chartLine(double x1, double y1, double x2, double y2, Qt::PenStyle lineStyle, int weight)
{
    surface.setLineWidth(style.frameWidth * weight);
    surface.setLineStyle(lineStyle);
    line(x1, y1, x2, y2, Qt::black);
    surface.setLineStyle(Qt::SolidLine);
}

void ReportPen::line(double x1, double y1, double x2, double y2, const QColor& color)
{
    surface.line(x1 * style.scale, y1 * style.scale, x2 * style.scale, y2 * style.scale, color);
}

} // namespace velmora
