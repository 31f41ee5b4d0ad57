#include "Twips.h"

#include <QWidget>

namespace velmora {

QRect twipsRect(int left, int top, int width, int height)
{
    return {twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height)};
}

void placeTwips(QWidget* control, int left, int top, int width, int height)
{
    control->setGeometry(twipsRect(left, top, width, height));
}

void setClientTwips(QWidget* window, int width, int height)
{
    window->setFixedSize(twipsToPixels(width), twipsToPixels(height));
}

void showAndActivate(QWidget* window)
{
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace velmora
