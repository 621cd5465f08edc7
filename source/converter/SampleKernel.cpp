#include "SampleKernel.h"

#include "FrameKernel.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>
#include <type_traits>

namespace ortholume::converter
{
namespace
{
constexpr bool machineIsBigEndian = __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__;

// Short enough that a chunk of every channel stays in the first-level cache.
constexpr int chunkFrames = 256;

template <typename Word>
inline Word byteSwapped (Word word) noexcept
{
    if constexpr (sizeof (Word) == 2)
        return __builtin_bswap16 (word);
    else if constexpr (sizeof (Word) == 4)
        return __builtin_bswap32 (word);
    else
        return __builtin_bswap64 (word);
}

template <int numBytes>
using WordOf = std::conditional_t<numBytes == 1, std::uint8_t,
                                  std::conditional_t<numBytes == 2, std::uint16_t, std::conditional_t<numBytes == 4, std::uint32_t, std::uint64_t>>>;

// Whole-word loads and stores (one instruction each, swapped when the file's
// byte order is not the machine's); 24-bit samples are put together from bytes.
template <int numBytes, bool big>
inline std::uint64_t loadBytes (const unsigned char* p) noexcept
{
    if constexpr (numBytes == 3)
    {
        return big ? ((std::uint64_t) p[0] << 16) | ((std::uint64_t) p[1] << 8) | p[2]
                   : ((std::uint64_t) p[2] << 16) | ((std::uint64_t) p[1] << 8) | p[0];
    }
    else
    {
        WordOf<numBytes> word;
        std::memcpy (&word, p, sizeof (word));

        if constexpr (numBytes > 1 && big != machineIsBigEndian)
            word = byteSwapped (word);

        return word;
    }
}

template <int numBytes, bool big>
inline void storeBytes (unsigned char* p, std::uint64_t value) noexcept
{
    if constexpr (numBytes == 3)
    {
        p[big ? 2 : 0] = (unsigned char) value;
        p[1] = (unsigned char) (value >> 8);
        p[big ? 0 : 2] = (unsigned char) (value >> 16);
    }
    else
    {
        auto word = (WordOf<numBytes>) value;

        if constexpr (numBytes > 1 && big != machineIsBigEndian)
            word = byteSwapped (word);

        std::memcpy (p, &word, sizeof (word));
    }
}

template <SampleType type>
constexpr int bytesOf() noexcept
{
    return sampleBytes (type);
}

/** An integer sample as a signed value of its storage width. */
template <SampleType type, bool big>
inline std::int32_t loadInteger (const unsigned char* p) noexcept
{
    constexpr int numBytes = bytesOf<type>();
    const auto bits = (std::uint32_t) loadBytes<numBytes, big> (p);

    if constexpr (type == SampleType::u8)
        return (std::int32_t) bits - unsignedSampleOffset;
    else
        return (std::int32_t) (bits << (32 - 8 * numBytes)) >> (32 - 8 * numBytes);
}

/** The same, for a sample followed by at least one more byte in the block: a
    24-bit sample is then one 4-byte load and a shift, not three loads. */
template <SampleType type, bool big>
inline std::int32_t loadIntegerWithByteAfter (const unsigned char* p) noexcept
{
    if constexpr (type == SampleType::s24)
    {
        const auto word = (std::uint32_t) loadBytes<4, big> (p);
        return big ? (std::int32_t) word >> 8 : (std::int32_t) (word << 8) >> 8;
    }
    else
    {
        return loadInteger<type, big> (p);
    }
}

template <SampleType type, bool big>
inline void storeInteger (unsigned char* p, std::int32_t value) noexcept
{
    if constexpr (type == SampleType::u8)
        storeBytes<1, big> (p, (std::uint64_t) (value + unsignedSampleOffset));
    else
        storeBytes<bytesOf<type>(), big> (p, (std::uint32_t) value);
}

template <SampleType type, bool big, bool byteAfter = false>
inline double loadValue (const unsigned char* p) noexcept
{
    if constexpr (type == SampleType::f32)
    {
        const auto bits = (std::uint32_t) loadBytes<4, big> (p);
        float value;
        std::memcpy (&value, &bits, sizeof (value));
        return (double) value;
    }
    else if constexpr (type == SampleType::f64)
    {
        const auto bits = loadBytes<8, big> (p);
        double value;
        std::memcpy (&value, &bits, sizeof (value));
        return value;
    }
    else if constexpr (byteAfter)
    {
        return (double) loadIntegerWithByteAfter<type, big> (p);
    }
    else
    {
        return (double) loadInteger<type, big> (p);
    }
}

using DecodeFunction = double (*) (const unsigned char*, int, int, double, double*);
using EncodeFunction = std::uint64_t (*) (const double*, int, unsigned char*, int, int, bool);
using CopyFunction = double (*) (const unsigned char*, int, unsigned char*, int, int);

/** Scales one column into doubles; returns its largest magnitude (NaN carries none). */
template <SampleType type, bool big>
double decodeColumn (const unsigned char* source, int stride, int numFrames, double factor, double* values)
{
    // Two running peaks, so that a comparison need not wait for the one before.
    double peakA = 0.0, peakB = 0.0;
    int i = 0;

    // Every frame but the block's last has a byte after it.
    for (; i + 2 < numFrames; i += 2)
    {
        const auto* const p = source + (std::size_t) i * (std::size_t) stride;
        values[i] = loadValue<type, big, true> (p) * factor;
        values[i + 1] = loadValue<type, big, true> (p + stride) * factor;
        peakA = std::max (peakA, std::abs (values[i]));
        peakB = std::max (peakB, std::abs (values[i + 1]));
    }

    for (; i < numFrames; ++i)
    {
        values[i] = loadValue<type, big> (source + (std::size_t) i * (std::size_t) stride) * factor;
        peakA = std::max (peakA, std::abs (values[i]));
    }

    return std::max (peakA, peakB);
}

/** Writes doubles into one column; returns how many were clipped. */
template <SampleType type, bool big>
std::uint64_t encodeColumn (const double* values, int numFrames, unsigned char* target, int stride, int bits,
                            bool countOverFullScale)
{
    std::uint64_t clipped = 0;

    if constexpr (type == SampleType::f32 || type == SampleType::f64)
    {
        for (int i = 0; i < numFrames; ++i)
        {
            auto* const p = target + (std::size_t) i * (std::size_t) stride;

            if constexpr (type == SampleType::f32)
            {
                const auto value = (float) values[i];
                std::uint32_t word;
                std::memcpy (&word, &value, sizeof (word));
                storeBytes<4, big> (p, word);
            }
            else
            {
                std::uint64_t word;
                std::memcpy (&word, values + i, sizeof (word));
                storeBytes<8, big> (p, word);
            }

            if (countOverFullScale)
                clipped += std::abs (values[i]) > 1.0 ? 1u : 0u;
        }
    }
    else
    {
        const double largest = std::ldexp (1.0, bits - 1) - 1.0;
        const double smallest = -std::ldexp (1.0, bits - 1);
        const int shift = 8 * bytesOf<type>() - bits;

        for (int i = 0; i < numFrames; ++i)
        {
            const double rounded = (values[i] + roundingConstant) - roundingConstant;
            clipped += (std::uint64_t) (! (rounded >= smallest && rounded <= largest));

            // Written so that a NaN falls through both to 0.
            const double value = rounded > largest ? largest : (rounded >= smallest ? rounded : (rounded < smallest ? smallest : 0.0));

            // Left-justified when the type is wider than the significant bits.
            const auto stored = (std::int32_t) ((std::uint32_t) (std::int32_t) value << shift);
            storeInteger<type, big> (target + (std::size_t) i * (std::size_t) stride, stored);
        }
    }

    return clipped;
}

/** Copies one column bit for bit; returns its largest magnitude in the units the
    samples are stored in (NaN carries none). */
template <SampleType type, bool big>
double copyColumn (const unsigned char* source, int sourceStride, unsigned char* target, int targetStride, int numFrames)
{
    constexpr int numBytes = bytesOf<type>();

    if constexpr (type == SampleType::f32 || type == SampleType::f64)
    {
        double peakA = 0.0, peakB = 0.0;
        int i = 0;

        for (; i + 1 < numFrames; i += 2)
        {
            const auto* const p = source + (std::size_t) i * (std::size_t) sourceStride;
            auto* const q = target + (std::size_t) i * (std::size_t) targetStride;
            std::memcpy (q, p, numBytes);
            std::memcpy (q + targetStride, p + sourceStride, numBytes);
            peakA = std::max (peakA, std::abs (loadValue<type, big> (p)));
            peakB = std::max (peakB, std::abs (loadValue<type, big> (p + sourceStride)));
        }

        for (; i < numFrames; ++i)
        {
            const auto* const p = source + (std::size_t) i * (std::size_t) sourceStride;
            std::memcpy (target + (std::size_t) i * (std::size_t) targetStride, p, numBytes);
            peakA = std::max (peakA, std::abs (loadValue<type, big> (p)));
        }

        return std::max (peakA, peakB);
    }
    else
    {
        // Two running ranges, so that a comparison need not wait for the one before.
        std::int32_t lowestA = 0, highestA = 0, lowestB = 0, highestB = 0;
        int i = 0;

        // Every frame but the block's last has a byte after it.
        for (; i + 2 < numFrames; i += 2)
        {
            const auto* const p = source + (std::size_t) i * (std::size_t) sourceStride;
            auto* const q = target + (std::size_t) i * (std::size_t) targetStride;
            std::memcpy (q, p, numBytes);
            std::memcpy (q + targetStride, p + sourceStride, numBytes);
            const auto a = loadIntegerWithByteAfter<type, big> (p);
            const auto b = loadIntegerWithByteAfter<type, big> (p + sourceStride);
            lowestA = std::min (lowestA, a);
            highestA = std::max (highestA, a);
            lowestB = std::min (lowestB, b);
            highestB = std::max (highestB, b);
        }

        for (; i < numFrames; ++i)
        {
            const auto* const p = source + (std::size_t) i * (std::size_t) sourceStride;
            std::memcpy (target + (std::size_t) i * (std::size_t) targetStride, p, numBytes);
            const auto a = loadInteger<type, big> (p);
            lowestA = std::min (lowestA, a);
            highestA = std::max (highestA, a);
        }

        return std::max (-(double) std::min (lowestA, lowestB), (double) std::max (highestA, highestB));
    }
}

struct ColumnFunctions
{
    DecodeFunction decode;
    EncodeFunction encode;
    CopyFunction copy;
};

template <SampleType type, bool big>
ColumnFunctions columnFunctions() noexcept
{
    return { decodeColumn<type, big>, encodeColumn<type, big>, copyColumn<type, big> };
}

template <SampleType type>
ColumnFunctions columnFunctions (bool big) noexcept
{
    return big ? columnFunctions<type, true>() : columnFunctions<type, false>();
}

ColumnFunctions columnFunctionsFor (const SampleCoding& coding) noexcept
{
    switch (coding.type)
    {
        case SampleType::u8: return columnFunctions<SampleType::u8> (coding.bigEndian);
        case SampleType::s8: return columnFunctions<SampleType::s8> (coding.bigEndian);
        case SampleType::s16: return columnFunctions<SampleType::s16> (coding.bigEndian);
        case SampleType::s24: return columnFunctions<SampleType::s24> (coding.bigEndian);
        case SampleType::s32: return columnFunctions<SampleType::s32> (coding.bigEndian);
        case SampleType::f32: return columnFunctions<SampleType::f32> (coding.bigEndian);
        case SampleType::f64: return columnFunctions<SampleType::f64> (coding.bigEndian);
    }

    return columnFunctions<SampleType::f64> (false);
}

/** What a stored value of 1.0 (full scale) reads as in the coding. */
double storedFullScale (const SampleCoding& coding) noexcept
{
    return coding.isInteger() ? std::ldexp (1.0, 8 * coding.bytes() - 1) : 1.0;
}

/** What full scale is before the left-justifying shift of an output. */
double significantFullScale (const SampleCoding& coding) noexcept
{
    return coding.isInteger() ? std::ldexp (1.0, coding.bits - 1) : 1.0;
}
} // namespace

int SampleCoding::bytes() const noexcept
{
    return sampleBytes (type);
}

bool SampleCoding::sameLayout (const SampleCoding& other) const noexcept
{
    return type == other.type && (bytes() == 1 || bigEndian == other.bigEndian) && (! isInteger() || bits == other.bits);
}

std::optional<SampleCoding> rawSampleCoding (int sndfileFormat, bool needsEndSwap) noexcept
{
    SampleCoding coding;
    coding.bigEndian = needsEndSwap != machineIsBigEndian;

    switch (sndfileFormat & SF_FORMAT_SUBMASK)
    {
        case SF_FORMAT_PCM_U8: coding.type = SampleType::u8; break;
        case SF_FORMAT_PCM_S8: coding.type = SampleType::s8; break;
        case SF_FORMAT_PCM_16: coding.type = SampleType::s16; break;
        case SF_FORMAT_PCM_24: coding.type = SampleType::s24; break;
        case SF_FORMAT_PCM_32: coding.type = SampleType::s32; break;
        case SF_FORMAT_FLOAT: coding.type = SampleType::f32; break;
        case SF_FORMAT_DOUBLE: coding.type = SampleType::f64; break;
        default: return std::nullopt;
    }

    // Containers whose audio is one plain block of these samples; FLAC reports PCM subtypes too.
    switch (sndfileFormat & SF_FORMAT_TYPEMASK)
    {
        case SF_FORMAT_WAV:
        case SF_FORMAT_WAVEX:
        case SF_FORMAT_W64:
        case SF_FORMAT_RF64:
        case SF_FORMAT_AIFF:
        case SF_FORMAT_CAF:
        case SF_FORMAT_AU: break;
        default: return std::nullopt;
    }

    coding.bits = 8 * coding.bytes();
    return coding;
}

SampleCoding nativeIntCoding (int bits) noexcept
{
    SampleCoding coding;
    coding.type = SampleType::s32;
    coding.bigEndian = machineIsBigEndian;
    coding.bits = bits;
    return coding;
}

SampleCoding nativeDoubleCoding() noexcept
{
    SampleCoding coding;
    coding.type = SampleType::f64;
    coding.bigEndian = machineIsBigEndian;
    return coding;
}

struct SampleKernel::Channel
{
    int sourceOffset = 0;
    int targetOffset = 0;
    bool copy = false;
    double factor = 1.0; // from stored input units to significant output units
    double peakScale = 1.0; // from the measured units to full scale = 1
    int bits = 32;
    bool countOverFullScale = false;
    DecodeFunction decode = nullptr;
    EncodeFunction encode = nullptr;
    CopyFunction copyColumn = nullptr;
};

SampleKernel::SampleKernel (ChannelMap map, SampleCoding input, SampleCoding output, Path path)
    : inputFrame (input.bytes() * map.numChannels()),
      outputFrame (output.bytes() * map.numChannels())
{
    if (map.factor.size() != map.source.size())
        throw std::invalid_argument ("a channel map needs one factor per output channel");

    const auto in = columnFunctionsFor (input);
    const auto out = columnFunctionsFor (output);

    for (int c = 0; c < map.numChannels(); ++c)
    {
        const auto source = map.source[(size_t) c];

        if (source < 0 || source >= map.numChannels())
            throw std::invalid_argument ("a channel map names a channel the file does not have");

        Channel channel;
        channel.sourceOffset = source * input.bytes();
        channel.targetOffset = c * output.bytes();
        channel.copy = map.factor[(size_t) c] == 1.0 && input.sameLayout (output) && ! output.countOverFullScale;
        channel.bits = output.bits;
        channel.countOverFullScale = output.countOverFullScale;
        channel.decode = in.decode;
        channel.encode = out.encode;
        channel.copyColumn = in.copy;

        // Powers of two only: the factor is the one rounding before the final one.
        channel.factor = map.factor[(size_t) c] * significantFullScale (output) / storedFullScale (input);
        channel.peakScale = channel.copy ? 1.0 / storedFullScale (input) : 1.0 / significantFullScale (output);
        channels.push_back (channel);
    }

    if (path == Path::fastest && input.sameLayout (output) && ! output.countOverFullScale)
    {
        std::vector<FrameKernel::Channel> frameChannels;

        for (size_t c = 0; c < channels.size(); ++c)
            frameChannels.push_back ({ map.source[c], channels[c].copy, channels[c].factor });

        if (auto whole = FrameKernel::create (frameChannels, input))
            frameKernel = std::make_unique<const FrameKernel> (*whole);
    }
}

SampleKernel::~SampleKernel() = default;

void SampleKernel::convert (const unsigned char* input, unsigned char* output, int numFrames, KernelStats& stats) const
{
    stats.peaks.resize (channels.size(), 0.0);

    // Whole frames first, where the coding allows; the frames left go channel by channel.
    int whole = 0;

    if (frameKernel != nullptr)
    {
        std::vector<double> peaks (channels.size(), 0.0);
        whole = frameKernel->convert (input, output, numFrames, peaks.data(), stats.clippedSamples);

        for (size_t c = 0; c < channels.size(); ++c)
            stats.peaks[c] = std::max (stats.peaks[c], peaks[c] * channels[c].peakScale);
    }

    double values[chunkFrames];

    for (int start = whole; start < numFrames; start += chunkFrames)
    {
        const int frames = std::min (chunkFrames, numFrames - start);
        const auto* const in = input + (std::size_t) start * (std::size_t) inputFrame;
        auto* const out = output + (std::size_t) start * (std::size_t) outputFrame;

        for (size_t c = 0; c < channels.size(); ++c)
        {
            const auto& channel = channels[c];
            const auto* const source = in + channel.sourceOffset;
            auto* const target = out + channel.targetOffset;
            double peak;

            if (channel.copy)
            {
                peak = channel.copyColumn (source, inputFrame, target, outputFrame, frames);
            }
            else
            {
                peak = channel.decode (source, inputFrame, frames, channel.factor, values);
                stats.clippedSamples += channel.encode (values, frames, target, outputFrame, channel.bits,
                                                        channel.countOverFullScale);
            }

            stats.peaks[c] = std::max (stats.peaks[c], peak * channel.peakScale);
        }
    }
}
} // namespace ortholume::converter
