#pragma once

#include "SampleKernel.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace ortholume::converter
{
/** First-order conversion of whole frames in vector registers: one byte shuffle
    of each 16-byte vector puts every moved sample where its output channel
    wants it, the one scaled channel (W) of four frames at a time is computed in
    double precision and put in its place, and each channel's range is measured
    on the way. For codings laid out alike in and out whose frame fits in a
    vector (four channels at any integer depth, or float), with at most one
    channel scaled; exactly the results of SampleKernel's column loops. */
class FrameKernel final
{
public:
    struct Channel
    {
        int source = 0; // input channel
        bool copy = true; // moved bit for bit; otherwise scaled by factor
        double factor = 1.0; // from stored input units to significant output units
    };

    /** Nothing where the coding, the channels or the processor do not allow it. */
    static std::optional<FrameKernel> create (const std::vector<Channel>& channels, const SampleCoding& coding);

    /** Converts frames from the first, as many of `numFrames` as whole groups of
        four take while every vector read and written lies within those frames;
        returns how many. Raises peaks[c] to output channel c's largest magnitude
        in them (a moved channel's in its stored units, the scaled one's in
        significant output units, before clipping; a NaN carries none) and counts
        the scaled channel's clipped samples into `clipped`. */
    int convert (const unsigned char* input, unsigned char* output, int numFrames, double* peaks, std::uint64_t& clipped) const;

    static constexpr int vectorBytes = 16;
    static constexpr int framesPerGroup = 4;

    struct Layout
    {
        using Mask = std::array<unsigned char, vectorBytes>;

        Mask permute {}; // output bytes from input bytes; the scaled channel's left 0
        Mask widen {}; // machine-order lanes from output bytes, to measure the moved channels
        std::array<signed char, vectorBytes> channelOfLane {}; // -1: not a moved sample
        std::array<Mask, framesPerGroup> gather {}; // each vector's scaled inputs into lanes of a group
        std::array<Mask, framesPerGroup> place {}; // the group's scaled results into each vector
        int scaledChannel = -1;
        double factor = 1.0;
        int bits = 32; // significant bits of an integer output
    };

    using Function = void (*) (const Layout&, const unsigned char*, unsigned char*, int numGroups, double* peaks,
                               std::uint64_t& clipped);

private:
    FrameKernel() = default;

    Layout layout;
    Function function = nullptr;
    int frameBytes = 0;
    int framesInVector = 0;
};
} // namespace ortholume::converter
