#include "app/Termination.h"

namespace velmora {

// Windows ends a program at logout and shutdown through its windows (Qt's session handling), not by a
// signal: nothing more to set up.
void quitOnSystemRequests() {}

} // namespace velmora
