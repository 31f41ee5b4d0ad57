#include "Clock.h"

namespace velmora {

QDate SystemClock::today() const
{
    return QDate::currentDate();
}

} // namespace velmora
