#pragma once

#include "gui/platform/Surface.h"

#include <QFont>
#include <QFrame>
#include <QImage>

namespace velmora {

// The report surface of the search window: a white picture inside a sunken border of two pixels that
// keeps its drawing when the window is covered and shown again. User coordinates run x 0..2960 and
// y 50..1950 across the area inside the border; text is drawn at its point size and line widths in
// device pixels, not stretched by the coordinates.
class PictureBox : public QFrame, public Surface {
    Q_OBJECT
public:
    static constexpr double UserWidth = 2960;
    static constexpr double UserTop = 50;
    static constexpr double UserHeight = 1900;

    explicit PictureBox(const QString& objectName, QWidget* parent);

    void clear() override;
    void setFontSize(double points) override;
    void setForeColor(const QColor& color) override;
    void setLineWidth(int pixels) override;
    void setLineStyle(Qt::PenStyle style) override;
    void line(double x1, double y1, double x2, double y2, const QColor& color) override;
    void box(double x1, double y1, double x2, double y2, const QColor& color) override;
    void fill(double x1, double y1, double x2, double y2, Qt::BrushStyle pattern) override;
    void text(double x, double y, const QString& text) override;
    double textWidth(const QString& text) override;

    // The drawing as it stands, for a look at what the user sees.
    const QImage& picture() { return canvas(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QPoint toPixels(double x, double y) const;
    QImage& canvas();

    QImage image;
    QFont font;
    QColor foreColor = Qt::black;
    int penWidth = 1;
    Qt::PenStyle penStyle = Qt::SolidLine;
};

} // namespace velmora
