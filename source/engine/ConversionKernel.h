#pragma once

#include "StageValues.h"

#include <array>

namespace ortholume
{
using ChannelPeaks = std::array<float, 4>;


/** Converts four channels in place in one pass: W scaled, X/Y/Z permuted or
    crossfaded, every channel multiplied by the output gain, and the peak
    magnitude of each channel taken before and after.

    The arithmetic is exactly that of the step-by-step form (W = w * in0, then
    the crossfade, then the gain), so results are bit-identical to it.
    `mix` holds the crossfade position; when it does not glide, a constant of
    exactly 0 copies FuMa to AmbiX order and anything else the other way. */
void convertFourChannelsInPlace (float* const* channels, int numSamples,
                                 StageValues w, StageValues mix, StageValues gain,
                                 ChannelPeaks& inputPeaks, ChannelPeaks& outputPeaks) noexcept;

/** The largest magnitude in a channel; 0 for an empty one. NaN samples carry no level. */
float peakMagnitude (const float* samples, int numSamples) noexcept;
} // namespace ortholume
