#include "gui/reports/PageText.h"

namespace velmora {
namespace {

constexpr double MillimetresPerPoint = 25.4 / 72;
constexpr double LineGap = 0.6;

bool breaksAfter(QChar c)
{
    return c == QLatin1Char(' ') || c == QChar(0xFF0F) || c == QChar(0x3001) || c == QChar(0x3002) ||
           c == QChar(0xFF09) || c == QLatin1Char(',');
}

} // namespace

double textWidth(Surface& page, const QString& text, double points)
{
    page.setFontSize(points);
    return page.textWidth(text);
}

double lineHeight(double points)
{
    return points * MillimetresPerPoint + LineGap;
}

QStringList wrapped(Surface& page, const QString& text, double width, double points)
{
    QStringList lines;
    QString line;
    qsizetype lastBreak = -1;
    for (const QChar c : text) {
        line += c;
        if (textWidth(page, line, points) > width && line.size() > 1) {
            const qsizetype cut = lastBreak > 0 ? lastBreak : line.size() - 1;
            lines << line.left(cut).trimmed();
            line = line.mid(cut);
            lastBreak = -1;
            for (qsizetype at = 0; at < line.size() - 1; ++at)
                if (breaksAfter(line[at]))
                    lastBreak = at + 1;
        }
        if (breaksAfter(c))
            lastBreak = line.size();
    }
    if (!line.isEmpty() || lines.isEmpty())
        lines << line;
    return lines;
}

double drawLines(Surface& page, double x, double y, const QStringList& lines, double points)
{
    page.setFontSize(points);
    for (const QString& line : lines) {
        page.text(x, y, line);
        y += lineHeight(points);
    }
    return y;
}

void drawFacilityFooter(Surface& page, const QString& facility)
{
    if (facility.isEmpty())
        return;
    constexpr double FooterSize = 7;
    page.setForeColor(Qt::black);
    page.setFontSize(FooterSize);
    page.text(15, 200, facility);
}

} // namespace velmora
