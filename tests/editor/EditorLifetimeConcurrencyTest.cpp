// Runs under ThreadSanitizer, with the framework's leak detector switched on:
// the editor is opened and closed again and again, its timers ticking and its
// meters painting, while the audio thread processes and a host thread automates
// and restores. A data race aborts the run; a leaked component or a look and
// feel deleted while still in use shows as a logged framework assertion.

#include "MessageLoop.h"
#include "editor/VelloranAudioProcessorEditor.h"
#include "processor/GainParameter.h"
#include "processor/VelloranAudioProcessor.h"

#include <gtest/gtest.h>

#include <thread>

TEST (EditorConcurrency, OpeningAndClosingTheEditorHundredTimesWhileAudioRuns)
{
    VelloranAudioProcessor processor;
    std::atomic<bool> running { true };
    std::atomic<int> blocksProcessed { 0 };

    juce::MemoryBlock modeOneState;
    {
        VelloranAudioProcessor source;
        source.setConversionMode (1);
        source.getStateInformation (modeOneState);
    }

    std::thread audio ([&] {
        juce::AudioBuffer<float> buffer (4, 256);
        juce::MidiBuffer midi;
        juce::Random random (5);

        while (running.load())
        {
            for (int c = 0; c < 4; ++c)
                for (int i = 0; i < buffer.getNumSamples(); ++i)
                    buffer.setSample (c, i, random.nextFloat() * 2.0f - 1.0f);

            processor.processBlock (buffer, midi);
            blocksProcessed.fetch_add (1);
        }
    });

    std::thread host ([&] {
        for (int i = 0; running.load(); ++i)
        {
            ortholume::setGainParameter (processor, (float) (i % 11) / 10.0f);

            if (i % 5 == 0)
                processor.setStateInformation (modeOneState.getData(), (int) modeOneState.getSize());
            else if (i % 5 == 2)
                processor.setConversionMode (0);

            std::this_thread::sleep_for (std::chrono::milliseconds (2));
        }
    });

    for (int i = 0; i < 100; ++i)
    {
        std::unique_ptr<juce::AudioProcessorEditor> editor (processor.createEditorIfNeeded());
        ASSERT_NE (editor, nullptr);
        ASSERT_EQ (processor.getActiveEditor(), editor.get());

        // Long enough, now and then, for both timers and the list's notification.
        ortholume::testing::runMessageLoopFor (i % 10 == 0 ? 160 : 10);

        juce::Image canvas (juce::Image::ARGB, editor->getWidth(), editor->getHeight(), true);
        juce::Graphics g (canvas);
        editor->paintEntireComponent (g, false);

        // Closed as a host's wrapper closes it.
        processor.editorBeingDeleted (editor.get());
        editor = nullptr;
    }

    running = false;
    audio.join();
    host.join();

    EXPECT_EQ (processor.getActiveEditor(), nullptr);
    EXPECT_GT (blocksProcessed.load(), 100);
}
