#include "Inspection.h"

#include "ConventionProbe.h"
#include "ConversionError.h"
#include "SampleFormat.h"
#include "SpeakerLayout.h"

#include <sndfile.h>

#include <cstdio>
#include <vector>

namespace ortholume::converter
{
namespace
{
constexpr const char* orderNames[] = { "", "first", "second", "third" };

// What each convention gives for the energy of order n over W's (n = 1 to 3).
constexpr const char* expectedRatios[] = {
    "",
    "FuMa 2, SN3D 1, N3D 3",
    "FuMa 2 to 2.67 by direction, SN3D 1, N3D 5",
    "FuMa 2 to 3.6 by direction, SN3D 1, N3D 7",
};

std::string line (const char* label, const std::string& text)
{
    char padded[16];
    std::snprintf (padded, sizeof (padded), "  %-12s", label);
    return padded + text + "\n";
}

std::string seconds (double value)
{
    char text[32];
    std::snprintf (text, sizeof (text), "%.2f s", value);
    return text;
}

std::string describeSpeakers (const std::string& path, SNDFILE* file, int numChannels)
{
    if (const auto format = readWaveFormatChunk (path); format.found)
    {
        if (! format.extensible)
            return "none (plain format chunk, no speaker mask)";

        if (format.channelMask == 0)
            return "none (extensible format chunk, mask 0)";

        char hex[16];
        std::snprintf (hex, sizeof (hex), "0x%X", format.channelMask);
        return std::string ("mask ") + hex + ": " + describeSpeakerMask (format.channelMask);
    }

    std::vector<int> map ((size_t) numChannels);

    if (sf_command (file, SFC_GET_CHANNEL_MAP_INFO, map.data(), (int) (map.size() * sizeof (int))) == SF_TRUE)
        return "layout " + describeChannelMap (map);

    return "none";
}

std::string describeChannels (int numChannels, bool bFormat)
{
    const auto order = ambisonicOrderOf (numChannels);
    auto text = std::to_string (numChannels) + ": ";

    if (order > 0)
        return text + orderNames[order] + " order";

    if (const auto layout = fumaMixedOrderLayout (numChannels); bFormat && ! layout.empty())
        return text + "FuMa's mixed-order scheme " + layout + ", which is not converted";

    return text + "no full-sphere ambisonic order";
}
} // namespace

std::string inspectFile (const std::string& path)
{
    SF_INFO info {};
    SNDFILE* file = sf_open (path.c_str(), SFM_READ, &info);

    if (file == nullptr)
        throw ConversionError (std::string ("cannot be read: ") + sf_strerror (nullptr));

    const bool bFormat = sf_command (file, SFC_WAVEX_GET_AMBISONIC, nullptr, 0) == SF_AMBISONIC_B_FORMAT;
    const auto speakers = describeSpeakers (path, file, info.channels);
    sf_close (file);

    const auto rate = info.samplerate > 0 ? (double) info.samplerate : 1.0;
    std::string text = path + "\n";
    text += line ("format", describeContainer (info.format, bFormat) + ", " + describeSampleFormat (info.format) + ", "
                                + std::to_string (info.samplerate) + " Hz");
    text += line ("length", std::to_string (info.frames) + " frames, " + seconds ((double) info.frames / rate));
    text += line ("channels", describeChannels (info.channels, bFormat));
    text += line ("B-format", bFormat ? "marked (FuMa by definition)" : "not marked");
    text += line ("speakers", speakers);

    const auto estimate = probeConvention (path);

    for (int n = 1; n <= estimate.order && estimate.energyRatios[1] > 0.0; ++n)
    {
        char ratio[32];
        std::snprintf (ratio, sizeof (ratio), "%.2f", estimate.energyRatios[(size_t) n]);
        text += line (n == 1 ? "energy" : "", "order " + std::to_string (n) + " / W " + ratio + "  (" + expectedRatios[n] + ")"
                                                  + (n == 1 ? ", over " + seconds ((double) estimate.framesAnalysed / rate) : ""));
    }

    auto verdict = estimate.convention == SignalConvention::undetermined
                       ? "undetermined: " + estimate.reason
                       : std::string (describeSignalConvention (estimate.convention));

    if (bFormat && estimate.convention != SignalConvention::undetermined && estimate.convention != SignalConvention::fuma)
        verdict += ", although the B-format mark means FuMa";

    return text + line ("estimate", verdict);
}
} // namespace ortholume::converter
