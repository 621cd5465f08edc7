#include "GainParameter.h"

// The one place the index-based parameter calls are made: see the header.
JUCE_BEGIN_IGNORE_WARNINGS_GCC_LIKE ("-Wdeprecated-declarations")

namespace ortholume
{
float getGainParameter (juce::AudioProcessor& processor)
{
    return processor.getParameter (gainParameterIndex);
}

juce::String getGainParameterText (juce::AudioProcessor& processor)
{
    return processor.getParameterText (gainParameterIndex);
}

void setGainParameter (juce::AudioProcessor& processor, float normalisedValue)
{
    processor.setParameter (gainParameterIndex, normalisedValue);
}

void setGainParameterNotifyingHost (juce::AudioProcessor& processor, float normalisedValue)
{
    processor.setParameterNotifyingHost (gainParameterIndex, normalisedValue);
}

void beginGainChangeGesture (juce::AudioProcessor& processor)
{
    processor.beginParameterChangeGesture (gainParameterIndex);
}

void endGainChangeGesture (juce::AudioProcessor& processor)
{
    processor.endParameterChangeGesture (gainParameterIndex);
}

GainParameterListing listGainParameter (juce::AudioProcessor& processor, int maxNameLength, int maxShortNameLength)
{
    return { processor.getParameterName (gainParameterIndex, maxNameLength),
             processor.getParameterName (gainParameterIndex, maxShortNameLength),
             processor.getParameterDefaultValue (gainParameterIndex),
             processor.getParameterNumSteps (gainParameterIndex),
             processor.isParameterAutomatable (gainParameterIndex) };
}
} // namespace ortholume

JUCE_END_IGNORE_WARNINGS_GCC_LIKE
