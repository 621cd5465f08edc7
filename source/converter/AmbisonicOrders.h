#pragma once

#include "Convention.h"

#include <vector>

namespace ortholume::converter
{
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
} // namespace ortholume::converter
