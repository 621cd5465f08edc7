// The editor window: its children, the two panel buttons and the 50 ms refresh
// of the gain knob from parameter 0.

#include "EditorHarness.h"
#include "editor/OptionGUI.h"
#include "editor/VelloranAudioProcessorEditor.h"
#include "editor/VuMeter.h"
#include "editor/WelcomeGUI.h"
#include "processor/GainParameter.h"
#include "processor/VelloranAudioProcessor.h"

using namespace ortholume::testing;

namespace ortholume::testing
{
struct EditorWindow : public ::testing::Test
{
    void setGainParameter (float value)
    {
        ortholume::setGainParameter (processor, value);
    }

    juce::Slider& knob()
    {
        auto* slider = childOfType<juce::Slider> (editor);
        EXPECT_NE (slider, nullptr);
        return *slider;
    }

    OptionGUI& optionsPanel() { return *childOfType<OptionGUI> (editor); }
    WelcomeGUI& welcomePanel() { return *childOfType<WelcomeGUI> (editor); }

    VelloranAudioProcessor processor;
    VelloranAudioProcessorEditor editor { processor };
};
} // namespace ortholume::testing

TEST_F (EditorWindow, ChildrenStackInCreationOrderWithTheirNamesBoundsAndVisibility)
{
    struct Expected
    {
        const char* name;
        juce::Rectangle<int> bounds;
    };

    const Expected expected[] = {
        { "engrenage", { 418, 5, 18, 18 } },
        { "vuMeter", { 50, 64, 10, 143 } },
        { "vuMeter", { 69, 64, 10, 143 } },
        { "vuMeter", { 89, 64, 10, 143 } },
        { "vuMeter", { 108, 64, 10, 143 } },
        { "vuMeter", { 325, 64, 10, 143 } },
        { "vuMeter", { 345, 64, 10, 143 } },
        { "sliderGain", { 174, 250, 114, 70 } },
        { "new button", { 0, 0, 208, 28 } },
        { "vuMeter", { 364, 64, 10, 143 } },
        { "vuMeter", { 383, 64, 10, 143 } },
    };

    EXPECT_EQ (editor.getBounds(), juce::Rectangle<int> (0, 0, 443, 233));
    ASSERT_EQ (editor.getNumChildComponents(), 13);

    for (int i = 0; i < 11; ++i)
    {
        auto* child = editor.getChildComponent (i);
        EXPECT_EQ (child->getName(), expected[i].name) << "child " << i;
        EXPECT_EQ (child->getBounds(), expected[i].bounds) << "child " << i;
        EXPECT_TRUE (child->isVisible()) << "child " << i;
    }

    EXPECT_NE (dynamic_cast<juce::ImageButton*> (editor.getChildComponent (0)), nullptr);
    EXPECT_NE (dynamic_cast<juce::Slider*> (editor.getChildComponent (7)), nullptr);
    EXPECT_NE (dynamic_cast<juce::TextButton*> (editor.getChildComponent (8)), nullptr);

    for (int i : { 1, 2, 3, 4, 5, 6, 9, 10 })
        EXPECT_NE (dynamic_cast<VuMeter*> (editor.getChildComponent (i)), nullptr) << "child " << i;

    // The welcome panel lies above the options panel; both start hidden, covering the window.
    auto* options = dynamic_cast<OptionGUI*> (editor.getChildComponent (11));
    auto* welcome = dynamic_cast<WelcomeGUI*> (editor.getChildComponent (12));
    ASSERT_NE (options, nullptr);
    ASSERT_NE (welcome, nullptr);
    EXPECT_FALSE (options->isVisible());
    EXPECT_FALSE (welcome->isVisible());
    EXPECT_EQ (options->getBounds(), juce::Rectangle<int> (0, 0, 443, 233));
    EXPECT_EQ (welcome->getBounds(), juce::Rectangle<int> (0, 0, 443, 233));

    // Laid out again at another size, the children keep their places.
    editor.setSize (600, 400);
    EXPECT_EQ (editor.getChildComponent (7)->getBounds(), juce::Rectangle<int> (174, 250, 114, 70));
    EXPECT_EQ (editor.getChildComponent (10)->getBounds(), juce::Rectangle<int> (383, 64, 10, 143));
}

TEST_F (EditorWindow, GainKnobIsSetUpAsAHiddenDecibelControl)
{
    auto& slider = knob();
    EXPECT_EQ (slider.getMinimum(), -90.0);
    EXPECT_EQ (slider.getMaximum(), 10.0);
    EXPECT_EQ (slider.getInterval(), 1.0);
    EXPECT_EQ (slider.getSliderStyle(), juce::Slider::RotaryVerticalDrag);
    EXPECT_EQ (slider.getTextBoxPosition(), juce::Slider::TextBoxLeft);
    EXPECT_TRUE (slider.isTextBoxEditable());
    EXPECT_EQ (slider.getTextValueSuffix(), " dB");
    EXPECT_EQ (slider.getSkewFactor(), 6.5);
    // 0 dB at about the middle of the travel: 0.9 to the power 6.5.
    EXPECT_NEAR (slider.valueToProportionOfLength (0.0), 0.50417, 1e-5);

    EXPECT_TRUE (slider.isDoubleClickReturnEnabled());
    EXPECT_EQ (slider.getDoubleClickReturnValue(), 0.0);

    // Below the window's bottom edge, so never seen.
    EXPECT_GE (slider.getY(), editor.getHeight());
}

TEST_F (EditorWindow, GearAndTitleButtonsToggleTheirPanelsWhenClicked)
{
    editor.setVisible (true);

    clickAt (editor, 427, 14);
    EXPECT_TRUE (optionsPanel().isVisible());
    EXPECT_FALSE (welcomePanel().isVisible());

    // Shown, the panel covers the gear: a click there reaches the panel's close button.
    clickAt (editor, 427, 14);
    EXPECT_FALSE (optionsPanel().isVisible());

    clickAt (editor, 100, 14);
    EXPECT_TRUE (welcomePanel().isVisible());

    clickAt (editor, 10, 10);
    EXPECT_FALSE (welcomePanel().isVisible());

    // Through the listener itself: a second click of either button hides its panel again.
    auto* gear = dynamic_cast<juce::Button*> (editor.getChildComponent (0));
    auto* title = dynamic_cast<juce::Button*> (editor.getChildComponent (8));
    editor.buttonClicked (gear);
    editor.buttonClicked (gear);
    EXPECT_FALSE (optionsPanel().isVisible());
    editor.buttonClicked (title);
    EXPECT_TRUE (welcomePanel().isVisible());
    EXPECT_FALSE (optionsPanel().isVisible());
    editor.buttonClicked (title);
    EXPECT_FALSE (welcomePanel().isVisible());

    juce::TextButton other;
    editor.buttonClicked (&other);
    EXPECT_FALSE (optionsPanel().isVisible());
    EXPECT_FALSE (welcomePanel().isVisible());
}

TEST_F (EditorWindow, ShownOptionsPanelTakesClicksOnlyOutsideItsLabelsAndList)
{
    editor.setVisible (true);
    optionsPanel().setVisible (true);

    clickAt (editor, 150, 90);
    EXPECT_TRUE (optionsPanel().isVisible());

    clickAt (editor, 10, 10);
    EXPECT_FALSE (optionsPanel().isVisible());
    EXPECT_FALSE (welcomePanel().isVisible());
}

TEST_F (EditorWindow, KnobShowsParameterZeroInWholeDecibelsAfterATick)
{
    const std::pair<float, double> cases[] = {
        { 1.0f, 10.0 }, { 0.9f, 0.0 }, { 0.0f, -90.0 }, { 0.5f, -40.0 }, { 0.904f, 0.0 }, { 0.906f, 1.0 }, // 0.4 dB and 0.6 dB, to the nearest whole decibel
        { 1.7f, 10.0 },
        { -0.25f, -90.0 }, // outside 0..1: the nearer end
    };

    for (const auto& [parameter, decibels] : cases)
    {
        setGainParameter (parameter);
        editor.timerCallback();
        EXPECT_EQ (knob().getValue(), decibels) << "parameter " << parameter;
        EXPECT_EQ (processor.gainParameterValue.load (relaxed), parameter) << "the processor keeps its value";
        EXPECT_FALSE (processor.parametersChanged.load (relaxed));
    }
}

TEST_F (EditorWindow, RefreshNeverEchoesTheGainBackToTheHost)
{
    HostRecorder host;
    processor.addListener (&host);

    setGainParameter (1.7f);
    editor.timerCallback();
    EXPECT_EQ (knob().getValue(), 10.0);
    // Had the refresh set the parameter, it would now hold 1.0, the knob's end.
    EXPECT_EQ (processor.gainParameterValue.load (relaxed), 1.7f);

    setGainParameter (0.3f);
    runMessageLoop (120);

    processor.removeListener (&host);

    EXPECT_TRUE (host.changes.empty());
    EXPECT_TRUE (host.gestures.isEmpty());
    EXPECT_EQ (knob().getValue(), -60.0);
    EXPECT_FALSE (processor.parametersChanged.load (relaxed));
}

TEST_F (EditorWindow, TurningTheKnobSetsParameterZeroAndTellsTheHost)
{
    HostRecorder host;
    processor.addListener (&host);

    knob().setValue (-6.0, juce::sendNotificationSync);
    knob().setValue (10.0, juce::sendNotificationSync);
    knob().setValue (-90.0, juce::sendNotificationSync);

    processor.removeListener (&host);

    ASSERT_EQ (host.changes.size(), 3u);
    EXPECT_EQ (host.changes[0], std::make_pair (0, 0.84f));
    EXPECT_EQ (host.changes[1], std::make_pair (0, 1.0f));
    EXPECT_EQ (host.changes[2], std::make_pair (0, 0.0f));
    EXPECT_EQ (processor.gainParameterValue.load (relaxed), 0.0f);
    EXPECT_TRUE (processor.parametersChanged.load (relaxed));
}

TEST_F (EditorWindow, DragsAreBracketedByGesturesAndADoubleClickReturnsToZeroDecibels)
{
    editor.timerCallback();
    setGainParameter (0.3f);
    editor.timerCallback();
    ASSERT_EQ (knob().getValue(), -60.0);

    HostRecorder host;
    processor.addListener (&host);

    knob().mouseDown (mouseEventOn (knob(), 1));
    knob().mouseUp (mouseEventOn (knob(), 1));
    EXPECT_EQ (host.gestures, juce::StringArray ({ "begin 0", "end 0" }));

    host.gestures.clear();
    knob().mouseDoubleClick (mouseEventOn (knob(), 2));

    processor.removeListener (&host);

    EXPECT_EQ (knob().getValue(), 0.0);
    EXPECT_EQ (processor.gainParameterValue.load (relaxed), 0.9f);
    ASSERT_FALSE (host.changes.empty());
    EXPECT_EQ (host.changes.back(), std::make_pair (0, 0.9f));
    EXPECT_EQ (host.gestures, juce::StringArray ({ "begin 0", "end 0" }));
}

TEST_F (EditorWindow, OtherSlidersReachingItsCallbacksChangeNothing)
{
    editor.timerCallback();
    HostRecorder host;
    processor.addListener (&host);

    juce::Slider other;
    other.setRange (-90.0, 10.0);
    other.setValue (5.0, juce::dontSendNotification);
    editor.sliderValueChanged (&other);
    editor.sliderDragStarted (&other);
    editor.sliderDragEnded (&other);

    processor.removeListener (&host);

    EXPECT_TRUE (host.changes.empty());
    EXPECT_TRUE (host.gestures.isEmpty());
    EXPECT_EQ (processor.gainParameterValue.load (relaxed), 0.9f);
    EXPECT_FALSE (processor.parametersChanged.load (relaxed));
}

TEST_F (EditorWindow, TimerTicksEveryFiftyMillisecondsAndRefreshesTheKnobOnItsOwn)
{
    EXPECT_TRUE (editor.isTimerRunning());
    EXPECT_EQ (editor.getTimerInterval(), 50);

    setGainParameter (1.0f);
    EXPECT_TRUE (runMessageLoopUntil ([&] { return knob().getValue() == 10.0; }, 1000));
    EXPECT_FALSE (processor.parametersChanged.load (relaxed));
}
