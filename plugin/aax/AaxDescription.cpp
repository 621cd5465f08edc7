#include "AaxDescription.h"

#include "engine/ConversionMode.h"
#include "processor/GainParameter.h"

namespace ortholume::aax
{
namespace
{
constexpr int32_t nativeIdBase = 0x6a636161; // 'jcaa'
constexpr int32_t audioSuiteIdBase = 0x6a796161; // 'jyaa'
constexpr int maxParameterNameLength = 31;
constexpr int maxShortNameLength = 4;
constexpr int continuousAboveSteps = 1000;

struct ChannelConfiguration
{
    short numInputs, numOutputs;
};

constexpr ChannelConfiguration channelConfigurations[] = { JucePlugin_PreferredChannelConfigurations };

uint32_t stemFormatFor (int numChannels)
{
    // The one layout Ortholume offers; every other count has no stem here.
    return numChannels == firstOrderChannels ? stemFormatQuad : 0u;
}

ComponentDescription describeComponent (int configurationIndex)
{
    const auto& configuration = channelConfigurations[configurationIndex];

    ComponentDescription component;
    component.configurationIndex = configurationIndex;
    component.numInputs = configuration.numInputs;
    component.numOutputs = configuration.numOutputs;

#if JucePlugin_WantsMidiInput
    component.midiNodes.push_back ({ midiNodeLocalInput, JucePlugin_Name, allMidiChannels });
#endif

    auto& properties = component.properties;
    properties.emplace_back (manufacturerId, (int32_t) JucePlugin_AAXManufacturerCode);
    properties.emplace_back (productId, (int32_t) JucePlugin_AAXProductId);
    properties.emplace_back (canBypass, JucePlugin_AAXDisableBypass == 0 ? 1 : 0);
    properties.emplace_back (inputStemFormat, stemFormatFor (configuration.numInputs));
    properties.emplace_back (outputStemFormat, stemFormatFor (configuration.numOutputs));
    properties.emplace_back (plugInIdNative, nativeIdBase + configurationIndex);

#if JucePlugin_AAXDisableAudioSuite == 0
    properties.emplace_back (plugInIdAudioSuite, audioSuiteIdBase + configurationIndex);
#endif

    properties.emplace_back (multiMonoSupport, JucePlugin_AAXDisableMultiMono == 0 ? 1 : 0);
    return component;
}
} // namespace

int32_t getEffectDescriptions (DescriptorCollection& collection)
{
    auto* descriptor = collection.newDescriptor();

    if (descriptor == nullptr)
        return nullObjectError;

    descriptor->addName (JucePlugin_Desc);
    descriptor->addName (JucePlugin_Name);
    descriptor->addCategory (JucePlugin_AAXCategory);
    descriptor->addCallback ("JuceAAX_GUI");
    descriptor->addCallback ("JuceAAX_Processor");

    for (int i = 0; i < (int) std::size (channelConfigurations); ++i)
        descriptor->addComponent (describeComponent (i));

    collection.addEffect (JUCE_STRINGIFY (JucePlugin_AAXIdentifier), *descriptor);
    collection.setManufacturerName (JucePlugin_Manufacturer);
    collection.addPackageName (JucePlugin_Desc);
    collection.addPackageName (JucePlugin_Name);
    collection.setPackageVersion (JucePlugin_VersionCode);
    return 0;
}

std::vector<ParameterDescription> describeParameters (juce::AudioProcessor& processor)
{
    std::vector<ParameterDescription> result;
    result.push_back ({ "MasterBypassID", "Master Bypass", "Master Bypass", 0.0f, 2, false, true });

    // The adapter of this framework release publishes the index-based interface's one parameter.
    const auto gain = listGainParameter (processor, maxParameterNameLength, maxShortNameLength);
    result.push_back ({ juce::String (gainParameterIndex).toStdString(),
                        gain.name.toStdString(),
                        gain.shortName.toStdString(),
                        gain.defaultValue,
                        gain.numSteps,
                        gain.numSteps > continuousAboveSteps,
                        gain.automatable });

    return result;
}
} // namespace ortholume::aax
