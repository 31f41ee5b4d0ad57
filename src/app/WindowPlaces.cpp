#include "app/WindowPlaces.h"

#include <QApplication>
#include <QEvent>
#include <QScreen>
#include <QWidget>

namespace velmora {
namespace {

// The windows whose places are kept: the program's own, named; not message boxes, dialogs or pop-ups.
QWidget* keptWindow(QObject* watched)
{
    auto* widget = qobject_cast<QWidget*>(watched);
    return widget && widget->windowType() == Qt::Window && !widget->objectName().isEmpty() ? widget : nullptr;
}

QString placeKey(const QWidget* window)
{
    return QStringLiteral("places/") + window->objectName();
}

} // namespace

WindowPlaces::WindowPlaces(QSettings& kept) : settings(kept)
{
    qApp->installEventFilter(this);
}

bool WindowPlaces::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::Show && event->type() != QEvent::Hide)
        return false;
    QWidget* window = keptWindow(watched);
    if (!window)
        return false;
    if (event->type() == QEvent::Hide) {
        settings.setValue(placeKey(window), window->pos());
        return false;
    }
    const QVariant kept = settings.value(placeKey(window));
    if (!kept.isValid())
        return false;
    // On the screen the place is on, moved in as far as the window needs to stand wholly on it.
    const QPoint place = kept.toPoint();
    const QSize size = window->frameGeometry().size();
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect room = screen->availableGeometry();
        if (!room.contains(place))
            continue;
        window->move(std::max(room.left(), std::min(place.x(), room.right() + 1 - size.width())),
                     std::max(room.top(), std::min(place.y(), room.bottom() + 1 - size.height())));
        break;
    }
    return false;
}

} // namespace velmora
