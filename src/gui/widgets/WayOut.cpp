#include "gui/widgets/WayOut.h"

#include <QCloseEvent>
#include <QShortcut>

namespace velmora {
namespace {

QList<WayOut*>& allWaysOut()
{
    static QList<WayOut*> ways;
    return ways;
}

} // namespace

WayOut::WayOut(QWidget* guarded, std::function<bool()> holds, std::function<bool()> asks, std::function<void()> goes)
    : QObject(guarded), window(guarded), mayLeave(std::move(asks)), leave(std::move(goes)), holdsWork(std::move(holds))
{
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), guarded);
    connect(escape, &QShortcut::activated, this, &WayOut::tryLeave);
    guarded->installEventFilter(this);
    allWaysOut() << this;
}

WayOut::~WayOut()
{
    allWaysOut().removeOne(this);
}

bool WayOut::mayEndSession()
{
    for (WayOut* way : std::as_const(allWaysOut()))
        if (way->holdsWork() && !way->mayLeave())
            return false;
    return true;
}

bool WayOut::eventFilter(QObject* watched, QEvent* event)
{
    // The close button and Alt+F4: the window is hidden by `leave`, or stays.
    if (watched == window && event->type() == QEvent::Close) {
        event->ignore();
        tryLeave();
        return true;
    }
    return false;
}

void WayOut::tryLeave()
{
    if (!holdsWork() || mayLeave())
        leave();
}

} // namespace velmora
