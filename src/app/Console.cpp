#include "app/Console.h"

#include <cstdio>

namespace velmora {

void tell(const QString& text)
{
    std::fprintf(stderr, "velmora: %s\n", qPrintable(text));
}

} // namespace velmora
