#pragma once

#include "AltLookAndFeel_transparentButton.h"
#include "EditorSize.h"

/** The about panel: the product title and a link to the maker's site, laid over
    the editor's artwork. A click anywhere but on the link hides it again. */
class WelcomeGUI final : public juce::Component,
                         public juce::Button::Listener
{
public:
    WelcomeGUI();
    ~WelcomeGUI() override;

    void paint (juce::Graphics& g) override;
    void resized() override;
    void buttonClicked (juce::Button* button) override;

private:
    AltLookAndFeel_transparentButton transparentButtonLookAndFeel;
    std::unique_ptr<juce::Label> labelTitle;
    std::unique_ptr<juce::TextButton> closeButton;
    std::unique_ptr<juce::HyperlinkButton> websiteLink;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (WelcomeGUI)
};
