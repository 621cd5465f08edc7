// The options panel: the list of the two directions, its 100 ms follow of the
// processor's mode, and the invisible close button beneath everything.

#include "EditorHarness.h"
#include "editor/OptionGUI.h"
#include "processor/VelloranAudioProcessor.h"

using namespace ortholume::testing;

namespace
{
juce::ComboBox& listOf (OptionGUI& panel)
{
    auto* list = childOfType<juce::ComboBox> (panel);
    EXPECT_NE (list, nullptr);
    return *list;
}

/** Lets the list's asynchronous change notification arrive. */
void deliverNotifications() { runMessageLoop (20); }
} // namespace

namespace ortholume::testing
{
struct EditorOptionsPanel : public ::testing::Test
{
    VelloranAudioProcessor processor;
};
} // namespace ortholume::testing

TEST_F (EditorOptionsPanel, ChildrenStackInCreationOrderWithTheirNamesAndBounds)
{
    OptionGUI panel (&processor);
    ASSERT_EQ (panel.getNumChildComponents(), 4);

    auto* close = dynamic_cast<juce::TextButton*> (panel.getChildComponent (0));
    auto* inputConfig = dynamic_cast<juce::Label*> (panel.getChildComponent (1));
    auto* list = dynamic_cast<juce::ComboBox*> (panel.getChildComponent (2));
    auto* mode = dynamic_cast<juce::Label*> (panel.getChildComponent (3));
    ASSERT_TRUE (close != nullptr && inputConfig != nullptr && list != nullptr && mode != nullptr);

    EXPECT_EQ (close->getName(), "closeButton");
    EXPECT_EQ (inputConfig->getName(), "label_InputConfig");
    EXPECT_EQ (list->getName(), "presetList");
    EXPECT_EQ (mode->getName(), "label_InputConfig");

    EXPECT_EQ (panel.getBounds(), juce::Rectangle<int> (0, 0, 443, 233));
    EXPECT_EQ (close->getBounds(), juce::Rectangle<int> (0, 0, 443, 233));
    EXPECT_EQ (inputConfig->getBounds(), juce::Rectangle<int> (138, 80, 168, 78));
    EXPECT_EQ (list->getBounds(), juce::Rectangle<int> (162, 116, 119, 19));
    EXPECT_EQ (mode->getBounds(), juce::Rectangle<int> (192, 76, 56, 36));

    for (auto* child : panel.getChildren())
        EXPECT_TRUE (child->isVisible()) << child->getName();

    EXPECT_EQ (inputConfig->getText(), "");
    EXPECT_EQ (mode->getText(), "MODE");
    EXPECT_FLOAT_EQ (mode->getFont().getHeight(), 15.0f);
    EXPECT_EQ (mode->findColour (juce::Label::textColourId), juce::Colour (0xfffcfcfc));

    // The two spaces around the first arrow and the one before the second are part of the texts.
    ASSERT_EQ (list->getNumItems(), 2);
    EXPECT_EQ (list->getItemText (0), "FuMa  ->  ambiX");
    EXPECT_EQ (list->getItemId (0), 1);
    EXPECT_EQ (list->getItemText (1), "AmbiX ->  FuMa");
    EXPECT_EQ (list->getItemId (1), 2);
    EXPECT_EQ (list->getTextWhenNothingSelected(), "");
    EXPECT_EQ (list->getTextWhenNoChoicesAvailable(), "(no choices)");
    EXPECT_FALSE (list->isTextEditable());

    EXPECT_TRUE (connectedOnAllEdges (*close));
    EXPECT_EQ (close->findColour (juce::TextButton::textColourOffId), juce::Colour (0x00000000));
}

TEST_F (EditorOptionsPanel, OpenedInModeOneShowsItAndHandsTheSameModeBack)
{
    processor.setConversionMode (1);
    const float wTarget = processor.wGainTarget.load();
    processor.parametersChanged.store (false, relaxed);

    OptionGUI panel (&processor);
    EXPECT_EQ (listOf (panel).getText(), "AmbiX ->  FuMa");

    deliverNotifications();
    EXPECT_TRUE (processor.parametersChanged.load (relaxed));
    EXPECT_EQ (processor.idxInputConfig.load (relaxed), 1);
    EXPECT_EQ (processor.wGainTarget.load(), wTarget);
}

TEST_F (EditorOptionsPanel, OpenedWithAnOutOfRangeModeSelectsNothingAndKeepsTheMode)
{
    processor.setConversionMode (2);
    processor.parametersChanged.store (false, relaxed);

    OptionGUI panel (&processor);
    deliverNotifications();

    EXPECT_EQ (listOf (panel).getSelectedItemIndex(), -1);
    EXPECT_EQ (listOf (panel).getText(), "");
    EXPECT_FALSE (processor.parametersChanged.load (relaxed));
    EXPECT_EQ (processor.idxInputConfig.load (relaxed), 2);
}

TEST_F (EditorOptionsPanel, ChoosingAnItemSetsTheMode)
{
    OptionGUI panel (&processor);
    deliverNotifications();

    listOf (panel).setSelectedItemIndex (1, juce::sendNotificationSync);
    EXPECT_EQ (processor.idxInputConfig.load (relaxed), 1);
    EXPECT_FLOAT_EQ (processor.mixTarget.load(), 1.0f);

    listOf (panel).setSelectedItemIndex (0, juce::sendNotificationSync);
    EXPECT_EQ (processor.idxInputConfig.load (relaxed), 0);
    EXPECT_FLOAT_EQ (processor.mixTarget.load(), 0.0f);
}

TEST_F (EditorOptionsPanel, HiddenListFollowsARestoredModeWithinOneTick)
{
    OptionGUI panel (&processor);
    deliverNotifications();
    ASSERT_FALSE (panel.isVisible());
    EXPECT_TRUE (panel.isTimerRunning());
    EXPECT_EQ (panel.getTimerInterval(), 100);

    processor.setConversionMode (1);
    processor.parametersChanged.store (false, relaxed);

    panel.timerCallback();
    EXPECT_EQ (listOf (panel).getText(), "AmbiX ->  FuMa");

    // The notification that follows hands the same mode back once.
    deliverNotifications();
    EXPECT_TRUE (processor.parametersChanged.load (relaxed));
    EXPECT_EQ (processor.idxInputConfig.load (relaxed), 1);

    // And the running timer does the same on its own.
    processor.setConversionMode (0);
    EXPECT_TRUE (runMessageLoopUntil ([&] { return listOf (panel).getText() == "FuMa  ->  ambiX"; }, 1000));
}

TEST_F (EditorOptionsPanel, OutOfRangeModeClearsTheSelectionThenSettlesOnMinusOne)
{
    OptionGUI panel (&processor);
    deliverNotifications();
    ASSERT_EQ (listOf (panel).getSelectedItemIndex(), 0);

    processor.setConversionMode (2);
    processor.parametersChanged.store (false, relaxed);

    panel.timerCallback();
    EXPECT_EQ (listOf (panel).getSelectedItemIndex(), -1);
    EXPECT_EQ (listOf (panel).getText(), "");

    deliverNotifications();
    EXPECT_EQ (processor.idxInputConfig.load (relaxed), -1);
    EXPECT_TRUE (processor.parametersChanged.load (relaxed));

    // -1 names no item either, and the list already shows none: nothing more is posted.
    processor.parametersChanged.store (false, relaxed);
    runMessageLoop (350);
    EXPECT_FALSE (processor.parametersChanged.load (relaxed));
    EXPECT_EQ (processor.idxInputConfig.load (relaxed), -1);
}

TEST_F (EditorOptionsPanel, StateRestoredBeforeTheListsNotificationArrivesIsKept)
{
    // The panel copies mode 0 and posts its notification; the host restores mode 1
    // before that notification is delivered.
    OptionGUI panel (&processor);
    processor.setConversionMode (1);

    deliverNotifications();
    EXPECT_EQ (processor.idxInputConfig.load (relaxed), 1);
    EXPECT_FLOAT_EQ (processor.mixTarget.load(), 1.0f);

    panel.timerCallback();
    deliverNotifications();
    EXPECT_EQ (listOf (panel).getText(), "AmbiX ->  FuMa");
    EXPECT_EQ (processor.idxInputConfig.load (relaxed), 1);
}

TEST_F (EditorOptionsPanel, ChoiceMadeBeforeTheNotificationArrivesStillReachesTheProcessor)
{
    OptionGUI panel (&processor);
    listOf (panel).setSelectedItemIndex (1, juce::sendNotificationAsync);

    deliverNotifications();
    EXPECT_EQ (processor.idxInputConfig.load (relaxed), 1);
}

TEST_F (EditorOptionsPanel, PickStillPendingWhenTheTickRunsIsNotUndone)
{
    OptionGUI panel (&processor);
    deliverNotifications();

    // The user picks from the list, which reports it the way its pop-up does
    // (asynchronously); the tick comes before that report.
    for (int pick : { 1, 0 })
    {
        listOf (panel).setSelectedId (pick + 1);
        panel.timerCallback();
        EXPECT_EQ (listOf (panel).getSelectedItemIndex(), pick);

        deliverNotifications();
        EXPECT_EQ (processor.idxInputConfig.load (relaxed), pick);
        EXPECT_EQ (listOf (panel).getSelectedItemIndex(), pick);

        // And the ticks after it keep the pick.
        panel.timerCallback();
        deliverNotifications();
        EXPECT_EQ (processor.idxInputConfig.load (relaxed), pick);
        EXPECT_EQ (listOf (panel).getSelectedItemIndex(), pick);
    }
}

TEST_F (EditorOptionsPanel, ClickInTheCornerHidesItAndOneOnTheLabelDoesNot)
{
    OptionGUI panel (&processor);
    panel.setVisible (true);

    clickAt (panel, 150, 90);
    EXPECT_TRUE (panel.isVisible());

    clickAt (panel, 10, 10);
    EXPECT_FALSE (panel.isVisible());

    panel.setVisible (true);
    clickAt (panel, 430, 220);
    EXPECT_FALSE (panel.isVisible());
}

TEST_F (EditorOptionsPanel, OtherControlsReachingItsCallbacksChangeNothing)
{
    OptionGUI panel (&processor);
    deliverNotifications();
    panel.setVisible (true);
    processor.parametersChanged.store (false, relaxed);

    juce::TextButton otherButton;
    juce::ComboBox otherList;
    otherList.addItem ("x", 1);
    otherList.addItem ("y", 2);
    otherList.setSelectedItemIndex (1, juce::dontSendNotification);

    panel.buttonClicked (&otherButton);
    panel.comboBoxChanged (&otherList);

    EXPECT_TRUE (panel.isVisible());
    EXPECT_FALSE (processor.parametersChanged.load (relaxed));
    EXPECT_EQ (processor.idxInputConfig.load (relaxed), 0);
}
