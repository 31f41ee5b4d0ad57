#pragma once

#include <QApplication>

namespace velmora {

// Shows the wait cursor while it lives, over a step that reads every registrant's file or prints: the
// cursor comes back however the step ends.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace velmora
