#include "Interruption.h"

#include <csignal>
#include <initializer_list>

namespace ortholume::converter
{
namespace
{
volatile std::sig_atomic_t receivedSignal = 0;

extern "C" void rememberSignal (int signalNumber)
{
    if (receivedSignal == 0)
        receivedSignal = signalNumber;
}
} // namespace

void installSignalHandlers()
{
    struct sigaction action {};
    action.sa_handler = rememberSignal;
    sigemptyset (&action.sa_mask);
    action.sa_flags = SA_RESTART;

    for (auto signalNumber : { SIGINT, SIGTERM, SIGHUP })
        sigaction (signalNumber, &action, nullptr);

    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset (&ignore.sa_mask);

    for (auto signalNumber : { SIGXFSZ, SIGPIPE })
        sigaction (signalNumber, &ignore, nullptr);
}

bool interruptionRequested() noexcept
{
    return receivedSignal != 0;
}

int interruptingSignal() noexcept
{
    return (int) receivedSignal;
}
} // namespace ortholume::converter
