#include "TextPath.h"

namespace ortholume::artwork
{
namespace
{
// Outlines are taken at a large size so that scaling down loses nothing.
constexpr float outlineHeight = 200.0f;
} // namespace

juce::Path textOutline (const juce::Typeface::Ptr& typeface, const juce::String& text, float tracking)
{
    juce::Font font (typeface);
    font.setHeight (outlineHeight);
    font.setExtraKerningFactor (tracking);

    juce::GlyphArrangement glyphs;
    glyphs.addLineOfText (font, text, 0.0f, 0.0f);

    juce::Path path;
    glyphs.createPath (path);
    return path;
}

juce::Path stretchedInto (juce::Path path, juce::Rectangle<float> box)
{
    path.applyTransform (path.getTransformToScaleToFit (box, false));
    return path;
}

juce::Path fittedToHeight (juce::Path path, juce::Rectangle<float> box, juce::Justification justification)
{
    const auto ink = path.getBounds();
    const auto scaleY = box.getHeight() / ink.getHeight();
    const auto scaleX = juce::jmin (scaleY, box.getWidth() / ink.getWidth());
    const auto width = ink.getWidth() * scaleX;

    auto left = box.getX();

    if (justification.testFlags (juce::Justification::right))
        left = box.getRight() - width;
    else if (justification.testFlags (juce::Justification::horizontallyCentred))
        left = box.getCentreX() - width * 0.5f;

    path.applyTransform (juce::AffineTransform::translation (-ink.getX(), -ink.getY())
                             .scaled (scaleX, scaleY)
                             .translated (left, box.getY()));
    return path;
}
} // namespace ortholume::artwork
