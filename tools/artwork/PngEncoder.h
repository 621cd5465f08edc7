#pragma once

#include "Pixels.h"

/** Writes PNG files byte for byte the same on every run: no timestamps, no
    text chunks, fixed filter choice and compression level. */
namespace ortholume::artwork
{
/** 8-bit RGBA, non-interlaced. */
juce::MemoryBlock encodeRgbaPng (const Pixels& pixels);

/** 8-bit palette (with a transparency chunk when any entry is not opaque),
        non-interlaced. */
juce::MemoryBlock encodeIndexedPng (const Pixels& pixels, int maxColours);
} // namespace ortholume::artwork
