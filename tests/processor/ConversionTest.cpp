#include "ProcessorTestUtilities.h"
#include "engine/ConversionKernel.h"

#include <gtest/gtest.h>

#include <cfenv>

using namespace ortholume::testing;

namespace
{
void expectBitIdentical (const reference::Block& expected, const juce::AudioBuffer<float>& actual, const char* what)
{
    for (int c = 0; c < 4; ++c)
        for (int i = 0; i < actual.getNumSamples(); ++i)
            ASSERT_EQ (bitsOf (expected[(size_t) c][(size_t) i]), bitsOf (actual.getSample (c, i)))
                << what << ": channel " << c << ", sample " << i;
}

/** Runs the engine and the independent model side by side over blocks of the given sizes. */
void expectEngineFollowsModel (VelloranAudioProcessor& processor, reference::Engine& model,
                               std::initializer_list<int> blockSizes, int seed)
{
    for (auto size : blockSizes)
    {
        auto buffer = makeSignal (4, size, seed++);
        const auto expected = model.processInParts (toBlock (buffer), VelloranAudioProcessor::maxBlockSamples);
        process (processor, buffer);
        expectBitIdentical (expected, buffer, "block");
    }

    EXPECT_EQ (bitsOf (model.w.current), bitsOf (processor.wGainCurrent.load()));
    EXPECT_EQ (bitsOf (model.mix.current), bitsOf (processor.mixCurrent.load()));
    EXPECT_EQ (bitsOf (model.gain.current), bitsOf (processor.outputGainCurrent.load()));
}
} // namespace

TEST (Conversion, NewProcessorTurnsFumaIntoAmbixExactly)
{
    VelloranAudioProcessor processor;
    const auto input = makeSignal (4, 512, 1);
    auto buffer = input;
    process (processor, buffer);

    EXPECT_EQ (bitsOf (processor.outputGainCurrent.load()), bitsOf (1.0f));
    EXPECT_EQ (bitsOf (processor.wGainCurrent.load()), 0x3FB504F3u);

    for (int i = 0; i < 512; ++i)
    {
        ASSERT_EQ (buffer.getSample (0, i), input.getSample (0, i) * 1.41421353816986083984375f);
        ASSERT_EQ (buffer.getSample (1, i), input.getSample (2, i));
        ASSERT_EQ (buffer.getSample (2, i), input.getSample (3, i));
        ASSERT_EQ (buffer.getSample (3, i), input.getSample (1, i));
    }
}

TEST (Conversion, ChangeToAmbixToFumaGlidesBitForBitAndSettlesShortOfOne)
{
    VelloranAudioProcessor processor;
    reference::Engine model;

    processor.setConversionMode (1);
    model.setMode (1);

    // Odd block sizes, including an empty block and blocks longer than the work
    // space, as hosts deliver them.
    expectEngineFollowsModel (processor, model, { 64, 1, 0, 333, 512, 1024, 2048, 4096, 8192, 8193, 10000, 16384, 20000 }, 10);

    EXPECT_FLOAT_EQ (processor.mixCurrent.load(), 0.99999404f);
    EXPECT_NE (processor.mixCurrent.load(), 1.0f);
    EXPECT_NEAR (processor.wGainCurrent.load(), 0.70710677f, 2.0e-5f);

    // Settled: W at about 1/sqrt(2), then input channels 3, 1, 2 with a tiny residue.
    const auto input = makeSignal (4, 256, 99);
    auto buffer = input;
    process (processor, buffer);

    for (int i = 0; i < 256; ++i)
    {
        EXPECT_NEAR (buffer.getSample (0, i), input.getSample (0, i) * 0.70710677f, 1.0e-5f);
        EXPECT_NEAR (buffer.getSample (1, i), input.getSample (3, i), 1.0e-5f);
        EXPECT_NEAR (buffer.getSample (2, i), input.getSample (1, i), 1.0e-5f);
        EXPECT_NEAR (buffer.getSample (3, i), input.getSample (2, i), 1.0e-5f);
    }
}

TEST (Conversion, ReturnToFumaToAmbixSnapsExactlyAndCopies)
{
    VelloranAudioProcessor processor;
    reference::Engine model;

    processor.setConversionMode (1);
    model.setMode (1);
    expectEngineFollowsModel (processor, model, { 8192, 8192 }, 20);

    processor.setConversionMode (0);
    model.setMode (0);
    expectEngineFollowsModel (processor, model, { 8192, 8192, 16 }, 30);

    EXPECT_EQ (bitsOf (processor.mixCurrent.load()), bitsOf (0.0f));

    const auto input = makeSignal (4, 128, 7);
    auto buffer = input;
    process (processor, buffer);

    for (int i = 0; i < 128; ++i)
    {
        ASSERT_EQ (buffer.getSample (1, i), input.getSample (2, i));
        ASSERT_EQ (buffer.getSample (2, i), input.getSample (3, i));
        ASSERT_EQ (buffer.getSample (3, i), input.getSample (1, i));
    }
}

TEST (Conversion, GainChangesGlideBitForBitFromThePreviousGain)
{
    VelloranAudioProcessor processor;
    reference::Engine model;

    ortholume::setGainParameter (processor, 0.5f);
    model.gain.target = 0.01f;
    expectEngineFollowsModel (processor, model, { 100, 7, 2000 }, 40);

    // A second change in mid-glide, together with a change of direction.
    ortholume::setGainParameter (processor, 1.0f);
    processor.setConversionMode (1);
    model.gain.target = juce::Decibels::decibelsToGain (10.0f);
    model.setMode (1);
    expectEngineFollowsModel (processor, model, { 512, 512, 4096, 8192 }, 50);

    // A change that starts a long block glides within its first part and is
    // settled, by the per-part decision, from the next part on.
    for (float gain : { 0.25f, 0.875f, 0.5f, 0.75f })
    {
        ortholume::setGainParameter (processor, gain);
        model.gain.target = juce::Decibels::decibelsToGain (gain * 100.0f - 90.0f);
        expectEngineFollowsModel (processor, model, { 8193, 10000, 16384, 20000 }, (int) (gain * 100.0f));
    }
}

TEST (Conversion, EmptyBlockKeepsGlidesSnapsSettledStagesAndDecaysMeters)
{
    VelloranAudioProcessor processor;
    auto loud = makeSignal (4, 256, 3);
    process (processor, loud);
    const auto before = meterSnapshot (processor);

    processor.setConversionMode (1);
    processor.outputGainCurrent = 0.9999999f; // within the threshold of its target 1.0

    juce::AudioBuffer<float> empty (4, 0);
    process (processor, empty);

    EXPECT_EQ (bitsOf (processor.wGainCurrent.load()), 0x3FB504F3u);
    EXPECT_EQ (processor.mixCurrent.load(), 0.0f);
    EXPECT_EQ (processor.outputGainCurrent.load(), 1.0f);

    const auto after = meterSnapshot (processor);

    for (size_t slot = 0; slot < after.size(); ++slot)
        EXPECT_EQ (after[slot], (float) (0.0 * 0.1 + before[slot] * 0.9)) << "slot " << slot;
}

TEST (Conversion, ModeOutsideZeroAndOneIsKeptButConvertsAsFumaToAmbix)
{
    for (int mode : { -1, 2, 7, 1000 })
    {
        VelloranAudioProcessor processor;
        processor.setConversionMode (1);
        processor.setConversionMode (mode);

        EXPECT_EQ (processor.idxInputConfig.load(), mode);
        EXPECT_EQ (bitsOf (processor.wGainTarget.load()), 0x3FB504F3u);
        EXPECT_EQ (processor.mixTarget.load(), 0.0f);

        const auto input = makeSignal (4, 64, mode + 5000);
        auto buffer = input;
        process (processor, buffer);
        EXPECT_EQ (buffer.getSample (1, 10), input.getSample (2, 10));
    }
}

TEST (Conversion, LongBlockIsProcessedExactlyAsItsPartsOfAtMostTheLimit)
{
    // One long block against the same audio in host blocks of 8192, 8192, ...,
    // the rest, while direction and gain glide: on the one-pass path, and on the
    // general one (five processed outputs); the sixth channel is cleared in both.
    for (int outputs : { 4, 5 })
    {
        for (int size : { 8193, 10000, 16384, 20000 })
        {
            VelloranAudioProcessor whole, parts;

            for (auto* p : { &whole, &parts })
            {
                p->numOutputChannelsProcessed = outputs;
                p->setConversionMode (1);
                ortholume::setGainParameter (*p, 0.42f);
            }

            auto a = makeSignal (6, size, size);
            auto b = a;
            process (whole, a);

            for (int start = 0; start < size; start += VelloranAudioProcessor::maxBlockSamples)
            {
                const int length = juce::jmin (VelloranAudioProcessor::maxBlockSamples, size - start);
                juce::AudioBuffer<float> part (b.getArrayOfWritePointers(), 6, start, length);
                process (parts, part);
            }

            for (int c = 0; c < 6; ++c)
                for (int i = 0; i < size; ++i)
                    ASSERT_EQ (bitsOf (a.getSample (c, i)), bitsOf (b.getSample (c, i)))
                        << outputs << " outputs, " << size << " samples: channel " << c << ", sample " << i;

            for (int i = 0; i < size; ++i)
                ASSERT_EQ (a.getSample (5, i), 0.0f) << size << ", " << i;

            EXPECT_EQ (meterSnapshot (whole), meterSnapshot (parts)) << outputs << ", " << size;
            EXPECT_EQ (bitsOf (whole.wGainCurrent.load()), bitsOf (parts.wGainCurrent.load()));
            EXPECT_EQ (bitsOf (whole.mixCurrent.load()), bitsOf (parts.mixCurrent.load()));
            EXPECT_EQ (bitsOf (whole.outputGainCurrent.load()), bitsOf (parts.outputGainCurrent.load()));
        }
    }
}

TEST (Conversion, ExtraOutputChannelsAreCleared)
{
    VelloranAudioProcessor processor;

    for (auto* run : { &process, &processBypassed })
    {
        auto buffer = makeSignal (6, 10000, 9);
        (*run) (processor, buffer);

        for (int c = 4; c < 6; ++c)
            for (int i = 0; i < 10000; ++i)
                ASSERT_EQ (buffer.getSample (c, i), 0.0f) << c << ", " << i;
    }
}

TEST (Conversion, BypassLeavesAudioAndStateAlone)
{
    VelloranAudioProcessor processor;
    auto warmUp = makeSignal (4, 512, 11);
    process (processor, warmUp);

    processor.setConversionMode (1);
    ortholume::setGainParameter (processor, 0.3f);
    const auto meters = meterSnapshot (processor);

    const auto input = makeSignal (4, 700, 12);
    auto buffer = input;
    processBypassed (processor, buffer);

    for (int c = 0; c < 4; ++c)
        for (int i = 0; i < 700; ++i)
            ASSERT_EQ (bitsOf (buffer.getSample (c, i)), bitsOf (input.getSample (c, i)));

    EXPECT_EQ (meterSnapshot (processor), meters);
    EXPECT_EQ (bitsOf (processor.wGainCurrent.load()), 0x3FB504F3u);
    EXPECT_EQ (processor.mixCurrent.load(), 0.0f);
    EXPECT_EQ (processor.outputGainCurrent.load(), 1.0f);
}

TEST (Conversion, FewerChannelsThanConvertedAreHandledWithinTheBuffer)
{
    for (int channels = 1; channels <= 3; ++channels)
    {
        VelloranAudioProcessor processor;
        const auto input = makeSignal (channels, 300, channels);
        auto buffer = input;
        process (processor, buffer);

        // Missing inputs read as silence; only the channels present are written.
        EXPECT_EQ (buffer.getSample (0, 5), input.getSample (0, 5) * 1.41421353816986083984375f);

        if (channels >= 2)
        {
            EXPECT_EQ (buffer.getSample (1, 5), channels >= 3 ? input.getSample (2, 5) : 0.0f);
        }

        for (const auto& level : processor.meterLevels)
        {
            EXPECT_TRUE (std::isfinite (level.load()));
            EXPECT_GE (level.load(), 0.0f);
            EXPECT_LE (level.load(), 1.0f);
        }
    }

    // A host that shrinks the buffer after a full one.
    VelloranAudioProcessor processor;
    auto full = makeSignal (4, 128, 21);
    process (processor, full);
    auto narrow = makeSignal (2, 128, 22);
    process (processor, narrow);
    auto fullAgain = makeSignal (4, 128, 23);
    const auto input = fullAgain;
    process (processor, fullAgain);
    EXPECT_EQ (fullAgain.getSample (3, 0), input.getSample (1, 0));
}

TEST (Conversion, StepByStepPathAgreesWithTheOnePassPath)
{
    // Five processed output channels send the engine down its general path; the
    // first four channels and all meters must come out exactly as in the usual one.
    VelloranAudioProcessor onePass, stepByStep;
    stepByStep.numOutputChannelsProcessed = 5;

    const auto run = [&] (int size, int seed) {
        auto a = makeSignal (6, size, seed);
        auto b = a;
        a.setSample (1, 0, std::numeric_limits<float>::infinity());
        b.setSample (1, 0, std::numeric_limits<float>::infinity());
        process (onePass, a);
        process (stepByStep, b);

        for (int c = 0; c < 4; ++c)
            for (int i = 0; i < size; ++i)
                ASSERT_EQ (bitsOf (a.getSample (c, i)), bitsOf (b.getSample (c, i))) << c << ", " << i;

        EXPECT_EQ (meterSnapshot (onePass), meterSnapshot (stepByStep));
    };

    run (513, 1);

    for (auto* p : { &onePass, &stepByStep })
    {
        p->setConversionMode (1);
        ortholume::setGainParameter (*p, 0.42f);
    }

    for (int b = 0; b < 8; ++b)
        run (b * 700 + 3, b + 2);
}

TEST (Conversion, SettledAmbixToFumaConvertsExactlyFromTheFirstSample)
{
    VelloranAudioProcessor processor;
    processor.setConversionMode (1);
    processor.settleSmoothing();

    const auto input = makeSignal (4, 512, 7);
    auto buffer = input;
    process (processor, buffer);

    // No crossfade residue: the permutation is exact, W is scaled by 1/sqrt(2).
    for (int i = 0; i < 512; ++i)
    {
        ASSERT_EQ (buffer.getSample (0, i), input.getSample (0, i) * 0.707106769084930419921875f);
        ASSERT_EQ (buffer.getSample (1, i), input.getSample (3, i));
        ASSERT_EQ (buffer.getSample (2, i), input.getSample (1, i));
        ASSERT_EQ (buffer.getSample (3, i), input.getSample (2, i));
    }

    EXPECT_EQ (bitsOf (processor.mixCurrent.load()), bitsOf (1.0f));
}

TEST (Conversion, SettledGainAppliesFromTheFirstSample)
{
    VelloranAudioProcessor processor;
    ortholume::setGainParameter (processor, 0.5f); // -40 dB
    processor.settleSmoothing();

    const auto input = makeSignal (4, 256, 8);
    auto buffer = input;
    process (processor, buffer);

    const float gain = 0.00999999977648258209228515625f; // 10^(-40/20) in single precision

    for (int i = 0; i < 256; ++i)
    {
        ASSERT_EQ (buffer.getSample (0, i), (input.getSample (0, i) * 1.41421353816986083984375f) * gain);
        ASSERT_EQ (buffer.getSample (1, i), input.getSample (2, i) * gain);
        ASSERT_EQ (buffer.getSample (3, i), input.getSample (1, i) * gain);
    }
}

TEST (Conversion, SettlingLeavesTargetsAndModeAlone)
{
    VelloranAudioProcessor processor;
    processor.setConversionMode (1);
    processor.settleSmoothing();

    EXPECT_EQ (processor.idxInputConfig.load(), 1);
    EXPECT_EQ (bitsOf (processor.wGainTarget.load()), 0x3F3504F3u);
    EXPECT_EQ (bitsOf (processor.wGainCurrent.load()), 0x3F3504F3u);
    EXPECT_EQ (bitsOf (processor.mixTarget.load()), bitsOf (1.0f));
}

namespace ortholume::testing
{
/** Runs every conversion in the test on one instruction set, or skips the test if this build or processor lacks it. */
class ConversionOnEveryInstructionSet : public ::testing::TestWithParam<ortholume::InstructionSet>
{
protected:
    void SetUp() override
    {
        if (! ortholume::isAvailable (GetParam()))
            GTEST_SKIP() << ortholume::getName (GetParam()) << " is not compiled in or this processor lacks it";

        ortholume::useInstructionSet (GetParam());
    }

    void TearDown() override { ortholume::useWidestInstructionSet(); }
};
} // namespace ortholume::testing

TEST_P (ConversionOnEveryInstructionSet, FollowsTheModelBitForBitAndMetersAsTheStepByStepPath)
{
    // Five processed outputs send the second processor down the general path,
    // which measures its outputs sample by sample.
    VelloranAudioProcessor processor, stepByStep;
    stepByStep.numOutputChannelsProcessed = 5;
    reference::Engine model;

    struct Stretch
    {
        int mode;
        float gain;
        bool settled; // jumped to the targets first
        bool extremes; // Inf and NaN in the input
        int rounding;
        std::vector<int> blockSizes;
    };

    // A settled permutation under a rounding mode other than the nearest, and
    // with a gain of 0 against Inf; glides that end inside blocks, chunks and
    // lanes; then mode 1 settled, whose crossfade stays short of 1.
    const Stretch stretches[] = {
        { 0, 0.42f, true, false, FE_UPWARD, { 1, 15, 17, 64, 700 } },
        { 0, -0.5f, true, true, FE_TONEAREST, { 64, 700 } },
        { 0, 0.9f, false, true, FE_TONEAREST, { 8192, 3, 700 } },
        { 1, 0.5f, false, false, FE_TONEAREST, { 31, 100, 333, 512, 1000, 2048, 4096 } },
        { 1, -0.5f, false, true, FE_TONEAREST, { 8192, 47 } },
    };

    int seed = 100;

    for (const auto& stretch : stretches)
    {
        for (auto* p : { &processor, &stepByStep })
        {
            p->setConversionMode (stretch.mode);
            ortholume::setGainParameter (*p, stretch.gain);

            if (stretch.settled)
                p->settleSmoothing();
        }

        model.setMode (stretch.mode);
        model.gain.target = processor.outputGainTarget.load();

        if (stretch.settled)
            for (auto* glide : { &model.w, &model.mix, &model.gain })
                glide->current = glide->target;

        for (auto size : stretch.blockSizes)
        {
            auto wide = makeSignal (6, size, seed++);

            if (stretch.extremes)
            {
                wide.setSample (0, size / 2, std::numeric_limits<float>::infinity());
                wide.setSample (2, size / 3, std::numeric_limits<float>::quiet_NaN());
                wide.setSample (3, size - 1, -std::numeric_limits<float>::infinity());
            }

            juce::AudioBuffer<float> buffer (4, size);

            for (int c = 0; c < 4; ++c)
                buffer.copyFrom (c, 0, wide, c, 0, size);

            std::fesetround (stretch.rounding);
            const auto expected = model.process (toBlock (buffer));
            process (processor, buffer);
            process (stepByStep, wide);
            std::fesetround (FE_TONEAREST);

            expectBitIdentical (expected, buffer, ortholume::getName (GetParam()));
            ASSERT_EQ (meterSnapshot (processor), meterSnapshot (stepByStep)) << "block of " << size;
        }

        EXPECT_EQ (bitsOf (model.w.current), bitsOf (processor.wGainCurrent.load()));
        EXPECT_EQ (bitsOf (model.mix.current), bitsOf (processor.mixCurrent.load()));
        EXPECT_EQ (bitsOf (model.gain.current), bitsOf (processor.outputGainCurrent.load()));
    }

    EXPECT_NE (processor.mixCurrent.load(), 1.0f) << "mode 1 settled as a crossfade";
}

INSTANTIATE_TEST_SUITE_P (Conversion, ConversionOnEveryInstructionSet, testing::ValuesIn (ortholume::allInstructionSets),
                          [] (const auto& info) {
                              std::string name = ortholume::getName (info.param);
                              name.erase (std::remove (name.begin(), name.end(), '-'), name.end());
                              return name;
                          });
