#pragma once

#include <juce_graphics/juce_graphics.h>

namespace ortholume::artwork
{
/** Outlines of a line of text, so that artwork can place letters by their ink
    rather than by font metrics: a heading that must span x 51 to 83 does.
    Tracking adds space between letters, as a proportion of the font height. */
juce::Path textOutline (const juce::Typeface::Ptr& typeface, const juce::String& text, float tracking = 0.0f);

/** Scales and moves a path so that its ink fills the given box exactly. */
juce::Path stretchedInto (juce::Path path, juce::Rectangle<float> box);

/** Scales a path uniformly to the given ink height, squeezing it horizontally
    only if it would be wider than maxWidth, and aligns it in the box. */
juce::Path fittedToHeight (juce::Path path, juce::Rectangle<float> box, juce::Justification justification);
} // namespace ortholume::artwork
