// Loads the built plug-ins with the framework's own plug-in hosting, as a host
// application would, and checks what comes out of them sample by sample.
#include <gtest/gtest.h>
#include <juce_audio_processors/juce_audio_processors.h>

namespace
{
constexpr double sampleRate = 48000.0;
constexpr int blockSize = 512;

std::unique_ptr<juce::AudioPluginInstance> load (juce::AudioPluginFormat& format, const juce::String& fileOrIdentifier)
{
    juce::OwnedArray<juce::PluginDescription> types;
    format.findAllTypesForFile (types, fileOrIdentifier);

    if (types.size() != 1)
    {
        ADD_FAILURE() << "expected one plug-in in " << fileOrIdentifier << ", found " << types.size();
        return {};
    }

    EXPECT_EQ (types[0]->name, "Ortholume");
    EXPECT_EQ (types[0]->manufacturerName, "Brackenfold");
    EXPECT_EQ (types[0]->numInputChannels, 4);
    EXPECT_EQ (types[0]->numOutputChannels, 4);

    juce::String error;
    auto instance = format.createInstanceFromDescription (*types[0], sampleRate, blockSize, error);
    EXPECT_NE (instance, nullptr) << error;
    return instance;
}

/** A plane wave in FuMa, different on every channel. */
juce::AudioBuffer<float> fumaBlock()
{
    juce::AudioBuffer<float> buffer (4, blockSize);
    const float gains[] = { 0.70710677f, 0.6f, -0.45f, 0.3f };

    for (int i = 0; i < blockSize; ++i)
    {
        const auto s = (float) std::sin (0.05 * i);

        for (int c = 0; c < 4; ++c)
            buffer.setSample (c, i, gains[c] * s);
    }

    return buffer;
}

void expectConvertsFumaToAmbix (juce::AudioPluginInstance& instance)
{
    EXPECT_EQ (instance.getTotalNumInputChannels(), 4);
    EXPECT_EQ (instance.getTotalNumOutputChannels(), 4);

    instance.prepareToPlay (sampleRate, blockSize);

    for (int run = 0; run < 3; ++run)
    {
        const auto input = fumaBlock();
        auto buffer = input;
        juce::MidiBuffer midi;
        instance.processBlock (buffer, midi);

        for (int i = 0; i < blockSize; ++i)
        {
            ASSERT_EQ (buffer.getSample (0, i), input.getSample (0, i) * 1.41421353816986083984375f) << "sample " << i;
            ASSERT_EQ (buffer.getSample (1, i), input.getSample (2, i)) << "sample " << i;
            ASSERT_EQ (buffer.getSample (2, i), input.getSample (3, i)) << "sample " << i;
            ASSERT_EQ (buffer.getSample (3, i), input.getSample (1, i)) << "sample " << i;
        }
    }

    instance.releaseResources();
}

juce::AudioProcessorParameter* findParameter (juce::AudioPluginInstance& instance, const juce::String& name)
{
    for (auto* parameter : instance.getParameters())
        if (parameter->getName (64) == name)
            return parameter;

    return nullptr;
}
} // namespace

TEST (HostedFormats, Vst3LoadsAndConvertsFumaToAmbix)
{
    juce::VST3PluginFormat format;
    auto instance = load (format, ORTHOLUME_VST3_BUNDLE);
    ASSERT_NE (instance, nullptr);

    auto* gain = findParameter (*instance, "Gain");
    ASSERT_NE (gain, nullptr);
    EXPECT_FLOAT_EQ (gain->getValue(), 0.9f);

    expectConvertsFumaToAmbix (*instance);
}

TEST (HostedFormats, Lv2LoadsAndConvertsFumaToAmbix)
{
    juce::LV2PluginFormat format;
    format.searchPathsForPlugins (juce::FileSearchPath (ORTHOLUME_LV2_FOLDER), false, false);
    auto instance = load (format, ORTHOLUME_LV2_URI);
    ASSERT_NE (instance, nullptr);

    auto* gain = findParameter (*instance, "Gain");
    ASSERT_NE (gain, nullptr);
    EXPECT_FLOAT_EQ (gain->getValue(), 0.9f);

    expectConvertsFumaToAmbix (*instance);
}

TEST (HostedFormats, Vst3StateRoundTripsThroughTheHost)
{
    juce::VST3PluginFormat format;
    auto first = load (format, ORTHOLUME_VST3_BUNDLE);
    ASSERT_NE (first, nullptr);

    auto* gain = findParameter (*first, "Gain");
    ASSERT_NE (gain, nullptr);
    gain->setValueNotifyingHost (0.5f);

    juce::MemoryBlock state;
    first->getStateInformation (state);

    auto second = load (format, ORTHOLUME_VST3_BUNDLE);
    ASSERT_NE (second, nullptr);
    second->setStateInformation (state.getData(), (int) state.getSize());

    auto* restored = findParameter (*second, "Gain");
    ASSERT_NE (restored, nullptr);
    EXPECT_FLOAT_EQ (restored->getValue(), 0.5f);
}
