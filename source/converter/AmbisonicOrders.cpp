#include "AmbisonicOrders.h"

#include <cmath>

namespace ortholume::converter
{
namespace
{
/** The FuMa-to-AmbiX weight of FuMa channel `fuma` (0 to 15). */
double weightOfFumaChannel (int fuma)
{
    switch (fuma)
    {
        case 0: return std::sqrt (2.0);                      // W
        case 5: case 6: case 7: case 8: return std::sqrt (3.0) / 2.0; // S T U V
        case 10: case 11: return std::sqrt (32.0 / 45.0);    // L M
        case 12: case 13: return std::sqrt (5.0) / 3.0;      // N O
        case 14: case 15: return std::sqrt (5.0 / 8.0);      // P Q
        default: return 1.0;                                 // X Y Z, R, K
    }
}
} // namespace

std::vector<ChannelSource> conversionTable (Convention to, int order)
{
    if (order < 1 || order > 3)
        return {};

    const int numChannels = (order + 1) * (order + 1);
    std::vector<ChannelSource> table ((size_t) numChannels);

    for (int acn = 0; acn < numChannels; ++acn)
    {
        const int fuma = fumaChannelOfAcn[acn];
        const double weight = weightOfFumaChannel (fuma);

        if (to == Convention::ambix)
            table[(size_t) acn] = { fuma, weight, false };
        else
            table[(size_t) fuma] = { acn, weight, true };
    }

    return table;
}
} // namespace ortholume::converter
