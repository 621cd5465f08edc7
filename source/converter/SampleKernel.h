#pragma once

#include "ChannelMap.h"

#include <cstdint>
#include <memory>
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

/** Bytes of one sample of the type. */
constexpr int sampleBytes (SampleType type) noexcept
{
    switch (type)
    {
        case SampleType::u8:
        case SampleType::s8: return 1;
        case SampleType::s16: return 2;
        case SampleType::s24: return 3;
        case SampleType::s32:
        case SampleType::f32: return 4;
        case SampleType::f64: return 8;
    }

    return 0;
}

/** What an 8-bit WAV sample (offset binary) stores for silence. */
constexpr std::int32_t unsignedSampleOffset = 128;

/** Adding and taking away 1.5 * 2^52 rounds a double to nearest, ties to even,
    as nearbyint does in the default mode, without a library call per sample. */
constexpr double roundingConstant = 6755399441055744.0;

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

class FrameKernel;

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
    /** Whole first-order frames in vector registers where the processor allows,
        or every channel in its own loop; the two give the same bits. */
    enum class Path
    {
        fastest,
        columns
    };

    SampleKernel (ChannelMap map, SampleCoding input, SampleCoding output, Path path = Path::fastest);
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

    /** Converts whole frames where the coding allows; nothing otherwise. */
    std::unique_ptr<const FrameKernel> frameKernel;

    int inputFrame = 0;
    int outputFrame = 0;
};
} // namespace ortholume::converter
