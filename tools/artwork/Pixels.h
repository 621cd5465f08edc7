#pragma once

#include <juce_graphics/juce_graphics.h>

#include <vector>

namespace ortholume::artwork
{
/** An image as straight (not premultiplied) 0xAARRGGBB words, row by row:
    the form the PNG encoder writes, independent of how JUCE stores pixels. */
struct Pixels
{
    int width = 0;
    int height = 0;
    std::vector<juce::uint32> argb;

    juce::uint32 at (int x, int y) const { return argb[(size_t) (y * width + x)]; }
    void set (int x, int y, juce::uint32 colour) { argb[(size_t) (y * width + x)] = colour; }
};

Pixels pixelsOf (const juce::Image& image);

/** Keeps only the coverage of a rendered shape and gives every pixel one colour,
    so anti-aliased edges do not pick up rounding noise from unpremultiplying. */
Pixels tintedCoverage (const juce::Image& image, juce::Colour colour);
} // namespace ortholume::artwork
