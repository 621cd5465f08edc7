#include "AmbisonicOrders.h"

#include <cmath>
#include <iterator>

namespace ortholume::converter
{
namespace
{
constexpr char fumaLetters[] = "WXYZRSTUVKLMNOPQ";

/** The FuMa-to-AmbiX weight of FuMa channel `fuma` (0 to 15). */
double weightOfFumaChannel (int fuma)
{
    switch (fuma)
    {
        case 0: return std::sqrt (2.0); // W
        case 5:
        case 6:
        case 7:
        case 8: return std::sqrt (3.0) / 2.0; // S T U V
        case 10:
        case 11: return std::sqrt (32.0 / 45.0); // L M
        case 12:
        case 13: return std::sqrt (5.0) / 3.0; // N O
        case 14:
        case 15: return std::sqrt (5.0 / 8.0); // P Q
        default: return 1.0; // X Y Z, R, K
    }
}
} // namespace

int ambisonicOrderOf (int numChannels) noexcept
{
    for (int order = 1; order <= highestAmbisonicOrder; ++order)
        if (numChannels == (order + 1) * (order + 1))
            return order;

    return 0;
}

std::vector<ChannelSource> conversionTable (Convention to, int order)
{
    if (order < 1 || order > highestAmbisonicOrder)
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

char channelLetter (Convention convention, int channel) noexcept
{
    if (channel < 0 || channel >= (int) std::size (fumaChannelOfAcn))
        return '?';

    return fumaLetters[convention == Convention::fuma ? channel : fumaChannelOfAcn[channel]];
}

std::string fumaMixedOrderLayout (int numChannels)
{
    // The .amb format's mixed-order schemes: horizontal components to a higher
    // order than the vertical ones.
    switch (numChannels)
    {
        case 3: return "W X Y (first order horizontal)";
        case 5: return "W X Y U V (second order horizontal)";
        case 6: return "W X Y Z U V (second order horizontal, first order vertical)";
        case 7: return "W X Y U V P Q (third order horizontal)";
        case 8: return "W X Y Z U V P Q (third order horizontal, first order vertical)";
        case 11: return "W X Y Z R S T U V P Q (third order horizontal, second order vertical)";
        default: return {};
    }
}

std::string describeUnconvertibleChannels (int numChannels, bool bFormat)
{
    if (ambisonicOrderOf (numChannels) > 0)
        return {};

    const auto count = "has " + std::to_string (numChannels) + " channel" + (numChannels == 1 ? "" : "s");
    const std::string orders = "full-sphere orders 1, 2 and 3 (4, 9 and 16 channels) are converted";

    if (! bFormat)
        return count + "; only " + orders;

    if (const auto layout = fumaMixedOrderLayout (numChannels); ! layout.empty())
        return count + ": FuMa's mixed-order scheme " + layout + ", which is not converted; only " + orders;

    return count + ", which is no FuMa B-format scheme although it is marked as one; only " + orders;
}
} // namespace ortholume::converter
