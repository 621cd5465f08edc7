#include "Artwork.h"
#include "TextPath.h"

#include <cmath>

namespace ortholume::artwork
{
namespace
{
juce::Image transparentImage (int width, int height)
{
    return juce::Image (juce::Image::ARGB, width, height, true, juce::SoftwareImageType());
}

/** Straight linear interpolation of each channel, rounded to nearest. */
juce::Colour stepBetween (juce::uint32 from, juce::uint32 to, int step, int steps)
{
    juce::uint32 result = 0;

    for (int shift = 0; shift < 32; shift += 8)
    {
        const auto a = (int) ((from >> shift) & 0xff);
        const auto b = (int) ((to >> shift) & 0xff);
        const auto value = (2 * (a * (steps - step) + b * step) + steps) / (2 * steps);
        result |= (juce::uint32) value << shift;
    }

    return juce::Colour (result);
}
} // namespace

juce::Image gearIcon()
{
    constexpr int size = 22;
    constexpr int teeth = 8;
    constexpr float outerRadius = 10.5f, rootRadius = 7.2f, holeRadius = 3.0f;
    constexpr float tipHalfAngle = 0.17f, rootHalfAngle = 0.28f; // radians
    const juce::Point<float> centre (11.0f, 11.0f);

    juce::Path gear;

    for (int tooth = 0; tooth < teeth; ++tooth)
    {
        const auto angle = juce::MathConstants<float>::twoPi * (float) tooth / (float) teeth;
        const auto rootIn = centre.getPointOnCircumference (rootRadius, angle - rootHalfAngle);

        if (tooth == 0)
            gear.startNewSubPath (rootIn);
        else
            gear.lineTo (rootIn);

        gear.lineTo (centre.getPointOnCircumference (outerRadius, angle - tipHalfAngle));
        gear.lineTo (centre.getPointOnCircumference (outerRadius, angle + tipHalfAngle));
        gear.lineTo (centre.getPointOnCircumference (rootRadius, angle + rootHalfAngle));
    }

    gear.closeSubPath();
    gear.addEllipse (centre.x - holeRadius, centre.y - holeRadius, holeRadius * 2.0f, holeRadius * 2.0f);
    gear.setUsingNonZeroWinding (false);

    auto image = transparentImage (size, size);
    juce::Graphics g (image);
    g.setColour (juce::Colour (0xfffcfcfc));
    g.fillPath (gear);
    return image;
}

juce::Image formatLabel (const juce::Typeface::Ptr& typeface, const juce::String& word, int paperWidth)
{
    constexpr int width = 37, height = 14;
    constexpr int greyLevels = 16;

    auto image = transparentImage (width, height);

    {
        juce::Graphics g (image);
        g.setColour (juce::Colours::white);
        g.fillRect (0, 0, paperWidth, height);
        g.setColour (juce::Colours::black);
        g.fillPath (fittedToHeight (textOutline (typeface, word),
                                    { 2.0f, 2.0f, (float) paperWidth - 4.0f, 10.0f },
                                    juce::Justification::horizontallyCentred));
    }

    // Sixteen greys keep the label within a 16-colour palette.
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < paperWidth; ++x)
        {
            const auto grey = image.getPixelAt (x, y).getRed();
            const auto level = (grey * (greyLevels - 1) + 127) / 255;
            image.setPixelAt (x, y, juce::Colour::greyLevel ((float) level / (float) (greyLevels - 1)));
        }

    return image;
}

juce::Image channelLetters (const juce::Typeface::Ptr& typeface, const juce::String& letters)
{
    // Columns chosen so that each letter centres under its meter when the
    // caption is drawn below a meter group; the first letter is a wide W.
    const juce::Rectangle<float> boxes[] = { { 1.0f, 0.0f, 11.0f, 9.0f }, { 22.0f, 0.0f, 7.0f, 9.0f }, { 42.0f, 0.0f, 7.0f, 9.0f }, { 61.0f, 0.0f, 7.0f, 9.0f } };
    jassert (letters.length() == 4);

    auto image = transparentImage (69, 9);
    juce::Graphics g (image);
    g.setColour (juce::Colour (0xfffefefe));

    for (int i = 0; i < 4; ++i)
        g.fillPath (stretchedInto (textOutline (typeface, letters.substring (i, i + 1)), boxes[i]));

    return image;
}

juce::Image meterGradient()
{
    constexpr int width = 10, height = 143;
    constexpr juce::uint32 red = 0xffff0101, orange = 0xfffd752e, orangeEnd = 0xfffcf961;
    constexpr juce::uint32 yellow = 0xfffbff63, green = 0xff3bf028;
    constexpr int stepRow = 21, orangeFirst = 22, orangeLast = 36, yellowFirst = 37, yellowLast = 110;
    constexpr int stepSplitColumn = 4;

    juce::Image image (juce::Image::ARGB, width, height, true, juce::SoftwareImageType());

    for (int y = 0; y < height; ++y)
    {
        for (int x = 0; x < width; ++x)
        {
            juce::Colour colour (green);

            if (y < stepRow)
                colour = juce::Colour (red);
            else if (y == stepRow)
                colour = juce::Colour (x < stepSplitColumn ? 0xfffe3d18 : 0xfffe3716);
            else if (y <= orangeLast)
                colour = stepBetween (orange, orangeEnd, y - orangeFirst, orangeLast - orangeFirst);
            else if (y <= yellowLast)
                colour = stepBetween (yellow, green, y - yellowFirst, yellowLast - yellowFirst);

            image.setPixelAt (x, y, colour);
        }
    }

    return image;
}
} // namespace ortholume::artwork
