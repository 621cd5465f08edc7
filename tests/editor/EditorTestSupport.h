#pragma once

#include <gtest/gtest.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include "BinaryData.h"

namespace ortholume::testing
{
/** A fresh decode, independent of the image cache the code under test uses. */
inline juce::Image decode (const char* data, int size)
{
    return juce::ImageFileFormat::loadFrom (data, (size_t) size);
}

inline juce::Image transparentCanvas (int width, int height)
{
    return juce::Image (juce::Image::ARGB, width, height, true, juce::SoftwareImageType());
}

/** What a component and its children paint over a transparent background. */
inline juce::Image render (juce::Component& component)
{
    auto canvas = transparentCanvas (component.getWidth(), component.getHeight());
    juce::Graphics g (canvas);
    component.paintEntireComponent (g, false);
    return canvas;
}

inline ::testing::AssertionResult colourNear (juce::Colour actual, juce::uint32 expectedArgb, int tolerance)
{
    const juce::Colour expected (expectedArgb);
    const auto near = [tolerance] (juce::uint8 a, juce::uint8 b) { return std::abs ((int) a - (int) b) <= tolerance; };

    if (near (actual.getAlpha(), expected.getAlpha()) && near (actual.getRed(), expected.getRed())
        && near (actual.getGreen(), expected.getGreen()) && near (actual.getBlue(), expected.getBlue()))
        return ::testing::AssertionSuccess();

    return ::testing::AssertionFailure() << "colour 0x" << actual.toDisplayString (true) << " is not within "
                                         << tolerance << " of 0x" << expected.toDisplayString (true);
}

inline bool isTransparent (const juce::Image& image)
{
    for (int y = 0; y < image.getHeight(); ++y)
        for (int x = 0; x < image.getWidth(); ++x)
            if (image.getPixelAt (x, y).getAlpha() != 0)
                return false;

    return true;
}

/** True when the area of `drawn` at (x, y) holds exactly the pixels of `expected`. */
inline bool samePixels (const juce::Image& drawn, int x, int y, const juce::Image& expected)
{
    for (int row = 0; row < expected.getHeight(); ++row)
        for (int column = 0; column < expected.getWidth(); ++column)
            if (drawn.getPixelAt (x + column, y + row).getARGB() != expected.getPixelAt (column, row).getARGB())
                return false;

    return true;
}
} // namespace ortholume::testing
