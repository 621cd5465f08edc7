#include "ConversionKernel.h"

#include <cmath>

#if defined(__SSE2__) || defined(_M_X64)
 #include <emmintrin.h>
 #define ORTHOLUME_KERNEL_SSE 1
#endif

namespace ortholume
{
namespace
{
// The kernel is written once over a "lane" type: four frames at a time in SSE
// registers, and one frame at a time for the tail. Both do the same IEEE single
// operations in the same order, so the results are those of the plain loops.
struct Single
{
    float v;

    static Single load (const float* p) noexcept { return { *p }; }
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

#if ORTHOLUME_KERNEL_SSE
struct Quad
{
    __m128 v;

    static Quad load (const float* p) noexcept { return { _mm_loadu_ps (p) }; }
    static Quad broadcast (float x) noexcept { return { _mm_set1_ps (x) }; }
    void store (float* p) const noexcept { _mm_storeu_ps (p, v); }
    static constexpr int width = 4;

    float largest() const noexcept
    {
        alignas (16) float lanes[4];
        _mm_store_ps (lanes, v);
        float peak = 0.0f;

        for (auto lane : lanes)
            peak = lane > peak ? lane : peak;

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
#endif

enum class Mix
{
    crossfade,
    fumaToAmbix,
    ambixToFuma
};

template <Mix mix, bool wGlides, bool gainGlides>
struct Kernel
{
    /** Everything a block reads, held in locals: the compiler can then keep it in
        registers, since no store into the audio can change it. */
    struct Block
    {
        float* channels[4];
        const float* w;
        const float* m;
        const float* gain;
        float wConstant;
        float gainConstant;
    };

    template <typename Lane>
    static void frames (const Block& block, int i, Lane (&inPeaks)[4], Lane (&outPeaks)[4]) noexcept
    {
        // All four inputs are read before anything is written: the buffer is converted in place.
        const Lane in[4] = { Lane::load (block.channels[0] + i), Lane::load (block.channels[1] + i),
                             Lane::load (block.channels[2] + i), Lane::load (block.channels[3] + i) };

        const Lane wi = wGlides ? Lane::load (block.w + i) : Lane::broadcast (block.wConstant);
        const Lane gi = gainGlides ? Lane::load (block.gain + i) : Lane::broadcast (block.gainConstant);

        Lane y, z, x;

        if constexpr (mix == Mix::crossfade)
        {
            const Lane mi = Lane::load (block.m + i);
            const Lane keep = Lane::broadcast (1.0f) - mi;
            y = keep * in[2] + mi * in[3];
            z = keep * in[3] + mi * in[1];
            x = keep * in[1] + mi * in[2];
        }
        else if constexpr (mix == Mix::fumaToAmbix)
        {
            y = in[2]; z = in[3]; x = in[1];
        }
        else
        {
            y = in[3]; z = in[1]; x = in[2];
        }

        const Lane out[4] = { (wi * in[0]) * gi, y * gi, z * gi, x * gi };

        for (int c = 0; c < 4; ++c)
        {
            inPeaks[c] = magnitudeMax (inPeaks[c], in[c]);
            outPeaks[c] = magnitudeMax (outPeaks[c], out[c]);
            out[c].store (block.channels[c] + i);
        }
    }

    static void run (float* const* channels, int numSamples, const StageValues& w, const StageValues& m,
                     const StageValues& gain, ChannelPeaks& inputPeaks, ChannelPeaks& outputPeaks) noexcept
    {
        const Block block { { channels[0], channels[1], channels[2], channels[3] },
                            w.perSample, m.perSample, gain.perSample, w.constant, gain.constant };
        int i = 0;
        Single inTail[4] {}, outTail[4] {};

       #if ORTHOLUME_KERNEL_SSE
        Quad inQuads[4], outQuads[4];

        for (int c = 0; c < 4; ++c)
            inQuads[c] = outQuads[c] = Quad::broadcast (0.0f);

        for (; i + Quad::width <= numSamples; i += Quad::width)
            frames (block, i, inQuads, outQuads);

        for (int c = 0; c < 4; ++c)
        {
            inTail[c] = Single { inQuads[c].largest() };
            outTail[c] = Single { outQuads[c].largest() };
        }
       #endif

        for (; i < numSamples; ++i)
            frames (block, i, inTail, outTail);

        for (int c = 0; c < 4; ++c)
        {
            inputPeaks[(size_t) c] = inTail[c].largest();
            outputPeaks[(size_t) c] = outTail[c].largest();
        }
    }
};

template <Mix mix>
void runForMix (float* const* channels, int numSamples, const StageValues& w, const StageValues& m,
                const StageValues& gain, ChannelPeaks& inputPeaks, ChannelPeaks& outputPeaks) noexcept
{
    if (w.isGliding())
    {
        if (gain.isGliding())
            Kernel<mix, true, true>::run (channels, numSamples, w, m, gain, inputPeaks, outputPeaks);
        else
            Kernel<mix, true, false>::run (channels, numSamples, w, m, gain, inputPeaks, outputPeaks);
    }
    else
    {
        if (gain.isGliding())
            Kernel<mix, false, true>::run (channels, numSamples, w, m, gain, inputPeaks, outputPeaks);
        else
            Kernel<mix, false, false>::run (channels, numSamples, w, m, gain, inputPeaks, outputPeaks);
    }
}
} // namespace

void convertFourChannelsInPlace (float* const* channels, int numSamples,
                                 StageValues w, StageValues mix, StageValues gain,
                                 ChannelPeaks& inputPeaks, ChannelPeaks& outputPeaks) noexcept
{
    if (mix.isGliding())
        runForMix<Mix::crossfade> (channels, numSamples, w, mix, gain, inputPeaks, outputPeaks);
    else if (mix.constant == 0.0f)
        runForMix<Mix::fumaToAmbix> (channels, numSamples, w, mix, gain, inputPeaks, outputPeaks);
    else
        runForMix<Mix::ambixToFuma> (channels, numSamples, w, mix, gain, inputPeaks, outputPeaks);
}

float peakMagnitude (const float* samples, int numSamples) noexcept
{
    Single peak { 0.0f };

    for (int i = 0; i < numSamples; ++i)
        peak = magnitudeMax (peak, Single::load (samples + i));

    return peak.largest();
}
} // namespace ortholume
