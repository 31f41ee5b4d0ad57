#include "app/Termination.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace velmora {
namespace {

// A signal is handed to the event loop through this pair: the handler may only write a byte.
int signalPair[2] = {-1, -1};

// The signal a command without windows was asked to end by.
volatile std::sig_atomic_t noted = 0;

void handleSignal(int)
{
    const char byte = 1;
    (void)!::write(signalPair[0], &byte, 1);
}

void noteSignal(int signal)
{
    noted = signal;
}

void handleSystemRequests(void (*handler)(int))
{
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGTERM, SIGHUP, SIGINT})
        ::sigaction(signal, &action, nullptr);
}

} // namespace

void quitOnSystemRequests()
{
    if (signalPair[0] >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPair) != 0)
        return;
    auto* notifier = new QSocketNotifier(signalPair[1], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, [] {
        char byte = 0;
        (void)!::read(signalPair[1], &byte, 1);
        // exit(), not quit(): quit() would first close the windows, whose closing may ask or warn.
        QCoreApplication::exit(0);
    });
    handleSystemRequests(handleSignal);
}

void noteSystemRequests()
{
    handleSystemRequests(noteSignal);
}

int systemRequest()
{
    return noted;
}

} // namespace velmora
