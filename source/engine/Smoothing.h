#pragma once

#include <cmath>

namespace ortholume
{
/** One-pole glide shared by the output gain, the W scale and the crossfade.

    The decision to glide is made once per block and stage; while gliding, every
    sample moves the current value by one step, computed in double precision
    from the two floats and stored back as float so that every build agrees. */
constexpr double smoothingThreshold = 1.0e-6;
constexpr double smoothingTargetWeight = 0.005;
constexpr double smoothingCurrentWeight = 0.995;

inline bool isGliding (float current, float target) noexcept
{
    return std::abs (current - target) > smoothingThreshold;
}

inline float smoothingStep (float current, float target) noexcept
{
    return (float) ((double) target * smoothingTargetWeight + (double) current * smoothingCurrentWeight);
}
} // namespace ortholume
