// The conversion for one instruction set. ConversionKernel.cpp includes this
// file once per set, each time inside a namespace of its own, after defining
// ORTHOLUME_KERNEL_TARGET (the function attribute that selects the set, or
// nothing), `Wide` (the set's widest lane type) and chunkFrames (how many
// samples of a glide are stepped ahead of their conversion). Every function
// here carries the attribute, so that each copy of the templates is compiled
// for its set; what they call without it (the Single and Quad lanes, the
// smoothing step) needs no more than the baseline and is inlined into them.
//
// No include guard: it is included more than once on purpose.

template <typename Lane>
struct LanePeaks
{
    Lane in[4], out[4];

    ORTHOLUME_KERNEL_TARGET LanePeaks() noexcept
    {
        for (int c = 0; c < 4; ++c)
            in[c] = out[c] = Lane::broadcast (0.0f);
    }

    ORTHOLUME_KERNEL_TARGET void addTo (BlockPeaks& peaks, bool outputsMeasured) const noexcept
    {
        for (int c = 0; c < 4; ++c)
        {
            peaks.in[c] = larger (peaks.in[c], in[c].largest());

            if (outputsMeasured)
                peaks.out[c] = larger (peaks.out[c], out[c].largest());
        }
    }
};

/** Every lane width's running peaks over one stretch of frames. */
struct StretchPeaks
{
    LanePeaks<Wide> wide;
#if ORTHOLUME_KERNEL_SSE
    LanePeaks<Quad> quad;
#endif
    LanePeaks<Single> single;

    ORTHOLUME_KERNEL_TARGET void addTo (BlockPeaks& peaks, bool outputsMeasured) const noexcept
    {
        wide.addTo (peaks, outputsMeasured);
#if ORTHOLUME_KERNEL_SSE
        quad.addTo (peaks, outputsMeasured);
#endif
        single.addTo (peaks, outputsMeasured);
    }
};

template <Mix mix, bool wGlides, bool gainGlides, bool outputsMeasured>
struct Frames
{
    /** Converts the lane of frames starting at channel index i, whose per-sample
        stage values start at index j. */
    template <typename Lane>
    ORTHOLUME_KERNEL_TARGET static void convert (float* const* channels, int i, const Values& values, int j,
                                                 LanePeaks<Lane>& peaks) noexcept
    {
        // All four inputs are read before anything is written: the buffer is converted in place.
        const Lane in[4] = { Lane::load (channels[0] + i), Lane::load (channels[1] + i),
                             Lane::load (channels[2] + i), Lane::load (channels[3] + i) };

        const Lane wi = wGlides ? Lane::load (values.w + j) : Lane::broadcast (values.wConstant);
        const Lane gi = gainGlides ? Lane::load (values.gain + j) : Lane::broadcast (values.gainConstant);

        Lane y, z, x;

        if constexpr (mix == Mix::gliding || mix == Mix::crossfade)
        {
            const Lane mi = mix == Mix::gliding ? Lane::load (values.m + j) : Lane::broadcast (values.mConstant);
            const Lane keep = Lane::broadcast (1.0f) - mi;
            y = keep * in[2] + mi * in[3];
            z = keep * in[3] + mi * in[1];
            x = keep * in[1] + mi * in[2];
        }
        else if constexpr (mix == Mix::fumaToAmbix)
        {
            y = in[2];
            z = in[3];
            x = in[1];
        }
        else
        {
            y = in[3];
            z = in[1];
            x = in[2];
        }

        const Lane out[4] = { (wi * in[0]) * gi, y * gi, z * gi, x * gi };

        for (int c = 0; c < 4; ++c)
        {
            peaks.in[c] = magnitudeMax (peaks.in[c], in[c]);

            if constexpr (outputsMeasured)
                peaks.out[c] = magnitudeMax (peaks.out[c], out[c]);

            out[c].store (channels[c] + i);
        }
    }

    /** Frames begin to end, widest lanes first; per-sample values start at index j. */
    ORTHOLUME_KERNEL_TARGET static void convertStretch (float* const* channels, int begin, int end,
                                                        const Values& values, int j, StretchPeaks& peaks) noexcept
    {
        int i = begin;

        for (; i + Wide::width <= end; i += Wide::width)
            convert (channels, i, values, j + (i - begin), peaks.wide);

#if ORTHOLUME_KERNEL_SSE
        if constexpr (! std::is_same_v<Wide, Quad>)
            for (; i + Quad::width <= end; i += Quad::width)
                convert (channels, i, values, j + (i - begin), peaks.quad);
#endif

        for (; i < end; ++i)
            convert (channels, i, values, j + (i - begin), peaks.single);
    }
};

/** Frames begin to end with nothing gliding. */
template <Mix mix>
ORTHOLUME_KERNEL_TARGET void convertSettled (float* const* channels, int begin, int end, const Values& values,
                                             BlockPeaks& peaks) noexcept
{
    // A permutation's outputs are its inputs times constants, so their peaks follow from the inputs' peaks.
    constexpr bool outputsMeasured = mix == Mix::crossfade;
    StretchPeaks lanes;
    Frames<mix, false, false, outputsMeasured>::convertStretch (channels, begin, end, values, 0, lanes);

    BlockPeaks stretch;
    lanes.addTo (stretch, outputsMeasured);

    if constexpr (! outputsMeasured)
        derivePermutedPeaks (mix == Mix::fumaToAmbix, channels, begin, end, values, stretch);

    peaks.add (stretch);
}

/** Steps the gliding stages over the next count samples, writing each step's
    value; false once a stage's last step left it where it was, at the value its
    steps no longer change. Always inlined: a call would make the conversion's
    running peaks spill from their vector registers on every chunk. */
template <bool wGlides, bool mixGlides, bool gainGlides, int fixedCount = 0>
ORTHOLUME_KERNEL_TARGET __attribute__ ((always_inline)) inline bool
    stepStages (float (&into)[numSmoothedStages][chunkFrames], int variableCount, float (&current)[numSmoothedStages],
                const float (&target)[numSmoothedStages], bool (&moving)[numSmoothedStages]) noexcept
{
    // A whole chunk's count is a constant: a loop that cannot end early keeps the chains out of memory.
    const int count = fixedCount > 0 ? fixedCount : variableCount;
    // Locals, so that each chain stays in registers rather than passing through memory.
    float w = current[0], m = current[1], gain = current[2];
    const float before[numSmoothedStages] = { w, m, gain };

    for (int k = 0; k < count; ++k)
    {
        if constexpr (wGlides)
            into[0][k] = w = smoothingStep (w, target[0]);

        if constexpr (mixGlides)
            into[1][k] = m = smoothingStep (m, target[1]);

        if constexpr (gainGlides)
            into[2][k] = gain = smoothingStep (gain, target[2]);
    }

    current[0] = w;
    current[1] = m;
    current[2] = gain;

    constexpr bool glides[numSmoothedStages] = { wGlides, mixGlides, gainGlides };
    bool allMoving = true;

    for (int s = 0; s < numSmoothedStages; ++s)
    {
        if (glides[s])
        {
            moving[s] = current[s] != (count > 1 ? into[s][count - 2] : before[s]);
            allMoving = allMoving && moving[s];
        }
    }

    return allMoving;
}

/** Frames from begin on while the stages that glide keep moving: returns where
    it stopped, which is end unless a stage reached the value its steps no
    longer change (the chain then says which). The steps run a chunk ahead of
    the conversion that uses them, so the conversion fills the time each step
    waits on the one before. */
template <Mix mix, bool wGlides, bool gainGlides>
ORTHOLUME_KERNEL_TARGET int convertGliding (float* const* channels, int begin, int end, Chain& chain,
                                            BlockPeaks& peaks) noexcept
{
    static_assert (chunkFrames % Wide::width == 0, "a whole chunk is converted in the widest lanes");
    constexpr bool mixGlides = mix == Mix::gliding;
    constexpr bool glides[numSmoothedStages] = { wGlides, mixGlides, gainGlides };
    using Converter = Frames<mix, wGlides, gainGlides, true>;

    float stepped[2][numSmoothedStages][chunkFrames];
    float current[numSmoothedStages], target[numSmoothedStages];
    bool moving[numSmoothedStages];

    for (int s = 0; s < numSmoothedStages; ++s)
    {
        current[s] = chain.current[s];
        target[s] = chain.target[s];
        moving[s] = glides[s];
    }

    const Values constants { nullptr, nullptr, nullptr, current[0], current[1], current[2] };

    StretchPeaks lanes;
    int i = begin, count = std::min (chunkFrames, end - begin), buffer = 0;
    bool allMoving = count == chunkFrames
                         ? stepStages<wGlides, mixGlides, gainGlides, chunkFrames> (stepped[0], count, current, target, moving)
                         : count > 0 && stepStages<wGlides, mixGlides, gainGlides> (stepped[0], count, current, target, moving);

    while (count > 0)
    {
        const int next = i + count;
        const int nextCount = allMoving ? std::min (chunkFrames, end - next) : 0;

        if (nextCount == chunkFrames)
            allMoving = stepStages<wGlides, mixGlides, gainGlides, chunkFrames> (stepped[1 - buffer], nextCount, current, target, moving);
        else if (nextCount > 0)
            allMoving = stepStages<wGlides, mixGlides, gainGlides> (stepped[1 - buffer], nextCount, current, target, moving);

        const Values values { stepped[buffer][0], stepped[buffer][1], stepped[buffer][2],
                              constants.wConstant, constants.mConstant, constants.gainConstant };
        if (count == chunkFrames)
            for (int k = 0; k < chunkFrames; k += Wide::width)
                Converter::convert (channels, i + k, values, k, lanes.wide);
        else
            Converter::convertStretch (channels, i, next, values, 0, lanes);

        i = next;
        count = nextCount;
        buffer = 1 - buffer;
    }

    lanes.addTo (peaks, true);

    for (int s = 0; s < numSmoothedStages; ++s)
    {
        if (glides[s])
        {
            chain.moving[s] = moving[s];
            chain.current[s] = current[s];
        }
    }

    return i;
}

ORTHOLUME_KERNEL_TARGET void convertBlock (float* const* channels, int numSamples, Chain& chain,
                                           BlockPeaks& peaks) noexcept
{
    for (int i = 0;;)
    {
        const bool wGlides = chain.moving[0], gainGlides = chain.moving[2];
        const Mix mix = chain.moving[1]           ? Mix::gliding
                        : chain.mixCrossfades     ? Mix::crossfade
                        : chain.target[1] == 0.0f ? Mix::fumaToAmbix
                                                  : Mix::ambixToFuma;

        if (! wGlides && mix != Mix::gliding && ! gainGlides)
        {
            const Values values { nullptr, nullptr, nullptr, chain.current[0], chain.current[1], chain.current[2] };

            switch (mix)
            {
                case Mix::crossfade: convertSettled<Mix::crossfade> (channels, i, numSamples, values, peaks); break;
                case Mix::fumaToAmbix: convertSettled<Mix::fumaToAmbix> (channels, i, numSamples, values, peaks); break;
                default: convertSettled<Mix::ambixToFuma> (channels, i, numSamples, values, peaks); break;
            }

            return;
        }

        using Run = int (*) (float* const*, int, int, Chain&, BlockPeaks&) noexcept;
        static constexpr Run runs[4][2][2] = {
            { { convertGliding<Mix::gliding, false, false>, convertGliding<Mix::gliding, false, true> },
              { convertGliding<Mix::gliding, true, false>, convertGliding<Mix::gliding, true, true> } },
            { { nullptr, convertGliding<Mix::crossfade, false, true> },
              { convertGliding<Mix::crossfade, true, false>, convertGliding<Mix::crossfade, true, true> } },
            { { nullptr, convertGliding<Mix::fumaToAmbix, false, true> },
              { convertGliding<Mix::fumaToAmbix, true, false>, convertGliding<Mix::fumaToAmbix, true, true> } },
            { { nullptr, convertGliding<Mix::ambixToFuma, false, true> },
              { convertGliding<Mix::ambixToFuma, true, false>, convertGliding<Mix::ambixToFuma, true, true> } }
        };

        i = runs[(int) mix][wGlides ? 1 : 0][gainGlides ? 1 : 0](channels, i, numSamples, chain, peaks);

        if (i >= numSamples)
            return;
    }
}
