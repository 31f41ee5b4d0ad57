#pragma once

#include <QString>

namespace velmora {

// The message every window gives for a typed value it cannot take.
inline const QString InvalidInputMessage = QStringLiteral("正しく入力して下さい");

} // namespace velmora
