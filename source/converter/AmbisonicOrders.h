#pragma once

#include "Convention.h"

#include <string>
#include <vector>

namespace ortholume::converter
{
constexpr int highestAmbisonicOrder = 3;

/** The full-sphere order of a channel count (4, 9, 16 give 1, 2, 3), or 0. */
int ambisonicOrderOf (int numChannels) noexcept;

/** Where one output channel comes from. */
struct ChannelSource
{
    int inputChannel = 0;

    /** The FuMa-to-AmbiX weight of the channel: the output is the input times it
        going to AmbiX, and the input divided by it going to FuMa, so that the way
        back undoes the way there. 1 for a channel that is only moved. */
    double weight = 1.0;
    bool divides = false;
};

/** FuMa's channel order, W X Y Z R S T U V K L M N O P Q, by ACN: AmbiX channel i
    is FuMa channel fumaChannelOfAcn[i]. */
constexpr int fumaChannelOfAcn[] = { 0, 2, 3, 1, 8, 6, 4, 5, 7, 15, 13, 11, 9, 10, 12, 14 };

/** For each output channel of a conversion to `to` of a full-sphere order from 1
    to 3 ((order + 1)^2 channels), the input channel it takes and its weight:
    W sqrt2; X Y Z, R, K 1; S T U V sqrt3/2; L M sqrt(32/45); N O sqrt5/3;
    P Q sqrt(5/8) (FuMa to AmbiX ACN/SN3D). Empty for other orders. */
std::vector<ChannelSource> conversionTable (Convention to, int order);

/** The letter FuMa gives the component in channel `channel` of a file in the
    convention (AmbiX's are in ACN order: W Y Z X V T R S U ...). */
char channelLetter (Convention convention, int channel) noexcept;

/** FuMa's mixed-order schemes of a .amb file by channel count, such as "W X Y Z U V
    (second order horizontal, first order vertical)"; empty for the full-sphere
    orders and for counts that are no FuMa scheme. */
std::string fumaMixedOrderLayout (int numChannels);

/** Why a file of this many channels cannot be converted (its B-format mark
    makes it FuMa, so a mixed-order scheme is named); empty for orders 1 to 3. */
std::string describeUnconvertibleChannels (int numChannels, bool bFormat);
} // namespace ortholume::converter
