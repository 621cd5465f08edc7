#include "SampleFormat.h"

#include <sndfile.h>

namespace ortholume::converter
{
int integerBitsOf (int sndfileFormat) noexcept
{
    switch (sndfileFormat & SF_FORMAT_SUBMASK)
    {
        case SF_FORMAT_PCM_S8:
        case SF_FORMAT_PCM_U8: return 8;
        case SF_FORMAT_PCM_16: return 16;
        case SF_FORMAT_PCM_24: return 24;
        case SF_FORMAT_PCM_32: return 32;
        default: return 0;
    }
}

std::string describeSampleFormat (int sndfileFormat)
{
    switch (sndfileFormat & SF_FORMAT_SUBMASK)
    {
        case SF_FORMAT_FLOAT: return "32-bit float";
        case SF_FORMAT_DOUBLE: return "64-bit float";
        default: break;
    }

    if (const auto bits = integerBitsOf (sndfileFormat); bits > 0)
        return std::to_string (bits) + "-bit integer";

    SF_FORMAT_INFO formatInfo {};
    formatInfo.format = sndfileFormat & SF_FORMAT_SUBMASK;

    if (sf_command (nullptr, SFC_GET_FORMAT_INFO, &formatInfo, sizeof (formatInfo)) == 0 && formatInfo.name != nullptr)
        return formatInfo.name;

    return "coded";
}

std::string describeContainer (int sndfileFormat, bool bFormat)
{
    if (bFormat)
        return (sndfileFormat & SF_FORMAT_TYPEMASK) == SF_FORMAT_RF64 ? "B-format RF64 (.amb)" : "B-format WAV (.amb)";

    switch (sndfileFormat & SF_FORMAT_TYPEMASK)
    {
        case SF_FORMAT_WAV: return "WAV";
        case SF_FORMAT_WAVEX: return "WAV (extensible)";
        case SF_FORMAT_W64: return "W64";
        case SF_FORMAT_RF64: return "RF64";
        case SF_FORMAT_CAF: return "CAF";
        case SF_FORMAT_AIFF: return "AIFF";
        case SF_FORMAT_FLAC: return "FLAC";
        default: break;
    }

    SF_FORMAT_INFO formatInfo {};
    formatInfo.format = sndfileFormat & SF_FORMAT_TYPEMASK;

    if (sf_command (nullptr, SFC_GET_FORMAT_INFO, &formatInfo, sizeof (formatInfo)) == 0 && formatInfo.name != nullptr)
        return formatInfo.name;

    return "unknown";
}
} // namespace ortholume::converter
