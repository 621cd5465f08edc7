#include "FileConversion.h"

#include "ConversionError.h"
#include "InputFile.h"
#include "Interruption.h"
#include "OutputFile.h"
#include "OutputFormat.h"
#include "SampleFormat.h"
#include "TemporaryOutput.h"

#include "engine/ConversionMode.h"
#include "engine/GainMapping.h"
#include "processor/VelloranAudioProcessor.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace ortholume::converter
{
namespace
{
constexpr int numChannels = 4;
constexpr int framesPerBlock = VelloranAudioProcessor::maxBlockSamples;

void prepareProcessor (VelloranAudioProcessor& processor, Convention to, std::optional<float> gainDecibels)
{
    processor.setConversionMode (to == Convention::ambix ? FumaToAmbix : AmbixToFuma);

    JUCE_BEGIN_IGNORE_WARNINGS_GCC_LIKE ("-Wdeprecated-declarations")
    processor.setParameter (0, gainParameterForDecibels (gainDecibels.value_or (0.0f)));
    JUCE_END_IGNORE_WARNINGS_GCC_LIKE

    // A file has no earlier audio to glide from: start exactly in the chosen mapping and gain.
    processor.settleSmoothing();
}
} // namespace

float gainParameterForDecibels (float decibels) noexcept
{
    return (decibels - gainDecibelsAtZero) / gainDecibelsPerUnit;
}

ConversionReport convertFile (const ConversionRequest& request, VelloranAudioProcessor& processor,
                              ProgressCounters& progress)
{
    // Errors say what happened; which file they concern depends on where they arise.
    auto about = [] (const std::string& path, auto&& step)
    {
        try
        {
            return step();
        }
        catch (const ConversionError& error)
        {
            throw ConversionError (path + ": " + error.what());
        }
    };

    const auto& inputPath = request.inputPath;
    const auto& outputPath = request.outputPath;

    auto input = about (inputPath, [&] { return std::make_unique<InputFile> (inputPath); });

    ConversionReport report;
    report.inputIsBFormat = input->isBFormat();
    report.to = about (inputPath, [&] { return resolveTarget (request.target, report.inputIsBFormat); });
    report.from = oppositeOf (report.to);
    report.inputFormat = input->getInfo().format;
    report.sampleRate = input->getInfo().samplerate;
    report.numFrames = (std::uint64_t) input->getNumFrames();

    const auto format = about (outputPath, [&]
    {
        return chooseOutputFormat (outputPath, report.inputFormat, report.to, request.floatOutput, report.numFrames);
    });

    report.outputFormat = format.sndfileFormat;
    report.outputIsBFormat = format.bFormat;
    report.promotedToRf64 = format.promotedToRf64;

    prepareProcessor (processor, report.to, request.gainDecibels);

    auto temporary = about (outputPath, [&] { return std::make_unique<TemporaryOutput> (outputPath); });
    auto output = about (outputPath, [&]
    {
        return std::make_unique<OutputFile> (temporary->getFileDescriptor(), format, report.sampleRate);
    });

    progress.totalFrames += report.numFrames;

    std::vector<float> interleaved ((size_t) framesPerBlock * numChannels);
    juce::AudioBuffer<float> block (numChannels, framesPerBlock);
    juce::MidiBuffer noMidi;
    std::array<float, numChannels> peaks {};

    auto stopIfInterrupted = [&]
    {
        if (interruptionRequested())
            throw ConversionError (outputPath + ": was not finished: interrupted by signal "
                                   + std::to_string (interruptingSignal()) + "; nothing was written");
    };

    for (;;)
    {
        stopIfInterrupted();

        const int frames = about (inputPath, [&] { return input->read (interleaved.data(), framesPerBlock); });

        if (frames == 0)
            break;

        block.setSize (numChannels, frames, false, false, true);
        auto* const* channels = block.getArrayOfWritePointers();

        for (int i = 0; i < frames; ++i)
            for (int c = 0; c < numChannels; ++c)
                channels[c][i] = interleaved[(size_t) (i * numChannels + c)];

        processor.processBlock (block, noMidi);

        for (int c = 0; c < numChannels; ++c)
        {
            const auto range = juce::FloatVectorOperations::findMinAndMax (channels[c], frames);
            peaks[(size_t) c] = std::max ({ peaks[(size_t) c], std::abs (range.getStart()), std::abs (range.getEnd()) });
        }

        for (int i = 0; i < frames; ++i)
            for (int c = 0; c < numChannels; ++c)
                interleaved[(size_t) (i * numChannels + c)] = channels[c][i];

        about (outputPath, [&] { output->write (interleaved.data(), frames); });
        progress.framesDone += (std::uint64_t) frames;
    }

    about (outputPath, [&] { output->close(); });
    stopIfInterrupted();
    about (outputPath, [&] { temporary->commit(); });

    report.peaks = peaks;
    report.clippedSamples = output->getClippedSamples();
    return report;
}
} // namespace ortholume::converter
