#include "AltLookAndFeel.h"

#include "BinaryData.h"

namespace
{
constexpr float buttonCornerSize = 4.0f;
constexpr float toggleFrameAlpha = 0.9f;
constexpr float highlightAlpha = 0.75f;
const juce::Colour lightCyan (0xf65ec5da);

/** The body of a button: a vertical gradient lozenge, a faint highlight just
        inside the top edge and a white edge. */
void drawButtonShape (juce::Graphics& g, const juce::Path& outline, juce::Colour baseColour, float height)
{
    const auto brightness = baseColour.getBrightness();
    const auto alpha = baseColour.getFloatAlpha();

    g.setGradientFill (juce::ColourGradient (baseColour.brighter (0.2f), 0.0f, 0.0f,
                                             baseColour.darker (0.25f), 0.0f, height, false));
    g.fillPath (outline);

    g.setColour (juce::Colours::white.withAlpha (0.4f * alpha * brightness * brightness));
    g.strokePath (outline, juce::PathStrokeType (1.0f),
                  juce::AffineTransform::translation (0.0f, 1.0f).scaled (1.0f, (height - 1.6f) / height));

    g.setColour (juce::Colour (0xffffffff));
    g.strokePath (outline, juce::PathStrokeType (1.0f));
}
} // namespace

AltLookAndFeel::AltLookAndFeel()
{
    setColour (juce::ComboBox::backgroundColourId, juce::Colour (0xff000000));
    setColour (juce::ComboBox::buttonColourId, juce::Colour (0xff000000));
    setColour (juce::ComboBox::outlineColourId, juce::Colour (0xfff5f5f5));
    setColour (juce::ComboBox::arrowColourId, juce::Colour (0xffffffff));
    setColour (juce::ComboBox::textColourId, juce::Colour (0xffffffff));
    setColour (juce::PopupMenu::highlightedBackgroundColourId, lightCyan.withAlpha (highlightAlpha));
    setColour (juce::TextEditor::focusedOutlineColourId, lightCyan.withAlpha (highlightAlpha));
    setColour (juce::TextButton::buttonColourId, juce::Colour (0xffffffff));
    setColour (juce::TextButton::buttonOnColourId, juce::Colour (0xffffffff));
    setColour (juce::TextButton::textColourOnId, juce::Colour (0xffffffff));
    setColour (juce::TextButton::textColourOffId, juce::Colour (0xffffffff));
}

AltLookAndFeel::~AltLookAndFeel() = default;

juce::Typeface::Ptr AltLookAndFeel::getTypefaceForFont (const juce::Font& font)
{
    // Only the placeholder face is replaced: a font that names its family gets that family.
    if (font.getTypefaceName() == juce::Font::getDefaultSansSerifFontName())
        return juce::Typeface::createSystemTypefaceFor (BinaryData::RobotoRegular_ttf,
                                                        (size_t) BinaryData::RobotoRegular_ttfSize);

    return juce::LookAndFeel_V3::getTypefaceForFont (font);
}

void AltLookAndFeel::drawButtonBackground (juce::Graphics& g, juce::Button& button,
                                           const juce::Colour& backgroundColour,
                                           bool shouldDrawButtonAsHighlighted, bool shouldDrawButtonAsDown)
{
    auto baseColour = backgroundColour.withMultipliedSaturation (button.hasKeyboardFocus (true) ? 1.3f : 0.9f)
                          .withMultipliedAlpha (button.isEnabled() ? 0.9f : 0.5f);

    if (shouldDrawButtonAsDown)
        baseColour = baseColour.contrasting (0.2f);
    else if (shouldDrawButtonAsHighlighted)
        baseColour = baseColour.contrasting (0.1f);

    const auto width = (float) button.getWidth() - 1.0f;
    const auto height = (float) button.getHeight() - 1.0f;

    if (width > 0.0f && height > 0.0f)
    {
        // A corner stays square where the button joins a neighbour on either of its edges.
        juce::Path outline;
        outline.addRoundedRectangle (0.5f, 0.5f, width, height, buttonCornerSize, buttonCornerSize,
                                     ! (button.isConnectedOnLeft() || button.isConnectedOnTop()),
                                     ! (button.isConnectedOnRight() || button.isConnectedOnTop()),
                                     ! (button.isConnectedOnLeft() || button.isConnectedOnBottom()),
                                     ! (button.isConnectedOnRight() || button.isConnectedOnBottom()));

        drawButtonShape (g, outline, baseColour, height);
    }

    if (button.getToggleState())
    {
        g.setColour (juce::Colour (0xffff0000).withAlpha (toggleFrameAlpha));
        g.drawRect (0.0f, 0.0f, (float) button.getWidth(), (float) button.getHeight(), 1.0f);
    }
}

juce::Font AltLookAndFeel::getTextButtonFont (juce::TextButton&, int)
{
    return juce::Font (controlFontHeight);
}

void AltLookAndFeel::drawComboBox (juce::Graphics& g, int width, int height, bool,
                                   int buttonX, int buttonY, int buttonW, int buttonH, juce::ComboBox& box)
{
    g.fillAll (box.findColour (juce::ComboBox::backgroundColourId));

    g.setColour (box.findColour (juce::ComboBox::outlineColourId));
    g.drawRect (0.0f, 0.0f, (float) width, (float) height, 1.0f);

    const auto bx = (float) buttonX, by = (float) buttonY, bw = (float) buttonW, bh = (float) buttonH;

    // The upper tip is kept as the single-precision difference (just below a
    // quarter), so the arrows land on the same pixels as they always have.
    constexpr float upperBase = 0.45f, lowerBase = 0.55f, arrowHeight = 0.2f, lowerTip = 0.75f;

    juce::Path arrows;
    arrows.addTriangle (bx + bw * 0.5f, by + bh * (upperBase - arrowHeight),
                        bx + bw * 0.7f, by + bh * upperBase,
                        bx + bw * 0.3f, by + bh * upperBase);
    arrows.addTriangle (bx + bw * 0.5f, by + bh * lowerTip,
                        bx + bw * 0.7f, by + bh * lowerBase,
                        bx + bw * 0.3f, by + bh * lowerBase);

    g.setColour (box.findColour (juce::ComboBox::arrowColourId).withMultipliedAlpha (0.7f));
    g.fillPath (arrows);
}

juce::Font AltLookAndFeel::getComboBoxFont (juce::ComboBox&)
{
    return juce::Font (controlFontHeight);
}
