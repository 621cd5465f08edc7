#pragma once

#include <juce_core/juce_core.h>

namespace ortholume
{
/** The Gain parameter: a normalised value v stands for v * 100 - 90 dB. */
constexpr float gainDecibelsPerUnit = 100.0f;
constexpr float gainDecibelsAtZero = -90.0f;
constexpr float defaultGainParameterValue = 0.9f;

float gainParameterToDecibels (float normalisedValue) noexcept;

/** Linear gain for a normalised value, in single precision (0 at or below -100 dB). */
float gainParameterToLinear (float normalisedValue) noexcept;

/** The parameter's display and saved text: the value itself, six significant digits. */
juce::String gainParameterText (float normalisedValue);
} // namespace ortholume
