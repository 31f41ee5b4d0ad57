#pragma once

#include <QObject>
#include <QWidget>
#include <functional>

namespace velmora {

// The ways out of a window other than its own cancel button — its close button (Alt+F4), Esc and the end
// of the session — leave at once when the window holds no unsaved work, and otherwise ask the question its
// cancel button asks, leaving only when it lets them.
class WayOut : public QObject {
public:
    // `holdsWork` tells whether the window, shown or waiting behind another, holds work that leaving would
    // lose; `mayLeave` asks the cancel button's question; `leave` hides the window and goes back to the one
    // that opened it, as the cancel button does.
    WayOut(QWidget* window, std::function<bool()> holdsWork, std::function<bool()> mayLeave,
           std::function<void()> leave);
    ~WayOut() override;

    // Whether the session may end: every window holding work is asked, and none is left.
    static bool mayEndSession();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void tryLeave();

    QWidget* window;
    std::function<bool()> mayLeave;
    std::function<void()> leave;
    std::function<bool()> holdsWork;
};

} // namespace velmora
