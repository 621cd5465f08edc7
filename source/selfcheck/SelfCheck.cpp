// Runs a generated FuMa test signal through the engine, checks that it comes out
// as AmbiX, and prints the eight meter levels.
#include "processor/VelloranAudioProcessor.h"

#include <cmath>
#include <cstdio>

namespace
{
constexpr double sampleRate = 48000.0;
constexpr int blockSize = 512;
constexpr int numBlocks = 94; // about one second
constexpr double toneHz = 1000.0;
constexpr double toneAmplitude = 0.5;
constexpr double azimuthDegrees = 30.0;
constexpr double elevationDegrees = 10.0;

/** A plane wave from one direction, encoded as FuMa W, X, Y, Z. */
void fillFumaBlock (juce::AudioBuffer<float>& block, int firstSample)
{
    const auto az = juce::degreesToRadians (azimuthDegrees);
    const auto el = juce::degreesToRadians (elevationDegrees);
    const double gains[] = { std::sqrt (0.5), std::cos (az) * std::cos (el), std::sin (az) * std::cos (el), std::sin (el) };

    for (int i = 0; i < block.getNumSamples(); ++i)
    {
        const auto s = toneAmplitude * std::sin (juce::MathConstants<double>::twoPi * toneHz * (firstSample + i) / sampleRate);

        for (int c = 0; c < 4; ++c)
            block.setSample (c, i, (float) (gains[c] * s));
    }
}
} // namespace

int main()
{
    juce::ScopedJuceInitialiser_GUI juce;
    VelloranAudioProcessor processor;
    processor.prepareToPlay (sampleRate, blockSize);

    juce::AudioBuffer<float> block (4, blockSize);
    juce::MidiBuffer midi;
    int mismatches = 0;

    for (int b = 0; b < numBlocks; ++b)
    {
        fillFumaBlock (block, b * blockSize);
        const juce::AudioBuffer<float> input (block);
        processor.processBlock (block, midi);

        // AmbiX: W scaled by sqrt(2), then FuMa Y, Z, X.
        for (int i = 0; i < blockSize; ++i)
        {
            mismatches += block.getSample (0, i) != input.getSample (0, i) * 1.41421353816986083984375f;
            mismatches += block.getSample (1, i) != input.getSample (2, i);
            mismatches += block.getSample (2, i) != input.getSample (3, i);
            mismatches += block.getSample (3, i) != input.getSample (1, i);
        }
    }

    std::printf ("Ortholume self-check: %d blocks of %d samples, 1 kHz plane wave at azimuth %.0f, elevation %.0f degrees\n",
                 numBlocks, blockSize, azimuthDegrees, elevationDegrees);
    std::printf ("FuMa -> AmbiX conversion: %s (%d mismatched samples)\n", mismatches == 0 ? "exact" : "WRONG", mismatches);

    const char* const names[] = { "in  W", "in  X", "in  Y", "in  Z", "out W", "out Y", "out Z", "out X" };

    for (int slot = 0; slot < VelloranAudioProcessor::numMeterSlots; ++slot)
    {
        const float level = processor.meterLevels[(size_t) slot].load();
        const double decibels = level * 70.0 - 60.0;
        std::printf ("  meter %d  %s  %.4f  (%+.1f dB)\n", slot, names[slot], (double) level, decibels);
    }

    return mismatches == 0 ? 0 : 1;
}
