#pragma once

#include "processor/GainParameter.h"
#include "processor/VelloranAudioProcessor.h"
#include "ReferenceEngine.h"

#include <cstring>

namespace ortholume::testing
{
inline juce::uint32 bitsOf (float value)
{
    juce::uint32 bits;
    std::memcpy (&bits, &value, sizeof (bits));
    return bits;
}

/** Distinct, reproducible audio for every channel, so a wrong channel shows. */
inline juce::AudioBuffer<float> makeSignal (int numChannels, int numSamples, int seed)
{
    juce::AudioBuffer<float> buffer (numChannels, numSamples);
    juce::Random random (seed);

    for (int c = 0; c < numChannels; ++c)
        for (int i = 0; i < numSamples; ++i)
            buffer.setSample (c, i, (random.nextFloat() * 2.0f - 1.0f) * (0.2f + 0.2f * (float) c));

    return buffer;
}

inline reference::Block toBlock (const juce::AudioBuffer<float>& buffer)
{
    reference::Block block;

    for (int c = 0; c < 4; ++c)
        block[(size_t) c].assign (buffer.getReadPointer (c), buffer.getReadPointer (c) + buffer.getNumSamples());

    return block;
}

inline void process (VelloranAudioProcessor& processor, juce::AudioBuffer<float>& buffer)
{
    juce::MidiBuffer midi;
    processor.processBlock (buffer, midi);
}

inline void processBypassed (VelloranAudioProcessor& processor, juce::AudioBuffer<float>& buffer)
{
    juce::MidiBuffer midi;
    processor.processBlockBypassed (buffer, midi);
}

inline std::vector<float> meterSnapshot (const VelloranAudioProcessor& processor)
{
    std::vector<float> levels;

    for (const auto& level : processor.meterLevels)
        levels.push_back (level.load());

    return levels;
}

inline juce::MemoryBlock stateOf (juce::AudioProcessor& processor)
{
    juce::MemoryBlock block;
    processor.getStateInformation (block);
    return block;
}

inline void restore (juce::AudioProcessor& processor, const juce::MemoryBlock& block)
{
    processor.setStateInformation (block.getData(), (int) block.getSize());
}
} // namespace ortholume::testing
