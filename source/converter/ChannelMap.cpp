#include "ChannelMap.h"

#include "AmbisonicOrders.h"

#include <cmath>

namespace ortholume::converter
{
ChannelMap ambisonicMap (Convention to, int numChannels, std::optional<float> gainDecibels)
{
    const double gain = gainDecibels.has_value() ? std::pow (10.0, (double) *gainDecibels / 20.0) : 1.0;
    ChannelMap map;

    for (const auto& channel : conversionTable (to, ambisonicOrderOf (numChannels)))
    {
        // Reciprocals in double, not a division per sample: sqrt(2) times its
        // reciprocal rounds to exactly 1, so there and back an integer W lands
        // where it left, and a double within one ulp, mostly on it. sqrt(0.5),
        // the nearer to 1/sqrt(2), would be off by up to two ulps both ways.
        map.source.push_back (channel.inputChannel);
        map.factor.push_back ((channel.divides ? 1.0 / channel.weight : channel.weight) * gain);
    }

    return map;
}
} // namespace ortholume::converter
