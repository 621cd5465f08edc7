#pragma once

#include <juce_graphics/juce_graphics.h>

#include <vector>

/** A review picture of the artwork: every image at 1:1 and 4x, transparent
    areas over a checkerboard, the knob strip as a grid of all its frames. */
namespace ContactSheet
{
    struct Entry
    {
        juce::String name;
        juce::Image image;
    };

    juce::Image draw (const std::vector<Entry>& entries, const juce::Typeface::Ptr& typeface);
}
