#pragma once

#include <juce_graphics/juce_graphics.h>

#include <vector>

/** A review picture of the artwork: every image at 1:1 and 4x, transparent
    areas over a checkerboard, the knob strip as a grid of all its frames. */
namespace ortholume::artwork
{
struct ContactSheetEntry
{
    juce::String name;
    juce::Image image;
};

juce::Image drawContactSheet (const std::vector<ContactSheetEntry>& entries, const juce::Typeface::Ptr& typeface);
} // namespace ortholume::artwork
