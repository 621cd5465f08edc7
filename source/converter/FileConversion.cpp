#include "FileConversion.h"

#include "ChannelMap.h"
#include "ConversionError.h"
#include "InputFile.h"
#include "Interruption.h"
#include "OutputFile.h"
#include "OutputFormat.h"
#include "SampleKernel.h"
#include "TemporaryOutput.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace ortholume::converter
{
namespace
{
// About a megabyte of 24-bit audio: few system calls, and little memory for any file length.
constexpr int framesPerBlock = 1 << 16;

// One in each stage and one spare, so no stage waits for a block to come back.
constexpr int numBlocks = 4;

struct Block
{
    // Left uninitialised: every byte is read into or converted before it is used.
    std::unique_ptr<unsigned char[]> input, output;
    int numFrames = 0;
};

/** Blocks handed from one stage to the next. Once closed, pop() returns the
    blocks still queued, then nullptr. */
class BlockQueue final
{
public:
    void push (Block* block)
    {
        {
            const std::lock_guard lock (mutex);
            blocks.push_back (block);
        }

        changed.notify_one();
    }

    Block* pop()
    {
        std::unique_lock lock (mutex);
        changed.wait (lock, [this] { return ! blocks.empty() || closed; });

        if (blocks.empty())
            return nullptr;

        auto* const block = blocks.front();
        blocks.pop_front();
        return block;
    }

    void close()
    {
        {
            const std::lock_guard lock (mutex);
            closed = true;
        }

        changed.notify_all();
    }

private:
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<Block*> blocks;
    bool closed = false;
};

/** Errors say what happened; which file they concern depends on where they arise. */
template <typename Step>
auto about (const std::string& path, Step&& step)
{
    try
    {
        return step();
    }
    catch (const ConversionError& error)
    {
        throw ConversionError (path + ": " + error.what());
    }
}
} // namespace

ConversionReport convertFile (const ConversionRequest& request, ProgressCounters& progress)
{
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
    report.numChannels = input->getNumChannels();

    const auto format = about (outputPath, [&] {
        return chooseOutputFormat (outputPath, report.inputFormat, input->getNumChannels(), report.to, request.outputSubtype,
                                   report.numFrames);
    });

    report.outputFormat = format.sndfileFormat;
    report.outputIsBFormat = format.bFormat;
    report.promotedToRf64 = format.promotedToRf64;

    const auto metadata = input->getMetadata();
    auto temporary = about (outputPath, [&] { return std::make_unique<TemporaryOutput> (outputPath); });
    auto output = about (outputPath, [&] {
        return std::make_unique<OutputFile> (temporary->getFileDescriptor(), format, report.sampleRate, metadata);
    });

    const SampleKernel kernel (ambisonicMap (report.to, input->getNumChannels(), request.gainDecibels), input->getCoding(),
                               output->getCoding());

    progress.totalFrames += report.numFrames;

    // A short file needs no more room than its own length.
    const auto blockFrames = (int) std::min<std::uint64_t> (framesPerBlock, report.numFrames);
    std::vector<Block> blocks (numBlocks);
    BlockQueue emptyBlocks, readBlocks, fullBlocks;

    for (auto& block : blocks)
    {
        block.input.reset (new unsigned char[(size_t) blockFrames * (size_t) kernel.inputFrameBytes()]);
        block.output.reset (new unsigned char[(size_t) blockFrames * (size_t) kernel.outputFrameBytes()]);
        emptyBlocks.push (&block);
    }

    auto stopIfInterrupted = [&] {
        if (interruptionRequested())
            throw ConversionError (outputPath + ": was not finished: interrupted by signal "
                                   + std::to_string (interruptingSignal()) + "; nothing was written");
    };

    // Three stages on three threads, reading, converting and writing, so that on
    // two cores the conversion fills the time one side waits on the other.
    KernelStats stats;
    std::exception_ptr readFailure, convertFailure;

    std::thread reader ([&] {
        try
        {
            while (auto* const block = emptyBlocks.pop())
            {
                if (interruptionRequested())
                    break;

                block->numFrames = about (inputPath, [&] { return input->read (block->input.get(), blockFrames); });

                if (block->numFrames == 0)
                    break;

                readBlocks.push (block);
            }
        }
        catch (...)
        {
            readFailure = std::current_exception();
        }

        readBlocks.close();
    });

    std::thread converter ([&] {
        try
        {
            while (auto* const block = readBlocks.pop())
            {
                kernel.convert (block->input.get(), block->output.get(), block->numFrames, stats);
                fullBlocks.push (block);
            }
        }
        catch (...)
        {
            convertFailure = std::current_exception();
        }

        fullBlocks.close();
    });

    auto stopAndJoin = [&] {
        emptyBlocks.close();
        readBlocks.close();
        reader.join();
        converter.join();
    };

    try
    {
        while (auto* const block = fullBlocks.pop())
        {
            stopIfInterrupted();
            about (outputPath, [&] { output->write (block->output.get(), block->numFrames); });
            temporary->startWriteback();
            progress.framesDone += (std::uint64_t) block->numFrames;
            emptyBlocks.push (block);
        }
    }
    catch (...)
    {
        stopAndJoin();
        throw;
    }

    stopAndJoin();

    for (const auto& failure : { readFailure, convertFailure })
        if (failure != nullptr)
            std::rethrow_exception (failure);

    stopIfInterrupted();
    about (outputPath, [&] { output->close(); });

    // libsndfile takes some tags that a format then leaves out (AIFF's date): ask the file.
    if (! metadata.strings.empty() || metadata.hasBroadcastInfo)
        report.metadataLeftOut = missingMetadata (metadata, readMetadata (temporary->getPath()));

    stopIfInterrupted();
    about (outputPath, [&] { temporary->commit(); });

    report.peaks.assign (stats.peaks.begin(), stats.peaks.end());
    report.clippedSamples = stats.clippedSamples;
    return report;
}
} // namespace ortholume::converter
