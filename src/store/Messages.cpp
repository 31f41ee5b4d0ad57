#include "Messages.h"

#include <algorithm>

namespace velmora {

QString listForMessage(const QStringList& items, const QString& unit)
{
    constexpr qsizetype Shown = 10;
    QString text = items.first(std::min(items.size(), Shown)).join(QLatin1Char('\n'));
    if (items.size() > Shown)
        text += QStringLiteral("\nほか%1").arg(items.size() - Shown) + unit;
    return text;
}

} // namespace velmora
