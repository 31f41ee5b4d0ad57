#pragma once

#include "core/files/WriterLock.h"

namespace velmora {

// While it lives, the entry lock is given up however the run ends short of a crash: SIGTERM (a shutdown),
// SIGHUP and SIGINT end the event loop, also under an open message box, and main() then releases the lock
// as it cleans up; and when the window system goes away (the end of the X session), Qt ends the process with exit(),
// past main()'s own clean-up, so the lock is released then. Typed entries not yet saved are lost in both, as in a
// crash: there is nobody left to ask.
class Termination {
public:
    explicit Termination(WriterLock& lock);
    ~Termination();
    Termination(const Termination&) = delete;
    Termination& operator=(const Termination&) = delete;
};

// Ends the event loop when the system asks the program to end (on Linux: SIGTERM, SIGHUP, SIGINT), also
// while a message box waits for an answer: every window's own event loop ends with it and no new one
// starts, so the program ends between two events, never inside a write.
void quitOnSystemRequests();

// For a command without windows: from now on the system's requests to end (SIGTERM, SIGHUP and SIGINT; on
// Windows Ctrl+C and the console closed) are only noted, for the command to stop at its next step where
// every file is whole and to give the entry lock up as it returns.
void noteSystemRequests();

// The request noted: the signal's number (SIGINT for Ctrl+C on Windows), or 0 while none came.
int systemRequest();

} // namespace velmora
