#include "LevelMeter.h"

#include <juce_audio_basics/juce_audio_basics.h>

namespace ortholume
{
float nextMeterLevel (float slot, float peak) noexcept
{
    const auto level = std::isfinite (peak)
                         ? juce::jlimit (meterFloorDecibels, meterCeilingDecibels, juce::Decibels::gainToDecibels (peak))
                         : meterCeilingDecibels;
    const float x = (level - meterCeilingDecibels) / meterRangeDecibels;
    return (float) (((double) x + 1.0) * meterNewWeight + (double) slot * meterOldWeight);
}
} // namespace ortholume
