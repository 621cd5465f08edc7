#include "ConversionKernel.h"

#include "Smoothing.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <type_traits>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define ORTHOLUME_KERNEL_SSE 1
// Wider sets are compiled in beside SSE2 and chosen when the processor has them.
#define ORTHOLUME_KERNEL_WIDER_SETS 1
#else
#define ORTHOLUME_KERNEL_SSE 0
#define ORTHOLUME_KERNEL_WIDER_SETS 0
#endif

namespace ortholume
{
namespace
{
// The kernel is written once over a "lane" type: several frames at a time in
// vector registers, and one frame at a time for the tail. All do the same IEEE
// single operations in the same order, so the results are those of the plain
// loops, whatever the width.
struct Single
{
    float v;

#if ! ORTHOLUME_KERNEL_SSE
    static constexpr int width = 1; // the widest lane where there are no vector registers
#endif
    static Single load (const float* p) noexcept
    {
        return { *p };
    }
    static Single broadcast (float x) noexcept { return { x }; }
    void store (float* p) const noexcept { *p = v; }
    float largest() const noexcept { return v; }
};

inline Single operator* (Single a, Single b) noexcept { return { a.v * b.v }; }
inline Single operator+ (Single a, Single b) noexcept { return { a.v + b.v }; }
inline Single operator- (Single a, Single b) noexcept { return { a.v - b.v }; }

/** The larger of a running peak and a sample's magnitude; a NaN sample leaves the peak alone. */
inline Single magnitudeMax (Single peak, Single x) noexcept
{
    const float magnitude = std::fabs (x.v);
    return { magnitude > peak.v ? magnitude : peak.v };
}

/** The larger of two peaks, neither of them NaN. */
inline float larger (float a, float b) noexcept { return b > a ? b : a; }

#if ORTHOLUME_KERNEL_SSE
struct Quad
{
    __m128 v;

    static constexpr int width = 4;
    static Quad load (const float* p) noexcept { return { _mm_loadu_ps (p) }; }
    static Quad broadcast (float x) noexcept { return { _mm_set1_ps (x) }; }
    void store (float* p) const noexcept { _mm_storeu_ps (p, v); }

    float largest() const noexcept
    {
        float lanes[width];
        _mm_storeu_ps (lanes, v);
        float peak = 0.0f;

        for (auto lane : lanes)
            peak = larger (peak, lane);

        return peak;
    }
};

inline Quad operator* (Quad a, Quad b) noexcept { return { _mm_mul_ps (a.v, b.v) }; }
inline Quad operator+ (Quad a, Quad b) noexcept { return { _mm_add_ps (a.v, b.v) }; }
inline Quad operator- (Quad a, Quad b) noexcept { return { _mm_sub_ps (a.v, b.v) }; }

inline Quad magnitudeMax (Quad peak, Quad x) noexcept
{
    const __m128 magnitude = _mm_andnot_ps (_mm_set1_ps (-0.0f), x.v);
    return { _mm_max_ps (magnitude, peak.v) }; // takes the second operand when the first is NaN
}

/** True unless the host has set a directed rounding mode, under which a
    negative sample's product no longer has the magnitude of a positive one's. */
inline bool roundsToNearest() noexcept
{
    return (_mm_getcsr() & _MM_ROUND_MASK) == _MM_ROUND_NEAREST;
}
#else
inline bool roundsToNearest() noexcept
{
    return false;
}
#endif

enum class Mix
{
    gliding, // the position moves every sample
    crossfade, // a constant position: a glide that settled short of its target
    fumaToAmbix,
    ambixToFuma
};

/** What the stages apply to a stretch of frames: per-sample values where they glide. */
struct Values
{
    const float* w;
    const float* m;
    const float* gain;
    float wConstant;
    float mConstant;
    float gainConstant;
};

/** The three stages over a block, held in locals while it converts: W scale, crossfade position, gain. */
struct Chain
{
    float current[numSmoothedStages];
    float target[numSmoothedStages];
    bool moving[numSmoothedStages];
    bool mixCrossfades;
};

struct BlockPeaks
{
    float in[4] {}, out[4] {};

    void add (const BlockPeaks& other) noexcept
    {
        for (int c = 0; c < 4; ++c)
        {
            in[c] = larger (in[c], other.in[c]);
            out[c] = larger (out[c], other.out[c]);
        }
    }
};

float peakOf (const float* samples, int numSamples) noexcept
{
    Single peak { 0.0f };

    for (int i = 0; i < numSamples; ++i)
        peak = magnitudeMax (peak, Single::load (samples + i));

    return peak.largest();
}

/** A settled permutation's output peaks from its input peaks: rounding to
    nearest is monotonic and symmetric, so the largest magnitude of x * g is
    that of the largest |x| times |g|. Where that product is NaN (Inf times 0),
    every output is 0 or NaN, which carries no level. Under another rounding
    mode the outputs are measured instead. */
void derivePermutedPeaks (bool fumaToAmbix, float* const* channels, int begin, int end, const Values& values,
                          BlockPeaks& peaks) noexcept
{
    const int source[4] = { 0, fumaToAmbix ? 2 : 3, fumaToAmbix ? 3 : 1, fumaToAmbix ? 1 : 2 };
    const float gain = std::fabs (values.gainConstant);
    const bool derivable = roundsToNearest();

    for (int c = 0; c < 4; ++c)
    {
        const float peak = c == 0 ? (std::fabs (values.wConstant) * peaks.in[0]) * gain : peaks.in[source[c]] * gain;
        peaks.out[c] = ! derivable ? peakOf (channels[c] + begin, end - begin) : std::isnan (peak) ? 0.0f
                                                                                                   : peak;
    }
}

using ConvertBlock = void (*) (float* const*, int, Chain&, BlockPeaks&) noexcept;

namespace baseline
{
#define ORTHOLUME_KERNEL_TARGET
#if ORTHOLUME_KERNEL_SSE
using Wide = Quad;
#else
using Wide = Single;
#endif
// Samples stepped ahead of the conversion, a whole number of the widest lanes:
// what measured fastest for each set.
constexpr int chunkFrames = 16;
#include "ConversionKernelBody.h"
#undef ORTHOLUME_KERNEL_TARGET
} // namespace baseline

#if ORTHOLUME_KERNEL_WIDER_SETS
namespace avx2
{
#define ORTHOLUME_KERNEL_TARGET __attribute__ ((target ("avx2")))
struct Wide
{
    __m256 v;

    static constexpr int width = 8;
    ORTHOLUME_KERNEL_TARGET static Wide load (const float* p) noexcept { return { _mm256_loadu_ps (p) }; }
    ORTHOLUME_KERNEL_TARGET static Wide broadcast (float x) noexcept { return { _mm256_set1_ps (x) }; }
    ORTHOLUME_KERNEL_TARGET void store (float* p) const noexcept { _mm256_storeu_ps (p, v); }

    ORTHOLUME_KERNEL_TARGET float largest() const noexcept
    {
        float lanes[width];
        _mm256_storeu_ps (lanes, v);
        float peak = 0.0f;

        for (auto lane : lanes)
            peak = larger (peak, lane);

        return peak;
    }
};

ORTHOLUME_KERNEL_TARGET inline Wide operator* (Wide a, Wide b) noexcept { return { _mm256_mul_ps (a.v, b.v) }; }
ORTHOLUME_KERNEL_TARGET inline Wide operator+ (Wide a, Wide b) noexcept { return { _mm256_add_ps (a.v, b.v) }; }
ORTHOLUME_KERNEL_TARGET inline Wide operator- (Wide a, Wide b) noexcept { return { _mm256_sub_ps (a.v, b.v) }; }

ORTHOLUME_KERNEL_TARGET inline Wide magnitudeMax (Wide peak, Wide x) noexcept
{
    const __m256 magnitude = _mm256_andnot_ps (_mm256_set1_ps (-0.0f), x.v);
    return { _mm256_max_ps (magnitude, peak.v) }; // takes the second operand when the first is NaN
}

constexpr int chunkFrames = 32;
#include "ConversionKernelBody.h"
#undef ORTHOLUME_KERNEL_TARGET
} // namespace avx2

namespace avx512
{
#define ORTHOLUME_KERNEL_TARGET __attribute__ ((target ("avx512f")))
struct Wide
{
    __m512 v;

    static constexpr int width = 16;
    ORTHOLUME_KERNEL_TARGET static Wide load (const float* p) noexcept { return { _mm512_loadu_ps (p) }; }
    ORTHOLUME_KERNEL_TARGET static Wide broadcast (float x) noexcept { return { _mm512_set1_ps (x) }; }
    ORTHOLUME_KERNEL_TARGET void store (float* p) const noexcept { _mm512_storeu_ps (p, v); }

    ORTHOLUME_KERNEL_TARGET float largest() const noexcept
    {
        float lanes[width];
        _mm512_storeu_ps (lanes, v);
        float peak = 0.0f;

        for (auto lane : lanes)
            peak = larger (peak, lane);

        return peak;
    }
};

ORTHOLUME_KERNEL_TARGET inline Wide operator* (Wide a, Wide b) noexcept { return { _mm512_mul_ps (a.v, b.v) }; }
ORTHOLUME_KERNEL_TARGET inline Wide operator+ (Wide a, Wide b) noexcept { return { _mm512_add_ps (a.v, b.v) }; }
ORTHOLUME_KERNEL_TARGET inline Wide operator- (Wide a, Wide b) noexcept { return { _mm512_sub_ps (a.v, b.v) }; }

ORTHOLUME_KERNEL_TARGET inline Wide magnitudeMax (Wide peak, Wide x) noexcept
{
    // AVX-512F clears the sign bit only as an integer operation: the same bits.
    const __m512i bits = _mm512_and_si512 (_mm512_set1_epi32 (0x7fffffff), _mm512_castps_si512 (x.v));
    // Takes the second operand when the first is NaN. The masked form with every
    // lane set is the same instruction, without the undefined source operand that
    // GCC 12's plain form warns about.
    return { _mm512_maskz_max_ps ((__mmask16) 0xffff, _mm512_castsi512_ps (bits), peak.v) };
}

constexpr int chunkFrames = 32;
#include "ConversionKernelBody.h"
#undef ORTHOLUME_KERNEL_TARGET
} // namespace avx512
#endif

// -1 while no set is chosen: the widest available one is used.
std::atomic<int> chosenSet { -1 };

ConvertBlock convertBlockFor (InstructionSet set) noexcept
{
    switch (set)
    {
#if ORTHOLUME_KERNEL_WIDER_SETS
        case InstructionSet::avx512: return avx512::convertBlock;
        case InstructionSet::avx2: return avx2::convertBlock;
#endif
        default: return baseline::convertBlock;
    }
}
} // namespace

void convertFourChannelsInPlace (float* const* channels, int numSamples,
                                 std::array<StageState, numSmoothedStages>& stages,
                                 ChannelPeaks& inputPeaks, ChannelPeaks& outputPeaks) noexcept
{
    // The same per-block decision as prepareStages; a stage whose first step would
    // not move it (one that settled short of its target) converts as a constant.
    Chain chain;

    for (int s = 0; s < numSmoothedStages; ++s)
    {
        const auto& stage = stages[(size_t) s];
        const bool glides = isGliding (stage.current, stage.target);
        chain.current[s] = glides ? stage.current : stage.target;
        chain.target[s] = stage.target;
        chain.moving[s] = glides && smoothingStep (stage.current, stage.target) != stage.current;
    }

    chain.mixCrossfades = isGliding (stages[1].current, stages[1].target);

    const int chosen = chosenSet.load (std::memory_order_relaxed);
    const auto set = chosen >= 0 ? (InstructionSet) chosen : getWidestAvailable();
    BlockPeaks peaks;
    convertBlockFor (set) (channels, numSamples, chain, peaks);

    for (int s = 0; s < numSmoothedStages; ++s)
        stages[(size_t) s].current = chain.current[s];

    for (int c = 0; c < 4; ++c)
    {
        inputPeaks[(size_t) c] = peaks.in[c];
        outputPeaks[(size_t) c] = peaks.out[c];
    }
}

float peakMagnitude (const float* samples, int numSamples) noexcept
{
    return peakOf (samples, numSamples);
}

const char* getName (InstructionSet set) noexcept
{
    switch (set)
    {
        case InstructionSet::avx2: return "AVX2";
        case InstructionSet::avx512: return "AVX-512";
        default: return ORTHOLUME_KERNEL_SSE ? "SSE2" : "portable";
    }
}

bool isAvailable (InstructionSet set) noexcept
{
    switch (set)
    {
#if ORTHOLUME_KERNEL_WIDER_SETS
        // These read what the run-time library found out at start-up, the
        // operating system's support for the wider registers included.
        case InstructionSet::avx2: return __builtin_cpu_supports ("avx2");
        case InstructionSet::avx512: return __builtin_cpu_supports ("avx512f");
#endif
        case InstructionSet::baseline: return true;
        default: return false;
    }
}

InstructionSet getWidestAvailable() noexcept
{
    for (auto it = allInstructionSets.rbegin(); it != allInstructionSets.rend(); ++it)
        if (isAvailable (*it))
            return *it;

    return InstructionSet::baseline;
}

void useInstructionSet (InstructionSet set) noexcept
{
    chosenSet.store (isAvailable (set) ? (int) set : -1, std::memory_order_relaxed);
}

void useWidestInstructionSet() noexcept
{
    chosenSet.store (-1, std::memory_order_relaxed);
}
} // namespace ortholume
