#include "CommandLine.h"

#include "ConversionError.h"
#include "OutputFormat.h"

#include "engine/GainMapping.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace ortholume::converter
{
namespace
{
// The plug-in's Gain parameter spans the same range.
constexpr float lowestGainDecibels = gainDecibelsAtZero;
constexpr float highestGainDecibels = gainDecibelsAtZero + gainDecibelsPerUnit;
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

std::string parseBatchFormat (const std::string& text)
{
    for (const char* format : { "wav", "amb", "w64", "rf64", "caf", "aiff", "flac" })
        if (text == format)
            return text;

    throw UsageError ("--format takes wav, amb, w64, rf64, caf, aiff or flac, not \"" + text + "\"");
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

        auto value = [&]() -> std::string {
            if (attachedValue.has_value())
                return *attachedValue;

            if (i + 1 >= arguments.size())
                throw UsageError (name + " needs a value");

            return arguments[++i];
        };

        auto noValue = [&] {
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
        else if (name == "--format" || name == "-f")
        {
            options.batchFormat = parseBatchFormat (value());
        }
        else if (name == "--overwrite")
        {
            noValue();
            options.overwrite = true;
        }
        else if (name == "--inspect" || name == "-i")
        {
            noValue();
            options.inspect = true;
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

    if (options.inspect)
    {
        if (! options.outputFile.empty() || ! options.outputDirectory.empty() || options.target.has_value()
            || options.gainDecibels.has_value() || options.outputSubtype != 0 || ! options.batchFormat.empty() || options.overwrite)
            throw UsageError ("--inspect only reads: give it file names, without conversion options");

        return options;
    }

    if (! options.outputFile.empty() && ! options.outputDirectory.empty())
        throw UsageError ("give either -o OUTPUT or --output-dir DIR, not both");

    if (options.outputFile.empty() && options.outputDirectory.empty())
        throw UsageError ("no output given: -o OUTPUT for one file, --output-dir DIR for several");

    if (! options.outputFile.empty() && options.inputs.size() > 1)
        throw UsageError ("-o names one output file; for several inputs use --output-dir DIR");

    if (! options.outputFile.empty() && ! options.batchFormat.empty())
        throw UsageError ("--format is for --output-dir; with -o the output name's extension gives the format");

    return options;
}

std::string batchOutputPath (const std::string& outputDirectory, const std::string& inputPath, bool toAmbix,
                             const std::string& format)
{
    const auto slash = inputPath.find_last_of ('/');
    auto name = slash == std::string::npos ? inputPath : inputPath.substr (slash + 1);
    const auto extension = lowerCaseExtension (name);
    const auto dot = name.size() - extension.size() - 1;
    const auto stem = extension.empty() || dot == 0 ? name : name.substr (0, dot);

    if (! format.empty())
        name = stem + "." + format;
    else if (toAmbix && extension == "amb")
        name = stem + ".wav";

    auto folder = outputDirectory;

    if (! folder.empty() && folder.back() != '/')
        folder += '/';

    return folder + name;
}

std::string helpText()
{
    return R"(Usage: ortholume-convert --to ambix|fuma [OPTION...] -o OUTPUT INPUT
  or:  ortholume-convert --to ambix|fuma [OPTION...] --output-dir DIR INPUT...
  or:  ortholume-convert --inspect INPUT...

Converts ambisonic files of order 1, 2 or 3 (4, 9 or 16 channels) between FuMa
(W X Y Z R S T U V K L M N O P Q; W at -3 dB) and AmbiX (ACN order, SN3D), and
tells which convention a file is in. Channels that only move are copied bit for
bit; scaled ones (W, S to V, L to Q; every channel with --gain) are computed in
double precision and rounded once.

Options:
  -t, --to ambix|fuma   the output convention; the input is taken to be the other.
                        May be left out for inputs marked as B-format (.amb),
                        which are FuMa and go to AmbiX (a .amb of any other
                        count than 4, 9 or 16 channels is a mixed-order scheme,
                        which is not converted).
  -g, --gain DB         output gain, -90 to +10 dB (default 0)
  -b, --bits B          output samples: 16, 24 or 32 (integer), float (32-bit) or
                        double (64-bit); default: the input's. FLAC holds 16 and
                        24 only, and at most 8 channels (first order). Integers
                        are rounded to nearest, not dithered.
      --float           the same as --bits float
  -o, --output FILE     the output file, for one input; its extension picks the
                        format: .wav .amb .w64 .rf64 .caf .aif .aiff .flac
  -d, --output-dir DIR  the folder for several inputs; each keeps its name
                        (a .amb going to AmbiX is written as .wav)
  -f, --format FORMAT   with --output-dir: write every output as wav, amb, w64,
                        rf64, caf, aiff or flac, whatever the input
      --overwrite       replace outputs that exist already (without it, an
                        existing output stops the run before anything is read)
  -i, --inspect         convert nothing; for each file, print its format, length,
                        channels, B-format mark and speaker layout, and the
                        convention its signal shows (first-order energy over W's:
                        2 in FuMa, 1 in AmbiX/SN3D, 3 in N3D)
  -j, --jobs N          files converted at once (default: one per core)
  -q, --quiet           no progress bar and no summary; errors and warnings only
  -h, --help            this text
      --version         the version

FuMa written to a .amb name is marked as ambisonic B-format; everything else is
written as a plain file without a speaker layout. The string tags (title,
artist, comment, date...) and the broadcast-wave bext chunk (timecode) are
copied into outputs that can hold them; what one cannot is named on stderr. WAV output too large
for WAV (over 4 GiB) is written as RF64. An input is never overwritten, and an
output appears only when its conversion succeeded. Every header is read before
any audio: mistakes they reveal (no --to for an unmarked file, AmbiX to a .amb
name, an unknown extension) stop the run with nothing converted. A conversion
whose input looks like the other convention (a file already in AmbiX sent
--to ambix) is warned about on stderr and done anyway.

With --output-dir, each file gets one line and the run ends with a tally
("199 converted, 1 failed").

Exit status:
  0    every file converted (or inspected)
  1    one or more files failed (the others were converted), an output exists
       already and --overwrite was not given, or standard output failed
  2    the command line was wrong; nothing was converted
  128+N  interrupted by signal N (130 for Ctrl-C); unfinished outputs removed
)";
}
} // namespace ortholume::converter
