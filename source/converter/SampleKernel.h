#pragma once

#include "ChannelMap.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace ortholume::converter
{
enum class SampleType
{
    u8, // offset binary, as WAV keeps 8-bit samples
    s8,
    s16,
    s24,
    s32,
    f32,
    f64
};

/** How samples lie in a block of interleaved bytes: as they are in a PCM file's
    data chunk, or as libsndfile's own int and double calls deliver them. */
struct SampleCoding
{
    SampleType type = SampleType::s32;
    bool bigEndian = false;

    /** Significant bits of an integer type, left-justified in it (libsndfile's
        int calls carry a 16-bit FLAC sample in the top half of an int). */
    int bits = 32;

    /** A float output that libsndfile quantises itself (coded formats): magnitudes
        over 1 are clipped there, so they are counted as clipped here. */
    bool countOverFullScale = false;

    int bytes() const noexcept;
    bool isInteger() const noexcept { return type != SampleType::f32 && type != SampleType::f64; }
    bool sameLayout (const SampleCoding& other) const noexcept;
};

/** The coding of a PCM or float subtype straight from the file, given whether
    libsndfile says its raw bytes need swapping; nothing for coded subtypes. */
std::optional<SampleCoding> rawSampleCoding (int sndfileFormat, bool needsEndSwap) noexcept;

/** The machine-order coding of libsndfile's sf_readf_int / sf_writef_int
    (32-bit, with `bits` significant) or sf_readf_double / sf_writef_double. */
SampleCoding nativeIntCoding (int bits) noexcept;
SampleCoding nativeDoubleCoding() noexcept;

struct KernelStats
{
    std::uint64_t clippedSamples = 0;

    /** Largest magnitude per output channel, full scale = 1, before clipping. */
    std::vector<double> peaks;
};

/** The file converter's exact kernel: each output channel is its source channel
    copied bit for bit (factor 1, same coding) or computed in double from the
    exact input sample and rounded once, to nearest, into the output coding;
    integer values beyond full scale are clipped and counted. */
class SampleKernel final
{
public:
    SampleKernel (ChannelMap map, SampleCoding input, SampleCoding output);
    ~SampleKernel();

    SampleKernel (const SampleKernel&) = delete;
    SampleKernel& operator= (const SampleKernel&) = delete;

    int inputFrameBytes() const noexcept { return inputFrame; }
    int outputFrameBytes() const noexcept { return outputFrame; }

    /** Converts interleaved frames from input into a separate output block. */
    void convert (const unsigned char* input, unsigned char* output, int numFrames, KernelStats& stats) const;

private:
    struct Channel;

    std::vector<Channel> channels;
    int inputFrame = 0;
    int outputFrame = 0;
};
} // namespace ortholume::converter
