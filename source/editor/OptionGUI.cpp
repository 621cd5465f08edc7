#include "OptionGUI.h"

#include "processor/VelloranAudioProcessor.h"

namespace
{
// Item ids start at 1; the item index (0 or 1) is the mode exchanged with the processor.
const char* const fumaToAmbixText = "FuMa  ->  ambiX";
const char* const ambixToFumaText = "AmbiX ->  FuMa";
const char* const modeText = "MODE";
const char* const noChoicesText = "(no choices)";

constexpr float labelFontHeight = 15.0f;
const juce::Colour labelTextColour (0xfffcfcfc);
const juce::Colour squareColour (0xff000000);

const juce::Rectangle<int> squareBounds { 171, 76, 100, 100 };
const juce::Rectangle<int> inputConfigBounds { 138, 80, 168, 78 };
const juce::Rectangle<int> listBounds { 162, 116, 119, 19 };
const juce::Rectangle<int> modeLabelBounds { 192, 76, 56, 36 };

void applyLabelSettings (juce::Label& label)
{
    label.setFont (juce::Font (labelFontHeight, juce::Font::plain));
    label.setJustificationType (juce::Justification::centredLeft);
    label.setEditable (false, false, false);
    label.setColour (juce::Label::textColourId, labelTextColour);
    label.setColour (juce::TextEditor::textColourId, juce::Colour (0xff000000));
    label.setColour (juce::TextEditor::backgroundColourId, juce::Colour (0x00000000));
}
} // namespace

OptionGUI::OptionGUI (VelloranAudioProcessor* processorToControl)
{
    // Covers the whole panel, beneath everything else: it takes every click the controls do not.
    closeButton = std::make_unique<juce::TextButton> ("closeButton");
    addAndMakeVisible (closeButton.get());
    closeButton->setButtonText (juce::String());
    closeButton->setConnectedEdges (AltLookAndFeel_transparentButton::allEdgesConnected);
    closeButton->addListener (this);
    closeButton->setColour (juce::TextButton::buttonColourId, juce::Colour (0x00ffffff));
    closeButton->setColour (juce::TextButton::buttonOnColourId, juce::Colour (0x00ffffff));
    closeButton->setColour (juce::TextButton::textColourOnId, juce::Colour (0x00000000));
    closeButton->setColour (juce::TextButton::textColourOffId, juce::Colour (0x00000000));

    label_InputConfig = std::make_unique<juce::Label> ("label_InputConfig", juce::String());
    addAndMakeVisible (label_InputConfig.get());
    applyLabelSettings (*label_InputConfig);

    presetList = std::make_unique<juce::ComboBox> ("presetList");
    addAndMakeVisible (presetList.get());
    presetList->setEditableText (false);
    presetList->setJustificationType (juce::Justification::centredLeft);
    presetList->setTextWhenNothingSelected (juce::String());
    presetList->setTextWhenNoChoicesAvailable (juce::translate (noChoicesText));
    presetList->addListener (this);

    modeLabel = std::make_unique<juce::Label> ("label_InputConfig", juce::translate (modeText));
    addAndMakeVisible (modeLabel.get());
    applyLabelSettings (*modeLabel);

    setSize (ortholume::editorWidth, ortholume::editorHeight);
    closeButton->setLookAndFeel (&transparentButtonLookAndFeel);

    processor = processorToControl;

    presetList->addItem (juce::translate (fumaToAmbixText), 1);
    presetList->addItem (juce::translate (ambixToFumaText), 2);

    // From no selection to the current mode: the notification that follows hands
    // the processor the mode it already has, which raises its change flag.
    timerCallback();
    startTimer (timerIntervalMs);
}

OptionGUI::~OptionGUI()
{
    closeButton = nullptr;
    label_InputConfig = nullptr;
    presetList = nullptr;
    modeLabel = nullptr;
}

void OptionGUI::paint (juce::Graphics& g)
{
    g.setColour (squareColour);
    g.fillRect (squareBounds);
}

void OptionGUI::resized()
{
    closeButton->setBounds (0, 0, ortholume::editorWidth, ortholume::editorHeight);
    label_InputConfig->setBounds (inputConfigBounds);
    presetList->setBounds (listBounds);
    modeLabel->setBounds (modeLabelBounds);
}

void OptionGUI::timerCallback()
{
    if (processor == nullptr)
        return;

    const int mode = processor->idxInputConfig.load (ortholume::relaxed);

    // A pick the list has not reported yet moves its selection away from where
    // list and processor last agreed. While the processor stays where it was, the
    // pick is left to its notification: selecting the old mode here would have
    // that notification hand the old mode back.
    if (presetList->getSelectedItemIndex() != mirroredSelection && mode == mirroredMode)
        return;

    // An index that names no item clears the selection; an unchanged one posts nothing.
    mirroredMode = mode;
    presetList->setSelectedItemIndex (mirroredMode, juce::sendNotificationAsync);
    mirroredSelection = presetList->getSelectedItemIndex();
}

void OptionGUI::buttonClicked (juce::Button* button)
{
    if (button == closeButton.get())
        setVisible (false);
}

void OptionGUI::comboBoxChanged (juce::ComboBox* comboBoxThatHasChanged)
{
    if (comboBoxThatHasChanged != presetList.get() || processor == nullptr)
        return;

    const int selected = presetList->getSelectedItemIndex();

    // The notification arrives later than the change it reports. If it only
    // echoes a mode the processor has left since (a state the host restored in
    // between), handing it back would undo that restore; the next tick follows
    // the processor instead.
    if (selected == mirroredSelection && processor->idxInputConfig.load (ortholume::relaxed) != mirroredMode)
        return;

    processor->setConversionMode (selected);
    mirroredSelection = selected;
    mirroredMode = selected;
}
