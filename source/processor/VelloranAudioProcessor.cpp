#include "VelloranAudioProcessor.h"

#include "GainParameter.h"

#include "engine/ConversionMode.h"
#include "engine/GainMapping.h"
#include "engine/LevelMeter.h"
#include "engine/ConversionKernel.h"

#include "editor/VelloranAudioProcessorEditor.h"

using namespace ortholume;

VelloranAudioProcessor::VelloranAudioProcessor()
    : AudioProcessor (BusesProperties()
                          .withInput ("Input", juce::AudioChannelSet::discreteChannels (numConvertedChannels), true)
                          .withOutput ("Output", juce::AudioChannelSet::discreteChannels (numConvertedChannels), true)),
      wGainTarget (sqrtTwo),
      wGainCurrent (sqrtTwo),
      scratchBuffers (numConvertedChannels, maxBlockSamples),
      glideValues (numSmoothedStages, maxBlockSamples),
      silentInput ((size_t) maxBlockSamples, 0.0f)
{
    setGain (defaultGainParameterValue);
    sendParamChangeMessageToListeners (gainParameterIndex, defaultGainParameterValue);

    numInputChannelsProcessed.store (numConvertedChannels, relaxed);
    numOutputChannelsProcessed.store (numConvertedChannels, relaxed);
    outputGainTarget.store (1.0f, relaxed);
    outputGainCurrent.store (1.0f, relaxed);

    for (auto& level : meterLevels)
        level.store (0.0f, relaxed);

    glideValues.clear();
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
// A block longer than the work space is processed as consecutive parts of at
// most maxBlockSamples, each exactly as if the host had delivered it alone: the
// glides run on from part to part and every part updates the meters.
void VelloranAudioProcessor::processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer&)
{
    const int numSamples = buffer.getNumSamples();
    const int numChannels = buffer.getNumChannels();
    auto* const* channels = buffer.getArrayOfWritePointers();
    int start = 0;

    // An empty block is still one part: it settles stages and decays the meters.
    do
    {
        const int partSamples = juce::jmin (numSamples - start, maxBlockSamples);
        processPart (channels, numChannels, start, partSamples);
        start += partSamples;
    } while (start < numSamples);
}

void VelloranAudioProcessor::processPart (float* const* channels, int numChannels, int start, int numSamples) noexcept
{
    const int inputsProcessed = juce::jmin (numInputChannelsProcessed.load (relaxed), getTotalNumInputChannels());
    numInputChannelsProcessed.store (inputsProcessed, relaxed);
    const int outputsProcessed = numOutputChannelsProcessed.load (relaxed);

    const StageState w { wGainCurrent.load (relaxed), wGainTarget.load (relaxed), glideValues.getWritePointer (0) };
    const StageState mix { mixCurrent.load (relaxed), mixTarget.load (relaxed), glideValues.getWritePointer (1) };
    const StageState gain { outputGainCurrent.load (relaxed), outputGainTarget.load (relaxed), glideValues.getWritePointer (2) };
    std::array<StageState, numSmoothedStages> glides { w, mix, gain };

    if (numChannels >= numConvertedChannels && inputsProcessed == numConvertedChannels
        && outputsProcessed == numConvertedChannels)
    {
        std::array<float*, numConvertedChannels> part {};

        for (int c = 0; c < numConvertedChannels; ++c)
            part[(size_t) c] = channels[c] + start;

        ChannelPeaks inputPeaks {}, outputPeaks {};
        convertFourChannelsInPlace (part.data(), numSamples, glides, inputPeaks, outputPeaks);

        for (int c = 0; c < numConvertedChannels; ++c)
        {
            updateMeter (c, inputPeaks[(size_t) c]);
            updateMeter (numConvertedChannels + c, outputPeaks[(size_t) c]);
        }
    }
    else
    {
        const auto values = prepareStages (glides, numSamples);
        processStepByStep (channels, numChannels, start, numSamples, inputsProcessed, outputsProcessed,
                           { values[0], values[1], values[2] });
    }

    wGainCurrent.store (glides[0].current, relaxed);
    mixCurrent.store (glides[1].current, relaxed);
    outputGainCurrent.store (glides[2].current, relaxed);

    // Whatever further channels the host hands over carry nothing of ours.
    clearChannels (channels, outputsProcessed, numChannels, start, numSamples);
}

void VelloranAudioProcessor::processBlockBypassed (juce::AudioBuffer<float>& buffer, juce::MidiBuffer&)
{
    clearChannels (buffer.getArrayOfWritePointers(),
                   numOutputChannelsProcessed.load (relaxed),
                   buffer.getNumChannels(),
                   0,
                   buffer.getNumSamples());
}

// The same conversion for a host that delivers fewer channels than the engine
// converts (or after the input count has shrunk): every access stays within the
// buffer, and inputs it does not have read as silence.
void VelloranAudioProcessor::processStepByStep (float* const* channels, int numChannels, int start, int numSamples,
                                                int inputsProcessed, int outputsProcessed,
                                                const Stages& stages) noexcept
{
    std::array<const float*, numConvertedChannels> in {};

    for (int c = 0; c < numConvertedChannels; ++c)
        in[(size_t) c] = c < numChannels ? channels[c] + start : silentInput.data();

    auto* const* scratch = scratchBuffers.getArrayOfWritePointers();
    const bool fumaToAmbix = (stages.mix.constant == 0.0f);

    for (int i = 0; i < numSamples; ++i)
    {
        scratch[0][i] = stages.w.at (i) * in[0][i];

        if (stages.mix.isGliding())
        {
            const float m = stages.mix.at (i);
            const float keep = 1.0f - m;
            scratch[1][i] = keep * in[2][i] + m * in[3][i];
            scratch[2][i] = keep * in[3][i] + m * in[1][i];
            scratch[3][i] = keep * in[1][i] + m * in[2][i];
        }
        else
        {
            scratch[1][i] = in[fumaToAmbix ? 2 : 3][i];
            scratch[2][i] = in[fumaToAmbix ? 3 : 1][i];
            scratch[3][i] = in[fumaToAmbix ? 1 : 2][i];
        }
    }

    const int inputsPresent = juce::jmin (inputsProcessed, numChannels);

    for (int slot = 0; slot < inputsPresent; ++slot)
        updateMeter (slot, peakMagnitude (channels[slot] + start, numSamples));

    // An empty block may come with no sample storage at all (null channels).
    if (numSamples > 0)
        for (int c = 0; c < inputsPresent; ++c)
            juce::FloatVectorOperations::copy (channels[c] + start, scratch[c], numSamples);

    const int outputsPresent = juce::jmin (outputsProcessed, numChannels);

    for (int i = 0; i < numSamples; ++i)
        for (int c = 0; c < outputsPresent; ++c)
            channels[c][start + i] *= stages.gain.at (i);

    for (int slot = inputsProcessed; slot < numMeterSlots; ++slot)
        if (slot - inputsProcessed < numChannels)
            updateMeter (slot, peakMagnitude (channels[slot - inputsProcessed] + start, numSamples));
}

void VelloranAudioProcessor::updateMeter (int slot, float peak) noexcept
{
    auto& level = meterLevels[(size_t) slot];
    level.store (nextMeterLevel (level.load (relaxed), peak), relaxed);
}

void VelloranAudioProcessor::clearChannels (float* const* channels, int from, int to, int start, int numSamples) noexcept
{
    if (numSamples <= 0)
        return;

    for (int c = from; c < to; ++c)
        juce::FloatVectorOperations::clear (channels[c] + start, numSamples);
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
