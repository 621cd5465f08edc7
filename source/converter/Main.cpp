// ortholume-convert: converts first-order ambisonic files between FuMa and AmbiX,
// exactly: moved channels bit for bit, scaled ones rounded once from double.
#include "CommandLine.h"
#include "Console.h"
#include "ConversionError.h"
#include "FileConversion.h"
#include "Interruption.h"
#include "ProgressBar.h"
#include "Summary.h"
#include "TemporaryOutput.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <set>
#include <thread>

using namespace ortholume::converter;

namespace
{
bool sameFile (const struct stat& a, const struct stat& b) noexcept
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

/** Everything that can be refused before any file is touched. Throws UsageError. */
std::vector<ConversionRequest> planConversions (const Options& options)
{
    if (! options.outputDirectory.empty())
    {
        struct stat folder {};

        if (::stat (options.outputDirectory.c_str(), &folder) != 0 || ! S_ISDIR (folder.st_mode))
            throw UsageError ("--output-dir " + options.outputDirectory + ": no such folder");
    }

    std::vector<ConversionRequest> requests;
    std::vector<struct stat> inputStatus;

    for (const auto& input : options.inputs)
    {
        ConversionRequest request;
        request.inputPath = input;
        request.target = options.target;
        request.gainDecibels = options.gainDecibels;
        request.outputSubtype = options.outputSubtype;

        // Without --to, only B-format inputs are accepted, and they go to AmbiX.
        const bool toAmbix = options.target.value_or (Convention::ambix) == Convention::ambix;
        request.outputPath = options.outputFile.empty() ? batchOutputPath (options.outputDirectory, input, toAmbix)
                                                        : options.outputFile;
        requests.push_back (request);

        struct stat status {};

        if (::stat (input.c_str(), &status) == 0)
            inputStatus.push_back (status);
    }

    std::set<std::string> outputs;

    for (const auto& request : requests)
    {
        if (! outputs.insert (request.outputPath).second)
            throw UsageError (request.outputPath + ": more than one input would be written here");

        struct stat status {};

        if (::stat (request.outputPath.c_str(), &status) != 0)
            continue;

        for (const auto& input : inputStatus)
            if (sameFile (status, input))
                throw UsageError (request.outputPath + ": is an input file; refusing to overwrite an input");
    }

    return requests;
}

int defaultJobs()
{
    return (int) std::max (1u, std::thread::hardware_concurrency());
}
} // namespace

int main (int argc, char** argv)
{
    Options options;
    std::vector<ConversionRequest> requests;

    try
    {
        options = parseCommandLine ({ argv + 1, argv + argc });

        if (options.showHelp)
        {
            console::printOutput (helpText());
            return exitSuccess;
        }

        if (options.showVersion)
        {
            console::printOutput (std::string ("ortholume-convert ") + ORTHOLUME_VERSION + "\n");
            return exitSuccess;
        }

        requests = planConversions (options);
    }
    catch (const UsageError& error)
    {
        console::printError (error.what());
        return exitUsageError;
    }

    installSignalHandlers();
    TemporaryOutput::captureCreationMask();

    const int numJobs = std::min ((int) requests.size(), options.jobs > 0 ? options.jobs : defaultJobs());

    ProgressCounters counters;
    std::atomic<size_t> nextRequest { 0 };
    std::atomic<int> failures { 0 };

    auto work = [&]
    {
        for (;;)
        {
            const auto index = nextRequest++;

            if (index >= requests.size() || interruptionRequested())
                return;

            const auto& request = requests[index];

            try
            {
                const auto report = convertFile (request, counters);

                if (! options.quiet)
                    console::printOutput (formatSummary (request, report));

                if (const auto warning = formatClippingWarning (request, report); ! warning.empty())
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

            ++counters.filesDone;
        }
    };

    {
        std::unique_ptr<ProgressBar> progressBar;

        if (! options.quiet && ::isatty (STDERR_FILENO))
            progressBar = std::make_unique<ProgressBar> (counters, (int) requests.size());

        std::vector<std::thread> workers;

        for (int j = 1; j < numJobs; ++j)
            workers.emplace_back (work);

        work();

        for (auto& worker : workers)
            worker.join();
    }

    if (interruptionRequested())
    {
        console::printError ("interrupted by signal " + std::to_string (interruptingSignal())
                             + "; unfinished outputs were removed");
        return exitInterruptedBase + interruptingSignal();
    }

    return failures > 0 ? exitSomeFilesFailed : exitSuccess;
}
