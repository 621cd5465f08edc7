// The welcome panel: title and link over the artwork; a click anywhere but on
// the link hides it.

#include "EditorHarness.h"
#include "editor/WelcomeGUI.h"

using namespace ortholume::testing;

TEST (EditorWelcomePanel, ChildrenStackInCreationOrderWithTheirNamesAndBounds)
{
    WelcomeGUI panel;
    ASSERT_EQ (panel.getNumChildComponents(), 3);

    auto* title = dynamic_cast<juce::Label*> (panel.getChildComponent (0));
    auto* close = dynamic_cast<juce::TextButton*> (panel.getChildComponent (1));
    auto* link = dynamic_cast<juce::HyperlinkButton*> (panel.getChildComponent (2));
    ASSERT_NE (title, nullptr);
    ASSERT_NE (close, nullptr);
    ASSERT_NE (link, nullptr);

    EXPECT_EQ (title->getName(), "labelTitle");
    EXPECT_EQ (close->getName(), "closeButton");
    // The framework names a link after its text.
    EXPECT_EQ (link->getName(), "brackenfold.com");

    EXPECT_EQ (panel.getBounds(), juce::Rectangle<int> (0, 0, 443, 233));
    EXPECT_EQ (title->getBounds(), juce::Rectangle<int> (134, 42, 175, 52));
    EXPECT_EQ (close->getBounds(), juce::Rectangle<int> (0, 0, 443, 233));
    EXPECT_EQ (link->getBounds(), juce::Rectangle<int> (140, 172, 168, 22));

    for (auto* child : panel.getChildren())
        EXPECT_TRUE (child->isVisible()) << child->getName();

    EXPECT_EQ (title->getText(), "Ortholume v1.0");
    EXPECT_EQ (title->findColour (juce::Label::textColourId), juce::Colour (0xfffcfcfc));
    EXPECT_FLOAT_EQ (title->getFont().getHeight(), 16.0f);
    EXPECT_EQ (title->getJustificationType(), juce::Justification (juce::Justification::centred));
    EXPECT_FALSE (title->isEditable());

    EXPECT_EQ (close->getButtonText(), "");
    EXPECT_TRUE (connectedOnAllEdges (*close));
}

TEST (EditorWelcomePanel, LinkLeadsToTheMakerWithItsHostNameAsText)
{
    WelcomeGUI panel;
    auto* link = dynamic_cast<juce::HyperlinkButton*> (panel.getChildComponent (2));
    ASSERT_NE (link, nullptr);

    EXPECT_EQ (link->getURL().toString (false), "https://brackenfold.com");
    EXPECT_EQ (link->getButtonText(), "brackenfold.com");
    EXPECT_EQ (link->getTooltip(), "https://brackenfold.com");
    EXPECT_EQ (link->findColour (juce::HyperlinkButton::textColourId), juce::Colour (0xffe10035));
}

TEST (EditorWelcomePanel, OnlyTheLinkLiesAboveTheCloseButton)
{
    WelcomeGUI panel;
    panel.setVisible (true);
    auto* close = panel.getChildComponent (1);
    auto* link = panel.getChildComponent (2);

    EXPECT_EQ (panel.getComponentAt (224, 183), link);
    EXPECT_EQ (panel.getComponentAt (141, 173), link);
    // The title lies beneath the close button.
    EXPECT_EQ (panel.getComponentAt (221, 68), close);
    EXPECT_EQ (panel.getComponentAt (10, 10), close);
    EXPECT_EQ (panel.getComponentAt (224, 195), close);
}

TEST (EditorWelcomePanel, ClicksOnTheCornerOrTheTitleHideIt)
{
    WelcomeGUI panel;
    panel.setVisible (true);

    clickAt (panel, 10, 10);
    EXPECT_FALSE (panel.isVisible());

    panel.setVisible (true);
    clickAt (panel, 221, 68);
    EXPECT_FALSE (panel.isVisible());

    // Hidden, not deleted: it can be shown again and still works.
    panel.setVisible (true);
    clickAt (panel, 430, 220);
    EXPECT_FALSE (panel.isVisible());
}

TEST (EditorWelcomePanel, ClickOnAnyOtherButtonLeavesItShown)
{
    WelcomeGUI panel;
    panel.setVisible (true);
    juce::TextButton other;

    panel.buttonClicked (&other);
    EXPECT_TRUE (panel.isVisible());
}
