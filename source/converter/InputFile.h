#pragma once

#include <sndfile.h>

#include <string>
#include <vector>

namespace ortholume::converter
{
/** A four-channel sound file opened for reading through libsndfile, delivering
    interleaved float frames.

    Integer PCM is read as integers and scaled by a power of two, so every sample
    of up to 24 bits reaches the engine exactly (libsndfile's own float path uses
    different scales for reading and writing, which would not round-trip). */
class InputFile final
{
public:
    static constexpr int numChannels = 4;

    /** Throws ConversionError: cannot open, unknown format, not four channels,
        a header that promises more audio than the file holds, or no audio at all. */
    explicit InputFile (const std::string& path);
    ~InputFile();

    InputFile (const InputFile&) = delete;
    InputFile& operator= (const InputFile&) = delete;

    const SF_INFO& getInfo() const noexcept { return info; }
    sf_count_t getNumFrames() const noexcept { return info.frames; }
    bool isBFormat() const noexcept { return bFormat; }

    /** Reads up to maxFrames interleaved frames; throws if the file ends early
        or cannot be read. Returns 0 only at the announced end. */
    int read (float* interleaved, int maxFrames);

private:
    SNDFILE* file = nullptr;
    SF_INFO info {};
    bool bFormat = false;
    bool integerPcm = false;
    sf_count_t framesRead = 0;
    std::vector<int> integerBuffer;
};

/** True when libsndfile's header log reports a chunk that claims more bytes than
    the file has: libsndfile then shortens the file quietly instead of failing. */
bool headerLogShowsTruncation (const std::string& log);
} // namespace ortholume::converter
