#include "VelloranAudioProcessor.h"

#include "ConversionMode.h"
#include "GainMapping.h"
#include "LevelMeter.h"
#include "Smoothing.h"

#include "../editor/VelloranAudioProcessorEditor.h"

using namespace ortholume;

namespace
{
constexpr auto relaxed = std::memory_order_relaxed;
}

VelloranAudioProcessor::VelloranAudioProcessor()
    : AudioProcessor (BusesProperties()
                          .withInput ("Input", juce::AudioChannelSet::discreteChannels (numConvertedChannels), true)
                          .withOutput ("Output", juce::AudioChannelSet::discreteChannels (numConvertedChannels), true)),
      wGainTarget (sqrtTwo),
      wGainCurrent (sqrtTwo),
      scratchBuffers (numConvertedChannels, maxBlockSamples),
      silentInput ((size_t) maxBlockSamples, 0.0f)
{
    JUCE_BEGIN_IGNORE_WARNINGS_GCC_LIKE ("-Wdeprecated-declarations")
    setParameter (0, defaultGainParameterValue);
    sendParamChangeMessageToListeners (0, defaultGainParameterValue);
    JUCE_END_IGNORE_WARNINGS_GCC_LIKE

    numInputChannelsProcessed.store (numConvertedChannels, relaxed);
    numOutputChannelsProcessed.store (numConvertedChannels, relaxed);
    outputGainTarget.store (1.0f, relaxed);
    outputGainCurrent.store (1.0f, relaxed);

    for (auto& level : meterLevels)
        level.store (0.0f, relaxed);

    idxInputConfig.store (FumaToAmbix, relaxed);
    wGainTarget.store (sqrtTwo, relaxed);
    wGainCurrent.store (sqrtTwo, relaxed);
    mixTarget.store (0.0f, relaxed);
    mixCurrent.store (0.0f, relaxed);
    parametersChanged.store (true, relaxed);
}

VelloranAudioProcessor::~VelloranAudioProcessor() = default;

const juce::String VelloranAudioProcessor::getName() const
{
    return "Ortholume";
}

// Nothing here depends on the rate or the block size: the work space is fixed at its maximum.
void VelloranAudioProcessor::prepareToPlay (double, int) {}
void VelloranAudioProcessor::releaseResources() {}

bool VelloranAudioProcessor::isBusesLayoutSupported (const BusesLayout& layouts) const
{
    return layouts.getMainInputChannels() == numConvertedChannels
        && layouts.getMainOutputChannels() == numConvertedChannels;
}

void VelloranAudioProcessor::setConversionMode (int index)
{
    const auto targets = targetsForMode (index);
    idxInputConfig.store (index, relaxed);

    if (index == AmbixToFuma)
    {
        wGainTarget.store (targets.wGain, relaxed);
        mixTarget.store (targets.mix, relaxed);
    }
    else
    {
        mixTarget.store (targets.mix, relaxed);
        wGainTarget.store (targets.wGain, relaxed);
    }

    parametersChanged.store (true, relaxed);
}

void VelloranAudioProcessor::settleSmoothing() noexcept
{
    wGainCurrent.store (wGainTarget.load (relaxed), relaxed);
    mixCurrent.store (mixTarget.load (relaxed), relaxed);
    outputGainCurrent.store (outputGainTarget.load (relaxed), relaxed);
}

//==============================================================================
void VelloranAudioProcessor::processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer&)
{
    const int numSamples = juce::jmin (buffer.getNumSamples(), maxBlockSamples);
    const int numChannels = buffer.getNumChannels();
    auto* const* channels = buffer.getArrayOfWritePointers();

    // A host that delivers fewer than four channels gets silence read in their place.
    std::array<const float*, numConvertedChannels> input {};

    for (int c = 0; c < numConvertedChannels; ++c)
        input[(size_t) c] = c < numChannels ? channels[c] : silentInput.data();

    convertChannels (input, numSamples);

    const int inputsProcessed = juce::jmin (numInputChannelsProcessed.load (relaxed), getTotalNumInputChannels());
    numInputChannelsProcessed.store (inputsProcessed, relaxed);

    const int inputsPresent = juce::jmin (inputsProcessed, numChannels);

    for (int slot = 0; slot < inputsPresent; ++slot)
        updateMeter (slot, channels[slot], numSamples);

    for (int c = 0; c < inputsPresent; ++c)
        juce::FloatVectorOperations::copy (channels[c], scratchBuffers.getReadPointer (c), numSamples);

    const int outputsProcessed = numOutputChannelsProcessed.load (relaxed);
    applyOutputGain (channels, juce::jmin (outputsProcessed, numChannels), numSamples);

    for (int slot = inputsProcessed; slot < numMeterSlots; ++slot)
        if (slot - inputsProcessed < numChannels)
            updateMeter (slot, channels[slot - inputsProcessed], numSamples);

    // Whatever further channels the host hands over carry nothing of ours.
    clearChannels (channels, outputsProcessed, numChannels, numSamples);
}

void VelloranAudioProcessor::processBlockBypassed (juce::AudioBuffer<float>& buffer, juce::MidiBuffer&)
{
    clearChannels (buffer.getArrayOfWritePointers(),
                   numOutputChannelsProcessed.load (relaxed),
                   buffer.getNumChannels(),
                   buffer.getNumSamples());
}

void VelloranAudioProcessor::convertChannels (const std::array<const float*, numConvertedChannels>& input,
                                              int numSamples) noexcept
{
    auto* const* scratch = scratchBuffers.getArrayOfWritePointers();

    // W scale.
    {
        const float target = wGainTarget.load (relaxed);
        float current = wGainCurrent.load (relaxed);

        if (isGliding (current, target))
        {
            for (int i = 0; i < numSamples; ++i)
            {
                current = smoothingStep (current, target);
                scratch[0][i] = current * input[0][i];
            }
        }
        else
        {
            current = target;
            juce::FloatVectorOperations::multiply (scratch[0], input[0], current, numSamples);
        }

        wGainCurrent.store (current, relaxed);
    }

    // X, Y, Z: a crossfade between the two permutations while gliding, a plain copy otherwise.
    {
        const float target = mixTarget.load (relaxed);
        float current = mixCurrent.load (relaxed);

        if (isGliding (current, target))
        {
            for (int i = 0; i < numSamples; ++i)
            {
                current = smoothingStep (current, target);
                const float keep = 1.0f - current;
                scratch[1][i] = keep * input[2][i] + current * input[3][i];
                scratch[2][i] = keep * input[3][i] + current * input[1][i];
                scratch[3][i] = keep * input[1][i] + current * input[2][i];
            }
        }
        else
        {
            current = target;
            const bool fumaToAmbix = (target == 0.0f);
            juce::FloatVectorOperations::copy (scratch[1], input[fumaToAmbix ? 2 : 3], numSamples);
            juce::FloatVectorOperations::copy (scratch[2], input[fumaToAmbix ? 3 : 1], numSamples);
            juce::FloatVectorOperations::copy (scratch[3], input[fumaToAmbix ? 1 : 2], numSamples);
        }

        mixCurrent.store (current, relaxed);
    }
}

void VelloranAudioProcessor::applyOutputGain (float* const* channels, int numChannels, int numSamples) noexcept
{
    const float target = outputGainTarget.load (relaxed);
    float current = outputGainCurrent.load (relaxed);

    if (isGliding (current, target))
    {
        for (int i = 0; i < numSamples; ++i)
        {
            current = smoothingStep (current, target);

            for (int c = 0; c < numChannels; ++c)
                channels[c][i] *= current;
        }
    }
    else
    {
        current = target;

        for (int c = 0; c < numChannels; ++c)
            juce::FloatVectorOperations::multiply (channels[c], current, numSamples);
    }

    outputGainCurrent.store (current, relaxed);
}

void VelloranAudioProcessor::updateMeter (int slot, const float* samples, int numSamples) noexcept
{
    const auto range = juce::FloatVectorOperations::findMinAndMax (samples, numSamples);
    const float peak = numSamples > 0 ? juce::jmax (std::abs (range.getStart()), std::abs (range.getEnd())) : 0.0f;
    auto& level = meterLevels[(size_t) slot];
    level.store (nextMeterLevel (level.load (relaxed), peak), relaxed);
}

void VelloranAudioProcessor::clearChannels (float* const* channels, int from, int to, int numSamples) noexcept
{
    for (int c = from; c < to; ++c)
        juce::FloatVectorOperations::clear (channels[c], numSamples);
}

//==============================================================================
double VelloranAudioProcessor::getTailLengthSeconds() const { return 0.0; }
bool VelloranAudioProcessor::acceptsMidi() const { return true; }
bool VelloranAudioProcessor::producesMidi() const { return false; }
bool VelloranAudioProcessor::silenceInProducesSilenceOut() const { return false; }

const juce::String VelloranAudioProcessor::getInputChannelName (int channelIndex) const
{
    return juce::String (channelIndex + 1);
}

const juce::String VelloranAudioProcessor::getOutputChannelName (int channelIndex) const
{
    return juce::String (channelIndex + 1);
}

bool VelloranAudioProcessor::isInputChannelStereoPair (int) const { return true; }
bool VelloranAudioProcessor::isOutputChannelStereoPair (int) const { return true; }

juce::AudioProcessorEditor* VelloranAudioProcessor::createEditor()
{
    return new VelloranAudioProcessorEditor (*this);
}

bool VelloranAudioProcessor::hasEditor() const { return true; }
