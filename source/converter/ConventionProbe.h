#pragma once

#include "AmbisonicOrders.h"
#include "Convention.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace ortholume::converter
{
/** The normalisation a file's signal shows. FuMa and SN3D (AmbiX) are what the
    converter reads and writes; N3D is named so that it is not taken for either. */
enum class SignalConvention
{
    undetermined,
    fuma,
    sn3d,
    n3d
};

/** "FuMa", "AmbiX (SN3D)", "N3D" or "undetermined". */
const char* describeSignalConvention (SignalConvention convention) noexcept;

struct ConventionEstimate
{
    SignalConvention convention = SignalConvention::undetermined;

    /** Why the estimate is undetermined ("silent", "too short ..."), else empty. */
    std::string reason;

    int order = 0;

    /** The energy of each order's channels over W's energy, for orders 1 to
        `order` (index 0 is unused). Order 1 decides: any single plane wave, and
        any field of uncorrelated plane waves, gives 2 in FuMa, 1 in SN3D and 3 in
        N3D, whatever the directions. Higher orders depend on direction in FuMa,
        so they are shown as evidence only. */
    std::array<double, highestAmbisonicOrder + 1> energyRatios {};

    std::uint64_t framesAnalysed = 0;
};

/** Sums of squares per ambisonic order over the frames it is given. */
class SignalEnergy final
{
public:
    explicit SignalEnergy (int numChannels);

    void add (const double* interleaved, std::size_t numFrames) noexcept;

    ConventionEstimate estimate() const;

    /** Fewer frames than this leave the estimate undetermined. */
    static constexpr std::uint64_t fewestFrames = 4096;

    /** W's mean square below this (-80 dBFS RMS) counts as silence. */
    static constexpr double quietestMeanSquare = 1.0e-8;

    /** A ratio within this factor of 1, 2 or 3 is a clear estimate. */
    static constexpr double tolerance = 1.2;

private:
    static bool near (double ratio, double expected) noexcept;

    int numChannels;
    int order;
    std::array<double, highestAmbisonicOrder + 1> energies {};
    std::uint64_t frames = 0;
};

/** Estimates from the file's audio: all of it when short, otherwise evenly
    spaced stretches across it, so that probing stays cheap beside a conversion.
    Throws ConversionError when the file cannot be opened. */
ConventionEstimate probeConvention (const std::string& path);

/** The convention a conversion takes its input to be in, as the signal names it. */
SignalConvention signalConventionOf (Convention convention) noexcept;

/** A warning for a conversion whose input convention (the opposite of `to`)
    contradicts a clear estimate, or an empty string. `fromMark`: the direction
    was not given but follows from the input's B-format mark. */
std::string describeContradiction (const ConventionEstimate& estimate, Convention to, bool fromMark = false);
} // namespace ortholume::converter
