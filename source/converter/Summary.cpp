#include "Summary.h"

#include "AmbisonicOrders.h"
#include "SampleFormat.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace ortholume::converter
{
namespace
{
std::string formatGain (float decibels)
{
    char text[32];
    std::snprintf (text, sizeof (text), "%+.1f dB", (double) decibels);
    return text;
}
} // namespace

std::string formatPeak (float peak)
{
    if (! (peak > 0.0f))
        return "-inf dB";

    char text[32];
    std::snprintf (text, sizeof (text), "%.1f dB", 20.0 * std::log10 ((double) peak));
    return text;
}

std::string formatSummary (const ConversionRequest& request, const ConversionReport& report)
{
    char duration[32];
    std::snprintf (duration, sizeof (duration), "%.2f s",
                   report.sampleRate > 0 ? (double) report.numFrames / report.sampleRate : 0.0);

    std::string text = request.inputPath + " -> " + request.outputPath + "\n";
    text += "  " + std::string (conventionName (report.from)) + " " + describeContainer (report.inputFormat, report.inputIsBFormat)
            + ", " + describeSampleFormat (report.inputFormat) + " -> " + conventionName (report.to) + " "
            + describeContainer (report.outputFormat, report.outputIsBFormat) + ", " + describeSampleFormat (report.outputFormat)
            + (report.promotedToRf64 ? " (RF64: over 4 GiB)" : "") + "\n";
    text += "  " + std::to_string (report.sampleRate) + " Hz, " + std::to_string (report.numFrames) + " frames, " + duration
            + (request.gainDecibels.has_value() ? ", gain " + formatGain (*request.gainDecibels) : std::string()) + "\n";
    text += "  peak";

    for (size_t c = 0; c < (size_t) report.numChannels; ++c)
        text += std::string ("  ") + channelLetter (report.to, (int) c) + " "
                + formatPeak (c < report.peaks.size() ? report.peaks[c] : 0.0f);

    return text + "\n";
}

std::string formatBatchLine (const ConversionRequest& request, const ConversionReport& report)
{
    char duration[32];
    std::snprintf (duration, sizeof (duration), "%.2f s",
                   report.sampleRate > 0 ? (double) report.numFrames / report.sampleRate : 0.0);

    float peak = 0.0f;

    for (auto channelPeak : report.peaks)
        peak = std::max (peak, channelPeak);

    return request.inputPath + " -> " + request.outputPath + ": " + conventionName (report.from) + " -> "
           + conventionName (report.to) + ", " + describeContainer (report.outputFormat, report.outputIsBFormat) + " "
           + describeSampleFormat (report.outputFormat) + ", " + duration + ", peak " + formatPeak (peak) + "\n";
}

std::string formatTally (int converted, int failed, int notConverted)
{
    return std::to_string (converted) + " converted, " + std::to_string (failed) + " failed"
           + (notConverted > 0 ? ", " + std::to_string (notConverted) + " not converted (interrupted)" : std::string()) + "\n";
}

std::string formatClippingWarning (const ConversionRequest& request, const ConversionReport& report)
{
    if (report.clippedSamples == 0)
        return {};

    // FLAC holds no float samples: there, only a lower level keeps the peaks.
    const bool holdsFloat = (report.outputFormat & SF_FORMAT_TYPEMASK) != SF_FORMAT_FLAC;

    return request.outputPath + ": " + std::to_string (report.clippedSamples) + " samples clipped at full scale; "
           + (holdsFloat ? "use --float, or lower the level with --gain (for example --gain -3)"
                         : "lower the level with --gain (for example --gain -3)");
}

std::string formatMetadataWarning (const ConversionRequest& request, const ConversionReport& report)
{
    if (report.metadataLeftOut.empty())
        return {};

    std::string names;

    for (const auto& name : report.metadataLeftOut)
        names += (names.empty() ? "" : ", ") + name;

    return request.outputPath + ": " + describeContainer (report.outputFormat, report.outputIsBFormat)
           + " cannot hold the input's " + names + "; left out";
}
} // namespace ortholume::converter
