#include "Interruption.h"

#include <atomic>
#include <csignal>
#include <initializer_list>

namespace ortholume::converter
{
namespace
{
// Set in a signal handler and read by every worker thread: only a lock-free
// atomic is safe for both.
std::atomic<int> receivedSignal { 0 };
static_assert (std::atomic<int>::is_always_lock_free);

extern "C" void rememberSignal (int signalNumber)
{
    int none = 0;
    receivedSignal.compare_exchange_strong (none, signalNumber);
}
} // namespace

void installSignalHandlers()
{
    struct sigaction action
    {};
    action.sa_handler = rememberSignal;
    sigemptyset (&action.sa_mask);
    action.sa_flags = SA_RESTART;

    for (auto signalNumber : { SIGINT, SIGTERM, SIGHUP })
        sigaction (signalNumber, &action, nullptr);

    struct sigaction ignore
    {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset (&ignore.sa_mask);

    for (auto signalNumber : { SIGXFSZ, SIGPIPE })
        sigaction (signalNumber, &ignore, nullptr);
}

bool interruptionRequested() noexcept
{
    return receivedSignal.load (std::memory_order_relaxed) != 0;
}

int interruptingSignal() noexcept
{
    return receivedSignal.load (std::memory_order_relaxed);
}
} // namespace ortholume::converter
