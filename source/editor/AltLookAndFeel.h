#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** The plug-in's controls on top of LookAndFeel_V3: black combo boxes with white
    arrows, white-edged button lozenges with a red frame while toggled on, and
    the embedded Roboto for every font that asks for the default sans-serif face. */
class AltLookAndFeel : public juce::LookAndFeel_V3
{
public:
    static constexpr float controlFontHeight = 14.0f;

    AltLookAndFeel();
    ~AltLookAndFeel() override;

    juce::Typeface::Ptr getTypefaceForFont (const juce::Font& font) override;

    void drawButtonBackground (juce::Graphics& g, juce::Button& button, const juce::Colour& backgroundColour,
                               bool shouldDrawButtonAsHighlighted, bool shouldDrawButtonAsDown) override;
    juce::Font getTextButtonFont (juce::TextButton& button, int buttonHeight) override;

    void drawComboBox (juce::Graphics& g, int width, int height, bool isButtonDown,
                       int buttonX, int buttonY, int buttonW, int buttonH, juce::ComboBox& box) override;
    juce::Font getComboBoxFont (juce::ComboBox& box) override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (AltLookAndFeel)
};
