#include "ProcessorTestUtilities.h"

#include <gtest/gtest.h>

using namespace ortholume::testing;

namespace
{
juce::AudioBuffer<float> constantBlock (float value, int numSamples = 256)
{
    juce::AudioBuffer<float> buffer (4, numSamples);

    for (int c = 0; c < 4; ++c)
        juce::FloatVectorOperations::fill (buffer.getWritePointer (c), value, numSamples);

    return buffer;
}

float settle (VelloranAudioProcessor& processor, float value, int slot)
{
    for (int b = 0; b < 300; ++b)
    {
        auto buffer = constantBlock (value);
        process (processor, buffer);
    }

    return processor.meterLevels[(size_t) slot].load();
}
} // namespace

TEST (Metering, LevelsHeadForTheirScalePoints)
{
    VelloranAudioProcessor processor;
    EXPECT_NEAR (settle (processor, 1.0f, 1), 60.0f / 70.0f, 1.0e-5f); // 0 dB
    EXPECT_NEAR (settle (processor, 10.0f, 1), 1.0f, 1.0e-5f); // +20 dB counts as +10
    EXPECT_NEAR (settle (processor, 0.0f, 1), 0.0f, 1.0e-5f); // silence
    EXPECT_NEAR (settle (processor, 0.0001f, 1), 0.0f, 1.0e-5f); // -80 dB counts as -60
}

TEST (Metering, OneBlockMovesEachSlotATenthOfTheWay)
{
    VelloranAudioProcessor processor;
    auto buffer = constantBlock (0.5f);
    buffer.setSample (2, 17, -0.75f); // the larger magnitude wins, whatever its sign
    process (processor, buffer);

    const auto x = [] (float peak) {
        const float level = juce::jlimit (-60.0f, 10.0f, 20.0f * std::log10 (peak));
        return (float) (((double) ((level - 10.0f) / 70.0f) + 1.0) * 0.1);
    };

    EXPECT_FLOAT_EQ (processor.meterLevels[0].load(), x (0.5f));
    EXPECT_FLOAT_EQ (processor.meterLevels[2].load(), x (0.75f));
    EXPECT_FLOAT_EQ (processor.meterLevels[4].load(), x (0.5f * 1.41421353816986083984375f)); // W out
    EXPECT_FLOAT_EQ (processor.meterLevels[5].load(), x (0.75f)); // Y out
}

TEST (Metering, OutputMetersFollowTheGain)
{
    VelloranAudioProcessor processor;
    ortholume::setGainParameter (processor, 0.5f); // -40 dB
    const float in = settle (processor, 1.0f, 1);
    const float out = processor.meterLevels[7].load();

    EXPECT_NEAR (in, 60.0f / 70.0f, 1.0e-5f);
    EXPECT_NEAR (out, 20.0f / 70.0f, 1.0e-4f);
}

TEST (Metering, NonFiniteAudioKeepsEverySlotFiniteWithinRange)
{
    const float nasty[] = { std::numeric_limits<float>::quiet_NaN(),
                            std::numeric_limits<float>::infinity(),
                            -std::numeric_limits<float>::infinity() };

    for (auto value : nasty)
    {
        VelloranAudioProcessor processor;

        for (int b = 0; b < 50; ++b)
        {
            auto buffer = constantBlock (0.25f);
            buffer.setSample (b % 4, b, value);
            process (processor, buffer);

            for (const auto& level : processor.meterLevels)
            {
                ASSERT_TRUE (std::isfinite (level.load())) << value;
                ASSERT_GE (level.load(), 0.0f);
                ASSERT_LE (level.load(), 1.0f);
            }
        }
    }
}
