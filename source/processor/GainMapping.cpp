#include "GainMapping.h"

#include <juce_audio_basics/juce_audio_basics.h>

namespace ortholume
{
float gainParameterToDecibels (float normalisedValue) noexcept
{
    return normalisedValue * gainDecibelsPerUnit + gainDecibelsAtZero;
}

float gainParameterToLinear (float normalisedValue) noexcept
{
    return juce::Decibels::decibelsToGain (gainParameterToDecibels (normalisedValue));
}

juce::String gainParameterText (float normalisedValue)
{
    return juce::String ((double) normalisedValue);
}
} // namespace ortholume
