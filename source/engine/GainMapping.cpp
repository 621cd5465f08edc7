#include "GainMapping.h"

#include <cmath>

namespace ortholume
{
float gainParameterToDecibels (float normalisedValue) noexcept
{
    return normalisedValue * gainDecibelsPerUnit + gainDecibelsAtZero;
}

float decibelsToGainParameter (double decibels) noexcept
{
    return (float) ((decibels - (double) gainDecibelsAtZero) / (double) gainDecibelsPerUnit);
}

float gainParameterToLinear (float normalisedValue) noexcept
{
    return decibelsToGain (gainParameterToDecibels (normalisedValue));
}

// The same single-precision steps as the framework's decibel helpers, so that
// the plug-in's gain and meters are bit for bit what they always were.
float decibelsToGain (float decibels) noexcept
{
    return decibels > minusInfinityDecibels ? std::pow (10.0f, decibels * 0.05f) : 0.0f;
}

float gainToDecibels (float gain) noexcept
{
    if (! (gain > 0.0f))
        return minusInfinityDecibels;

    const float decibels = static_cast<float> (std::log10 (gain)) * 20.0f;
    return minusInfinityDecibels < decibels ? decibels : minusInfinityDecibels;
}
} // namespace ortholume
