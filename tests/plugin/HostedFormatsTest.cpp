// Loads the built plug-ins with the framework's own plug-in hosting, as a host
// application would, and checks what comes out of them sample by sample.
#include <gtest/gtest.h>
#include <juce_audio_processors/juce_audio_processors.h>

#include <cstring>

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

std::unique_ptr<juce::AudioPluginInstance> loadVst2()
{
    juce::VSTPluginFormat format;
    return load (format, ORTHOLUME_VST2_LIBRARY);
}

std::unique_ptr<juce::AudioPluginInstance> loadVst3()
{
    juce::VST3PluginFormat format;
    return load (format, ORTHOLUME_VST3_BUNDLE);
}

std::unique_ptr<juce::AudioPluginInstance> loadLv2()
{
    juce::LV2PluginFormat format;
    format.searchPathsForPlugins (juce::FileSearchPath (ORTHOLUME_LV2_FOLDER), false, false);
    return load (format, ORTHOLUME_LV2_URI);
}

/** A plane wave in FuMa, different on every channel. */
juce::AudioBuffer<float> fumaBlock (int numSamples = blockSize)
{
    juce::AudioBuffer<float> buffer (4, numSamples);
    const float gains[] = { 0.70710677f, 0.6f, -0.45f, 0.3f };

    for (int i = 0; i < numSamples; ++i)
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

/** Found under its name with four ins and outs, at the default gain, and converting exactly. */
void expectLoadsAtTheDefaultGainAndConverts (const std::function<std::unique_ptr<juce::AudioPluginInstance>()>& loadFormat)
{
    auto instance = loadFormat();
    ASSERT_NE (instance, nullptr);

    auto* gain = findParameter (*instance, "Gain");
    ASSERT_NE (gain, nullptr);
    EXPECT_FLOAT_EQ (gain->getValue(), 0.9f);

    expectConvertsFumaToAmbix (*instance);
}
} // namespace

TEST (HostedFormats, Vst3LoadsAndConvertsFumaToAmbix) { expectLoadsAtTheDefaultGainAndConverts (loadVst3); }
TEST (HostedFormats, Lv2LoadsAndConvertsFumaToAmbix) { expectLoadsAtTheDefaultGainAndConverts (loadLv2); }

TEST (HostedFormats, Vst3StateRoundTripsThroughTheHost)
{
    auto first = loadVst3();
    ASSERT_NE (first, nullptr);

    auto* gain = findParameter (*first, "Gain");
    ASSERT_NE (gain, nullptr);
    gain->setValueNotifyingHost (0.5f);

    juce::MemoryBlock state;
    first->getStateInformation (state);

    auto second = loadVst3();
    ASSERT_NE (second, nullptr);
    second->setStateInformation (state.getData(), (int) state.getSize());

    auto* restored = findParameter (*second, "Gain");
    ASSERT_NE (restored, nullptr);
    EXPECT_FLOAT_EQ (restored->getValue(), 0.5f);
}

//==============================================================================
namespace
{
void processSilence (juce::AudioPluginInstance& instance, int numBlocks)
{
    juce::AudioBuffer<float> buffer (4, blockSize);
    juce::MidiBuffer midi;

    for (int i = 0; i < numBlocks; ++i)
    {
        buffer.clear();
        instance.processBlock (buffer, midi);
    }
}

/** After a restore the host must show the restored gain, and keep it: a host
    still holding the old value would send it back and undo the restore. */
void expectRestoredGainReachesTheHost (const std::function<std::unique_ptr<juce::AudioPluginInstance>()>& loadFormat)
{
    auto source = loadFormat();
    ASSERT_NE (source, nullptr);
    source->prepareToPlay (sampleRate, blockSize);
    auto* sourceGain = findParameter (*source, "Gain");
    ASSERT_NE (sourceGain, nullptr);
    sourceGain->setValueNotifyingHost (0.25f);
    processSilence (*source, 2);

    juce::MemoryBlock state;
    source->getStateInformation (state);

    auto restored = loadFormat();
    ASSERT_NE (restored, nullptr);
    restored->prepareToPlay (sampleRate, blockSize);
    processSilence (*restored, 2);
    restored->setStateInformation (state.getData(), (int) state.getSize());
    processSilence (*restored, 4);

    auto* gain = findParameter (*restored, "Gain");
    ASSERT_NE (gain, nullptr);
    EXPECT_FLOAT_EQ (gain->getValue(), 0.25f);
    EXPECT_EQ (gain->getText (gain->getValue(), 64), "0.25");

    // What the host saves next holds the restored gain, not the value it had before.
    juce::MemoryBlock saved;
    restored->getStateInformation (saved);

    auto reloaded = loadFormat();
    ASSERT_NE (reloaded, nullptr);
    reloaded->prepareToPlay (sampleRate, blockSize);
    reloaded->setStateInformation (saved.getData(), (int) saved.getSize());
    processSilence (*reloaded, 2);

    auto* reloadedGain = findParameter (*reloaded, "Gain");
    ASSERT_NE (reloadedGain, nullptr);
    EXPECT_FLOAT_EQ (reloadedGain->getValue(), 0.25f);
}
} // namespace

TEST (HostedFormats, Vst3ShowsOnlyGainAndBypassWithTheirTexts)
{
    juce::VST3PluginFormat format;
    juce::OwnedArray<juce::PluginDescription> types;
    format.findAllTypesForFile (types, ORTHOLUME_VST3_BUNDLE);
    ASSERT_EQ (types.size(), 1);
    EXPECT_EQ (types[0]->category, "Fx|Spatial");
    EXPECT_EQ (types[0]->version, "1.0.0");
    EXPECT_FALSE (types[0]->isInstrument);

    auto instance = loadVst3();
    ASSERT_NE (instance, nullptr);

    const auto& parameters = instance->getParameters();
    ASSERT_EQ (parameters.size(), 2);
    EXPECT_EQ (parameters[0]->getName (64), "Gain");
    EXPECT_EQ (parameters[0]->getText (parameters[0]->getValue(), 64), "0.9");
    EXPECT_EQ (parameters[1], instance->getBypassParameter());

    // Only four in and four out: stereo, mono and 5.1 are refused.
    const auto layoutOf = [] (const juce::AudioChannelSet& set) {
        juce::AudioProcessor::BusesLayout layout;
        layout.inputBuses.add (set);
        layout.outputBuses.add (set);
        return layout;
    };

    const auto current = instance->getBusesLayout();
    EXPECT_EQ (current.getMainInputChannels(), 4);
    EXPECT_EQ (current.getMainOutputChannels(), 4);
    EXPECT_TRUE (instance->checkBusesLayoutSupported (current));
    EXPECT_FALSE (instance->checkBusesLayoutSupported (layoutOf (juce::AudioChannelSet::stereo())));
    EXPECT_FALSE (instance->checkBusesLayoutSupported (layoutOf (juce::AudioChannelSet::mono())));
    EXPECT_FALSE (instance->checkBusesLayoutSupported (layoutOf (juce::AudioChannelSet::create5point1())));
}

TEST (HostedFormats, Vst2LoadsAndConvertsFumaToAmbix) { expectLoadsAtTheDefaultGainAndConverts (loadVst2); }

TEST (HostedFormats, Vst2HostSeesTheRestoredGain) { expectRestoredGainReachesTheHost (loadVst2); }
TEST (HostedFormats, Vst3HostSeesTheRestoredGain) { expectRestoredGainReachesTheHost (loadVst3); }
TEST (HostedFormats, Lv2HostSeesTheRestoredGain) { expectRestoredGainReachesTheHost (loadLv2); }

//==============================================================================
namespace
{
/** A host's long block comes out bit for bit as the same audio handed over in
    blocks of at most 8192 samples, with the gain gliding from a new value at
    the start of each block. */
void expectLongBlocksProcessedAsTheirParts (const std::function<std::unique_ptr<juce::AudioPluginInstance>()>& loadFormat)
{
    constexpr int partLimit = 8192;
    constexpr int sizes[] = { 8193, 10000, 16384, 20000 };

    auto whole = loadFormat();
    auto parts = loadFormat();
    ASSERT_TRUE (whole != nullptr && parts != nullptr);

    for (auto* instance : { whole.get(), parts.get() })
    {
        instance->prepareToPlay (sampleRate, sizes[3]);
        ASSERT_NE (findParameter (*instance, "Gain"), nullptr);
    }

    float gain = 0.5f;

    for (int size : sizes)
    {
        for (auto* instance : { whole.get(), parts.get() })
            findParameter (*instance, "Gain")->setValueNotifyingHost (gain);

        gain += 0.125f;

        const auto input = fumaBlock (size);
        auto a = input, b = input;
        juce::MidiBuffer midi;
        whole->processBlock (a, midi);

        for (int start = 0; start < size; start += partLimit)
        {
            juce::AudioBuffer<float> part (b.getArrayOfWritePointers(), 4, start, juce::jmin (partLimit, size - start));
            parts->processBlock (part, midi);
        }

        for (int c = 0; c < 4; ++c)
            for (int i = 0; i < size; ++i)
                ASSERT_EQ (0, std::memcmp (a.getReadPointer (c, i), b.getReadPointer (c, i), sizeof (float)))
                    << size << " samples: channel " << c << ", sample " << i;

        // Converted to the end: the last sample is in AmbiX order.
        const auto last = size - 1;
        EXPECT_NE (a.getSample (1, last), input.getSample (1, last)) << size;
        EXPECT_FLOAT_EQ (a.getSample (1, last) / input.getSample (2, last), a.getSample (3, last) / input.getSample (1, last)) << size;
    }
}
} // namespace

TEST (HostedFormats, Vst2ProcessesALongBlockAsItsParts) { expectLongBlocksProcessedAsTheirParts (loadVst2); }
TEST (HostedFormats, Vst3ProcessesALongBlockAsItsParts) { expectLongBlocksProcessedAsTheirParts (loadVst3); }
TEST (HostedFormats, Lv2ProcessesALongBlockAsItsParts) { expectLongBlocksProcessedAsTheirParts (loadLv2); }
