#include "ConventionProbe.h"

#include "ConversionError.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace ortholume::converter
{
namespace
{
// Probing reads a whole file up to this length, and beyond it this many stretches
// of a second each: a few per cent of a long conversion's reading.
constexpr double wholeFileSeconds = 20.0;
constexpr int numStretches = 16;
constexpr double stretchSeconds = 1.0;
constexpr sf_count_t framesPerRead = 4096;

/** The first-order energy ratio each convention gives. */
constexpr std::array<std::pair<SignalConvention, double>, 3> firstOrderRatios {
    { { SignalConvention::fuma, 2.0 }, { SignalConvention::sn3d, 1.0 }, { SignalConvention::n3d, 3.0 } }
};

std::string formatRatio (double ratio)
{
    char text[32];
    std::snprintf (text, sizeof (text), "%.2f", ratio);
    return text;
}

/** Reads up to `count` frames from where the file stands; false when it ends early. */
bool readInto (SNDFILE* file, sf_count_t count, std::vector<double>& buffer, SignalEnergy& energy)
{
    while (count > 0)
    {
        const auto wanted = std::min (count, framesPerRead);
        const auto got = sf_readf_double (file, buffer.data(), wanted);

        if (got > 0)
            energy.add (buffer.data(), (std::size_t) got);

        if (got != wanted)
            return false;

        count -= got;
    }

    return true;
}
} // namespace

const char* describeSignalConvention (SignalConvention convention) noexcept
{
    switch (convention)
    {
        case SignalConvention::fuma: return "FuMa";
        case SignalConvention::sn3d: return "AmbiX (SN3D)";
        case SignalConvention::n3d: return "N3D";
        case SignalConvention::undetermined: break;
    }

    return "undetermined";
}

SignalEnergy::SignalEnergy (int channels)
    : numChannels (channels),
      order (ambisonicOrderOf (channels))
{
}

void SignalEnergy::add (const double* interleaved, std::size_t numFrames) noexcept
{
    if (order == 0)
        return;

    // Channels of order n are (n+1)^2 - (2n+1) to (n+1)^2 - 1 in both FuMa and ACN order.
    for (std::size_t i = 0; i < numFrames; ++i)
    {
        const auto* frame = interleaved + i * (std::size_t) numChannels;
        int channel = 0;

        for (int n = 0; n <= order; ++n)
        {
            double sum = 0.0;

            for (const int end = (n + 1) * (n + 1); channel < end; ++channel)
                sum += frame[channel] * frame[channel];

            energies[(std::size_t) n] += sum;
        }
    }

    frames += numFrames;
}

bool SignalEnergy::near (double ratio, double expected) noexcept
{
    return ratio <= expected * tolerance && ratio >= expected / tolerance;
}

ConventionEstimate SignalEnergy::estimate() const
{
    ConventionEstimate result;
    result.order = order;
    result.framesAnalysed = frames;

    if (order == 0)
    {
        result.reason = std::to_string (numChannels) + " channels are no full-sphere ambisonic order";
        return result;
    }

    if (frames < fewestFrames)
    {
        result.reason = "too short (" + std::to_string (frames) + " frames; " + std::to_string (fewestFrames) + " needed)";
        return result;
    }

    double total = 0.0;

    for (auto energy : energies)
        total += energy;

    if (total / (double) frames < quietestMeanSquare)
    {
        result.reason = "silent";
        return result;
    }

    if (energies[0] / (double) frames < quietestMeanSquare)
    {
        result.reason = "W is silent";
        return result;
    }

    for (int n = 1; n <= order; ++n)
        result.energyRatios[(size_t) n] = energies[(size_t) n] / energies[0];

    const auto ratio = result.energyRatios[1];

    for (const auto& [convention, expected] : firstOrderRatios)
        if (near (ratio, expected))
            result.convention = convention;

    // Converted twice in the same direction, W is 3 dB off and the ratio halves or doubles.
    if (result.convention == SignalConvention::undetermined)
        result.reason = "first-order energy / W " + formatRatio (ratio) + " is near none of FuMa 2, SN3D 1, N3D 3"
                        + (near (ratio, 0.5)   ? " (0.5: AmbiX converted --to ambix once more?)"
                           : near (ratio, 4.0) ? " (4: FuMa converted --to fuma once more?)"
                                               : "");

    return result;
}

ConventionEstimate probeConvention (const std::string& path)
{
    SF_INFO info {};
    SNDFILE* file = sf_open (path.c_str(), SFM_READ, &info);

    if (file == nullptr)
        throw ConversionError (std::string ("cannot be read: ") + sf_strerror (nullptr));

    SignalEnergy energy (info.channels);

    if (ambisonicOrderOf (info.channels) > 0 && info.frames > 0)
    {
        std::vector<double> buffer ((size_t) (framesPerRead * info.channels));
        const auto rate = (double) std::max (1, info.samplerate);
        const auto stretch = (sf_count_t) (stretchSeconds * rate);

        if ((double) info.frames <= wholeFileSeconds * rate || ! info.seekable)
        {
            readInto (file, std::min (info.frames, (sf_count_t) (wholeFileSeconds * rate)), buffer, energy);
        }
        else
        {
            for (int k = 0; k < numStretches; ++k)
            {
                const auto start = (info.frames - stretch) * k / (numStretches - 1);

                if (sf_seek (file, start, SEEK_SET) != start || ! readInto (file, stretch, buffer, energy))
                    break;
            }
        }
    }

    sf_close (file);
    return energy.estimate();
}

SignalConvention signalConventionOf (Convention convention) noexcept
{
    return convention == Convention::fuma ? SignalConvention::fuma : SignalConvention::sn3d;
}

std::string describeContradiction (const ConventionEstimate& estimate, Convention to, bool fromMark)
{
    const auto assumed = signalConventionOf (oppositeOf (to));

    if (estimate.convention == SignalConvention::undetermined || estimate.convention == assumed)
        return {};

    const std::string cause = fromMark ? "its B-format mark" : std::string ("--to ") + (to == Convention::ambix ? "ambix" : "fuma");

    return std::string ("its signal looks like ") + describeSignalConvention (estimate.convention)
           + " (first-order energy / W " + formatRatio (estimate.energyRatios[1]) + "), but " + cause + " takes it to be "
           + conventionName (oppositeOf (to)) + "; converting anyway";
}
} // namespace ortholume::converter
