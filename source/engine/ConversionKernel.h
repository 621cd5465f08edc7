#pragma once

#include "StageValues.h"

#include <array>

namespace ortholume
{
using ChannelPeaks = std::array<float, 4>;

/** Converts four channels in place in one pass: W scaled, X/Y/Z permuted or
    crossfaded, every channel multiplied by the output gain, and the peak
    magnitude of each channel taken before and after.

    The three stages (W scale, crossfade position, output gain) are run here as
    well, by the same rule as prepareStages: a stage that glides takes one
    smoothing step per sample while the samples it scales are converted beside
    it, and each state's `current` becomes the value its block ends on. The
    states' storage is not used.

    The arithmetic is exactly that of the step-by-step form (W = w * in0, then
    the crossfade, then the gain), so results are bit-identical to it on every
    instruction set. A crossfade that does not glide copies FuMa to AmbiX order
    when its target is exactly 0, and the other way for anything else. */
void convertFourChannelsInPlace (float* const* channels, int numSamples,
                                 std::array<StageState, numSmoothedStages>& stages,
                                 ChannelPeaks& inputPeaks, ChannelPeaks& outputPeaks) noexcept;

/** The largest magnitude in a channel; 0 for an empty one. NaN samples carry no level. */
float peakMagnitude (const float* samples, int numSamples) noexcept;

/** The instruction sets the conversion is compiled for. The widest one that
    the processor supports is used, unless one is chosen with useInstructionSet. */
enum class InstructionSet
{
    baseline, // SSE2 on x86-64, plain code elsewhere
    avx2,
    avx512
};

constexpr std::array<InstructionSet, 3> allInstructionSets { InstructionSet::baseline, InstructionSet::avx2,
                                                             InstructionSet::avx512 };

const char* getName (InstructionSet) noexcept;

/** True if the conversion is compiled for the set and this processor runs it. */
bool isAvailable (InstructionSet) noexcept;

/** The set used unless another is chosen. */
InstructionSet getWidestAvailable() noexcept;

/** For tests and benchmarks: every conversion in the program from now on uses
    the given set, which must be available. */
void useInstructionSet (InstructionSet) noexcept;

/** Returns to the widest available set. */
void useWidestInstructionSet() noexcept;
} // namespace ortholume
