#pragma once

#include "OutputFormat.h"

#include <sndfile.h>

#include <cstdint>
#include <vector>

namespace ortholume::converter
{
/** A four-channel sound file written through libsndfile onto an open descriptor.

    Integer PCM is quantised here, rounding to nearest and saturating, so that
    samples read from a file of the same depth come back bit for bit and every
    clipped sample is counted. */
class OutputFile final
{
public:
    static constexpr int numChannels = 4;

    /** Throws ConversionError when libsndfile refuses the format. The descriptor
        stays owned by the caller. */
    OutputFile (int fileDescriptor, const OutputFormat& format, int sampleRate);
    ~OutputFile();

    OutputFile (const OutputFile&) = delete;
    OutputFile& operator= (const OutputFile&) = delete;

    /** Throws ConversionError on a short write (disk full, file-size limit, I/O error). */
    void write (const float* interleaved, int numFrames);

    /** Completes the header; throws if that fails. */
    void close();

    std::uint64_t getClippedSamples() const noexcept { return clippedSamples; }

private:
    SNDFILE* file = nullptr;
    int fileDescriptor = -1;
    OutputFormat format;
    int integerBits = 0;
    std::uint64_t framesWritten = 0;
    std::uint64_t clippedSamples = 0;
    std::vector<int> integerBuffer;
};
} // namespace ortholume::converter
