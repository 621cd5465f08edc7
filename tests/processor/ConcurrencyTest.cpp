// Runs under ThreadSanitizer: an audio thread processes while other threads do
// what hosts and the editor do at the same time. Any data race aborts the run.
#include "ProcessorTestUtilities.h"

#include <gtest/gtest.h>

#include <thread>

using namespace ortholume::testing;

TEST (Concurrency, AudioThreadRunsWhileOthersChangeAndReadEverything)
{
    VelloranAudioProcessor processor;
    std::atomic<bool> running { true };
    std::atomic<int> blocksProcessed { 0 };

    juce::MemoryBlock modeOneState;
    {
        VelloranAudioProcessor source;
        ortholume::setGainParameter (source, 0.3f);
        source.setConversionMode (1);
        source.getStateInformation (modeOneState);
    }

    std::thread audio ([&] {
        auto buffer = makeSignal (4, 1024, 1);
        juce::MidiBuffer midi;
        int sizes[] = { 64, 1024, 1, 333, 0, 512 };

        for (int b = 0; running.load() || b < 200; ++b)
        {
            juce::AudioBuffer<float> view (buffer.getArrayOfWritePointers(), 4, sizes[b % 6]);

            if (b % 17 == 0)
                processor.processBlockBypassed (view, midi);
            else
                processor.processBlock (view, midi);

            blocksProcessed.fetch_add (1);
        }
    });

    std::thread automation ([&] {
        for (int i = 0; running.load(); ++i)
        {
            ortholume::setGainParameter (processor, (float) (i % 101) / 100.0f);
            (void) ortholume::getGainParameter (processor);
        }
    });

    std::thread session ([&] {
        for (int i = 0; running.load(); ++i)
        {
            if (i % 3 == 0)
                processor.setStateInformation (modeOneState.getData(), (int) modeOneState.getSize());
            else
                processor.setConversionMode (i % 2);

            juce::MemoryBlock saved;
            processor.getStateInformation (saved);
        }
    });

    std::thread editor ([&] {
        float sum = 0.0f;

        while (running.load())
        {
            for (const auto& level : processor.meterLevels)
                sum += level.load (std::memory_order_relaxed);

            if (processor.parametersChanged.exchange (false, std::memory_order_relaxed))
            {
                sum += ortholume::getGainParameter (processor) + (float) processor.idxInputConfig.load (std::memory_order_relaxed);
                (void) ortholume::getGainParameterText (processor);
            }
        }

        EXPECT_TRUE (std::isfinite (sum));
    });

    std::this_thread::sleep_for (std::chrono::milliseconds (700));
    running = false;

    for (auto* t : { &audio, &automation, &session, &editor })
        t->join();

    EXPECT_GE (blocksProcessed.load(), 200);

    for (const auto& level : processor.meterLevels)
    {
        EXPECT_GE (level.load(), 0.0f);
        EXPECT_LE (level.load(), 1.0f);
    }
}
