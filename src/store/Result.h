#pragma once

#include <QString>
#include <expected>

namespace velmora {

// The outcome of a store operation: the value, or the Japanese message that tells the user what failed.
template <class T>
using Result = std::expected<T, QString>;
using Status = std::expected<void, QString>;

inline std::unexpected<QString> failure(QString message)
{
    return std::unexpected<QString>(std::move(message));
}

} // namespace velmora
