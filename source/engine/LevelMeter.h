#pragma once

#include <cmath>

namespace ortholume
{
/** Meter scale: -60 dB and below read 0, +10 dB and above read 1. */
constexpr float meterFloorDecibels = -60.0f;
constexpr float meterCeilingDecibels = 10.0f;
constexpr float meterRangeDecibels = meterCeilingDecibels - meterFloorDecibels;
constexpr double meterNewWeight = 0.1;
constexpr double meterOldWeight = 0.9;

/** Moves a meter slot a tenth of the way towards the level of a block's peak.
    A non-finite peak (NaN or Inf in the host's audio) reads as the top of the
    scale, so the slot always stays finite and within 0..1. */
float nextMeterLevel (float slot, float peak) noexcept;
} // namespace ortholume
