#pragma once

#include "Convention.h"

#include "engine/ConversionMode.h"

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ortholume::converter
{
struct ConversionRequest
{
    std::string inputPath;
    std::string outputPath;
    std::optional<Convention> target;
    std::optional<float> gainDecibels;
    int outputSubtype = 0; // 0: the input's sample format
};

struct ConversionReport
{
    Convention from = Convention::fuma;
    Convention to = Convention::ambix;
    bool inputIsBFormat = false;
    int inputFormat = 0;
    int outputFormat = 0;
    int numChannels = firstOrderChannels;
    bool outputIsBFormat = false;
    bool promotedToRf64 = false;
    int sampleRate = 0;
    std::uint64_t numFrames = 0;
    std::uint64_t clippedSamples = 0;

    /** The input's tags (and "bext") that the output's format cannot hold. */
    std::vector<std::string> metadataLeftOut;

    /** Largest magnitude per output channel, in file order, after gain and before clipping. */
    std::vector<float> peaks;
};

/** Frames converted so far, for the progress display. */
struct ProgressCounters
{
    std::atomic<std::uint64_t> totalFrames { 0 };
    std::atomic<std::uint64_t> framesDone { 0 };
    std::atomic<int> filesDone { 0 };
};

/** Converts one file with the exact kernel into a temporary file that replaces
    the output only when everything succeeded. One thread reads, another
    converts and the calling thread writes. Throws ConversionError (with the file name
    and the reason) on any failure, including interruption by a signal; nothing
    is left behind then. */
ConversionReport convertFile (const ConversionRequest& request, ProgressCounters& progress);
} // namespace ortholume::converter
