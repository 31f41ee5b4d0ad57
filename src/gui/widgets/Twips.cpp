#include "gui/widgets/Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

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

void keepOnScreen(QWidget* window)
{
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const QSize frame = window->frameGeometry().size() - window->size();
    window->resize(window->size().boundedTo(area.size() - frame));
    const QRect outer = window->frameGeometry();
    const QPoint inside(std::clamp(outer.left(), area.left(), std::max(area.left(), area.right() + 1 - outer.width())),
                        std::clamp(outer.top(), area.top(), std::max(area.top(), area.bottom() + 1 - outer.height())));
    if (inside != outer.topLeft())
        window->move(inside);
}

void showAndActivate(QWidget* window)
{
    window->show();
    keepOnScreen(window);
    window->raise();
    window->activateWindow();
}

} // namespace velmora
