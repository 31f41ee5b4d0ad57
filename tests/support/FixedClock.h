#pragma once

#include "gui/platform/Clock.h"

namespace velmora::test {

// A clock that always tells the same moment.
class FixedClock : public Clock {
public:
    explicit FixedClock(QDateTime fixedMoment) : moment(fixedMoment) {}
    QDateTime now() const override { return moment; }
    QDateTime moment;
};

} // namespace velmora::test
