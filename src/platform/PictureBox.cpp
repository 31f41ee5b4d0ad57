#include "PictureBox.h"

#include "Fonts.h"

#include <QFontMetricsF>
#include <QPainter>

namespace velmora {

PictureBox::PictureBox(const QString& objectName, QWidget* parent)
    : QWidget(parent), font(systemFont(GothicFont, 9.75))
{
    setObjectName(objectName);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QPointF PictureBox::toPixels(double x, double y) const
{
    return {x * image.width() / UserWidth, (y - UserTop) * image.height() / UserHeight};
}

void PictureBox::clear()
{
    image.fill(Qt::white);
    update();
}

void PictureBox::setFontSize(double points)
{
    font.setPointSizeF(points);
}

void PictureBox::setForeColor(const QColor& color)
{
    foreColor = color;
}

void PictureBox::setLineWidth(int pixels)
{
    lineWidth = pixels;
}

void PictureBox::line(double x1, double y1, double x2, double y2, const QColor& color)
{
    QPainter painter(&image);
    painter.setPen(QPen(color, lineWidth, Qt::SolidLine, Qt::SquareCap));
    painter.drawLine(toPixels(x1, y1), toPixels(x2, y2));
    update();
}

void PictureBox::box(double x1, double y1, double x2, double y2, const QColor& color)
{
    QPainter painter(&image);
    painter.setPen(QPen(color, lineWidth, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.drawRect(QRectF(toPixels(x1, y1), toPixels(x2, y2)).normalized());
    update();
}

void PictureBox::text(double x, double y, const QString& text)
{
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(foreColor);
    const QPointF topLeft = toPixels(x, y);
    painter.drawText(topLeft + QPointF(0, QFontMetricsF(font, &image).ascent()), text);
    update();
}

void PictureBox::paintEvent(QPaintEvent*)
{
    QPainter(this).drawImage(0, 0, image);
}

void PictureBox::resizeEvent(QResizeEvent*)
{
    if (image.size() == size())
        return;
    QImage resized(size(), QImage::Format_RGB32);
    resized.fill(Qt::white);
    QPainter(&resized).drawImage(0, 0, image);
    image = resized;
}

} // namespace velmora
