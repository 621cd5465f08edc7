// Hosts do not always keep to the order of calls they announce. These are the
// misbehaviours met in practice; each must leave the conversion exact and the
// processor usable. The program also runs under ThreadSanitizer and under
// AddressSanitizer, which turn the threaded ones into race and lifetime checks.
#include "MessageLoop.h"
#include "ProcessorTestUtilities.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <memory>
#include <thread>

using namespace ortholume::testing;

namespace
{
/** A settled FuMa-to-AmbiX conversion at 0 dB, sample by sample. */
void expectFumaToAmbix (const juce::AudioBuffer<float>& input, const juce::AudioBuffer<float>& output, int numSamples)
{
    for (int i = 0; i < numSamples; ++i)
    {
        ASSERT_EQ (output.getSample (0, i), input.getSample (0, i) * 1.41421353816986083984375f) << i;
        ASSERT_EQ (output.getSample (1, i), input.getSample (2, i)) << i;
        ASSERT_EQ (output.getSample (2, i), input.getSample (3, i)) << i;
        ASSERT_EQ (output.getSample (3, i), input.getSample (1, i)) << i;
    }
}

void expectMetersInRange (const VelloranAudioProcessor& processor)
{
    for (auto level : meterSnapshot (processor))
    {
        EXPECT_GE (level, 0.0f);
        EXPECT_LE (level, 1.0f);
    }
}

juce::MemoryBlock stateWith (float gain, int mode)
{
    VelloranAudioProcessor source;
    ortholume::setGainParameter (source, gain);
    source.setConversionMode (mode);
    return stateOf (source);
}
} // namespace

TEST (HostMisbehaviour, BlockLargerThanPreparedAndThanTheWorkSpaceIsConvertedWhole)
{
    VelloranAudioProcessor processor;
    processor.prepareToPlay (48000.0, 512);

    constexpr int hugeBlock = 20000;
    const auto input = makeSignal (8, hugeBlock, 3);
    auto buffer = input;
    process (processor, buffer);

    expectFumaToAmbix (input, buffer, hugeBlock);

    for (int c = 4; c < 8; ++c)
        for (int i = 0; i < hugeBlock; ++i)
            ASSERT_EQ (buffer.getSample (c, i), 0.0f) << c << ", " << i;

    // The next, ordinary block is unaffected.
    const auto next = makeSignal (4, 512, 4);
    auto nextBuffer = next;
    process (processor, nextBuffer);
    expectFumaToAmbix (next, nextBuffer, 512);
    expectMetersInRange (processor);
}

TEST (HostMisbehaviour, ProcessBlockBeforePrepareToPlayConverts)
{
    VelloranAudioProcessor processor;
    const auto input = makeSignal (4, 256, 5);
    auto buffer = input;
    process (processor, buffer);
    expectFumaToAmbix (input, buffer, 256);
}

// Found by fuzzing: an empty block may arrive without sample storage, and
// copying or clearing zero samples from a null pointer is undefined behaviour
// (UndefinedBehaviorSanitizer stops the sanitized run of this test on it).
TEST (HostMisbehaviour, EmptyBlockWithoutSampleStorageIsAccepted)
{
    VelloranAudioProcessor processor;
    float* noStorage[6] = {};
    juce::MidiBuffer midi;

    for (int numChannels : { 2, 4, 6 })
    {
        juce::AudioBuffer<float> empty (noStorage, numChannels, 0);
        processor.processBlock (empty, midi);
        processor.processBlockBypassed (empty, midi);
    }

    expectMetersInRange (processor);

    const auto input = makeSignal (4, 64, 9);
    auto buffer = input;
    process (processor, buffer);
    expectFumaToAmbix (input, buffer, 64);
}

TEST (HostMisbehaviour, ReleaseResourcesTwiceKeepsTheProcessorUsable)
{
    VelloranAudioProcessor processor;
    processor.releaseResources(); // before any prepare
    processor.prepareToPlay (44100.0, 256);
    processor.releaseResources();
    processor.releaseResources();

    const auto beforePrepare = makeSignal (4, 128, 6);
    auto buffer = beforePrepare;
    process (processor, buffer);
    expectFumaToAmbix (beforePrepare, buffer, 128);

    processor.prepareToPlay (96000.0, 4096);
    const auto afterPrepare = makeSignal (4, 4096, 7);
    auto secondBuffer = afterPrepare;
    process (processor, secondBuffer);
    expectFumaToAmbix (afterPrepare, secondBuffer, 4096);
}

TEST (HostMisbehaviour, StateRestoredFromAnotherThreadWhileAudioRuns)
{
    VelloranAudioProcessor processor;
    const auto quietAmbixToFuma = stateWith (0.4f, 1);
    const auto loudFumaToAmbix = stateWith (0.95f, 0);
    std::atomic<bool> restoring { true };
    std::atomic<bool> sawNaN { false };

    std::thread audio ([&] {
        auto buffer = makeSignal (4, 777, 8);
        juce::MidiBuffer midi;

        while (restoring.load())
        {
            auto block = buffer;
            processor.processBlock (block, midi);

            for (int c = 0; c < 4; ++c)
                for (int i = 0; i < block.getNumSamples(); ++i)
                    if (std::isnan (block.getSample (c, i)))
                        sawNaN = true;
        }
    });

    for (int i = 0; i < 300; ++i)
        restore (processor, (i % 2) == 0 ? quietAmbixToFuma : loudFumaToAmbix);

    restore (processor, quietAmbixToFuma);
    restoring = false;
    audio.join();

    EXPECT_FALSE (sawNaN.load());
    EXPECT_EQ (stateOf (processor), quietAmbixToFuma);
    EXPECT_EQ (processor.idxInputConfig.load(), 1);
    EXPECT_EQ (processor.mixTarget.load(), 1.0f);
    expectMetersInRange (processor);
}

TEST (HostMisbehaviour, EditorOpenedAndClosedWhileStateIsRestored)
{
    VelloranAudioProcessor processor;
    const auto quietAmbixToFuma = stateWith (0.4f, 1);
    const auto loudFumaToAmbix = stateWith (0.95f, 0);
    std::atomic<bool> restoring { true };

    // Hosts restore from whatever thread loads the session; the editor lives on the message thread.
    std::thread session ([&] {
        for (int i = 0; restoring.load(); ++i)
            restore (processor, (i % 2) == 0 ? quietAmbixToFuma : loudFumaToAmbix);
    });

    for (int round = 0; round < 20; ++round)
    {
        std::unique_ptr<juce::AudioProcessorEditor> editor (processor.createEditorIfNeeded());
        ASSERT_NE (editor, nullptr);
        ortholume::testing::runMessageLoopFor (5);
        processor.editorBeingDeleted (editor.get()); // as a host's wrapper closes it
        editor.reset();
    }

    restoring = false;
    session.join();

    restore (processor, loudFumaToAmbix);
    EXPECT_EQ (stateOf (processor), loudFumaToAmbix);

    // An editor opened after the storm sees a consistent processor.
    std::unique_ptr<juce::AudioProcessorEditor> editor (processor.createEditorIfNeeded());
    ASSERT_NE (editor, nullptr);
    EXPECT_EQ (processor.getActiveEditor(), editor.get());
    processor.editorBeingDeleted (editor.get());
    editor.reset();
    EXPECT_EQ (processor.getActiveEditor(), nullptr);
}
