// Drives the built VST2 and VST3 through the orders in which hosts call a
// plug-in, with the framework's own plug-in hosting, and checks that the audio
// stays right after every step.
#include <gtest/gtest.h>
#include <juce_audio_processors/juce_audio_processors.h>

namespace ortholume::testing
{
struct Format
{
    const char* name;
    std::function<std::unique_ptr<juce::AudioPluginFormat>()> create;
    const char* file;
};

std::ostream& operator<< (std::ostream& os, const Format& format) { return os << format.name; }
} // namespace ortholume::testing

using namespace ortholume::testing;

namespace
{
constexpr float sqrtTwo = 1.41421353816986083984375f;

std::unique_ptr<juce::AudioPluginInstance> construct (const Format& format)
{
    auto pluginFormat = format.create();
    juce::OwnedArray<juce::PluginDescription> types;
    pluginFormat->findAllTypesForFile (types, format.file);

    if (types.size() != 1)
        return {};

    // The host builds the instance before it knows a rate: the 4/4 layout comes first.
    juce::String error;
    return pluginFormat->createInstanceFromDescription (*types[0], 44100.0, 512, error);
}

juce::AudioBuffer<float> fumaBlock (int numSamples, int offset)
{
    juce::AudioBuffer<float> buffer (4, numSamples);
    const float gains[] = { 0.70710677f, 0.6f, -0.45f, 0.3f };

    for (int i = 0; i < numSamples; ++i)
        for (int c = 0; c < 4; ++c)
            buffer.setSample (c, i, gains[c] * (float) std::sin (0.031 * (i + offset) + 0.7 * c));

    return buffer;
}

/** At the default gain and direction: W x sqrt(2), then Y, Z, X. */
void expectConvertedBlocks (juce::AudioPluginInstance& instance, int numSamples, int numBlocks)
{
    for (int block = 0; block < numBlocks; ++block)
    {
        const auto input = fumaBlock (numSamples, block * numSamples);
        auto buffer = input;
        juce::MidiBuffer midi;
        instance.processBlock (buffer, midi);

        for (int i = 0; i < numSamples; ++i)
        {
            ASSERT_EQ (buffer.getSample (0, i), input.getSample (0, i) * sqrtTwo) << "block " << block << " sample " << i;
            ASSERT_EQ (buffer.getSample (1, i), input.getSample (2, i)) << "block " << block << " sample " << i;
            ASSERT_EQ (buffer.getSample (2, i), input.getSample (3, i)) << "block " << block << " sample " << i;
            ASSERT_EQ (buffer.getSample (3, i), input.getSample (1, i)) << "block " << block << " sample " << i;
        }
    }
}

juce::AudioBuffer<float> process (juce::AudioPluginInstance& instance, const juce::AudioBuffer<float>& input)
{
    auto buffer = input;
    juce::MidiBuffer midi;
    instance.processBlock (buffer, midi);
    return buffer;
}

bool identical (const juce::AudioBuffer<float>& a, const juce::AudioBuffer<float>& b)
{
    if (a.getNumChannels() != b.getNumChannels() || a.getNumSamples() != b.getNumSamples())
        return false;

    for (int c = 0; c < a.getNumChannels(); ++c)
        if (std::memcmp (a.getReadPointer (c), b.getReadPointer (c), sizeof (float) * (size_t) a.getNumSamples()) != 0)
            return false;

    return true;
}

juce::AudioProcessorParameter* gainOf (juce::AudioPluginInstance& instance)
{
    for (auto* parameter : instance.getParameters())
        if (parameter->getName (64) == "Gain")
            return parameter;

    return nullptr;
}
} // namespace

namespace ortholume::testing
{
class CallOrder : public ::testing::TestWithParam<Format>
{};
} // namespace ortholume::testing

TEST_P (CallOrder, ResumeWithoutRateBlocksSuspendAndPrepareAgain)
{
    auto instance = construct (GetParam());
    ASSERT_NE (instance, nullptr);
    EXPECT_EQ (instance->getTotalNumInputChannels(), 4);
    EXPECT_EQ (instance->getTotalNumOutputChannels(), 4);

    // A host that reports no rate at resume.
    instance->prepareToPlay (0.0, 512);
    expectConvertedBlocks (*instance, 512, 3);

    instance->releaseResources();
    instance->prepareToPlay (48000.0, 256);
    expectConvertedBlocks (*instance, 256, 3);

    // A block length change prepares again without a suspend in between.
    instance->prepareToPlay (48000.0, 128);
    expectConvertedBlocks (*instance, 128, 3);

    instance->releaseResources();
}

TEST_P (CallOrder, BypassPassesChannelsThroughAndAdvancesNothing)
{
    auto bypassed = construct (GetParam());
    auto reference = construct (GetParam());
    ASSERT_NE (bypassed, nullptr);
    ASSERT_NE (reference, nullptr);
    ASSERT_NE (bypassed->getBypassParameter(), nullptr);

    for (auto* instance : { bypassed.get(), reference.get() })
    {
        instance->prepareToPlay (48000.0, 256);
        auto* gain = gainOf (*instance);
        ASSERT_NE (gain, nullptr);
        // Start a glide, so that any advance of the smoothing while bypassed would show.
        gain->setValue (0.5f);
    }

    const auto first = fumaBlock (256, 0);
    const auto second = fumaBlock (256, 256);

    const auto gliding = process (*bypassed, first);
    ASSERT_TRUE (identical (gliding, process (*reference, first)));
    ASSERT_FALSE (identical (gliding, first));

    bypassed->getBypassParameter()->setValue (1.0f);

    for (int block = 0; block < 3; ++block)
    {
        const auto input = fumaBlock (256, 1000 + 256 * block);
        EXPECT_TRUE (identical (process (*bypassed, input), input)) << "bypassed block " << block;
    }

    bypassed->getBypassParameter()->setValue (0.0f);

    // The glide goes on exactly where it stopped.
    EXPECT_TRUE (identical (process (*bypassed, second), process (*reference, second)));
}

INSTANTIATE_TEST_SUITE_P (HostedFormats, CallOrder,
                          ::testing::Values (Format { "VST2", [] { return std::make_unique<juce::VSTPluginFormat>(); }, ORTHOLUME_VST2_LIBRARY },
                                             Format { "VST3", [] { return std::make_unique<juce::VST3PluginFormat>(); }, ORTHOLUME_VST3_BUNDLE }),
                          [] (const auto& info) { return std::string (info.param.name); });
