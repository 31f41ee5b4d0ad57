#pragma once

#include <QDate>

namespace velmora {

// Today's date, as the registration window stamps it.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDate today() const = 0;
};

class SystemClock : public Clock {
public:
    QDate today() const override;
};

} // namespace velmora
