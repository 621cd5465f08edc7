#pragma once

#include "engine/ConversionMode.h"
#include "engine/StageValues.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <array>
#include <atomic>

namespace ortholume
{
/** The one memory order of the fields the processor shares (see below). */
constexpr auto relaxed = std::memory_order_relaxed;
} // namespace ortholume

/** Ortholume's processor: converts four-channel first-order ambisonics between
    FuMa and AmbiX in place, applies the smoothed output gain and measures the
    eight meter levels.

    The fields are public because the editor polls them. Everything the message
    thread and the audio thread share is a relaxed atomic: each is one word,
    written whole, and a reader may see the previous value for one block. */
class VelloranAudioProcessor final : public juce::AudioProcessor
{
public:
    static constexpr int maxBlockSamples = 8192;
    static constexpr int numMeterSlots = 8;
    static constexpr int numConvertedChannels = ortholume::firstOrderChannels;

    VelloranAudioProcessor();
    ~VelloranAudioProcessor() override;

    const juce::String getName() const override;

    void prepareToPlay (double sampleRate, int maximumExpectedSamplesPerBlock) override;
    void releaseResources() override;
    bool isBusesLayoutSupported (const BusesLayout& layouts) const override;

    void processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midiMessages) override;
    void processBlockBypassed (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midiMessages) override;
    using juce::AudioProcessor::processBlock;
    using juce::AudioProcessor::processBlockBypassed;

    /** The one way the direction changes: stores the index as it is, sets the
        targets the audio glides to, and raises parametersChanged. */
    void setConversionMode (int index);

    /** Jumps the W scale, the crossfade and the output gain to their targets, so
        that the next block converts exactly as a settled processor does, with
        nothing gliding. For offline use (the file converter), which starts in one
        direction and gain and never changes them; call it between blocks, never
        while the audio thread may be inside processBlock. */
    void settleSmoothing() noexcept;

    double getTailLengthSeconds() const override;
    bool acceptsMidi() const override;
    bool producesMidi() const override;

    juce::AudioProcessorEditor* createEditor() override;
    bool hasEditor() const override;

    // The host parameter is served through the index-based interface, which this
    // framework release marks deprecated but still routes to every host wrapper;
    // its ids and texts are what saved sessions and automation already hold.
    const juce::String getInputChannelName (int channelIndex) const override;
    const juce::String getOutputChannelName (int channelIndex) const override;
    bool isInputChannelStereoPair (int index) const override;
    bool isOutputChannelStereoPair (int index) const override;

    int getNumParameters() override;
    const juce::String getParameterName (int parameterIndex) override;
    juce::String getParameterID (int parameterIndex) override;
    float getParameter (int parameterIndex) override;
    const juce::String getParameterText (int parameterIndex) override;
    float getParameterDefaultValue (int parameterIndex) override;
    void setParameter (int parameterIndex, float newValue) override;
    bool silenceInProducesSilenceOut() const override;

    int getNumPrograms() override;
    int getCurrentProgram() override;
    void setCurrentProgram (int index) override;
    const juce::String getProgramName (int index) override;
    void changeProgramName (int index, const juce::String& newName) override;

    void getStateInformation (juce::MemoryBlock& destData) override;
    void setStateInformation (const void* data, int sizeInBytes) override;

    std::atomic<float> outputGainTarget { 1.0f };
    std::atomic<float> outputGainCurrent { 1.0f };
    std::array<std::atomic<float>, numMeterSlots> meterLevels {};
    std::atomic<int> numInputChannelsProcessed { numConvertedChannels };
    std::atomic<int> numOutputChannelsProcessed { numConvertedChannels };
    std::atomic<float> gainParameterValue { 0.0f };
    std::atomic<bool> parametersChanged { true };
    std::atomic<int> idxInputConfig { 0 };
    std::atomic<float> wGainTarget;
    std::atomic<float> wGainCurrent;
    std::atomic<float> mixTarget { 0.0f };
    std::atomic<float> mixCurrent { 0.0f };

    /** Work space for the converted channels, allocated once at full size. */
    juce::AudioBuffer<float> scratchBuffers;

private:
    /** The Gain parameter's value, as hosts set it; a non-finite gain is refused whole. */
    void setGain (float normalisedValue) noexcept;

    struct Stages
    {
        ortholume::StageValues w, mix, gain;
    };

    /** One part of a block, at most maxBlockSamples long, from sample `start` of every channel. */
    void processPart (float* const* channels, int numChannels, int start, int numSamples) noexcept;
    void processStepByStep (float* const* channels, int numChannels, int start, int numSamples,
                            int inputsProcessed, int outputsProcessed, const Stages& stages) noexcept;
    void updateMeter (int slot, float peak) noexcept;
    static void clearChannels (float* const* channels, int from, int to, int start, int numSamples) noexcept;

    /** Per-sample values of the W scale, crossfade and gain while they glide. */
    juce::AudioBuffer<float> glideValues;

    /** Stands in for input channels a host does not deliver. */
    std::vector<float> silentInput;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (VelloranAudioProcessor)
};
