// Whatever a host does on the audio path, in any order: blocks of 0 to 20,000
// samples on 1 to 8 channels, gains that are NaN, infinite, huge, tiny or
// negative, any mode index, bypass, restores and meter reads. Nothing may crash
// or read out of bounds, every meter slot stays finite within 0..1, and finite
// input never comes out as NaN.
#include "FuzzerSupport.h"

#include "processor/ProcessorTestUtilities.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdint>
#include <limits>

using namespace ortholume::testing;

namespace
{
constexpr int maxFuzzBlockSamples = 20000;
constexpr int maxFuzzChannels = 8;
constexpr int maxOperations = 12;

float anyGainValue (FuzzedDataProvider& input)
{
    switch (input.ConsumeIntegralInRange (0, 7))
    {
        case 0: return std::numeric_limits<float>::quiet_NaN();
        case 1: return std::numeric_limits<float>::infinity();
        case 2: return -std::numeric_limits<float>::infinity();
        case 3: return std::numeric_limits<float>::max();
        case 4: return std::numeric_limits<float>::denorm_min();
        case 5: return -input.ConsumeFloatingPointInRange (0.0f, 1.0e6f);
        case 6: return input.ConsumeFloatingPoint<float>();
        default: return input.ConsumeProbability<float>();
    }
}

/** Finite audio, from silence to the largest magnitudes a float holds. */
float anySample (FuzzedDataProvider& input, float scale)
{
    return scale * (input.ConsumeProbability<float>() * 2.0f - 1.0f);
}

void checkMeters (const VelloranAudioProcessor& processor)
{
    for (const auto& level : processor.meterLevels)
    {
        const auto value = level.load (std::memory_order_relaxed);
        ORTHOLUME_FUZZ_CHECK (std::isfinite (value) && value >= 0.0f && value <= 1.0f, "meter within 0..1");
    }
}

void processBlock (VelloranAudioProcessor& processor, FuzzedDataProvider& input, juce::AudioBuffer<float>& storage,
                   bool bypassed)
{
    const int numInputs = input.ConsumeIntegralInRange (1, maxFuzzChannels);
    const int numOutputs = input.ConsumeIntegralInRange (1, maxFuzzChannels);
    const int numSamples = input.ConsumeIntegralInRange (0, maxFuzzBlockSamples);
    const int numChannels = juce::jmax (numInputs, numOutputs);

    // A host may announce any layout before the block, whether or not it is supported.
    processor.setPlayConfigDetails (numInputs, numOutputs, 48000.0, numSamples);

    const float scale = std::ldexp (1.0f, input.ConsumeIntegralInRange (-30, 127));
    auto* const* channels = storage.getArrayOfWritePointers();

    for (int c = 0; c < numChannels; ++c)
    {
        const float a = anySample (input, scale), b = anySample (input, scale);

        for (int i = 0; i < numSamples; ++i)
            channels[c][i] = (i % 3) == 0 ? a : ((i % 3) == 1 ? b : 0.5f * (a - b));
    }

    // The host's buffer is exactly as large as it says: the sanitizer sees any
    // access beyond it.
    std::vector<std::vector<float>> exact ((size_t) numChannels);
    std::vector<float*> pointers ((size_t) numChannels);

    for (int c = 0; c < numChannels; ++c)
    {
        exact[(size_t) c].assign (channels[c], channels[c] + numSamples);
        pointers[(size_t) c] = exact[(size_t) c].data();
    }

    juce::AudioBuffer<float> block (pointers.data(), numChannels, numSamples);
    juce::MidiBuffer midi;

    if (bypassed)
        processor.processBlockBypassed (block, midi);
    else
        processor.processBlock (block, midi);

    for (int c = 0; c < numChannels; ++c)
        for (int i = 0; i < numSamples; ++i)
            ORTHOLUME_FUZZ_CHECK (! std::isnan (block.getSample (c, i)), "no NaN from finite input");

    checkMeters (processor);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput (const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input (data, size);
    VelloranAudioProcessor processor;
    static juce::AudioBuffer<float> storage (maxFuzzChannels, maxFuzzBlockSamples);

    for (int operation = 0; operation < maxOperations && input.remaining_bytes() > 0; ++operation)
    {
        switch (input.ConsumeIntegralInRange (0, 7))
        {
            case 0:
            case 1: processBlock (processor, input, storage, false); break;
            case 2: processBlock (processor, input, storage, true); break;
            case 3: ortholume::setGainParameter (processor, anyGainValue (input)); break;
            case 4: processor.setConversionMode (input.ConsumeIntegral<int>()); break;
            case 5:
            {
                const auto bytes = input.ConsumeBytes<std::uint8_t> (input.ConsumeIntegralInRange (0, 256));
                processor.setStateInformation (bytes.data(), (int) bytes.size());
                break;
            }
            case 6: restore (processor, stateOf (processor)); break;
            default: checkMeters (processor); break;
        }
    }

    return 0;
}
