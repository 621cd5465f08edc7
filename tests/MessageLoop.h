#pragma once

#include <juce_events/juce_events.h>

namespace juce
{
// The framework's own step of its message loop. Its wrapper that runs the loop
// for a while exists only where modal loops are compiled in, which a plug-in
// should not ship just so that tests can wait.
bool dispatchNextMessageOnSystemQueue (bool returnIfNoPendingMessages);
} // namespace juce

namespace ortholume::testing
{
/** Delivers messages on the calling (message) thread for about the given time,
    as a host's event loop would. */
inline void runMessageLoopFor (int milliseconds)
{
    const auto end = juce::Time::currentTimeMillis() + milliseconds;

    do
    {
        if (! juce::dispatchNextMessageOnSystemQueue (true))
            juce::Thread::sleep (1);
    } while (juce::Time::currentTimeMillis() < end);
}
} // namespace ortholume::testing
