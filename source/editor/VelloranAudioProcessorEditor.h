#pragma once

#include "AltLookAndFeel.h"
#include "AltLookAndFeel_transparentButton.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <array>

class VelloranAudioProcessor;
class OptionGUI;
class WelcomeGUI;
class VuMeter;

/** The plug-in window, a fixed 443 x 233 pixels over the embedded artwork: eight
    level meters, captions that follow the direction, a gear that opens the
    options panel and an invisible button over the title that opens the welcome
    panel. It never hears from the processor; a 50 ms timer polls it. */
class VelloranAudioProcessorEditor final : public juce::AudioProcessorEditor,
                                           public juce::Timer,
                                           public juce::Button::Listener,
                                           public juce::Slider::Listener
{
public:
    static constexpr int timerIntervalMs = 50;

    explicit VelloranAudioProcessorEditor (VelloranAudioProcessor& processor);
    ~VelloranAudioProcessorEditor() override;

    void paint (juce::Graphics& g) override;
    void resized() override;
    void timerCallback() override;
    void buttonClicked (juce::Button* button) override;
    void sliderValueChanged (juce::Slider* slider) override;
    void sliderDragStarted (juce::Slider* slider) override;
    void sliderDragEnded (juce::Slider* slider) override;

private:
    VelloranAudioProcessor& getVelloranProcessor() const;
    void loadCaptionImages();

    std::unique_ptr<OptionGUI> optionsPanel;
    std::unique_ptr<WelcomeGUI> welcomePanel;
    int displayedMode = 0;
    AltLookAndFeel altLookAndFeel;
    AltLookAndFeel_transparentButton transparentButtonLookAndFeel;
    std::unique_ptr<juce::ImageButton> engrenage;
    std::array<std::unique_ptr<VuMeter>, 6> vuMeters; // slots 0 to 5
    std::unique_ptr<juce::Slider> sliderGain;
    std::unique_ptr<juce::TextButton> titleButton;
    std::array<std::unique_ptr<VuMeter>, 2> lastVuMeters; // slots 6 and 7, created after the title button
    juce::Image backgroundImage;
    juce::Image inputChannelsImage;
    juce::Image outputChannelsImage;
    juce::Image inputFormatImage;
    juce::Image outputFormatImage;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (VelloranAudioProcessorEditor)
};
