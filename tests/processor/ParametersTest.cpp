#include "ProcessorTestUtilities.h"

#include <gtest/gtest.h>

using namespace ortholume::testing;

// These are the calls hosts make through the index-based interface.
JUCE_BEGIN_IGNORE_WARNINGS_GCC_LIKE ("-Wdeprecated-declarations")

TEST (Parameters, OneGainParameterAsHostsSeeIt)
{
    VelloranAudioProcessor processor;

    EXPECT_EQ (processor.getNumParameters(), 1);
    EXPECT_EQ (processor.getParameterName (0), "Gain");
    EXPECT_EQ (processor.getParameterName (1), "");
    EXPECT_EQ (processor.getParameter (0), 0.9f);
    EXPECT_EQ (processor.getParameter (1), 0.0f);
    EXPECT_EQ (processor.getParameterText (0), "0.9");
    EXPECT_EQ (processor.getParameterText (1), "");
    EXPECT_EQ (processor.getParameterDefaultValue (0), 0.9f);
    EXPECT_EQ (processor.getParameterDefaultValue (1), 0.0f);

    processor.setParameter (0, 1.0f);
    EXPECT_EQ (processor.getParameterText (0), "1");
    processor.setParameter (0, 0.123456789f);
    EXPECT_EQ (processor.getParameterText (0), "0.123457");
}

TEST (Parameters, NormalisedValueMapsToDecibels)
{
    const std::pair<float, float> table[] { { 0.0f, 3.1623e-5f }, { 0.5f, 0.01f }, { 0.9f, 1.0f }, { 1.0f, 3.1623f }, { 1.5f, 1000.0f }, { -0.1f, 0.0f } };

    for (const auto& [value, linear] : table)
    {
        VelloranAudioProcessor processor;
        processor.parametersChanged = false;
        processor.setParameter (0, value);

        EXPECT_NEAR (processor.outputGainTarget.load(), linear, linear * 1.0e-4f) << value;
        EXPECT_EQ (processor.gainParameterValue.load(), value);
        EXPECT_TRUE (processor.parametersChanged.load());
    }

    VelloranAudioProcessor processor;
    processor.setParameter (0, -0.1f);
    EXPECT_EQ (bitsOf (processor.outputGainTarget.load()), 0u);
}

TEST (Parameters, OtherIndicesAndBrokenValuesChangeNothing)
{
    const float refused[] { std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                            -std::numeric_limits<float>::infinity(), 1.0e30f };

    for (auto value : refused)
    {
        VelloranAudioProcessor processor;
        processor.setParameter (0, 0.4f);
        processor.parametersChanged = false;
        const float target = processor.outputGainTarget.load();

        processor.setParameter (0, value);
        EXPECT_EQ (processor.gainParameterValue.load(), 0.4f) << value;
        EXPECT_EQ (processor.outputGainTarget.load(), target);
        EXPECT_FALSE (processor.parametersChanged.load());
    }

    VelloranAudioProcessor processor;
    processor.parametersChanged = false;
    processor.setParameter (1, 0.1f);
    processor.setParameter (-1, 0.1f);
    EXPECT_EQ (processor.gainParameterValue.load(), 0.9f);
    EXPECT_FALSE (processor.parametersChanged.load());
}

TEST (Parameters, ConstructionAnnouncesTheDefaultAndRaisesTheFlag)
{
    VelloranAudioProcessor processor;
    EXPECT_TRUE (processor.parametersChanged.load());
    EXPECT_EQ (processor.idxInputConfig.load(), 0);
    EXPECT_EQ (processor.outputGainTarget.load(), 1.0f);

    processor.parametersChanged = false;
    processor.setConversionMode (0); // raised even when nothing changes
    EXPECT_TRUE (processor.parametersChanged.load());
}

TEST (Parameters, OneProgramAndFixedAnswers)
{
    VelloranAudioProcessor processor;

    EXPECT_EQ (processor.getNumPrograms(), 1);
    EXPECT_EQ (processor.getCurrentProgram(), 0);
    EXPECT_EQ (processor.getProgramName (0), "Default");
    EXPECT_EQ (processor.getProgramName (5), "Default");
    processor.setCurrentProgram (3);
    processor.changeProgramName (0, "Mine");
    EXPECT_EQ (processor.getCurrentProgram(), 0);
    EXPECT_EQ (processor.getProgramName (0), "Default");

    EXPECT_EQ (processor.getName(), "Ortholume");
    EXPECT_EQ (processor.getInputChannelName (0), "1");
    EXPECT_EQ (processor.getOutputChannelName (3), "4");
    EXPECT_TRUE (processor.isInputChannelStereoPair (2));
    EXPECT_TRUE (processor.isOutputChannelStereoPair (1));
    EXPECT_TRUE (processor.acceptsMidi());
    EXPECT_FALSE (processor.producesMidi());
    EXPECT_EQ (processor.getTailLengthSeconds(), 0.0);
    EXPECT_TRUE (processor.hasEditor());
    EXPECT_EQ (processor.getLatencySamples(), 0);
    EXPECT_EQ (processor.getTotalNumInputChannels(), 4);
    EXPECT_EQ (processor.getTotalNumOutputChannels(), 4);

    std::unique_ptr<juce::AudioProcessorEditor> editor (processor.createEditor());
    ASSERT_NE (editor, nullptr);
    EXPECT_EQ (editor->getWidth(), 443);
    EXPECT_EQ (editor->getHeight(), 233);
}

JUCE_END_IGNORE_WARNINGS_GCC_LIKE
