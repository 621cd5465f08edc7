#pragma once

#include "Metadata.h"
#include "OutputFormat.h"
#include "SampleKernel.h"

#include <sndfile.h>

#include <cstdint>

namespace ortholume::converter
{
/** An ambisonic sound file written through libsndfile onto an open descriptor.

    Plain PCM and float audio is written as the bytes the kernel made, in large
    blocks; coded formats take libsndfile's 32-bit integers (FLAC and other
    integer codings, quantised exactly by the kernel) or doubles. */
class OutputFile final
{
public:
    /** Throws ConversionError when libsndfile refuses the format. The descriptor
        stays owned by the caller. The metadata goes into the header, before any
        audio; what the format cannot hold is left out. */
    OutputFile (int fileDescriptor, const OutputFormat& format, int sampleRate, const Metadata& metadata);
    ~OutputFile();

    OutputFile (const OutputFile&) = delete;
    OutputFile& operator= (const OutputFile&) = delete;

    /** How the samples of a block to write must lie. */
    const SampleCoding& getCoding() const noexcept { return coding; }
    int getFrameBytes() const noexcept { return coding.bytes() * format.numChannels; }

    /** Throws ConversionError on a short write (disk full, file-size limit, I/O error). */
    void write (const unsigned char* block, int numFrames);

    /** Completes the header; throws if that fails. */
    void close();

private:
    SNDFILE* file = nullptr;
    int fileDescriptor = -1;
    OutputFormat format;
    bool raw = false;
    SampleCoding coding;
    std::uint64_t framesWritten = 0;
};
} // namespace ortholume::converter
