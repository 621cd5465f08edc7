#include "OutputFormat.h"

#include "AmbisonicOrders.h"
#include "ConversionError.h"
#include "SampleFormat.h"

#include <sndfile.h>

#include <algorithm>
#include <cctype>
#include <vector>

namespace ortholume::converter
{
namespace
{
int containerForExtension (const std::string& extension)
{
    if (extension == "wav")
        return SF_FORMAT_WAV;
    if (extension == "amb")
        return SF_FORMAT_WAVEX;
    if (extension == "w64")
        return SF_FORMAT_W64;
    if (extension == "rf64")
        return SF_FORMAT_RF64;
    if (extension == "caf")
        return SF_FORMAT_CAF;
    if (extension == "aif" || extension == "aiff" || extension == "aifc")
        return SF_FORMAT_AIFF;
    if (extension == "flac")
        return SF_FORMAT_FLAC;
    return 0;
}

int bytesPerSample (int subtype) noexcept
{
    switch (subtype)
    {
        case SF_FORMAT_PCM_S8:
        case SF_FORMAT_PCM_U8: return 1;
        case SF_FORMAT_PCM_16: return 2;
        case SF_FORMAT_PCM_24: return 3;
        case SF_FORMAT_DOUBLE: return 8;
        default: return 4;
    }
}

bool canHold (int format, int numChannels)
{
    SF_INFO probe {};
    probe.format = format;
    probe.channels = numChannels;
    probe.samplerate = 48000;
    return sf_format_check (&probe) == SF_TRUE;
}

struct BitsChoice
{
    const char* name;
    int subtype;
};

constexpr BitsChoice bitsChoices[] = { { "16", SF_FORMAT_PCM_16 }, { "24", SF_FORMAT_PCM_24 }, { "32", SF_FORMAT_PCM_32 }, { "float", SF_FORMAT_FLOAT }, { "double", SF_FORMAT_DOUBLE } };

/** What to do instead, from the sample formats the container does hold. */
std::string adviceFor (int container, int numChannels)
{
    std::vector<std::string> choices;
    bool holdsFloat = false;

    for (const auto& choice : bitsChoices)
    {
        if (canHold (container | choice.subtype, numChannels))
        {
            choices.push_back (std::string ("--bits ") + choice.name);
            holdsFloat = holdsFloat || choice.subtype == SF_FORMAT_FLOAT;
        }
    }

    if (choices.empty())
        return "choose another output format";

    std::string advice = "use ";

    for (size_t i = 0; i < choices.size(); ++i)
        advice += (i == 0 ? "" : (i + 1 == choices.size() ? " or " : ", ")) + choices[i];

    if (! holdsFloat)
        advice += " (" + describeContainer (container, false) + " holds no float samples; .wav, .w64, .rf64 and .caf do)";

    return advice + ", or another output format";
}
} // namespace

int subtypeForBits (const std::string& bits) noexcept
{
    for (const auto& choice : bitsChoices)
        if (bits == choice.name)
            return choice.subtype;

    return 0;
}

std::string lowerCaseExtension (const std::string& path)
{
    const auto slash = path.find_last_of ('/');
    const auto dot = path.find_last_of ('.');

    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};

    auto extension = path.substr (dot + 1);
    std::transform (extension.begin(), extension.end(), extension.begin(),
                    [] (unsigned char c) { return (char) std::tolower (c); });
    return extension;
}

bool isWritableExtension (const std::string& extension)
{
    return containerForExtension (extension) != 0;
}

OutputFormat chooseOutputFormat (const std::string& outputPath, int inputFormat, int numChannels,
                                 Convention outputConvention, int requestedSubtype, std::uint64_t numFrames)
{
    const auto extension = lowerCaseExtension (outputPath);
    int container = containerForExtension (extension);

    if (container == 0)
        throw ConversionError ("has an output name whose format is unknown (\"." + extension
                               + "\"); use .wav, .amb, .w64, .rf64, .caf, .aif, .aiff or .flac");

    // FLAC's frame header counts at most eight channels.
    if (container == SF_FORMAT_FLAC && numChannels > 8)
        throw ConversionError ("cannot be written as FLAC: FLAC holds at most 8 channels, and the input has "
                               + std::to_string (numChannels)
                               + (ambisonicOrderOf (numChannels) == 2   ? " (second order)"
                                  : ambisonicOrderOf (numChannels) == 3 ? " (third order)"
                                                                        : "")
                               + "; use .wav, .w64, .rf64, .caf or .aiff");

    OutputFormat result;
    result.numChannels = numChannels;

    if (container == SF_FORMAT_WAVEX)
    {
        // .amb is FuMa by definition; AmbiX inside it would be read back wrongly.
        if (outputConvention != Convention::fuma)
            throw ConversionError ("cannot be written as AmbiX to a .amb name: .amb files are FuMa; use .wav");

        result.bFormat = true;
    }

    int subtype = requestedSubtype != 0 ? requestedSubtype : (inputFormat & SF_FORMAT_SUBMASK);

    // WAV keeps 8-bit samples unsigned, AIFF signed: follow the container.
    if (subtype == SF_FORMAT_PCM_S8 && ! canHold (container | subtype, numChannels))
        subtype = SF_FORMAT_PCM_U8;
    else if (subtype == SF_FORMAT_PCM_U8 && ! canHold (container | subtype, numChannels))
        subtype = SF_FORMAT_PCM_S8;

    const auto audioBytes = numFrames * numChannels * (std::uint64_t) bytesPerSample (subtype);

    if (audioBytes > largestClassicFileAudioBytes)
    {
        if (container == SF_FORMAT_WAV || container == SF_FORMAT_WAVEX)
        {
            container = SF_FORMAT_RF64;
            result.promotedToRf64 = true;
        }
        else if (container == SF_FORMAT_AIFF)
        {
            throw ConversionError ("is too large for AIFF (over 4 GiB of audio); use .w64, .rf64 or .caf");
        }
    }

    // Float in WAV needs an extensible format chunk (readers warn about the short
    // one libsndfile writes for plain WAV); its speaker mask is cleared afterwards.
    const bool floatWav = container == SF_FORMAT_WAV && (subtype == SF_FORMAT_FLOAT || subtype == SF_FORMAT_DOUBLE);

    if (floatWav)
        container = SF_FORMAT_WAVEX;

    if (! canHold (container | subtype, numChannels))
        throw ConversionError ("cannot be written as " + describeSampleFormat (subtype) + " in "
                               + describeContainer (container, false) + "; " + adviceFor (container, numChannels));

    result.sndfileFormat = container | subtype;
    result.rewriteRf64FormatChunk = container == SF_FORMAT_RF64 || floatWav;
    return result;
}
} // namespace ortholume::converter
