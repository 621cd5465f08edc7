// How long processBlock takes per frame, settled and gliding, each beside
// baselines measured in the same run: a copy of the same four channels in and
// out; a trivial processor with the same buses that applies a gain of 1 with the
// framework's vector operations; and the bare recurrence of the glides (three
// independent chains of the smoothing step, one step per sample, nothing else).
#include "engine/ConversionKernel.h"
#include "engine/ConversionMode.h"
#include "engine/Smoothing.h"
#include "processor/GainParameter.h"
#include "processor/VelloranAudioProcessor.h"

#include <benchmark/benchmark.h>

#include <map>

namespace
{
constexpr int numChannels = ortholume::firstOrderChannels;

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

/** The least a plug-in with these buses does: a gain of 1, applied with the framework's vector operations. */
class TrivialProcessor final : public juce::AudioProcessor
{
public:
    TrivialProcessor()
        : AudioProcessor (BusesProperties()
                              .withInput ("Input", juce::AudioChannelSet::discreteChannels (numChannels), true)
                              .withOutput ("Output", juce::AudioChannelSet::discreteChannels (numChannels), true))
    {
    }

    void processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer&) override
    {
        for (int c = 0; c < buffer.getNumChannels(); ++c)
            juce::FloatVectorOperations::multiply (buffer.getWritePointer (c), 1.0f, buffer.getNumSamples());
    }

    const juce::String getName() const override { return "Trivial"; }
    void prepareToPlay (double, int) override {}
    void releaseResources() override {}
    double getTailLengthSeconds() const override { return 0.0; }
    bool acceptsMidi() const override { return false; }
    bool producesMidi() const override { return false; }
    juce::AudioProcessorEditor* createEditor() override { return nullptr; }
    bool hasEditor() const override { return false; }
    int getNumPrograms() override { return 1; }
    int getCurrentProgram() override { return 0; }
    void setCurrentProgram (int) override {}
    const juce::String getProgramName (int) override { return {}; }
    void changeProgramName (int, const juce::String&) override {}
    void getStateInformation (juce::MemoryBlock&) override {}
    void setStateInformation (const void*, int) override {}
};

/** Times blocks of fresh input through a processor, as a host hands them over. */
void timeBlocks (benchmark::State& state, juce::AudioProcessor& processor, const std::function<void()>& beforeBlock = {})
{
    const int frames = (int) state.range (0);
    const auto input = makeInput (frames);
    juce::AudioBuffer<float> buffer (numChannels, frames);
    juce::MidiBuffer midi;

    for (auto _ : state)
    {
        if (beforeBlock)
            beforeBlock();

        copyChannels (buffer, input, frames);
        processor.processBlock (buffer, midi);
        benchmark::DoNotOptimize (buffer.getWritePointer (0));
        benchmark::ClobberMemory();
    }
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

void Trivial (benchmark::State& state)
{
    TrivialProcessor processor;
    timeBlocks (state, processor);
}

/** The glides' targets in block b of the gliding case: direction and gain turned around every block. */
std::array<float, 3> glideTargets (int block)
{
    return { block % 2 == 1 ? 0.707106769084930419921875f : 1.41421353816986083984375f,
             block % 2 == 1 ? 1.0f : 0.0f,
             block % 2 == 0 ? 0.01f : 1.0f };
}

void Recurrence (benchmark::State& state)
{
    const int frames = (int) state.range (0);
    std::array<float, 3> current { 1.41421353816986083984375f, 0.0f, 1.0f };
    int block = 0;

    for (auto _ : state)
    {
        const auto target = glideTargets (block++);

        for (int i = 0; i < frames; ++i)
            for (size_t s = 0; s < current.size(); ++s)
                current[s] = ortholume::smoothingStep (current[s], target[s]);

        benchmark::DoNotOptimize (current);
    }
}

void Steady (benchmark::State& state)
{
    VelloranAudioProcessor processor;
    timeBlocks (state, processor);
}

/** Mode 1 after its glide has run out: the crossfade settles short of 1 and stays a crossfade. */
void ModeOneSettled (benchmark::State& state)
{
    VelloranAudioProcessor processor;
    processor.setConversionMode (1);
    juce::AudioBuffer<float> settle (numChannels, VelloranAudioProcessor::maxBlockSamples);
    juce::MidiBuffer midi;

    for (int b = 0; b < 4; ++b)
    {
        settle.clear();
        processor.processBlock (settle, midi);
    }

    if (processor.mixCurrent.load() == processor.mixTarget.load())
        state.SkipWithError ("the crossfade reached its target: not the settled state hosts see");

    timeBlocks (state, processor);
}

void Gliding (benchmark::State& state)
{
    VelloranAudioProcessor processor;
    int block = 0;

    // Turning the direction and the gain around every block keeps all three stages gliding.
    timeBlocks (state, processor, [&] {
        processor.setConversionMode (block % 2);
        ortholume::setGainParameter (processor, block % 2 == 0 ? 0.5f : 0.9f);
        ++block;
    });
}

/** The settled cases again on the instruction set every x86-64 processor has. */
void SteadyBaseline (benchmark::State& state)
{
    ortholume::useInstructionSet (ortholume::InstructionSet::baseline);
    Steady (state);
    ortholume::useWidestInstructionSet();
}

void ModeOneSettledBaseline (benchmark::State& state)
{
    ortholume::useInstructionSet (ortholume::InstructionSet::baseline);
    ModeOneSettled (state);
    ortholume::useWidestInstructionSet();
}

/** Prints each case's time per frame and the ratios the goals are set in. */
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

        std::printf ("\nns per frame (conversion on %s; baseline %s)\n", ortholume::getName (ortholume::getWidestAvailable()),
                     ortholume::getName (ortholume::InstructionSet::baseline));
        std::printf ("%-6s %7s %7s %7s %7s %7s %7s %9s %9s | %11s %11s %13s | %11s %11s\n", "frames", "copy",
                     "trivial", "recur.", "steady", "mode 1", "gliding", "steady b.", "mode 1 b.", "steady/triv",
                     "mode1/triv", "gliding/recur", "base steady", "base mode1");

        for (int frames : { 64, 512, 8192 })
        {
            const auto get = [&] (const char* name) { return times[std::string (name) + "/" + std::to_string (frames)] / frames; };
            const double copy = get ("Floor"), trivial = get ("Trivial"), recurrence = get ("Recurrence"),
                         steady = get ("Steady"), modeOne = get ("ModeOneSettled"), gliding = get ("Gliding"),
                         steadyBase = get ("SteadyBaseline"), modeOneBase = get ("ModeOneSettledBaseline");
            std::printf ("%-6d %7.3f %7.3f %7.3f %7.3f %7.3f %7.3f %9.3f %9.3f | %11.2f %11.2f %13.2f | %11.2f %11.2f\n",
                         frames, copy, trivial, recurrence, steady, modeOne, gliding, steadyBase, modeOneBase,
                         steady / trivial, modeOne / trivial, gliding / recurrence, steadyBase / trivial,
                         modeOneBase / trivial);
        }
    }

private:
    std::map<std::string, double> times;
};
} // namespace

BENCHMARK (Floor)->Arg (64)->Arg (512)->Arg (8192);
BENCHMARK (Trivial)->Arg (64)->Arg (512)->Arg (8192);
BENCHMARK (Recurrence)->Arg (64)->Arg (512)->Arg (8192);
BENCHMARK (Steady)->Arg (64)->Arg (512)->Arg (8192);
BENCHMARK (ModeOneSettled)->Arg (64)->Arg (512)->Arg (8192);
BENCHMARK (Gliding)->Arg (64)->Arg (512)->Arg (8192);
BENCHMARK (SteadyBaseline)->Arg (64)->Arg (512)->Arg (8192);
BENCHMARK (ModeOneSettledBaseline)->Arg (64)->Arg (512)->Arg (8192);

int main (int argc, char** argv)
{
    juce::ScopedJuceInitialiser_GUI juceSystem;
    benchmark::Initialize (&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks (&reporter);
    benchmark::Shutdown();
    return 0;
}
