#include "Artwork.h"
#include "TextPath.h"

#include "editor/EditorSize.h"

namespace ortholume::artwork
{
namespace
{
constexpr int width = editorWidth;
constexpr int height = editorHeight;

const juce::Colour headerBlack (0xff010101);
const juce::Colour ochreShade (0xff120e03);
const juce::Colour white (0xffffffff);
const juce::Colour lightGrey (0xffc8c8c8);
const juce::Colour numberGrey (0xffbdbdbd);
const juce::Colour dividerGrey (0xffb4b4b4);
const juce::Colour bracketGrey (0xff6a6e72);
const juce::Colour slateBlue (0xff4a5d70);
constexpr float productNameTracking = 0.18f;

// Meter scale: a tick every 4 pixels (2 dB), +10 dB at the top row.
constexpr int firstTickRow = 65;
constexpr int lastTickRow = 205;
constexpr int tickSpacing = 4;
constexpr int ticksPerTenDecibels = 5;
constexpr int topDecibels = 10;
constexpr int pixelsPerDecibel = 2;

/** One column of ticks: its span on the 10 dB rows and on the others. */
struct TickColumn
{
    int majorLeft, majorRight, minorLeft, minorRight;
};

const TickColumn tickColumns[] = {
    { 39, 46, 42, 46 },
    { 63, 65, 63, 65 },
    { 82, 85, 82, 85 },
    { 102, 105, 102, 105 },
    { 121, 128, 121, 125 },
    { 314, 321, 317, 321 },
    { 338, 340, 338, 340 },
    { 357, 360, 357, 360 },
    { 377, 380, 377, 380 },
    { 396, 403, 396, 400 },
};

void fillPixels (juce::Graphics& g, int left, int top, int right, int bottom)
{
    g.fillRect (left, top, right - left + 1, bottom - top + 1);
}

void drawShading (juce::Graphics& g)
{
    g.setColour (headerBlack);
    g.fillRect (0, 0, width, 28);

    // Two lenses behind the meter groups and two wedges at the centre edges,
    // leaving a black X across the middle.
    g.setColour (ochreShade);
    g.fillEllipse (-14.0f, 36.0f, 204.0f, 196.0f);
    g.fillEllipse ((float) width - 190.0f, 36.0f, 204.0f, 196.0f);

    juce::Path wedges;
    wedges.addTriangle (176.0f, 28.0f, 267.0f, 28.0f, 221.5f, 84.0f);
    wedges.addTriangle (176.0f, (float) height, 267.0f, (float) height, 221.5f, 168.0f);
    g.fillPath (wedges);
}

void drawHeader (juce::Graphics& g, const juce::Typeface::Ptr& typeface)
{
    g.setColour (white);
    g.fillPath (fittedToHeight (textOutline (typeface, "BRACKENFOLD"),
                                { 14.0f, 10.0f, 73.0f, 9.0f }, juce::Justification::left));

    g.setColour (dividerGrey);
    fillPixels (g, 97, 4, 97, 24);

    g.setColour (lightGrey);
    // Spaced out to fill the title area up to about x 200.
    g.fillPath (fittedToHeight (textOutline (typeface, "ORTHOLUME", productNameTracking),
                                { 108.0f, 10.0f, 93.0f, 9.0f }, juce::Justification::left));
}

void drawGroupHeading (juce::Graphics& g, const juce::Typeface::Ptr& typeface, const juce::String& text,
                       int left, int right, int bracketLeft, int bracketRight, int stubX)
{
    g.setColour (lightGrey);
    g.fillPath (stretchedInto (textOutline (typeface, text),
                               { (float) left, 40.0f, (float) (right - left + 1), 9.0f }));

    g.setColour (bracketGrey);
    fillPixels (g, bracketLeft, 57, bracketRight, 57);
    fillPixels (g, bracketLeft, 57, bracketLeft, 61);
    fillPixels (g, bracketRight, 57, bracketRight, 61);
    fillPixels (g, stubX, 54, stubX, 57);
}

void drawScales (juce::Graphics& g, const juce::Typeface::Ptr& typeface)
{
    g.setColour (white);

    for (int row = firstTickRow, tick = 0; row <= lastTickRow; row += tickSpacing, ++tick)
    {
        const bool isTenDecibelRow = tick % ticksPerTenDecibels == 0;

        for (const auto& column : tickColumns)
            fillPixels (g, isTenDecibelRow ? column.majorLeft : column.minorLeft, row,
                        isTenDecibelRow ? column.majorRight : column.minorRight, row);
    }

    g.setColour (numberGrey);

    for (int decibels = topDecibels; firstTickRow + (topDecibels - decibels) * pixelsPerDecibel <= lastTickRow;
         decibels -= 10)
    {
        const auto row = (float) (firstTickRow + (topDecibels - decibels) * pixelsPerDecibel);
        const auto outline = textOutline (typeface, juce::String (decibels));

        // Seven pixels of ink centred on the tick row's pixel centre.
        const auto top = row + 0.5f - 3.5f;
        g.fillPath (fittedToHeight (outline, { 19.0f, top, 10.0f, 7.0f }, juce::Justification::right));
        g.fillPath (fittedToHeight (outline, { 417.0f, top, 10.0f, 7.0f }, juce::Justification::left));
    }
}

void drawOrnament (juce::Graphics& g)
{
    constexpr float dotSize = 9.0f;
    const juce::Point<int> dotCentres[] = { { 212, 105 }, { 212, 126 }, { 212, 148 }, { 223, 115 }, { 223, 137 }, { 234, 126 } };
    g.setColour (slateBlue);

    for (auto centre : dotCentres)
        g.fillEllipse ((float) centre.x + 0.5f - dotSize * 0.5f, (float) centre.y + 0.5f - dotSize * 0.5f,
                       dotSize, dotSize);
}
} // namespace

juce::Image editorBackground (const juce::Typeface::Ptr& typeface)
{
    juce::Image image (juce::Image::RGB, width, height, true, juce::SoftwareImageType());
    juce::Graphics g (image);
    g.fillAll (juce::Colours::black);

    drawShading (g);
    drawHeader (g, typeface);
    drawGroupHeading (g, typeface, "INPUT", 51, 83, 47, 120, 83);
    drawGroupHeading (g, typeface, "OUTPUT", 317, 360, 322, 395, 358);
    drawScales (g, typeface);
    drawOrnament (g);
    return image;
}
} // namespace ortholume::artwork
