#include "VelloranAudioProcessorEditor.h"

#include "../processor/VelloranAudioProcessor.h"

VelloranAudioProcessorEditor::VelloranAudioProcessorEditor (VelloranAudioProcessor& processor)
    : AudioProcessorEditor (processor)
{
    setSize (editorWidth, editorHeight);
}

VelloranAudioProcessorEditor::~VelloranAudioProcessorEditor() = default;

void VelloranAudioProcessorEditor::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colours::black);
}
