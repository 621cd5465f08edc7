#include "CommandLine.h"

#include "ConversionError.h"
#include "OutputFormat.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace ortholume::converter
{
namespace
{
constexpr float lowestGainDecibels = -90.0f;
constexpr float highestGainDecibels = 10.0f;
constexpr long mostJobs = 1024;

float parseGain (const std::string& text)
{
    char* end = nullptr;
    errno = 0;
    const auto value = std::strtof (text.c_str(), &end);

    if (text.empty() || end != text.c_str() + text.size() || errno != 0 || ! std::isfinite (value))
        throw UsageError ("--gain needs a number of dB, not \"" + text + "\"");

    if (value < lowestGainDecibels || value > highestGainDecibels)
        throw UsageError ("--gain must lie between -90 and +10 dB, the range of the Gain parameter");

    return value;
}

int parseJobs (const std::string& text)
{
    char* end = nullptr;
    errno = 0;
    const auto value = std::strtol (text.c_str(), &end, 10);

    if (text.empty() || end != text.c_str() + text.size() || errno != 0 || value < 1 || value > mostJobs)
        throw UsageError ("--jobs needs a whole number from 1 to 1024, not \"" + text + "\"");

    return (int) value;
}

Convention parseConvention (const std::string& text)
{
    if (text == "ambix" || text == "AmbiX" || text == "AMBIX")
        return Convention::ambix;

    if (text == "fuma" || text == "FuMa" || text == "FUMA")
        return Convention::fuma;

    throw UsageError ("--to takes ambix or fuma, not \"" + text + "\"");
}
} // namespace

Options parseCommandLine (const std::vector<std::string>& arguments)
{
    Options options;
    bool onlyInputsFollow = false;

    for (size_t i = 0; i < arguments.size(); ++i)
    {
        const auto& argument = arguments[i];

        if (onlyInputsFollow || argument.empty() || argument[0] != '-' || argument == "-")
        {
            options.inputs.push_back (argument);
            continue;
        }

        // Both "--to ambix" and "--to=ambix".
        std::string name = argument;
        std::optional<std::string> attachedValue;

        if (const auto equals = argument.find ('='); argument.rfind ("--", 0) == 0 && equals != std::string::npos)
        {
            name = argument.substr (0, equals);
            attachedValue = argument.substr (equals + 1);
        }

        auto value = [&]() -> std::string
        {
            if (attachedValue.has_value())
                return *attachedValue;

            if (i + 1 >= arguments.size())
                throw UsageError (name + " needs a value");

            return arguments[++i];
        };

        auto noValue = [&]
        {
            if (attachedValue.has_value())
                throw UsageError (name + " takes no value");
        };

        if (name == "--")
        {
            onlyInputsFollow = true;
        }
        else if (name == "--to" || name == "-t")
        {
            options.target = parseConvention (value());
        }
        else if (name == "--gain" || name == "-g")
        {
            options.gainDecibels = parseGain (value());
        }
        else if (name == "--float")
        {
            noValue();
            options.outputSubtype = subtypeForBits ("float");
        }
        else if (name == "--bits" || name == "-b")
        {
            const auto bits = value();
            options.outputSubtype = subtypeForBits (bits);

            if (options.outputSubtype == 0)
                throw UsageError ("--bits takes 16, 24, 32, float or double, not \"" + bits + "\"");
        }
        else if (name == "--output" || name == "-o")
        {
            options.outputFile = value();
        }
        else if (name == "--output-dir" || name == "-d")
        {
            options.outputDirectory = value();
        }
        else if (name == "--jobs" || name == "-j")
        {
            options.jobs = parseJobs (value());
        }
        else if (name == "--quiet" || name == "-q")
        {
            noValue();
            options.quiet = true;
        }
        else if (name == "--help" || name == "-h")
        {
            noValue();
            options.showHelp = true;
        }
        else if (name == "--version")
        {
            noValue();
            options.showVersion = true;
        }
        else
        {
            throw UsageError ("unknown option " + argument + " (see --help)");
        }
    }

    if (options.showHelp || options.showVersion)
        return options;

    if (options.inputs.empty())
        throw UsageError ("no input file given (see --help)");

    // A pipe has no length to check the audio against, and no file to write beside.
    for (const auto& input : options.inputs)
        if (input == "-")
            throw UsageError ("reading from standard input is not supported; name a file");

    if (! options.outputFile.empty() && ! options.outputDirectory.empty())
        throw UsageError ("give either -o OUTPUT or --output-dir DIR, not both");

    if (options.outputFile.empty() && options.outputDirectory.empty())
        throw UsageError ("no output given: -o OUTPUT for one file, --output-dir DIR for several");

    if (! options.outputFile.empty() && options.inputs.size() > 1)
        throw UsageError ("-o names one output file; for several inputs use --output-dir DIR");

    return options;
}

std::string batchOutputPath (const std::string& outputDirectory, const std::string& inputPath, bool toAmbix)
{
    const auto slash = inputPath.find_last_of ('/');
    auto name = slash == std::string::npos ? inputPath : inputPath.substr (slash + 1);

    if (toAmbix && lowerCaseExtension (name) == "amb")
        name = name.substr (0, name.size() - 3) + "wav";

    auto folder = outputDirectory;

    if (! folder.empty() && folder.back() != '/')
        folder += '/';

    return folder + name;
}

std::string helpText()
{
    return R"(Usage:
  ortholume-convert --to ambix|fuma [--gain DB] [--bits B] -o OUTPUT INPUT
  ortholume-convert --to ambix|fuma [--gain DB] [--bits B] --output-dir DIR INPUT...

Converts first-order ambisonic files between FuMa (W, X, Y, Z; W at -3 dB) and
AmbiX (W, Y, Z, X; W at unity). Channels that only move are copied bit for bit;
W (every channel with --gain) is computed in double precision and rounded once.

Options:
  -t, --to ambix|fuma   the output convention; the input is taken to be the other.
                        May be left out for inputs marked as B-format (.amb),
                        which are FuMa and go to AmbiX.
  -g, --gain DB         output gain, -90 to +10 dB (default 0)
  -b, --bits B          output samples: 16, 24 or 32 (integer), float (32-bit) or
                        double (64-bit); default: the input's. FLAC holds 16 and
                        24 only. Integers are rounded to nearest, not dithered.
      --float           the same as --bits float
  -o, --output FILE     the output file, for one input; its extension picks the
                        format: .wav .amb .w64 .rf64 .caf .aif .aiff .flac
  -d, --output-dir DIR  the folder for several inputs; each keeps its name
                        (a .amb going to AmbiX is written as .wav)
  -j, --jobs N          files converted at once (default: one per core)
  -q, --quiet           no progress bar and no summary; errors and warnings only
  -h, --help            this text
      --version         the version

FuMa written to a .amb name is marked as ambisonic B-format; everything else is
written as a plain 4-channel file without a speaker layout. WAV output too large
for WAV (over 4 GiB) is written as RF64. An input is never overwritten, and an
output appears only when its conversion succeeded.

Exit status:
  0    every file converted
  1    one or more files failed (the others were converted)
  2    the command line was wrong; nothing was converted
  128+N  interrupted by signal N (130 for Ctrl-C); unfinished outputs removed
)";
}
} // namespace ortholume::converter
