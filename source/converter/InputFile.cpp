#include "InputFile.h"

#include "AmbisonicOrders.h"
#include "ConversionError.h"
#include "SampleFormat.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>

namespace ortholume::converter
{
namespace
{
std::string describeOpenFailure (const std::string& path)
{
    struct stat status
    {};

    if (::stat (path.c_str(), &status) == 0 && S_ISDIR (status.st_mode))
        return "cannot be read: it is a folder";

    // libsndfile words this well ("Format not recognised.", "System error : ..."), without the file name.
    return std::string ("cannot be read: ") + sf_strerror (nullptr);
}

/** Coded float formats; every other coding is integers at heart and reads exactly as such. */
bool readsAsDouble (int format) noexcept
{
    switch (format & SF_FORMAT_SUBMASK)
    {
        case SF_FORMAT_FLOAT:
        case SF_FORMAT_DOUBLE:
        case SF_FORMAT_VORBIS:
        case SF_FORMAT_OPUS:
        case SF_FORMAT_MPEG_LAYER_I:
        case SF_FORMAT_MPEG_LAYER_II:
        case SF_FORMAT_MPEG_LAYER_III: return true;
        default: return false;
    }
}
} // namespace

InputFile::InputFile (const std::string& path)
{
    file = sf_open (path.c_str(), SFM_READ, &info);

    if (file == nullptr)
        throw ConversionError (describeOpenFailure (path));

    bFormat = sf_command (file, SFC_WAVEX_GET_AMBISONIC, nullptr, 0) == SF_AMBISONIC_B_FORMAT;

    if (const auto problem = describeUnconvertibleChannels (info.channels, bFormat); ! problem.empty())
    {
        sf_close (file);
        throw ConversionError (problem);
    }

    std::string log (16384, '\0');
    sf_command (file, SFC_GET_LOG_INFO, log.data(), (int) log.size());

    if (headerLogShowsTruncation (log.c_str()))
    {
        sf_close (file);
        throw ConversionError ("is truncated or damaged: its header announces more audio than the file holds");
    }

    // An empty file is what an interrupted recording or copy leaves: converting
    // it would only hide that the audio is missing.
    if (info.frames <= 0)
    {
        sf_close (file);
        throw ConversionError ("has no audio (0 frames)");
    }

    if (const auto plain = rawSampleCoding (info.format, sf_command (file, SFC_RAW_DATA_NEEDS_ENDSWAP, nullptr, 0) == SF_TRUE))
    {
        raw = true;
        coding = *plain;
    }
    else
    {
        // A FLAC sample of 16 or 24 bits arrives left-justified: said so, it can be copied into FLAC of its depth.
        const auto bits = integerBitsOf (info.format);
        coding = readsAsDouble (info.format) ? nativeDoubleCoding() : nativeIntCoding (bits > 0 ? bits : 32);
    }
}

InputFile::~InputFile()
{
    if (file != nullptr)
        sf_close (file);
}

int InputFile::read (unsigned char* block, int maxFrames)
{
    const auto wanted = (int) std::min<sf_count_t> (maxFrames, info.frames - framesRead);

    if (wanted <= 0)
        return 0;

    sf_count_t got = 0;

    if (raw)
        got = std::max<sf_count_t> (sf_read_raw (file, block, (sf_count_t) wanted * getFrameBytes()), 0) / getFrameBytes();
    else if (coding.type == SampleType::f64)
        got = sf_readf_double (file, reinterpret_cast<double*> (block), wanted);
    else
        got = sf_readf_int (file, reinterpret_cast<int*> (block), wanted);

    if (got != wanted)
    {
        const auto reason = sf_error (file) != SF_ERR_NO_ERROR ? std::string (sf_strerror (file))
                                                               : std::string ("the audio ends early");
        throw ConversionError ("is truncated or damaged after " + std::to_string (framesRead + got) + " of "
                               + std::to_string (info.frames) + " frames (" + reason + ")");
    }

    framesRead += got;
    return (int) got;
}

bool headerLogShowsTruncation (const std::string& log)
{
    // Lines such as "data : 800 (should be 500)": declared size, then what the file holds.
    std::istringstream lines (log);
    std::string line;

    while (std::getline (lines, line))
    {
        const auto should = line.find ("(should be ");
        const auto colon = line.find (':');

        if (should == std::string::npos || colon == std::string::npos || colon > should)
            continue;

        const auto declared = std::strtoull (line.c_str() + colon + 1, nullptr, 10);
        const auto actual = std::strtoull (line.c_str() + should + 11, nullptr, 10);

        if (declared > actual)
            return true;
    }

    return false;
}
} // namespace ortholume::converter
