#pragma once

#include "platform/Clock.h"

namespace velmora::test {

// A clock that always tells the same day.
class FixedClock : public Clock {
public:
    explicit FixedClock(QDate day) : day(day) {}
    QDate today() const override { return day; }
    QDate day;
};

} // namespace velmora::test
