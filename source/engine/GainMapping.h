#pragma once

namespace ortholume
{
/** The Gain parameter: a normalised value v stands for v * 100 - 90 dB. */
constexpr float gainDecibelsPerUnit = 100.0f;
constexpr float gainDecibelsAtZero = -90.0f;
constexpr float defaultGainParameterValue = 0.9f;

/** Levels at or below this are silence, as hosts' decibel helpers treat them. */
constexpr float minusInfinityDecibels = -100.0f;

float gainParameterToDecibels (float normalisedValue) noexcept;

/** The normalised value for a level, computed in double precision (the knob's steps). */
float decibelsToGainParameter (double decibels) noexcept;

/** Linear gain for a normalised value, in single precision (0 at or below -100 dB). */
float gainParameterToLinear (float normalisedValue) noexcept;

/** Linear gain for a level, in single precision: 0 at or below -100 dB. */
float decibelsToGain (float decibels) noexcept;

/** The level of a linear gain: -100 dB for 0 and anything quieter. */
float gainToDecibels (float gain) noexcept;
} // namespace ortholume
