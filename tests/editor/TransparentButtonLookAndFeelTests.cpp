// The variant without button bodies, and the gain knob drawn from the strip.

#include "EditorTestSupport.h"
#include "editor/AltLookAndFeel_transparentButton.h"

#include <cmath>
#include <limits>

using namespace ortholume::testing;

namespace
{
juce::Image knobStrip()
{
    return decode (BinaryData::bouton_G_70x70_png, BinaryData::bouton_G_70x70_pngSize);
}

juce::Image frameOf (const juce::Image& strip, int frame)
{
    return strip.getClippedImage ({ 0, frame * 70, 70, 70 });
}

juce::Image drawKnob (AltLookAndFeel_transparentButton& lookAndFeel, float position)
{
    juce::Slider slider;
    auto canvas = transparentCanvas (115, 70);
    juce::Graphics g (canvas);
    lookAndFeel.drawRotarySlider (g, 50, 0, 70, 70, position, 0.0f, 1.0f, slider);
    return canvas;
}
} // namespace

TEST (EditorKnob, PositionPicksTheFrameAtFloorOfPositionTimes126)
{
    AltLookAndFeel_transparentButton lookAndFeel;
    const auto strip = knobStrip();
    const auto justBelowOne = std::nextafter (1.0f, 0.0f);

    for (const auto& [position, frame] : { std::pair { 0.0f, 0 }, { 0.5f, 63 }, { 1.0f, 126 }, { justBelowOne, 125 } })
    {
        SCOPED_TRACE ("position " + std::to_string (position));
        const auto drawn = drawKnob (lookAndFeel, position);

        EXPECT_TRUE (samePixels (drawn, 45, 0, frameOf (strip, frame)));
        EXPECT_FALSE (samePixels (drawn, 45, 0, frameOf (strip, frame == 0 ? 1 : frame - 1)));
        EXPECT_TRUE (isTransparent (drawn.getClippedImage ({ 0, 0, 45, 70 })));
    }
}

TEST (EditorKnob, PositionsOutsideTheTravelShowTheNearerEndFrame)
{
    AltLookAndFeel_transparentButton lookAndFeel;
    const auto strip = knobStrip();

    EXPECT_TRUE (samePixels (drawKnob (lookAndFeel, -0.3f), 45, 0, frameOf (strip, 0)));
    EXPECT_TRUE (samePixels (drawKnob (lookAndFeel, 1.7f), 45, 0, frameOf (strip, 126)));
    EXPECT_TRUE (samePixels (drawKnob (lookAndFeel, std::numeric_limits<float>::quiet_NaN()), 45, 0, frameOf (strip, 0)));
}

TEST (EditorKnob, EverySliderGetsTheSameKnobAndTextBoxAreas)
{
    AltLookAndFeel_transparentButton lookAndFeel;

    const struct
    {
        juce::Slider::SliderStyle style;
        juce::Slider::TextEntryBoxPosition textBox;
        int width, height;
    } sliders[] = {
        { juce::Slider::RotaryVerticalDrag, juce::Slider::TextBoxLeft, 114, 70 },
        { juce::Slider::RotaryVerticalDrag, juce::Slider::NoTextBox, 114, 70 },
        { juce::Slider::LinearHorizontal, juce::Slider::TextBoxBelow, 300, 20 },
        { juce::Slider::LinearVertical, juce::Slider::TextBoxAbove, 10, 400 },
    };

    for (const auto& settings : sliders)
    {
        juce::Slider slider (settings.style, settings.textBox);
        slider.setSize (settings.width, settings.height);
        const auto layout = lookAndFeel.getSliderLayout (slider);
        EXPECT_EQ (juce::Rectangle<int> (50, 0, 70, 70), layout.sliderBounds);
        EXPECT_EQ (juce::Rectangle<int> (2, 37, 41, 15), layout.textBoxBounds);
    }
}

TEST (EditorKnob, RotarySliderShowsItsFrameFivePixelsLeftOfItsKnobArea)
{
    AltLookAndFeel_transparentButton lookAndFeel;
    juce::Slider slider (juce::Slider::RotaryVerticalDrag, juce::Slider::NoTextBox);
    slider.setLookAndFeel (&lookAndFeel);
    slider.setRange (0.0, 1.0);
    slider.setValue (0.5, juce::dontSendNotification);
    slider.setSize (114, 70);

    const auto drawn = render (slider);

    // The component clips the frame's last column: it is 114 wide, the frame ends at 115.
    EXPECT_TRUE (samePixels (drawn, 45, 0, frameOf (knobStrip(), 63).getClippedImage ({ 0, 0, 69, 70 })));
    slider.setLookAndFeel (nullptr);
}

TEST (EditorTransparentButton, ButtonDrawsNoBodyNoEdgeAndNoToggleFrame)
{
    AltLookAndFeel_transparentButton lookAndFeel;
    juce::TextButton button;
    button.setLookAndFeel (&lookAndFeel);
    button.setSize (208, 28);
    button.setConnectedEdges (15);
    button.setColour (juce::TextButton::buttonColourId, juce::Colour (0xffbbbbff));
    button.setColour (juce::TextButton::buttonOnColourId, juce::Colour (0xffe8e8e8));
    button.setToggleState (true, juce::dontSendNotification);

    EXPECT_TRUE (isTransparent (render (button)));

    // With text in transparent colours it still draws nothing.
    button.setButtonText ("Ortholume");
    button.setColour (juce::TextButton::textColourOnId, juce::Colours::transparentBlack);
    button.setColour (juce::TextButton::textColourOffId, juce::Colours::transparentBlack);
    EXPECT_TRUE (isTransparent (render (button)));

    button.setLookAndFeel (nullptr);
}

TEST (EditorTransparentButton, ButtonWithVisibleTextDrawsOnlyItsText)
{
    AltLookAndFeel_transparentButton lookAndFeel;
    juce::TextButton button ("Options");
    button.setLookAndFeel (&lookAndFeel);
    button.setSize (100, 30);
    const auto image = render (button);

    EXPECT_FALSE (isTransparent (image));

    // Where a body, edge or frame would be, there is nothing.
    for (int x = 0; x < 100; ++x)
    {
        EXPECT_EQ (0, image.getPixelAt (x, 0).getAlpha());
        EXPECT_EQ (0, image.getPixelAt (x, 29).getAlpha());
    }

    EXPECT_EQ (0, image.getPixelAt (3, 15).getAlpha());
    button.setLookAndFeel (nullptr);
}
