#include "app/Termination.h"

#include <cstdlib>

namespace velmora {
namespace {

// The lock to give up at exit(); only while a Termination lives, so never after main() has cleaned up.
WriterLock* lockAtExit = nullptr;

void unlockAtExit()
{
    if (lockAtExit)
        lockAtExit->unlock();
}

} // namespace

// Windows ends a program at logout and shutdown through its windows (Qt's session handling) rather than
// by a signal; a run that ends by exit() gives the lock up as on Linux.
Termination::Termination(WriterLock& lock)
{
    lockAtExit = &lock;
    static const bool registered = std::atexit(unlockAtExit) == 0;
    (void)registered;
}

Termination::~Termination()
{
    lockAtExit = nullptr;
}

} // namespace velmora
