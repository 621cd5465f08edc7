#pragma once

#include "Convention.h"

#include "engine/ConversionMode.h"

#include <cstdint>
#include <string>

namespace ortholume::converter
{
/** How one output file is written. */
struct OutputFormat
{
    int sndfileFormat = 0;
    int numChannels = firstOrderChannels;

    /** Marked as ambisonic B-format (.amb): FuMa output to a .amb name only. */
    bool bFormat = false;

    /** An extensible header (RF64, or float WAV) that libsndfile writes with a
        Quad speaker mask and, for RF64, cannot mark as B-format: its format chunk
        is corrected after closing (rewriteRf64FormatChunk). */
    bool rewriteRf64FormatChunk = false;

    /** A .wav or .amb name whose audio is too large for WAV's 32-bit sizes. */
    bool promotedToRf64 = false;
};

/** Audio bytes above which WAV and AIFF sizes no longer fit their 32-bit fields
    (with room for the header). */
constexpr std::uint64_t largestClassicFileAudioBytes = 0xFFFFFFFFull - (1u << 20);

/** Chooses the container from the output name's extension and the sample format
    from the input's, or the libsndfile subtype asked for (0: the input's), for
    the input's channel count. Throws ConversionError when the name or the
    combination cannot be written. */
OutputFormat chooseOutputFormat (const std::string& outputPath, int inputFormat, int numChannels,
                                 Convention outputConvention, int requestedSubtype, std::uint64_t numFrames);

/** The subtype for a --bits value (16, 24, 32, float, double), or 0 for anything else. */
int subtypeForBits (const std::string& bits) noexcept;

/** The lower-case extension without the dot, or an empty string. */
std::string lowerCaseExtension (const std::string& path);

/** True for the names chooseOutputFormat can write. */
bool isWritableExtension (const std::string& extension);
} // namespace ortholume::converter
