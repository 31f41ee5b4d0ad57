#include "app/Console.h"

#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace velmora {
namespace {

// A standard handle the parent gave (a file or a pipe of a redirection) is kept; one missing is the
// console's.
void toConsole(DWORD which, FILE* stream)
{
    const HANDLE given = ::GetStdHandle(which);
    if (given == nullptr || given == INVALID_HANDLE_VALUE)
        (void)std::freopen("CONOUT$", "w", stream);
}

} // namespace

void prepareCommandOutput()
{
    if (::AttachConsole(ATTACH_PARENT_PROCESS)) { // not when started from Explorer or the Start menu
        toConsole(STD_OUTPUT_HANDLE, stdout);
        toConsole(STD_ERROR_HANDLE, stderr);
    }
    (void)_setmode(_fileno(stdout), _O_BINARY);
}

} // namespace velmora
