#include "app/Console.h"

namespace velmora {

// A program started from a terminal writes to it already, byte for byte.
void prepareCommandOutput() {}

} // namespace velmora
