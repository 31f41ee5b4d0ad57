#include "app/Termination.h"

#include <atomic>
#include <csignal>
#include <windows.h>

namespace velmora {
namespace {

std::atomic<int> noted{0};

BOOL WINAPI noteConsoleEvent(DWORD event)
{
    noted = event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT ? SIGINT : SIGTERM;
    // A closed console, a logoff or a shutdown ends the process as soon as this returns: the command is
    // given the few seconds Windows allows to reach its next step and return.
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)
        ::Sleep(4000);
    return TRUE;
}

} // namespace

// Windows ends a program at logout and shutdown through its windows (Qt's session handling), not by a
// signal: nothing more to set up.
void quitOnSystemRequests() {}

void noteSystemRequests()
{
    ::SetConsoleCtrlHandler(noteConsoleEvent, TRUE);
}

int systemRequest()
{
    return noted;
}

} // namespace velmora
