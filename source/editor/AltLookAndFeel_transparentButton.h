#pragma once

#include "AltLookAndFeel.h"

/** AltLookAndFeel without button bodies, so a text button with transparent text
    colours is an invisible click area, and with the gain knob drawn as one frame
    of the embedded 127-frame strip. */
class AltLookAndFeel_transparentButton final : public AltLookAndFeel
{
public:
    static constexpr int knobFrameSize = 70;
    static constexpr int knobLastFrame = 126;
    static constexpr int knobX = 45;

    /** For a button of this look: with all four edges connected, its body
        would be drawn square, were it drawn at all. */
    static constexpr int allEdgesConnected = juce::Button::ConnectedOnLeft | juce::Button::ConnectedOnRight
                                             | juce::Button::ConnectedOnTop | juce::Button::ConnectedOnBottom;

    AltLookAndFeel_transparentButton();
    ~AltLookAndFeel_transparentButton() override;

    void drawButtonBackground (juce::Graphics& g, juce::Button& button, const juce::Colour& backgroundColour,
                               bool shouldDrawButtonAsHighlighted, bool shouldDrawButtonAsDown) override;

    void drawRotarySlider (juce::Graphics& g, int x, int y, int width, int height, float sliderPosProportional,
                           float rotaryStartAngle, float rotaryEndAngle, juce::Slider& slider) override;

    /** The same knob and text-box areas for every slider, whatever its size or style. */
    juce::Slider::SliderLayout getSliderLayout (juce::Slider& slider) override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (AltLookAndFeel_transparentButton)
};
