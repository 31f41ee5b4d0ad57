#include "gui/widgets/PictureBox.h"

#include "gui/platform/Fonts.h"

#include <QFontMetricsF>
#include <QPainter>

namespace velmora {

PictureBox::PictureBox(const QString& objectName, QWidget* parent) : QFrame(parent), font(systemFont(GothicFont, 9.75))
{
    setObjectName(objectName);
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    QFrame::setLineWidth(2); // the border; setLineWidth() of the surface sets the pen
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QPoint PictureBox::toPixels(double x, double y) const
{
    // Whole pixels, so that lines of one pixel stay sharp.
    return QPointF(x * image.width() / UserWidth, (y - UserTop) * image.height() / UserHeight).toPoint();
}

void PictureBox::clear()
{
    canvas().fill(Qt::white);
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
    penWidth = pixels;
}

void PictureBox::setLineStyle(Qt::PenStyle style)
{
    penStyle = style;
}

void PictureBox::line(double x1, double y1, double x2, double y2, const QColor& color)
{
    QPainter painter(&canvas());
    painter.setPen(QPen(color, penWidth, penStyle, Qt::SquareCap));
    painter.drawLine(toPixels(x1, y1), toPixels(x2, y2));
    update();
}

void PictureBox::box(double x1, double y1, double x2, double y2, const QColor& color)
{
    QPainter painter(&canvas());
    painter.setPen(QPen(color, penWidth, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.drawRect(QRect(toPixels(x1, y1), toPixels(x2, y2)).normalized());
    update();
}

void PictureBox::fill(double x1, double y1, double x2, double y2, Qt::BrushStyle pattern)
{
    QPainter painter(&canvas());
    painter.setPen(QPen(Qt::black, penWidth, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.setBrush(QBrush(Qt::black, pattern));
    painter.drawRect(QRect(toPixels(x1, y1), toPixels(x2, y2)).normalized());
    update();
}

void PictureBox::text(double x, double y, const QString& text)
{
    QPainter painter(&canvas());
    painter.setFont(font);
    painter.setPen(foreColor);
    const QPointF topLeft = toPixels(x, y);
    painter.drawText(topLeft + QPointF(0, QFontMetricsF(font, &image).ascent()), text);
    update();
}

double PictureBox::textWidth(const QString& text)
{
    const double pixels = QFontMetricsF(font, &canvas()).horizontalAdvance(text);
    return image.width() > 0 ? pixels * UserWidth / image.width() : 0;
}

void PictureBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(contentsRect().topLeft(), image);
    drawFrame(&painter);
}

void PictureBox::resizeEvent(QResizeEvent*)
{
    canvas();
}

QImage& PictureBox::canvas()
{
    // The widget may be drawn on before it was ever shown, when Qt has not yet sent a resize event.
    if (image.size() != contentsRect().size()) {
        QImage resized(contentsRect().size(), QImage::Format_RGB32);
        resized.fill(Qt::white);
        QPainter(&resized).drawImage(0, 0, image);
        image = resized;
    }
    return image;
}

} // namespace velmora
