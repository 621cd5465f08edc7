#include "Artwork.h"

namespace ortholume::artwork
{
namespace
{
const juce::Point<float> knobCentre (35.0f, 33.0f); // pixel centre (34.5, 32.5)
constexpr float knobRadius = 27.4f; // opaque from x 8 to 61, y 6 to 59
constexpr float blueRingRadius = 24.2f;
constexpr float tickRingOuter = 22.6f, tickRingInner = 20.8f;
constexpr float capRadius = 19.6f;
constexpr int tickRingCount = 48;

constexpr float startDegrees = -127.0f;
constexpr float degreesPerFrame = 2.0f;
constexpr int centreFrame = 63;

const juce::Colour outerRing (0xff1b1d20);
const juce::Colour lightBlue (0xff6eaac1);
const juce::Colour pointerBlue (0xff8fd0e8);
const juce::Colour tickGrey (0xff7b8086);
const juce::Colour centreMark (0xffbace46);

float radians (float degrees) { return juce::degreesToRadians (degrees); }

void radialLine (juce::Graphics& g, float angle, float inner, float outer, float thickness)
{
    g.drawLine ({ knobCentre.getPointOnCircumference (inner, angle),
                  knobCentre.getPointOnCircumference (outer, angle) },
                thickness);
}

void fillCircle (juce::Graphics& g, float radius)
{
    g.fillEllipse (juce::Rectangle<float> (radius * 2.0f, radius * 2.0f).withCentre (knobCentre));
}

/** Everything but the pointer: identical in every frame. */
void drawKnobBody (juce::Graphics& g)
{
    g.setColour (juce::Colours::white);
    radialLine (g, radians (startDegrees), knobRadius + 2.0f, knobRadius + 6.0f, 1.6f);
    radialLine (g, radians (startDegrees + degreesPerFrame * (float) (knobFrameCount - 1)),
                knobRadius + 2.0f, knobRadius + 6.0f, 1.6f);

    g.setColour (outerRing);
    fillCircle (g, knobRadius);

    g.setColour (lightBlue);
    g.drawEllipse (juce::Rectangle<float> (blueRingRadius * 2.0f, blueRingRadius * 2.0f).withCentre (knobCentre),
                   1.2f);

    g.setColour (tickGrey);

    for (int i = 0; i < tickRingCount; ++i)
        radialLine (g, juce::MathConstants<float>::twoPi * (float) i / (float) tickRingCount,
                    tickRingInner, tickRingOuter, 0.7f);

    const juce::Rectangle<float> cap (capRadius * 2.0f, capRadius * 2.0f);
    g.setGradientFill (juce::ColourGradient (juce::Colour (0xffe8eaec), knobCentre.x, knobCentre.y - capRadius,
                                             juce::Colour (0xff868b90), knobCentre.x, knobCentre.y + capRadius,
                                             false));
    g.fillEllipse (cap.withCentre (knobCentre));

    // Brushed metal: faint concentric rings of random shade, the same in
    // every frame and on every run (fixed seed).
    juce::Random random (0x0b0a7e);

    for (float r = 1.0f; r < capRadius - 0.5f; r += 0.75f)
    {
        const auto shade = random.nextBool() ? juce::Colours::white : juce::Colours::black;
        g.setColour (shade.withAlpha (0.03f + 0.09f * random.nextFloat()));
        g.drawEllipse (juce::Rectangle<float> (r * 2.0f, r * 2.0f).withCentre (knobCentre), 0.6f);
    }

    g.setColour (juce::Colour (0x40000000));
    g.drawEllipse (cap.withCentre (knobCentre), 0.8f);
}

void drawPointer (juce::Graphics& g, int frame)
{
    const auto angle = radians (startDegrees + degreesPerFrame * (float) frame);
    g.setColour (pointerBlue);
    radialLine (g, angle, 3.0f, capRadius - 1.5f, 2.4f);
}

void drawCentreMark (juce::Graphics& g)
{
    g.setColour (centreMark);
    g.fillRect (32.0f, 0.5f, 6.0f, 1.5f);
    g.fillRect (34.25f, 2.0f, 1.5f, 3.0f);
}
} // namespace

juce::Image knobStrip()
{
    juce::Image strip (juce::Image::ARGB, knobFrameSize, knobFrameSize * knobFrameCount, true,
                       juce::SoftwareImageType());

    juce::Image body (juce::Image::ARGB, knobFrameSize, knobFrameSize, true, juce::SoftwareImageType());

    {
        juce::Graphics g (body);
        drawKnobBody (g);
    }

    juce::Graphics g (strip);

    for (int frame = 0; frame < knobFrameCount; ++frame)
    {
        juce::Graphics::ScopedSaveState state (g);
        g.setOrigin (0, frame * knobFrameSize);
        g.reduceClipRegion (0, 0, knobFrameSize, knobFrameSize);

        g.drawImageAt (body, 0, 0);
        drawPointer (g, frame);

        if (frame == centreFrame)
            drawCentreMark (g);
    }

    return strip;
}
} // namespace ortholume::artwork
