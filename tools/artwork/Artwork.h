#pragma once

#include "Pixels.h"

/** The plug-in's artwork, each piece drawn at its final size. Text is drawn
    with the typeface that the plug-in embeds. */
namespace ortholume::artwork
{
juce::Image editorBackground (const juce::Typeface::Ptr& typeface);
juce::Image gearIcon();
juce::Image formatLabel (const juce::Typeface::Ptr& typeface, const juce::String& word, int paperWidth);
juce::Image channelLetters (const juce::Typeface::Ptr& typeface, const juce::String& letters);
juce::Image meterGradient();
juce::Image knobStrip();

/** Knob strip layout, shared with the drawing of single frames. */
constexpr int knobFrameSize = 70;
constexpr int knobFrameCount = 127;
} // namespace ortholume::artwork
