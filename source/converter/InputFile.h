#pragma once

#include "Metadata.h"
#include "SampleKernel.h"

#include <sndfile.h>

#include <string>

namespace ortholume::converter
{
/** An ambisonic sound file (4, 9 or 16 channels) opened for reading through
    libsndfile, delivering its exact samples in interleaved blocks.

    Plain PCM and float audio is read as the bytes the file holds, in large
    blocks, with no conversion on the way; coded audio (FLAC and the like) comes
    as libsndfile's 32-bit integers, or doubles for coded float formats. */
class InputFile final
{
public:
    /** Throws ConversionError: cannot open, unknown format, not 4, 9 or 16 channels,
        a header that promises more audio than the file holds, or no audio at all. */
    explicit InputFile (const std::string& path);
    ~InputFile();

    InputFile (const InputFile&) = delete;
    InputFile& operator= (const InputFile&) = delete;

    const SF_INFO& getInfo() const noexcept { return info; }
    sf_count_t getNumFrames() const noexcept { return info.frames; }
    int getNumChannels() const noexcept { return info.channels; }
    bool isBFormat() const noexcept { return bFormat; }

    /** The string tags and bext chunk the file holds. */
    Metadata getMetadata() const { return readMetadata (file); }

    /** How the samples of a block read lie. */
    const SampleCoding& getCoding() const noexcept { return coding; }
    int getFrameBytes() const noexcept { return coding.bytes() * info.channels; }

    /** Reads up to maxFrames interleaved frames into a block of
        maxFrames * getFrameBytes() bytes; throws if the file ends early or cannot
        be read. Returns 0 only at the announced end. */
    int read (unsigned char* block, int maxFrames);

private:
    SNDFILE* file = nullptr;
    SF_INFO info {};
    bool bFormat = false;
    bool raw = false;
    SampleCoding coding;
    sf_count_t framesRead = 0;
};

/** True when libsndfile's header log reports a chunk that claims more bytes than
    the file has: libsndfile then shortens the file quietly instead of failing. */
bool headerLogShowsTruncation (const std::string& log);
} // namespace ortholume::converter
