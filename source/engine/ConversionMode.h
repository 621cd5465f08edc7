#pragma once

namespace ortholume
{
/** First-order B-format: W and the three figure-of-eight channels. */
constexpr int firstOrderChannels = 4;

/** The direction of conversion, as held in the processor's idxInputConfig.
    Any other stored value is kept as it is but converts as FumaToAmbix. */
enum ConversionMode
{
    FumaToAmbix = 0,
    AmbixToFuma = 1
};

/** Single-precision sqrt(2) and 1/sqrt(2), bit for bit (0x3FB504F3, 0x3F3504F3). */
constexpr float sqrtTwo = 1.41421353816986083984375f;
constexpr float inverseSqrtTwo = 0.707106769084930419921875f;

/** Where the W scale and the permutation crossfade head for a mode. */
struct ConversionTargets
{
    float wGain;
    float mix;
};

constexpr ConversionTargets targetsForMode (int mode) noexcept
{
    return mode == AmbixToFuma ? ConversionTargets { inverseSqrtTwo, 1.0f }
                               : ConversionTargets { sqrtTwo, 0.0f };
}
} // namespace ortholume
