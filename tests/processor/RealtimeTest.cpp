// The audio thread must never wait on the allocator or on another thread: no
// allocation, no free and no lock inside processBlock or processBlockBypassed.
#include "AllocationCounter.h"
#include "ProcessorTestUtilities.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <mutex>

using namespace ortholume::testing;

namespace
{
AllocationCounts runBlocks (VelloranAudioProcessor& processor, juce::AudioBuffer<float>& buffer)
{
    juce::MidiBuffer midi;
    midi.addEvent (juce::MidiMessage::noteOn (1, 60, 0.5f), 3);
    AllocationCountingScope scope;

    for (int n : { 0, 1, 64, 512, 8192, 10000 })
    {
        juce::AudioBuffer<float> view (buffer.getArrayOfWritePointers(), buffer.getNumChannels(), n);
        processor.processBlock (view, midi);
        processor.processBlockBypassed (view, midi);
    }

    return scope.counts();
}

void expectNothingTaken (const AllocationCounts& counts)
{
    EXPECT_EQ (counts.allocations, 0);
    EXPECT_EQ (counts.frees, 0);
    EXPECT_EQ (counts.locks, 0);
}
} // namespace

// The probe itself must see what it is meant to catch, or the checks below prove nothing.
TEST (Realtime, CounterSeesAllocationsFreesAndLocks)
{
    AllocationCountingScope scope;
    auto* vector = new std::vector<int> (100);
    delete vector;
    // Through a volatile pointer, or the compiler drops the pair.
    void* volatile block = std::malloc (16);
    std::free (block);

    std::mutex standardMutex;
    {
        std::lock_guard<std::mutex> lock (standardMutex);
    }

    juce::CriticalSection frameworkLock;
    {
        const juce::ScopedLock lock (frameworkLock);
    }

    const auto counts = scope.counts();
    EXPECT_EQ (counts.allocations, 3);
    EXPECT_EQ (counts.frees, 3);
    EXPECT_EQ (counts.locks, 2);
}

TEST (Realtime, ProcessingNeitherAllocatesFreesNorLocksWhenSteady)
{
    VelloranAudioProcessor processor;
    auto buffer = makeSignal (6, 10000, 1);
    runBlocks (processor, buffer);
    expectNothingTaken (runBlocks (processor, buffer));
}

TEST (Realtime, ProcessingNeitherAllocatesFreesNorLocksWhileGliding)
{
    VelloranAudioProcessor processor;
    auto buffer = makeSignal (6, 10000, 1);
    processor.setConversionMode (1);
    ortholume::setGainParameter (processor, 0.2f);
    ASSERT_NE (processor.mixCurrent.load(), processor.mixTarget.load());
    ASSERT_NE (processor.outputGainCurrent.load(), processor.outputGainTarget.load());
    expectNothingTaken (runBlocks (processor, buffer));
}

TEST (Realtime, ProcessingWithFewerChannelsThanConvertedTakesNothing)
{
    VelloranAudioProcessor processor;
    auto buffer = makeSignal (2, 10000, 2);
    processor.setConversionMode (1);
    expectNothingTaken (runBlocks (processor, buffer));
}
