#pragma once

#include "store/WriterLock.h"

namespace velmora {

// While it lives, the entry lock is given up however the run ends short of a crash: SIGTERM (a shutdown),
// SIGHUP and SIGINT end the event loop, so that the windows close and the lock is released as at "EXIT";
// and when the window system goes away (the end of the X session), Qt ends the process with exit(), past
// main()'s own clean-up, so the lock is released then. Typed entries not yet saved are lost in both, as
// in a crash: there is nobody left to ask.
class Termination {
public:
    explicit Termination(WriterLock& lock);
    ~Termination();
    Termination(const Termination&) = delete;
    Termination& operator=(const Termination&) = delete;
};

// Ends the event loop when the system asks the program to end (on Linux: SIGTERM, SIGHUP, SIGINT).
void quitOnSystemRequests();

} // namespace velmora
