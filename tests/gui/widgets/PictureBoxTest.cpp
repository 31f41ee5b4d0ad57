#include "gui/widgets/PictureBox.h"
#include "gui/widgets/Twips.h"

#include <QApplication>
#include <QWidget>
#include <gtest/gtest.h>

using namespace velmora;

namespace {

// The bounding box of every pixel that is not white.
QRect inkBounds(const QImage& image)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) != QColor(Qt::white))
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

class PictureBoxTest : public testing::Test {
protected:
    void SetUp() override
    {
        placeTwips(&picture, 0, 0, 10935, 7815); // the size of the search window's surface
        picture.clear();
    }
    QWidget window;
    PictureBox picture{QStringLiteral("Picture1"), &window};
};

TEST_F(PictureBoxTest, UserCoordinatesSpanTheAreaInsideASunkenBorder)
{
    // 2960 units across 725 pixels and 1900 down 517: one unit is 3.674 twips across and 4.082 down.
    EXPECT_EQ(picture.contentsRect(), QRect(2, 2, 725, 517));
    picture.line(0, 50, 2960, 50, Qt::black);
    picture.line(0, 1000, 1480, 1000, QColor(128, 128, 128));
    const QImage& image = picture.picture();
    EXPECT_EQ(image.size(), QSize(725, 517));
    EXPECT_EQ(image.pixelColor(0, 0), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(724, 0), QColor(Qt::black));
    const int middle = qRound(950.0 * 517 / 1900);
    EXPECT_EQ(image.pixelColor(100, middle), QColor(128, 128, 128));
    EXPECT_EQ(image.pixelColor(400, middle), QColor(Qt::white)); // the grey line ends at x = 1480
}

TEST_F(PictureBoxTest, LineWidthIsInDevicePixels)
{
    picture.setLineWidth(5);
    picture.line(0, 1000, 2960, 1000, Qt::black);
    EXPECT_EQ(inkBounds(picture.picture()).height(), 5);
}

TEST_F(PictureBoxTest, TextStandsBelowAndRightOfItsPointAtItsPointSize)
{
    picture.setFontSize(36);
    picture.text(600, 700, QStringLiteral("個人被曝線量記録"));
    const QRect ink = inkBounds(picture.picture());
    const QPoint origin(qRound(600.0 * 725 / 2960), qRound(650.0 * 517 / 1900));
    EXPECT_GE(ink.left(), origin.x());
    EXPECT_GE(ink.top(), origin.y());
    EXPECT_LE(ink.top(), origin.y() + 12);
    EXPECT_NEAR(ink.height(), 48, 10); // 36 pt at 96 dpi, not stretched by the coordinates
    picture.clear();
    EXPECT_TRUE(inkBounds(picture.picture()).isNull());
}

TEST_F(PictureBoxTest, KeepsItsDrawingWhenPaintedAgain)
{
    window.show();
    picture.box(100, 100, 2000, 1500, Qt::black);
    window.hide();
    window.show();
    const QImage shown = picture.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shown.copy(picture.contentsRect()), picture.picture());
    EXPECT_FALSE(inkBounds(picture.picture()).isNull());
    // The border: darker than the window at the top left, lighter at the bottom right.
    const int windowGrey = qGray(picture.palette().color(QPalette::Window).rgb());
    EXPECT_LT(qGray(shown.pixel(0, 100)), windowGrey);
    EXPECT_GE(qGray(shown.pixel(shown.width() - 1, 100)), windowGrey);
}

} // namespace
