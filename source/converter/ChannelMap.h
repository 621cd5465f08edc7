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
    std::vector<int> source; // input channel of each output channel
    std::vector<double> factor; // applied to it, in double precision

    int numChannels() const noexcept { return (int) source.size(); }
};

/** A full-sphere order's conversion to `to` (FuMa W X Y Z R S T U V K L M N O P Q,
    AmbiX in ACN order with SN3D): the channel table of AmbisonicOrders, its
    weight a factor on the way to AmbiX and its reciprocal on the way to FuMa
    (W: sqrt(2) and 1/sqrt(2)), every channel times the gain if one is given.
    Empty for a channel count that is no full-sphere order from 1 to 3. */
ChannelMap ambisonicMap (Convention to, int numChannels, std::optional<float> gainDecibels);
} // namespace ortholume::converter
