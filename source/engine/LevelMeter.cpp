#include "LevelMeter.h"

#include "GainMapping.h"

namespace ortholume
{
float nextMeterLevel (float slot, float peak) noexcept
{
    float level = meterCeilingDecibels;

    if (std::isfinite (peak))
    {
        const float decibels = gainToDecibels (peak);
        level = decibels < meterFloorDecibels ? meterFloorDecibels
                                              : (meterCeilingDecibels < decibels ? meterCeilingDecibels : decibels);
    }

    const float x = (level - meterCeilingDecibels) / meterRangeDecibels;
    return (float) (((double) x + 1.0) * meterNewWeight + (double) slot * meterOldWeight);
}
} // namespace ortholume
