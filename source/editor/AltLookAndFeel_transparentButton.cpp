#include "AltLookAndFeel_transparentButton.h"

#include "BinaryData.h"

#include <cmath>

AltLookAndFeel_transparentButton::AltLookAndFeel_transparentButton() = default;

AltLookAndFeel_transparentButton::~AltLookAndFeel_transparentButton() = default;

void AltLookAndFeel_transparentButton::drawButtonBackground (juce::Graphics&, juce::Button&, const juce::Colour&,
                                                             bool, bool)
{
}

void AltLookAndFeel_transparentButton::drawRotarySlider (juce::Graphics& g, int, int, int width, int,
                                                         float sliderPosProportional, float, float, juce::Slider&)
{
    const auto strip = juce::ImageCache::getFromMemory (BinaryData::bouton_G_70x70_png,
                                                        BinaryData::bouton_G_70x70_pngSize);

    auto frame = std::floor (sliderPosProportional * (float) knobLastFrame);

    // A position outside 0..1 (or NaN, from a slider with an empty range) would
    // pick a rectangle outside the strip; show the nearer end frame instead.
    frame = frame > 0.0f ? juce::jmin (frame, (float) knobLastFrame) : 0.0f;

    const auto sourceY = (int) (frame * (float) knobFrameSize);
    g.drawImage (strip, knobX, 0, width, knobFrameSize, 0, sourceY, knobFrameSize, knobFrameSize, false);
}

juce::Slider::SliderLayout AltLookAndFeel_transparentButton::getSliderLayout (juce::Slider&)
{
    juce::Slider::SliderLayout layout;
    layout.sliderBounds = { 50, 0, 70, 70 };
    layout.textBoxBounds = { 2, 37, 41, 15 };
    return layout;
}
