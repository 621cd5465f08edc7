#include "AllocationCounter.h"
#include "ProcessorTestUtilities.h"

#include <gtest/gtest.h>

using namespace testing_utilities;

TEST (Realtime, CounterSeesAnAllocation)
{
    allocation_counter::Scope scope;
    auto* p = new std::vector<int> (100);
    delete p;
    EXPECT_EQ (scope.counts().allocations, 2);
    EXPECT_EQ (scope.counts().frees, 2);
}

TEST (Realtime, ProcessingNeitherAllocatesNorFrees)
{
    VelloranAudioProcessor processor;
    auto buffer = makeSignal (6, 10000, 1);
    juce::MidiBuffer midi;
    midi.addEvent (juce::MidiMessage::noteOn (1, 60, 0.5f), 3);

    const auto runBlocks = [&]
    {
        allocation_counter::Scope scope;

        for (int n : { 0, 1, 64, 512, 8192, 10000 })
        {
            juce::AudioBuffer<float> view (buffer.getArrayOfWritePointers(), 6, n);
            processor.processBlock (view, midi);
            processor.processBlockBypassed (view, midi);
        }

        return scope.counts();
    };

    const auto steady = runBlocks();
    EXPECT_EQ (steady.allocations, 0);
    EXPECT_EQ (steady.frees, 0);

    processor.setConversionMode (1);
    setGain (processor, 0.2f);
    const auto gliding = runBlocks();
    EXPECT_EQ (gliding.allocations, 0);
    EXPECT_EQ (gliding.frees, 0);
}
