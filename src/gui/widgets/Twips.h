#pragma once

#include <QRect>

class QWidget;

namespace velmora {

// Window layouts are given in twips; 15 twips make one logical pixel at 96 dpi.
constexpr int TwipsPerPixel = 15;

inline int twipsToPixels(int twips)
{
    return (twips + TwipsPerPixel / 2) / TwipsPerPixel;
}

QRect twipsRect(int left, int top, int width, int height);

// Places a control at (left, top) with (width, height), all in twips, within its window's client area.
void placeTwips(QWidget* control, int left, int top, int width, int height);

// Gives a window its fixed client area in twips.
void setClientTwips(QWidget* window, int width, int height);

// Keeps a shown window, title bar and frame included, within the available area of its screen (above a
// task bar): smaller where it may shrink, moved in where it stands past an edge.
void keepOnScreen(QWidget* window);

// Shows a window inside its screen and gives it the keyboard focus, also where no window manager hands the
// focus over.
void showAndActivate(QWidget* window);

} // namespace velmora
