#pragma once

#include <QDateTime>

namespace velmora {

// The time of day, as the registration window stamps a date and a print saved to a file is named.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
};

class SystemClock : public Clock {
public:
    QDateTime now() const override;
};

} // namespace velmora
