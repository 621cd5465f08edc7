#include "WelcomeGUI.h"

namespace
{
const char* const titleText = "Ortholume v1.0";
const char* const makerHostName = "brackenfold.com";
const char* const makerAddress = "https://brackenfold.com";

constexpr float titleFontHeight = 16.0f;
constexpr float linkFontHeight = 14.0f;
const juce::Colour titleColour (0xfffcfcfc);
const juce::Colour linkColour (0xffe10035);

const juce::Rectangle<int> titleBounds { 134, 42, 175, 52 };
const juce::Rectangle<int> linkBounds { 140, 172, 168, 22 };
} // namespace

WelcomeGUI::WelcomeGUI()
{
    labelTitle = std::make_unique<juce::Label> ("labelTitle", juce::translate (titleText));
    addAndMakeVisible (labelTitle.get());
    labelTitle->setFont (juce::Font (titleFontHeight, juce::Font::plain));
    labelTitle->setJustificationType (juce::Justification::centred);
    labelTitle->setEditable (false, false, false);
    labelTitle->setColour (juce::Label::textColourId, titleColour);
    labelTitle->setColour (juce::TextEditor::textColourId, juce::Colour (0xff000000));
    labelTitle->setColour (juce::TextEditor::backgroundColourId, juce::Colour (0x00000000));

    // Lies above the title so that a click on the title closes the panel too.
    closeButton = std::make_unique<juce::TextButton> ("closeButton");
    addAndMakeVisible (closeButton.get());
    closeButton->setButtonText (juce::String());
    closeButton->setConnectedEdges (AltLookAndFeel_transparentButton::allEdgesConnected);
    closeButton->addListener (this);
    closeButton->setColour (juce::TextButton::buttonColourId, juce::Colour (0x00ffffff));
    closeButton->setColour (juce::TextButton::buttonOnColourId, juce::Colour (0x00ffffff));

    websiteLink = std::make_unique<juce::HyperlinkButton> (juce::translate (makerHostName),
                                                           juce::URL (juce::translate (makerAddress)));
    addAndMakeVisible (websiteLink.get());
    websiteLink->setTooltip (juce::translate (makerAddress));
    websiteLink->setButtonText (juce::translate (makerHostName));
    websiteLink->setColour (juce::HyperlinkButton::textColourId, linkColour);

    setSize (ortholume::editorWidth, ortholume::editorHeight);
    closeButton->setLookAndFeel (&transparentButtonLookAndFeel);

    // The text follows the button's height; the font only fixes face and style.
    websiteLink->setFont (juce::Font (linkFontHeight, juce::Font::plain), true,
                          juce::Justification::horizontallyCentred);
}

WelcomeGUI::~WelcomeGUI()
{
    labelTitle = nullptr;
    closeButton = nullptr;
    websiteLink = nullptr;
}

void WelcomeGUI::paint (juce::Graphics&)
{
    // Transparent: the editor's artwork shows around the title and the link.
}

void WelcomeGUI::resized()
{
    labelTitle->setBounds (titleBounds);
    closeButton->setBounds (0, 0, ortholume::editorWidth, ortholume::editorHeight);
    websiteLink->setBounds (linkBounds);
}

void WelcomeGUI::buttonClicked (juce::Button* button)
{
    if (button == closeButton.get())
        setVisible (false);
}
