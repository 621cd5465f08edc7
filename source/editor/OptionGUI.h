#pragma once

#include "AltLookAndFeel_transparentButton.h"
#include "EditorSize.h"

class VelloranAudioProcessor;

/** The panel in which the user picks the direction of conversion. Laid over the
    editor's artwork; a click anywhere outside its controls hides it. Its list
    follows the processor's mode every 100 ms, also while the panel is hidden. */
class OptionGUI final : public juce::Component,
                        public juce::Timer,
                        public juce::Button::Listener,
                        public juce::ComboBox::Listener
{
public:
    static constexpr int timerIntervalMs = 100;

    explicit OptionGUI (VelloranAudioProcessor* processorToControl);
    ~OptionGUI() override;

    void paint (juce::Graphics& g) override;
    void resized() override;
    void timerCallback() override;
    void buttonClicked (juce::Button* button) override;
    void comboBoxChanged (juce::ComboBox* comboBoxThatHasChanged) override;

private:
    VelloranAudioProcessor* processor = nullptr;
    AltLookAndFeel_transparentButton transparentButtonLookAndFeel;
    std::unique_ptr<juce::TextButton> closeButton;
    std::unique_ptr<juce::Label> label_InputConfig;
    std::unique_ptr<juce::ComboBox> presetList;
    std::unique_ptr<juce::Label> modeLabel;

    // Where list and processor last agreed: the list's selection and the
    // processor's mode. Lets a delayed notification tell an echo from a choice.
    int mirroredSelection = -1;
    int mirroredMode = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (OptionGUI)
};
