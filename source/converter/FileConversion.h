#pragma once

#include "Convention.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <optional>
#include <string>

class VelloranAudioProcessor;

namespace ortholume::converter
{
struct ConversionRequest
{
    std::string inputPath;
    std::string outputPath;
    std::optional<Convention> target;
    std::optional<float> gainDecibels;
    bool floatOutput = false;
};

struct ConversionReport
{
    Convention from = Convention::fuma;
    Convention to = Convention::ambix;
    bool inputIsBFormat = false;
    int inputFormat = 0;
    int outputFormat = 0;
    bool outputIsBFormat = false;
    bool promotedToRf64 = false;
    int sampleRate = 0;
    std::uint64_t numFrames = 0;
    std::uint64_t clippedSamples = 0;

    /** Largest magnitude per output channel, in file order, after gain. */
    std::array<float, 4> peaks {};
};

/** Frames converted so far, for the progress display. */
struct ProgressCounters
{
    std::atomic<std::uint64_t> totalFrames { 0 };
    std::atomic<std::uint64_t> framesDone { 0 };
    std::atomic<int> filesDone { 0 };
};

/** Converts one file through the engine, settled in the chosen direction and gain,
    into a temporary file that replaces the output only when everything succeeded.
    Throws ConversionError (with the reason, not the file name) on any failure,
    including interruption by a signal; nothing is left behind then. */
ConversionReport convertFile (const ConversionRequest& request, VelloranAudioProcessor& processor,
                              ProgressCounters& progress);

/** The Gain parameter's normalised value for a gain in dB (-90 to +10). */
float gainParameterForDecibels (float decibels) noexcept;
} // namespace ortholume::converter
