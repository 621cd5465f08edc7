// ortholume-convert: converts first-order ambisonic files between FuMa and AmbiX,
// exactly (moved channels bit for bit, scaled ones rounded once from double),
// and tells which convention a file is in.
#include "CommandLine.h"
#include "Console.h"
#include "ConventionProbe.h"
#include "ConversionError.h"
#include "ConversionPlan.h"
#include "FileConversion.h"
#include "Inspection.h"
#include "Interruption.h"
#include "ProgressBar.h"
#include "Summary.h"
#include "TemporaryOutput.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <functional>
#include <future>
#include <memory>
#include <thread>

using namespace ortholume::converter;

namespace
{
int defaultJobs()
{
    return (int) std::max (1u, std::thread::hardware_concurrency());
}

/** The exit status, unless standard output failed: a run whose report was lost did not succeed. */
int finish (int status)
{
    if (const auto error = console::finishOutput(); error != 0)
    {
        console::printError (std::string ("standard output: write error: ") + std::strerror (error));
        return status == exitSuccess ? exitSomeFilesFailed : status;
    }

    return status;
}

int inspect (const Options& options)
{
    int status = exitSuccess;

    for (const auto& input : options.inputs)
    {
        try
        {
            console::printOutput (inspectFile (input));
        }
        catch (const std::exception& error)
        {
            status = exitSomeFilesFailed;
            console::printError (input + ": " + error.what());
        }
    }

    return status;
}

/** The warning to give when the signal contradicts the direction asked for (or
    implied by a B-format mark), or nothing. Never stops the conversion. */
std::string contradictionWarning (const ConversionRequest& request, bool directionGiven)
{
    if (! request.target.has_value())
        return {};

    try
    {
        const auto estimate = probeConvention (request.inputPath);

        if (const auto warning = describeContradiction (estimate, *request.target, ! directionGiven); ! warning.empty())
            return request.inputPath + ": " + warning;
    }
    catch (const std::exception&)
    {
        // An unreadable input is the conversion's to report.
    }

    return {};
}

/** Converts one file while its signal is measured on another thread: a warning
    stops nothing, so the conversion need not wait for it. The warning, if any,
    is given when the conversion ends, whether it succeeded or not. */
ConversionReport convertAndProbe (const ConversionRequest& request, bool directionGiven, ProgressCounters& progress)
{
    auto contradiction = std::async (std::launch::async, contradictionWarning, std::cref (request), directionGiven);

    auto warnOfContradiction = [&] {
        if (const auto warning = contradiction.get(); ! warning.empty())
            console::printError (warning);
    };

    try
    {
        auto report = convertFile (request, progress);
        warnOfContradiction();
        return report;
    }
    catch (...)
    {
        warnOfContradiction();
        throw;
    }
}
} // namespace

int main (int argc, char** argv)
{
    Options options;
    ConversionPlan plan;

    try
    {
        options = parseCommandLine ({ argv + 1, argv + argc });

        if (options.showHelp)
        {
            console::printOutput (helpText());
            return finish (exitSuccess);
        }

        if (options.showVersion)
        {
            console::printOutput (std::string ("ortholume-convert ") + ORTHOLUME_VERSION + "\n");
            return finish (exitSuccess);
        }

        if (options.inspect)
            return finish (inspect (options));

        plan = planConversions (options);
    }
    catch (const UsageError& error)
    {
        console::printError (error.what());
        return exitUsageError;
    }

    if (! plan.existingOutputs.empty())
    {
        for (const auto& output : plan.existingOutputs)
            console::printError (output + ": exists already");

        console::printError ("nothing was converted: give --overwrite to replace existing outputs");
        return finish (exitSomeFilesFailed);
    }

    installSignalHandlers();
    TemporaryOutput::captureCreationMask();
    TemporaryOutput::setReplacesExisting (options.overwrite);

    const auto& conversions = plan.conversions;
    const bool batch = ! options.outputDirectory.empty();
    const int numJobs = std::min ((int) conversions.size(), options.jobs > 0 ? options.jobs : defaultJobs());

    // One set of counters per job: a failed file's unread frames must still count as done.
    std::vector<std::unique_ptr<ProgressCounters>> counters;

    for (int j = 0; j < numJobs; ++j)
        counters.push_back (std::make_unique<ProgressCounters>());

    std::atomic<size_t> nextConversion { 0 };
    std::atomic<int> converted { 0 }, failures { 0 };
    std::atomic<std::uint64_t> framesSkipped { 0 };

    auto work = [&] (ProgressCounters& progress) {
        for (;;)
        {
            const auto index = nextConversion++;

            if (index >= conversions.size() || interruptionRequested())
                return;

            const auto& [request, plannedFrames] = conversions[index];
            const auto framesBefore = progress.framesDone.load();

            try
            {
                const auto report = convertAndProbe (request, options.target.has_value(), progress);
                ++converted;

                if (! options.quiet)
                    console::printOutput (batch ? formatBatchLine (request, report) : formatSummary (request, report));

                if (const auto warning = formatClippingWarning (request, report); ! warning.empty())
                    console::printError (warning);

                if (const auto warning = formatMetadataWarning (request, report); ! warning.empty())
                    console::printError (warning);
            }
            catch (const ConversionError& error)
            {
                ++failures;
                console::printError (error.what());
            }
            catch (const std::exception& error)
            {
                ++failures;
                console::printError (request.inputPath + ": " + error.what());
            }

            if (const auto read = progress.framesDone.load() - framesBefore; read < plannedFrames)
                framesSkipped += plannedFrames - read;

            ++progress.filesDone;
        }
    };

    {
        std::unique_ptr<ProgressBar> progressBar;

        if (! options.quiet && ::isatty (STDERR_FILENO))
        {
            auto sample = [&] {
                ProgressBar::State state;
                state.totalFrames = plan.totalFrames;
                state.framesDone = framesSkipped.load();

                for (const auto& job : counters)
                {
                    state.framesDone += job->framesDone.load();
                    state.filesDone += job->filesDone.load();
                }

                return state;
            };

            progressBar = std::make_unique<ProgressBar> (sample, (int) conversions.size());
        }

        std::vector<std::thread> workers;

        for (int j = 1; j < numJobs; ++j)
            workers.emplace_back (work, std::ref (*counters[(size_t) j]));

        work (*counters[0]);

        for (auto& worker : workers)
            worker.join();
    }

    if (batch && ! options.quiet)
        console::printOutput (formatTally (converted, failures, (int) conversions.size() - converted - failures));

    if (interruptionRequested())
    {
        console::printError ("interrupted by signal " + std::to_string (interruptingSignal())
                             + "; unfinished outputs were removed");
        return finish (exitInterruptedBase + interruptingSignal());
    }

    return finish (failures > 0 ? exitSomeFilesFailed : exitSuccess);
}
