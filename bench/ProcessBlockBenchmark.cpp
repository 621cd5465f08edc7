// How long processBlock takes per frame, steady and gliding, each beside a floor
// measured in the same run: copying the same four channels in and out once.
#include "processor/VelloranAudioProcessor.h"

#include <benchmark/benchmark.h>

#include <map>

namespace
{
constexpr int numChannels = 4;

juce::AudioBuffer<float> makeInput (int frames)
{
    juce::AudioBuffer<float> buffer (numChannels, frames);
    juce::Random random (1);

    for (int c = 0; c < numChannels; ++c)
        for (int i = 0; i < frames; ++i)
            buffer.setSample (c, i, random.nextFloat() * 2.0f - 1.0f);

    return buffer;
}

void copyChannels (juce::AudioBuffer<float>& to, const juce::AudioBuffer<float>& from, int frames)
{
    for (int c = 0; c < numChannels; ++c)
        juce::FloatVectorOperations::copy (to.getWritePointer (c), from.getReadPointer (c), frames);
}


void Floor (benchmark::State& state)
{
    const int frames = (int) state.range (0);
    const auto input = makeInput (frames);
    juce::AudioBuffer<float> buffer (numChannels, frames), output (numChannels, frames);

    for (auto _ : state)
    {
        copyChannels (buffer, input, frames);
        copyChannels (output, buffer, frames);
        benchmark::DoNotOptimize (output.getWritePointer (0));
        benchmark::ClobberMemory();
    }

}

void Steady (benchmark::State& state)
{
    const int frames = (int) state.range (0);
    const auto input = makeInput (frames);
    juce::AudioBuffer<float> buffer (numChannels, frames);
    juce::MidiBuffer midi;
    VelloranAudioProcessor processor;

    for (auto _ : state)
    {
        copyChannels (buffer, input, frames);
        processor.processBlock (buffer, midi);
        benchmark::DoNotOptimize (buffer.getWritePointer (0));
        benchmark::ClobberMemory();
    }

}

void Gliding (benchmark::State& state)
{
    const int frames = (int) state.range (0);
    const auto input = makeInput (frames);
    juce::AudioBuffer<float> buffer (numChannels, frames);
    juce::MidiBuffer midi;
    VelloranAudioProcessor processor;
    int block = 0;

    for (auto _ : state)
    {
        // Turning the direction and the gain around every block keeps all three stages gliding.
        processor.setConversionMode (block % 2);
        JUCE_BEGIN_IGNORE_WARNINGS_GCC_LIKE ("-Wdeprecated-declarations")
        processor.setParameter (0, block % 2 == 0 ? 0.5f : 0.9f);
        JUCE_END_IGNORE_WARNINGS_GCC_LIKE
        ++block;

        copyChannels (buffer, input, frames);
        processor.processBlock (buffer, midi);
        benchmark::DoNotOptimize (buffer.getWritePointer (0));
        benchmark::ClobberMemory();
    }

}

/** Prints each case's time as a ratio to the floor of the same block size. */
class RatioReporter final : public benchmark::ConsoleReporter
{
public:
    void ReportRuns (const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns (runs);

        for (const auto& run : runs)
            if (run.run_type == Run::RT_Iteration)
                times[run.run_name.str()] = run.GetAdjustedCPUTime();
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        std::printf ("\n%-8s %12s %12s %12s %10s %10s\n", "frames", "floor ns/fr", "steady ns/fr", "gliding ns/fr", "steady x", "gliding x");

        for (int frames : { 64, 512, 8192 })
        {
            const auto get = [&] (const char* name) { return times[std::string (name) + "/" + std::to_string (frames)] / frames; };
            const double floor = get ("Floor"), steady = get ("Steady"), gliding = get ("Gliding");
            std::printf ("%-8d %12.3f %12.3f %12.3f %10.2f %10.2f\n", frames, floor, steady, gliding, steady / floor, gliding / floor);
        }
    }

private:
    std::map<std::string, double> times;
};
} // namespace

BENCHMARK (Floor)->Arg (64)->Arg (512)->Arg (8192);
BENCHMARK (Steady)->Arg (64)->Arg (512)->Arg (8192);
BENCHMARK (Gliding)->Arg (64)->Arg (512)->Arg (8192);

int main (int argc, char** argv)
{
    juce::ScopedJuceInitialiser_GUI juceSystem;
    benchmark::Initialize (&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks (&reporter);
    benchmark::Shutdown();
    return 0;
}
