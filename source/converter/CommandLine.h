#pragma once

#include "Convention.h"

#include <optional>
#include <string>
#include <vector>

namespace ortholume::converter
{
/** Exit statuses, as documented in --help. */
enum ExitStatus
{
    exitSuccess = 0,
    exitSomeFilesFailed = 1,
    exitUsageError = 2,
    exitInterruptedBase = 128 // plus the signal number, as shells report it
};

struct Options
{
    std::optional<Convention> target;
    std::optional<float> gainDecibels;
    int outputSubtype = 0; // libsndfile sample subtype from --bits or --float; 0: the input's
    std::string outputFile;
    std::string outputDirectory;
    std::string batchFormat; // --format: the extension of every batch output, or empty
    bool overwrite = false;
    bool inspect = false;
    int jobs = 0; // 0: one per core
    bool quiet = false;
    bool showHelp = false;
    bool showVersion = false;
    std::vector<std::string> inputs;
};

/** Parses the arguments after the program name. Throws UsageError. */
Options parseCommandLine (const std::vector<std::string>& arguments);

std::string helpText();

/** Output path for an input in batch mode: the same name in the output folder,
    with the extension given by --format if any; without it, a B-format .amb going
    to AmbiX becomes .wav (.amb means FuMa). */
std::string batchOutputPath (const std::string& outputDirectory, const std::string& inputPath, bool toAmbix,
                             const std::string& format = {});
} // namespace ortholume::converter
