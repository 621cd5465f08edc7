#pragma once

#include "Convention.h"

#include <optional>
#include <vector>

namespace ortholume::converter
{
/** How each output channel of a file conversion is made: one input channel
    times a factor. A factor of exactly 1 with the same sample format in and out
    is a copy, bit for bit; any other is computed in double precision. Any
    channel count: a conversion is nothing but these two tables. */
struct ChannelMap
{
    std::vector<int> source;     // input channel of each output channel
    std::vector<double> factor;  // applied to it, in double precision

    int numChannels() const noexcept { return (int) source.size(); }
};

/** First order: FuMa W X Y Z and AmbiX W Y Z X, W times sqrt(2) on the way to
    AmbiX and sqrt(1/2) on the way to FuMa, every channel times the gain if one
    is given. */
ChannelMap firstOrderMap (Convention to, std::optional<float> gainDecibels);
} // namespace ortholume::converter
