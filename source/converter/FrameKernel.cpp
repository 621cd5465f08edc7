#include "FrameKernel.h"

#include "engine/ConversionMode.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define ORTHOLUME_FRAME_KERNEL 1
// Byte shuffles and four doubles at a time; used where the processor has them.
#define ORTHOLUME_FRAME_KERNEL_TARGET __attribute__ ((target ("avx2")))
#else
#define ORTHOLUME_FRAME_KERNEL 0
#endif

namespace ortholume::converter
{
namespace
{
constexpr unsigned char zeroByte = 0x80; // a shuffle index that yields 0
constexpr int wordBytes = 4; // a 32-bit lane

/** Whole frames in a vector: four of 8-bit samples, two of 16-bit, one of 24 or 32. */
constexpr int framesPerVector (SampleType type) noexcept
{
    return FrameKernel::vectorBytes / (firstOrderChannels * sampleBytes (type));
}

/** The lanes the moved channels are measured in: the sample's own width, or a
    32-bit lane with a 24-bit sample in its top three bytes. */
constexpr int laneBytes (SampleType type) noexcept
{
    return type == SampleType::s24 ? wordBytes : sampleBytes (type);
}

#if ORTHOLUME_FRAME_KERNEL
/** Widens each lane's running range of integer values to take in `lanes`. */
template <SampleType type>
ORTHOLUME_FRAME_KERNEL_TARGET inline void widenRange (__m128i& lowest, __m128i& highest, __m128i lanes) noexcept
{
    if constexpr (type == SampleType::u8)
    {
        lowest = _mm_min_epu8 (lowest, lanes);
        highest = _mm_max_epu8 (highest, lanes);
    }
    else if constexpr (type == SampleType::s8)
    {
        lowest = _mm_min_epi8 (lowest, lanes);
        highest = _mm_max_epi8 (highest, lanes);
    }
    else if constexpr (type == SampleType::s16)
    {
        lowest = _mm_min_epi16 (lowest, lanes);
        highest = _mm_max_epi16 (highest, lanes);
    }
    else
    {
        lowest = _mm_min_epi32 (lowest, lanes);
        highest = _mm_max_epi32 (highest, lanes);
    }
}

/** A measuring lane's value in the units its sample is stored in. */
template <SampleType type>
std::int32_t laneValue (const unsigned char* lane) noexcept
{
    if constexpr (type == SampleType::u8)
    {
        return (std::int32_t) *lane - unsignedSampleOffset;
    }
    else if constexpr (type == SampleType::s8)
    {
        return (std::int32_t) (std::int8_t) *lane;
    }
    else if constexpr (type == SampleType::s16)
    {
        std::int16_t value;
        std::memcpy (&value, lane, sizeof (value));
        return value;
    }
    else
    {
        std::int32_t value;
        std::memcpy (&value, lane, sizeof (value));
        return type == SampleType::s24 ? value >> 8 : value;
    }
}

/** What scaling a group's samples needs, set up once per call. */
struct ScaleConstants
{
    __m256d factor, magnitudeMask, rounding, highest, lowest;
    __m128i shift;
};

/** The scaled channel of four frames, each sample in the top bytes of its lane,
    computed as SampleKernel's column loops compute it; each result in the low
    bytes of its lane, as the output stores it. */
template <SampleType type>
ORTHOLUME_FRAME_KERNEL_TARGET inline __m128i scaleFour (__m128i samples, const ScaleConstants& k, __m256d& largest,
                                                        __m256i& clippedCounts) noexcept
{
    if constexpr (type == SampleType::f32)
    {
        const auto scaled = _mm256_mul_pd (_mm256_cvtps_pd (_mm_castsi128_ps (samples)), k.factor);
        largest = _mm256_max_pd (_mm256_and_pd (scaled, k.magnitudeMask), largest); // a NaN leaves it alone
        return _mm_castps_si128 (_mm256_cvtpd_ps (scaled));
    }
    else
    {
        __m128i values = samples;

        if constexpr (type == SampleType::u8)
            values = _mm_sub_epi32 (_mm_srli_epi32 (samples, 24), _mm_set1_epi32 (unsignedSampleOffset));
        else if constexpr (type != SampleType::s32)
            values = _mm_srai_epi32 (samples, 8 * (wordBytes - sampleBytes (type)));

        const auto scaled = _mm256_mul_pd (_mm256_cvtepi32_pd (values), k.factor);
        largest = _mm256_max_pd (_mm256_and_pd (scaled, k.magnitudeMask), largest);

        const auto rounded = _mm256_sub_pd (_mm256_add_pd (scaled, k.rounding), k.rounding);

        // A clipped lane's mask is -1: taking it away counts one.
        const auto beyond = _mm256_or_pd (_mm256_cmp_pd (rounded, k.highest, _CMP_GT_OQ), _mm256_cmp_pd (rounded, k.lowest, _CMP_LT_OQ));
        clippedCounts = _mm256_sub_epi64 (clippedCounts, _mm256_castpd_si256 (beyond));

        // Left-justified where the type is wider than the significant bits.
        auto results = _mm_sll_epi32 (_mm256_cvttpd_epi32 (_mm256_min_pd (_mm256_max_pd (rounded, k.lowest), k.highest)), k.shift);

        if constexpr (type == SampleType::u8)
            results = _mm_add_epi32 (results, _mm_set1_epi32 (unsignedSampleOffset));

        return results;
    }
}

inline __m128i loadMask (const FrameKernel::Layout::Mask& mask) noexcept
{
    return _mm_loadu_si128 (reinterpret_cast<const __m128i*> (mask.data()));
}

template <SampleType type, bool widen, bool scaled>
ORTHOLUME_FRAME_KERNEL_TARGET void convertGroups (const FrameKernel::Layout& layout, const unsigned char* input,
                                                  unsigned char* output, int numGroups, double* peaks,
                                                  std::uint64_t& clipped)
{
    constexpr int vectorsPerGroup = FrameKernel::framesPerGroup / framesPerVector (type);
    constexpr int step = framesPerVector (type) * firstOrderChannels * sampleBytes (type);
    constexpr int groupBytes = vectorsPerGroup * step;

    const auto permute = loadMask (layout.permute);
    const auto widening = loadMask (layout.widen);
    __m128i gather[vectorsPerGroup], place[vectorsPerGroup];

    for (int v = 0; v < vectorsPerGroup; ++v)
    {
        gather[v] = loadMask (layout.gather[(size_t) v]);
        place[v] = loadMask (layout.place[(size_t) v]);
    }

    const ScaleConstants constants { _mm256_set1_pd (layout.factor),
                                     _mm256_castsi256_pd (_mm256_set1_epi64x (0x7fffffffffffffff)),
                                     _mm256_set1_pd (roundingConstant),
                                     _mm256_set1_pd (std::ldexp (1.0, layout.bits - 1) - 1.0),
                                     _mm256_set1_pd (-std::ldexp (1.0, layout.bits - 1)),
                                     _mm_cvtsi32_si128 (8 * sampleBytes (type) - layout.bits) };

    // The moved channels: integers' lowest and highest values, floats' largest
    // magnitudes (the operands' order lets a NaN leave them alone).
    auto lowest = type == SampleType::u8 ? _mm_set1_epi8 (-1) : _mm_setzero_si128();
    auto highest = _mm_setzero_si128();
    auto largestMoved = _mm_setzero_ps();
    const auto floatMagnitude = _mm_castsi128_ps (_mm_set1_epi32 (0x7fffffff));

    // The scaled channel's largest magnitude before rounding, and its clipped samples.
    auto largestScaled = _mm256_setzero_pd();
    auto clippedCounts = _mm256_setzero_si256();

    for (int g = 0; g < numGroups; ++g)
    {
        const auto* const in = input + (std::size_t) g * groupBytes;
        auto* const out = output + (std::size_t) g * groupBytes;
        __m128i frames[vectorsPerGroup];

        for (int v = 0; v < vectorsPerGroup; ++v)
            frames[v] = _mm_loadu_si128 (reinterpret_cast<const __m128i*> (in + v * step));

        __m128i results = _mm_setzero_si128();

        if constexpr (scaled)
        {
            auto samples = _mm_shuffle_epi8 (frames[0], gather[0]);

            for (int v = 1; v < vectorsPerGroup; ++v)
                samples = _mm_or_si128 (samples, _mm_shuffle_epi8 (frames[v], gather[v]));

            results = scaleFour<type> (samples, constants, largestScaled, clippedCounts);
        }

        for (int v = 0; v < vectorsPerGroup; ++v)
        {
            auto moved = _mm_shuffle_epi8 (frames[v], permute);

            if constexpr (scaled)
                moved = _mm_or_si128 (moved, _mm_shuffle_epi8 (results, place[v]));

            _mm_storeu_si128 (reinterpret_cast<__m128i*> (out + v * step), moved);

            const auto lanes = widen ? _mm_shuffle_epi8 (moved, widening) : moved;

            if constexpr (type == SampleType::f32)
            {
                largestMoved = _mm_max_ps (_mm_and_ps (_mm_castsi128_ps (lanes), floatMagnitude), largestMoved);
            }
            else
            {
                widenRange<type> (lowest, highest, lanes);
            }
        }
    }

    alignas (16) unsigned char low[FrameKernel::vectorBytes], high[FrameKernel::vectorBytes];
    alignas (16) float magnitudes[FrameKernel::vectorBytes / sizeof (float)];
    _mm_store_si128 (reinterpret_cast<__m128i*> (low), lowest);
    _mm_store_si128 (reinterpret_cast<__m128i*> (high), highest);
    _mm_store_ps (magnitudes, largestMoved);

    constexpr int bytes = laneBytes (type);

    for (int lane = 0; lane < FrameKernel::vectorBytes / bytes; ++lane)
    {
        const auto channel = layout.channelOfLane[(size_t) lane];

        if (channel < 0)
            continue;

        double magnitude;

        if constexpr (type == SampleType::f32)
            magnitude = (double) magnitudes[lane];
        else
            magnitude = std::max (-(double) laneValue<type> (low + lane * bytes), (double) laneValue<type> (high + lane * bytes));

        peaks[channel] = std::max (peaks[channel], magnitude);
    }

    if constexpr (scaled)
    {
        alignas (32) double magnitudesScaled[FrameKernel::framesPerGroup];
        alignas (32) std::int64_t counts[FrameKernel::framesPerGroup];
        _mm256_store_pd (magnitudesScaled, largestScaled);
        _mm256_store_si256 (reinterpret_cast<__m256i*> (counts), clippedCounts);

        for (int j = 0; j < FrameKernel::framesPerGroup; ++j)
        {
            peaks[layout.scaledChannel] = std::max (peaks[layout.scaledChannel], magnitudesScaled[j]);
            clipped += (std::uint64_t) counts[j];
        }
    }
}

template <SampleType type>
FrameKernel::Function functionOf (bool widen, bool scaled) noexcept
{
    if (widen)
        return scaled ? convertGroups<type, true, true> : convertGroups<type, true, false>;

    return scaled ? convertGroups<type, false, true> : convertGroups<type, false, false>;
}

FrameKernel::Function functionFor (SampleType type, bool widen, bool scaled) noexcept
{
    switch (type)
    {
        case SampleType::u8: return functionOf<SampleType::u8> (widen, scaled);
        case SampleType::s8: return functionOf<SampleType::s8> (widen, scaled);
        case SampleType::s16: return functionOf<SampleType::s16> (widen, scaled);
        case SampleType::s24: return functionOf<SampleType::s24> (widen, scaled);
        case SampleType::s32: return functionOf<SampleType::s32> (widen, scaled);
        case SampleType::f32: return functionOf<SampleType::f32> (widen, scaled);
        case SampleType::f64: return nullptr;
    }

    return nullptr;
}
#endif
} // namespace

std::optional<FrameKernel> FrameKernel::create (const std::vector<Channel>& channels, const SampleCoding& coding)
{
#if ORTHOLUME_FRAME_KERNEL
    const auto numScaled = std::count_if (channels.begin(), channels.end(), [] (const Channel& c) { return ! c.copy; });

    if ((int) channels.size() != firstOrderChannels || coding.type == SampleType::f64 || numScaled > 1
        || ! __builtin_cpu_supports ("avx2"))
        return std::nullopt;

    const int bytes = coding.bytes();
    const bool widen = coding.type == SampleType::s24 || (bytes > 1 && coding.bigEndian);

    FrameKernel result;
    result.frameBytes = firstOrderChannels * bytes;
    result.framesInVector = framesPerVector (coding.type);
    result.function = functionFor (coding.type, widen, numScaled == 1);

    auto& layout = result.layout;
    layout.permute.fill (zeroByte);
    layout.widen.fill (zeroByte);
    layout.channelOfLane.fill (-1);
    layout.bits = coding.bits;

    for (auto& mask : layout.gather)
        mask.fill (zeroByte);

    for (auto& mask : layout.place)
        mask.fill (zeroByte);

    // Byte b of a sample, counted in the file's order, from the lowest (x86 lanes are little-endian).
    auto significance = [&] (int b) { return coding.bigEndian ? bytes - 1 - b : b; };
    const int lane = laneBytes (coding.type);

    for (int k = 0; k < result.framesInVector; ++k)
    {
        for (int c = 0; c < firstOrderChannels; ++c)
        {
            const auto& channel = channels[(size_t) c];
            const int sample = k * firstOrderChannels + c;
            const int at = k * result.frameBytes;

            if (channel.copy)
            {
                layout.channelOfLane[(size_t) sample] = (signed char) c;
            }
            else
            {
                layout.scaledChannel = c;
                layout.factor = channel.factor;
            }

            for (int b = 0; b < bytes; ++b)
            {
                if (channel.copy)
                    layout.permute[(size_t) (at + c * bytes + b)] = (unsigned char) (at + channel.source * bytes + b);

                layout.widen[(size_t) (sample * lane + lane - bytes + significance (b))] = (unsigned char) (at + c * bytes + b);
            }
        }
    }

    // The scaled channel of each group's frame j: into the top of lane j, and back from its low bytes.
    if (layout.scaledChannel >= 0)
    {
        const int source = channels[(size_t) layout.scaledChannel].source;

        for (int j = 0; j < framesPerGroup; ++j)
        {
            const int v = j / result.framesInVector;
            const int at = (j % result.framesInVector) * result.frameBytes;

            for (int b = 0; b < bytes; ++b)
            {
                layout.gather[(size_t) v][(size_t) (j * wordBytes + wordBytes - bytes + significance (b))] =
                    (unsigned char) (at + source * bytes + b);
                layout.place[(size_t) v][(size_t) (at + layout.scaledChannel * bytes + b)] =
                    (unsigned char) (j * wordBytes + significance (b));
            }
        }
    }

    return result;
#else
    (void) channels;
    (void) coding;
    return std::nullopt;
#endif
}

int FrameKernel::convert (const unsigned char* input, unsigned char* output, int numFrames, double* peaks,
                          std::uint64_t& clipped) const
{
    // A group's last vector may reach past its frames into the next: it must still lie within the block.
    const auto step = (std::int64_t) framesInVector * frameBytes;
    const auto groupBytes = (std::int64_t) framesPerGroup * frameBytes;
    const auto lastVectorEnd = (framesPerGroup / framesInVector - 1) * step + vectorBytes;
    const auto blockBytes = (std::int64_t) numFrames * frameBytes;

    if (blockBytes < lastVectorEnd)
        return 0;

    const auto numGroups = (int) std::min<std::int64_t> ((blockBytes - lastVectorEnd) / groupBytes + 1, numFrames / framesPerGroup);

    if (numGroups > 0)
        function (layout, input, output, numGroups, peaks, clipped);

    return numGroups * framesPerGroup;
}
} // namespace ortholume::converter
