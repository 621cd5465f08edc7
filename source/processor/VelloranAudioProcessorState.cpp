// The host-facing settings of VelloranAudioProcessor: the Gain parameter, the
// single program and the saved-state block.
#include "VelloranAudioProcessor.h"

#include "GainParameter.h"

#include "engine/GainMapping.h"
#include "StateBlock.h"

using namespace ortholume;

namespace
{
const char* const gainParameterName = "Gain";
const char* const gainParameterSymbol = "gain";
const char* const programName = "Default";

// The parameter's display and saved text: the value itself, six significant digits.
juce::String gainParameterText (float normalisedValue)
{
    return juce::String ((double) normalisedValue);
}
} // namespace

int VelloranAudioProcessor::getNumParameters()
{
    return 1;
}

const juce::String VelloranAudioProcessor::getParameterName (int parameterIndex)
{
    return parameterIndex == gainParameterIndex ? gainParameterName : juce::String();
}

// A stable symbol for formats that address parameters by name (LV2); hosts
// that address by index keep seeing "0".
juce::String VelloranAudioProcessor::getParameterID (int parameterIndex)
{
    return parameterIndex == gainParameterIndex ? gainParameterSymbol : juce::String (parameterIndex);
}

float VelloranAudioProcessor::getParameter (int parameterIndex)
{
    return parameterIndex == gainParameterIndex ? gainParameterValue.load (relaxed) : 0.0f;
}

const juce::String VelloranAudioProcessor::getParameterText (int parameterIndex)
{
    return parameterIndex == gainParameterIndex ? gainParameterText (gainParameterValue.load (relaxed))
                                                : juce::String();
}

float VelloranAudioProcessor::getParameterDefaultValue (int parameterIndex)
{
    return parameterIndex == gainParameterIndex ? defaultGainParameterValue : 0.0f;
}

void VelloranAudioProcessor::setParameter (int parameterIndex, float newValue)
{
    if (parameterIndex == gainParameterIndex)
        setGain (newValue);
}

void VelloranAudioProcessor::setGain (float newValue) noexcept
{
    // Values outside 0..1 are taken as they come, but one that would put NaN or
    // Inf on the output bus (NaN itself, or 1e30 from a damaged session) is refused whole.
    const float linearGain = gainParameterToLinear (newValue);

    if (! std::isfinite (newValue) || ! std::isfinite (linearGain))
        return;

    // -0 is the same gain as 0 but would be saved as text that reads back as 0,
    // so a restored session would not save as it was loaded.
    gainParameterValue.store (newValue == 0.0f ? 0.0f : newValue, relaxed);
    outputGainTarget.store (linearGain, relaxed);
    parametersChanged.store (true, relaxed);
}

//==============================================================================
int VelloranAudioProcessor::getNumPrograms() { return 1; }
int VelloranAudioProcessor::getCurrentProgram() { return 0; }
void VelloranAudioProcessor::setCurrentProgram (int) {}
const juce::String VelloranAudioProcessor::getProgramName (int) { return programName; }
void VelloranAudioProcessor::changeProgramName (int, const juce::String&) {}

//==============================================================================
void VelloranAudioProcessor::getStateInformation (juce::MemoryBlock& destData)
{
    juce::XmlElement root (stateRootName);
    root.createNewChildElement (stateGainName)->addTextElement (gainParameterText (gainParameterValue.load (relaxed)));
    root.createNewChildElement (stateModeName)->addTextElement (juce::String (idxInputConfig.load (relaxed)));
    writeStateBlock (root, destData);
}

void VelloranAudioProcessor::setStateInformation (const void* data, int sizeInBytes)
{
    const auto xml = readStateBlock (data, sizeInBytes);

    if (xml == nullptr)
        return;

    for (auto* child : xml->getChildIterator())
    {
        if (namesMatchIgnoringAsciiCase (child->getTagName(), stateGainName))
            setGain ((float) parseLeadingDecimal (child->getAllSubText()));
        else if (namesMatchIgnoringAsciiCase (child->getTagName(), stateModeName))
            setConversionMode (parseLeadingInteger (child->getAllSubText()));
    }

    // An LV2 host keeps its own copy of every parameter and sends it back later:
    // unless it hears of the restored gain, it would overwrite it with the old one.
    // The VST3 adapter re-reads the parameters after a restore and VST2 hosts ask
    // the processor directly, so only LV2 is told.
    if (wrapperType == wrapperType_LV2)
        sendParamChangeMessageToListeners (gainParameterIndex, gainParameterValue.load (relaxed));

    parametersChanged.store (true, relaxed);
}
