#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

class VelloranAudioProcessor;

/** The plug-in window: a fixed 443 x 233 pixel editor. */
class VelloranAudioProcessorEditor final : public juce::AudioProcessorEditor
{
public:
    static constexpr int editorWidth = 443;
    static constexpr int editorHeight = 233;

    explicit VelloranAudioProcessorEditor (VelloranAudioProcessor& processor);
    ~VelloranAudioProcessorEditor() override;

    void paint (juce::Graphics& g) override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (VelloranAudioProcessorEditor)
};
