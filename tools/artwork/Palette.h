#pragma once

#include "Pixels.h"

namespace ortholume::artwork
{
/** A palette image: at most 256 colours, one index per pixel. */
struct IndexedPixels
{
    std::vector<juce::uint32> palette;
    std::vector<juce::uint8> indices;
};

/** Keeps the most frequent colours exactly (so flat areas, ticks and the like stay
    true) and maps any colour beyond maxColours to its nearest palette entry. */
IndexedPixels quantise (const Pixels& pixels, int maxColours);
} // namespace ortholume::artwork
