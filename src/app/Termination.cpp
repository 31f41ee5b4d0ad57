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

Termination::Termination(WriterLock& lock)
{
    lockAtExit = &lock;
    static const bool registered = std::atexit(unlockAtExit) == 0;
    (void)registered;
    quitOnSystemRequests();
}

Termination::~Termination()
{
    lockAtExit = nullptr;
}

} // namespace velmora
