#pragma once

#include <QString>
#include <QStringList>

namespace velmora {

// The message every window gives for a typed value it cannot take.
inline const QString InvalidInputMessage = QStringLiteral("正しく入力して下さい");

// Names or files for a message, one per line: the first ten, then "ほか 5件" (with the counter `unit`).
QString listForMessage(const QStringList& items, const QString& unit);

} // namespace velmora
