#include "ChannelMap.h"

#include <cmath>

namespace ortholume::converter
{
ChannelMap firstOrderMap (Convention to, std::optional<float> gainDecibels)
{
    // Reciprocals in double (their product rounds to exactly 1): there and back, an
    // integer sample lands where it left, and a double within one ulp, mostly on it.
    // sqrt(0.5), the nearer to 1/sqrt(2), would be off by up to two ulps both ways.
    const double toAmbixW = std::sqrt (2.0);
    const double toFumaW = 1.0 / toAmbixW;
    const double gain = gainDecibels.has_value() ? std::pow (10.0, (double) *gainDecibels / 20.0) : 1.0;

    ChannelMap map;

    if (to == Convention::ambix)
        map.source = { 0, 2, 3, 1 }; // W Y Z X from FuMa's W X Y Z
    else
        map.source = { 0, 3, 1, 2 }; // W X Y Z from AmbiX's W Y Z X

    map.factor = { (to == Convention::ambix ? toAmbixW : toFumaW) * gain, gain, gain, gain };
    return map;
}
} // namespace ortholume::converter
