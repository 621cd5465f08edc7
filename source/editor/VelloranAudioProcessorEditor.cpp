#include "VelloranAudioProcessorEditor.h"

#include "OptionGUI.h"
#include "VuMeter.h"
#include "WelcomeGUI.h"
#include "EditorSize.h"
#include "engine/ConversionMode.h"
#include "engine/GainMapping.h"
#include "processor/GainParameter.h"
#include "processor/VelloranAudioProcessor.h"
#include "BinaryData.h"

using ortholume::relaxed;

namespace
{
// The meters stand where the artwork's scales leave gaps for them, 19 or 20 pixels apart.
constexpr std::array<int, 8> meterX { 50, 69, 89, 108, 325, 345, 364, 383 };
constexpr int meterY = 64;
constexpr int meterWidth = 10;
constexpr int meterHeight = 143;

const juce::Rectangle<int> backgroundArea { 0, 0, ortholume::editorWidth, ortholume::editorHeight };
const juce::Rectangle<int> gearBounds { 418, 5, 18, 18 };
// Below the window's bottom edge: the gain is changed from the host, and the knob follows.
const juce::Rectangle<int> sliderGainBounds { 174, 250, 114, 70 };
const juce::Rectangle<int> titleButtonBounds { 0, 0, 208, 28 };

const juce::Rectangle<int> outputCaptionBand { 314, 211, 100, 14 };
const juce::Rectangle<int> inputCaptionBand { 39, 210, 100, 14 };
const juce::Rectangle<int> inputChannelsArea { 49, 212, 69, 9 };
const juce::Rectangle<int> outputChannelsArea { 324, 212, 69, 9 };
const juce::Rectangle<int> inputFormatArea { 88, 38, 37, 14 };
const juce::Rectangle<int> outputFormatArea { 364, 38, 37, 14 };

constexpr float gearOpacityNormal = 0.85f;
constexpr float gearOpacityOver = 1.0f;
constexpr float gearOpacityDown = 0.5f;

constexpr double gainSkewFactor = 6.5; // puts 0 dB at about the middle of the knob's travel
constexpr int gainTextBoxWidth = 45;
constexpr int gainTextBoxHeight = 15;

constexpr int allEdgesConnected = juce::Button::ConnectedOnLeft | juce::Button::ConnectedOnRight
                                  | juce::Button::ConnectedOnTop | juce::Button::ConnectedOnBottom;

juce::Image loadImage (const char* data, int size)
{
    return juce::ImageCache::getFromMemory (data, size);
}

void drawWholeImage (juce::Graphics& g, const juce::Image& image, juce::Rectangle<int> area)
{
    g.setColour (juce::Colour (0xff000000));
    g.drawImage (image, area.getX(), area.getY(), area.getWidth(), area.getHeight(),
                 0, 0, image.getWidth(), image.getHeight(), false);
}
} // namespace

VelloranAudioProcessorEditor::VelloranAudioProcessorEditor (VelloranAudioProcessor& processorToShow)
    : AudioProcessorEditor (processorToShow)
{
    engrenage = std::make_unique<juce::ImageButton> ("engrenage");
    addAndMakeVisible (engrenage.get());
    engrenage->addListener (this);
    const auto gear = loadImage (BinaryData::gearIcon_png, BinaryData::gearIcon_pngSize);
    engrenage->setImages (false, true, true,
                          gear, gearOpacityNormal, juce::Colour (0x00000000),
                          gear, gearOpacityOver, juce::Colour (0x00000000),
                          gear, gearOpacityDown, juce::Colour (0x00000000),
                          0.0f);

    for (size_t slot = 0; slot < vuMeters.size(); ++slot)
    {
        vuMeters[slot] = std::make_unique<VuMeter> (&processorToShow, (int) slot);
        addAndMakeVisible (vuMeters[slot].get());
        vuMeters[slot]->setName ("vuMeter");
    }

    sliderGain = std::make_unique<juce::Slider> ("sliderGain");
    addAndMakeVisible (sliderGain.get());
    sliderGain->setRange (ortholume::gainDecibelsAtZero,
                          ortholume::gainDecibelsAtZero + ortholume::gainDecibelsPerUnit, 1.0);
    sliderGain->setSliderStyle (juce::Slider::RotaryVerticalDrag);
    sliderGain->setTextBoxStyle (juce::Slider::TextBoxLeft, false, gainTextBoxWidth, gainTextBoxHeight);
    sliderGain->setColour (juce::Slider::backgroundColourId, juce::Colour (0x00000000));
    sliderGain->setColour (juce::Slider::thumbColourId, juce::Colour (0xffeeeeee));
    sliderGain->setColour (juce::Slider::rotarySliderFillColourId, juce::Colour (0x7ffdfdfd));
    sliderGain->setColour (juce::Slider::rotarySliderOutlineColourId, juce::Colour (0xff797979));
    sliderGain->setColour (juce::Slider::textBoxTextColourId, juce::Colour (0xffd7d7d7));
    sliderGain->setColour (juce::Slider::textBoxBackgroundColourId, juce::Colour (0x5092928d));
    sliderGain->setColour (juce::Slider::textBoxHighlightColourId, juce::Colour (0x3affffff));
    sliderGain->setColour (juce::Slider::textBoxOutlineColourId, juce::Colour (0x00b9b9b9));
    sliderGain->addListener (this);
    sliderGain->setSkewFactor (gainSkewFactor);

    titleButton = std::make_unique<juce::TextButton> ("new button");
    addAndMakeVisible (titleButton.get());
    titleButton->setButtonText (juce::String());
    titleButton->setConnectedEdges (allEdgesConnected);
    titleButton->addListener (this);
    titleButton->setColour (juce::TextButton::buttonColourId, juce::Colour (0x00bbbbff));
    titleButton->setColour (juce::TextButton::buttonOnColourId, juce::Colour (0x48e8e8e8));

    for (size_t i = 0; i < lastVuMeters.size(); ++i)
    {
        lastVuMeters[i] = std::make_unique<VuMeter> (&processorToShow, (int) (vuMeters.size() + i));
        addAndMakeVisible (lastVuMeters[i].get());
        lastVuMeters[i]->setName ("vuMeter");
    }

    backgroundImage = loadImage (BinaryData::editorBackground_png, BinaryData::editorBackground_pngSize);

    setSize (ortholume::editorWidth, ortholume::editorHeight);

    // The panels give themselves the editor's size and are shown and hidden, never re-created.
    optionsPanel = std::make_unique<OptionGUI> (&processorToShow);
    addChildComponent (optionsPanel.get());
    welcomePanel = std::make_unique<WelcomeGUI>();
    addChildComponent (welcomePanel.get());

    sliderGain->setTextValueSuffix (" dB");

    // The first tick then brings the knob to the host's value.
    processorToShow.parametersChanged.store (true, relaxed);
    startTimer (timerIntervalMs);

    displayedMode = processorToShow.idxInputConfig.load (relaxed);
    loadCaptionImages();

    sliderGain->setDoubleClickReturnValue (true, 0.0);

    // Ours alone rather than the process-wide default: another instance closing
    // its window must not take the look of this one with it, and the host's own
    // windows (the Standalone app's title bar) keep theirs.
    setLookAndFeel (&altLookAndFeel);

    titleButton->setLookAndFeel (&transparentButtonLookAndFeel);
    sliderGain->setLookAndFeel (&transparentButtonLookAndFeel);
}

VelloranAudioProcessorEditor::~VelloranAudioProcessorEditor()
{
    // Every component goes before the look and feel it draws with.
    optionsPanel = nullptr;
    welcomePanel = nullptr;
    engrenage = nullptr;

    for (auto& meter : vuMeters)
        meter = nullptr;

    sliderGain = nullptr;
    titleButton = nullptr;

    for (auto& meter : lastVuMeters)
        meter = nullptr;

    setLookAndFeel (nullptr);
}

VelloranAudioProcessor& VelloranAudioProcessorEditor::getVelloranProcessor() const
{
    return static_cast<VelloranAudioProcessor&> (processor);
}

void VelloranAudioProcessorEditor::loadCaptionImages()
{
    // Any index but 1 converts as FuMa to AmbiX, so it is captioned that way too.
    const bool ambixIn = (displayedMode == ortholume::AmbixToFuma);
    const auto wxyz = loadImage (BinaryData::WXYZ_png, BinaryData::WXYZ_pngSize);
    const auto wyzx = loadImage (BinaryData::WYZX_png, BinaryData::WYZX_pngSize);
    const auto ambix = loadImage (BinaryData::ambixLabel_png, BinaryData::ambixLabel_pngSize);
    const auto fuma = loadImage (BinaryData::fumaLabel_png, BinaryData::fumaLabel_pngSize);

    inputChannelsImage = ambixIn ? wyzx : wxyz;
    outputChannelsImage = ambixIn ? wxyz : wyzx;
    inputFormatImage = ambixIn ? ambix : fuma;
    outputFormatImage = ambixIn ? fuma : ambix;
}

void VelloranAudioProcessorEditor::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (0xff000000));
    drawWholeImage (g, backgroundImage, backgroundArea);

    // Black bands behind the channel captions.
    g.setColour (juce::Colour (0xff000000));
    g.fillRect (outputCaptionBand);
    g.setColour (juce::Colour (0xff000000));
    g.fillRect (inputCaptionBand);

    drawWholeImage (g, inputChannelsImage, inputChannelsArea);
    drawWholeImage (g, outputChannelsImage, outputChannelsArea);
    drawWholeImage (g, inputFormatImage, inputFormatArea);
    drawWholeImage (g, outputFormatImage, outputFormatArea);
}

void VelloranAudioProcessorEditor::resized()
{
    engrenage->setBounds (gearBounds);

    for (size_t slot = 0; slot < vuMeters.size(); ++slot)
        vuMeters[slot]->setBounds (meterX[slot], meterY, meterWidth, meterHeight);

    sliderGain->setBounds (sliderGainBounds);
    titleButton->setBounds (titleButtonBounds);

    for (size_t i = 0; i < lastVuMeters.size(); ++i)
        lastVuMeters[i]->setBounds (meterX[vuMeters.size() + i], meterY, meterWidth, meterHeight);
}

void VelloranAudioProcessorEditor::timerCallback()
{
    for (auto& meter : vuMeters)
        meter->repaint();

    for (auto& meter : lastVuMeters)
        meter->repaint();

    auto& velloran = getVelloranProcessor();

    // Lowered before reading, so that a change arriving while this tick refreshes
    // is picked up by the next one instead of being lost.
    if (! velloran.parametersChanged.exchange (false, relaxed))
        return;

    const float gainValue = ortholume::getGainParameter (velloran);

    // No notification: a value from the host must not be echoed back to it.
    sliderGain->setValue ((double) ortholume::gainParameterToDecibels (gainValue), juce::dontSendNotification);

    const int mode = velloran.idxInputConfig.load (relaxed);

    if (mode != displayedMode)
    {
        displayedMode = mode;
        loadCaptionImages();
        repaint();
    }
}

void VelloranAudioProcessorEditor::buttonClicked (juce::Button* button)
{
    if (button == engrenage.get())
        optionsPanel->setVisible (! optionsPanel->isVisible());
    else if (button == titleButton.get())
        welcomePanel->setVisible (! welcomePanel->isVisible());
}

void VelloranAudioProcessorEditor::sliderValueChanged (juce::Slider* slider)
{
    if (slider != sliderGain.get())
        return;

    const auto value = ortholume::decibelsToGainParameter (sliderGain->getValue());

    // Sets the parameter, then tells the host, in that order.
    ortholume::setGainParameterNotifyingHost (getVelloranProcessor(), value);
}

void VelloranAudioProcessorEditor::sliderDragStarted (juce::Slider* slider)
{
    if (slider == sliderGain.get())
        ortholume::beginGainChangeGesture (getVelloranProcessor());
}

void VelloranAudioProcessorEditor::sliderDragEnded (juce::Slider* slider)
{
    if (slider == sliderGain.get())
        ortholume::endGainChangeGesture (getVelloranProcessor());
}
