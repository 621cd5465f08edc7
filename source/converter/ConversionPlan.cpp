#include "ConversionPlan.h"

#include "AmbisonicOrders.h"
#include "ConversionError.h"
#include "OutputFormat.h"

#include <sndfile.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <algorithm>
#include <optional>
#include <set>

namespace ortholume::converter
{
namespace
{
struct Header
{
    SF_INFO info {};
    bool bFormat = false;
};

std::optional<Header> readHeader (const std::string& path)
{
    Header header;
    SNDFILE* file = sf_open (path.c_str(), SFM_READ, &header.info);

    if (file == nullptr)
        return std::nullopt;

    header.bFormat = sf_command (file, SFC_WAVEX_GET_AMBISONIC, nullptr, 0) == SF_AMBISONIC_B_FORMAT;
    sf_close (file);
    return header;
}

bool sameFile (const struct stat& a, const struct stat& b) noexcept
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

std::string folderOf (const std::string& path)
{
    const auto slash = path.find_last_of ('/');
    return slash == std::string::npos ? std::string (".") : (slash == 0 ? std::string ("/") : path.substr (0, slash));
}

std::string nameOf (const std::string& path)
{
    const auto slash = path.find_last_of ('/');
    return slash == std::string::npos ? path : path.substr (slash + 1);
}

/** The output's folder exists, the output is not a folder, and its name fits the file system. */
void checkOutputPlace (const std::string& output)
{
    struct stat status
    {};

    if (output.back() == '/' || (::stat (output.c_str(), &status) == 0 && S_ISDIR (status.st_mode)))
        throw UsageError (output + ": is a folder, not a name for the output file (a folder of outputs is --output-dir)");

    const auto folder = folderOf (output);

    if (::stat (folder.c_str(), &status) != 0)
        throw UsageError (output + ": cannot be written there: " + std::strerror (errno));

    if (! S_ISDIR (status.st_mode))
        throw UsageError (output + ": cannot be written there: " + std::strerror (ENOTDIR));

    auto longest = ::pathconf (folder.c_str(), _PC_NAME_MAX);

    if (longest <= 0)
        longest = NAME_MAX;

    if (const auto length = nameOf (output).size(); length > (std::size_t) longest)
        throw UsageError (output + ": the name is too long for its file system (" + std::to_string (length)
                          + " bytes; at most " + std::to_string (longest) + ")");
}

/** Direction, name and format: whatever the header and the command line settle. */
PlannedConversion planOne (const Options& options, const std::string& input)
{
    PlannedConversion planned;
    auto& request = planned.request;
    request.inputPath = input;
    request.target = options.target;
    request.gainDecibels = options.gainDecibels;
    request.outputSubtype = options.outputSubtype;

    const auto header = readHeader (input);

    if (header.has_value())
    {
        try
        {
            request.target = resolveTarget (options.target, header->bFormat);
        }
        catch (const ConversionError& error)
        {
            throw UsageError (input + ": " + error.what());
        }

        planned.numFrames = (std::uint64_t) std::max<sf_count_t> (0, header->info.frames);
    }

    const bool toAmbix = request.target.value_or (Convention::ambix) == Convention::ambix;
    request.outputPath = options.outputFile.empty()
                             ? batchOutputPath (options.outputDirectory, input, toAmbix, options.batchFormat)
                             : options.outputFile;

    checkOutputPlace (request.outputPath);

    // The name and the combination of formats; an unreadable input checks the name
    // only, and one of a channel count that is not converted leaves the reason to
    // its conversion.
    const bool convertible = header.has_value() && ambisonicOrderOf (header->info.channels) > 0;

    try
    {
        chooseOutputFormat (request.outputPath, header.has_value() ? header->info.format : SF_FORMAT_WAV | SF_FORMAT_PCM_16,
                            convertible ? header->info.channels : 4, request.target.value_or (Convention::fuma),
                            request.outputSubtype, planned.numFrames);
    }
    catch (const ConversionError& error)
    {
        throw UsageError (request.outputPath + ": " + error.what());
    }

    return planned;
}
} // namespace

ConversionPlan planConversions (const Options& options)
{
    if (! options.outputDirectory.empty())
    {
        struct stat folder
        {};

        if (::stat (options.outputDirectory.c_str(), &folder) != 0 || ! S_ISDIR (folder.st_mode))
            throw UsageError ("--output-dir " + options.outputDirectory + ": no such folder");
    }

    ConversionPlan plan;
    std::vector<struct stat> inputStatus;

    for (const auto& input : options.inputs)
    {
        plan.conversions.push_back (planOne (options, input));
        plan.totalFrames += plan.conversions.back().numFrames;

        struct stat status
        {};

        if (::stat (input.c_str(), &status) == 0)
            inputStatus.push_back (status);
    }

    std::set<std::string> outputs;

    for (const auto& planned : plan.conversions)
    {
        const auto& output = planned.request.outputPath;

        if (! outputs.insert (output).second)
            throw UsageError (output + ": more than one input would be written here");

        struct stat status
        {};

        if (::stat (output.c_str(), &status) != 0)
            continue;

        for (const auto& input : inputStatus)
            if (sameFile (status, input))
                throw UsageError (output + ": is an input file; refusing to overwrite an input");

        if (! options.overwrite)
            plan.existingOutputs.push_back (output);
    }

    return plan;
}
} // namespace ortholume::converter
