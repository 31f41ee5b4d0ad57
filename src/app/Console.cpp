#include "app/Console.h"
#include "core/texts/Messages.h"

#include <cstdio>

namespace velmora {

void tell(const QString& text)
{
    std::fprintf(stderr, "velmora: %s\n", qPrintable(shownText(text)));
}

} // namespace velmora
