// Arbitrary bytes handed to setStateInformation, as a damaged or hand-edited
// session would: no crash, no sanitizer report, and a restore either changes
// nothing or leaves a state that saves and restores to itself. A block after it
// must stay finite and keep the meters in range.
#include "FuzzerSupport.h"

#include "processor/ProcessorTestUtilities.h"

#include <cmath>
#include <cstdint>

using namespace ortholume::testing;

namespace
{
void processOneBlock (VelloranAudioProcessor& processor)
{
    constexpr int numSamples = 64;
    juce::AudioBuffer<float> buffer (VelloranAudioProcessor::numConvertedChannels, numSamples);

    for (int c = 0; c < buffer.getNumChannels(); ++c)
        for (int i = 0; i < numSamples; ++i)
            buffer.setSample (c, i, 0.25f * (float) (c + 1) * ((i % 2) == 0 ? 1.0f : -1.0f));

    juce::MidiBuffer midi;
    processor.processBlock (buffer, midi);

    for (int c = 0; c < buffer.getNumChannels(); ++c)
        for (int i = 0; i < numSamples; ++i)
            ORTHOLUME_FUZZ_CHECK (! std::isnan (buffer.getSample (c, i)), "no NaN after a restore");

    for (const auto& level : processor.meterLevels)
    {
        const auto value = level.load();
        ORTHOLUME_FUZZ_CHECK (std::isfinite (value) && value >= 0.0f && value <= 1.0f, "meter within 0..1");
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput (const std::uint8_t* data, std::size_t size)
{
    VelloranAudioProcessor processor;
    const auto before = stateOf (processor);

    processor.setStateInformation (data, (int) size);
    const auto after = stateOf (processor);

    if (after != before)
    {
        // The new state is one the host can store: it restores to itself, on
        // this processor and on a fresh one.
        restore (processor, after);
        ORTHOLUME_FUZZ_CHECK (stateOf (processor) == after, "restored state saves unchanged");

        VelloranAudioProcessor fresh;
        restore (fresh, after);
        ORTHOLUME_FUZZ_CHECK (stateOf (fresh) == after, "state restores onto a new instance");
    }

    processOneBlock (processor);
    return 0;
}
