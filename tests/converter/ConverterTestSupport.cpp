#include "ConverterTestSupport.h"

#include <dirent.h>
#include <grp.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

namespace ortholume::testing
{
TemporaryFolder::TemporaryFolder()
{
    char pattern[] = "/tmp/ortholume-convert-test-XXXXXX";

    if (::mkdtemp (pattern) == nullptr)
        throw std::runtime_error ("mkdtemp failed");

    folder = pattern;
}

TemporaryFolder::~TemporaryFolder()
{
    const auto command = "rm -rf '" + folder + "'";
    [[maybe_unused]] const auto ignored = std::system (command.c_str());
}

std::vector<std::string> TemporaryFolder::entriesOf (const std::string& folderPath)
{
    std::vector<std::string> names;

    if (auto* directory = ::opendir (folderPath.c_str()))
    {
        while (const auto* entry = ::readdir (directory))
        {
            const std::string name = entry->d_name;

            if (name != "." && name != "..")
                names.push_back (name);
        }

        ::closedir (directory);
    }

    std::sort (names.begin(), names.end());
    return names;
}

void writeSoundFile (const std::string& path, const std::vector<Frame>& frames, int format, int sampleRate, bool bFormat)
{
    SF_INFO info {};
    info.samplerate = sampleRate;
    info.channels = 4;
    info.format = format;

    SNDFILE* file = sf_open (path.c_str(), SFM_WRITE, &info);

    if (file == nullptr)
        throw std::runtime_error ("cannot write " + path + ": " + sf_strerror (nullptr));

    if (bFormat)
        sf_command (file, SFC_WAVEX_SET_AMBISONIC, nullptr, SF_AMBISONIC_B_FORMAT);

    // Integer formats get exact integers (libsndfile's float path scales differently each way).
    const auto subtype = format & SF_FORMAT_SUBMASK;

    if (subtype == SF_FORMAT_PCM_16 || subtype == SF_FORMAT_PCM_24)
    {
        const double scale = subtype == SF_FORMAT_PCM_16 ? 32768.0 : 8388608.0;
        const int shift = subtype == SF_FORMAT_PCM_16 ? 16 : 8;
        std::vector<int> integers;

        for (const auto& frame : frames)
            for (auto sample : frame)
                integers.push_back ((int) ((unsigned) (int) std::clamp (std::nearbyint (sample * scale), -scale, scale - 1.0) << shift));

        sf_writef_int (file, integers.data(), (sf_count_t) frames.size());
    }
    else
    {
        sf_writef_float (file, frames.data()->data(), (sf_count_t) frames.size());
    }

    sf_close (file);
}

void writeSoundFileWithChannels (const std::string& path, int numChannels, int numFrames, int format)
{
    SF_INFO info {};
    info.samplerate = 48000;
    info.channels = numChannels;
    info.format = format;
    SNDFILE* file = sf_open (path.c_str(), SFM_WRITE, &info);
    std::vector<float> samples ((size_t) (numChannels * numFrames), 0.25f);
    sf_writef_float (file, samples.data(), numFrames);
    sf_close (file);
}

namespace
{
template <typename Sample, typename Write>
void writeAnyChannels (const std::string& path, int numChannels, const std::vector<Sample>& samples, int format, bool bFormat,
                       Write write)
{
    SF_INFO info {};
    info.samplerate = 48000;
    info.channels = numChannels;
    info.format = format;
    SNDFILE* file = sf_open (path.c_str(), SFM_WRITE, &info);

    if (file == nullptr)
        throw std::runtime_error ("cannot write " + path + ": " + sf_strerror (nullptr));

    if (bFormat)
        sf_command (file, SFC_WAVEX_SET_AMBISONIC, nullptr, SF_AMBISONIC_B_FORMAT);

    write (file, samples.data(), (sf_count_t) samples.size() / numChannels);
    sf_close (file);
}
} // namespace

void writeInterleaved (const std::string& path, int numChannels, const std::vector<float>& samples, int format, bool bFormat)
{
    writeAnyChannels (path, numChannels, samples, format, bFormat, sf_writef_float);
}

void writeInterleaved (const std::string& path, int numChannels, const std::vector<int>& samples, int format)
{
    writeAnyChannels (path, numChannels, samples, format, false, sf_writef_int);
}

InterleavedContents readInterleaved (const std::string& path)
{
    InterleavedContents contents;
    SNDFILE* file = sf_open (path.c_str(), SFM_READ, &contents.info);

    if (file == nullptr)
        throw std::runtime_error ("cannot read " + path + ": " + sf_strerror (nullptr));

    contents.bFormat = sf_command (file, SFC_WAVEX_GET_AMBISONIC, nullptr, 0) == SF_AMBISONIC_B_FORMAT;
    const auto numSamples = (size_t) (contents.info.frames * contents.info.channels);
    contents.samples.resize (numSamples);
    contents.integers.resize (numSamples);
    sf_readf_double (file, contents.samples.data(), contents.info.frames);
    sf_seek (file, 0, SEEK_SET);
    sf_readf_int (file, contents.integers.data(), contents.info.frames);
    sf_close (file);
    return contents;
}

std::vector<double> encodeUpTo (int order, Encoding encoding, double a, double e)
{
    const double x = std::cos (a) * std::cos (e), y = std::sin (a) * std::cos (e), z = std::sin (e);
    const double c = std::cos (e), s = std::sin (e);

    if (encoding == Encoding::fuma)
    {
        const std::vector<double> all {
            1.0 / std::sqrt (2.0),
            x,
            y,
            z,
            (3.0 * s * s - 1.0) / 2.0,
            std::cos (a) * std::sin (2.0 * e),
            std::sin (a) * std::sin (2.0 * e),
            std::cos (2.0 * a) * c * c,
            std::sin (2.0 * a) * c * c,
            s * (5.0 * s * s - 3.0) / 2.0,
            std::sqrt (135.0 / 256.0) * x * (5.0 * s * s - 1.0),
            std::sqrt (135.0 / 256.0) * y * (5.0 * s * s - 1.0),
            std::sqrt (27.0 / 4.0) * std::cos (2.0 * a) * s * c * c,
            std::sqrt (27.0 / 4.0) * std::sin (2.0 * a) * s * c * c,
            std::cos (3.0 * a) * c * c * c,
            std::sin (3.0 * a) * c * c * c,
        };
        return { all.begin(), all.begin() + (order + 1) * (order + 1) };
    }

    const double r3 = std::sqrt (3.0), r15 = std::sqrt (15.0);
    std::vector<double> all {
        1.0,
        y,
        z,
        x,
        r3 * x * y,
        r3 * y * z,
        (3.0 * z * z - 1.0) / 2.0,
        r3 * x * z,
        r3 / 2.0 * (x * x - y * y),
        std::sqrt (5.0 / 8.0) * y * (3.0 * x * x - y * y),
        r15 * x * y * z,
        std::sqrt (3.0 / 8.0) * y * (5.0 * z * z - 1.0),
        z * (5.0 * z * z - 3.0) / 2.0,
        std::sqrt (3.0 / 8.0) * x * (5.0 * z * z - 1.0),
        r15 / 2.0 * z * (x * x - y * y),
        std::sqrt (5.0 / 8.0) * x * (x * x - 3.0 * y * y),
    };
    all.resize ((size_t) ((order + 1) * (order + 1)));

    if (encoding == Encoding::n3d)
        for (size_t i = 1; i < all.size(); ++i)
            all[i] *= std::sqrt (2.0 * std::floor (std::sqrt ((double) i)) + 1.0);

    return all;
}

namespace
{
template <typename Sample, typename Write>
void writeExact (const std::string& path, const std::vector<std::array<Sample, 4>>& frames, int format, const Tags& tags,
                 Write write)
{
    SF_INFO info {};
    info.samplerate = 48000;
    info.channels = 4;
    info.format = format;
    SNDFILE* file = sf_open (path.c_str(), SFM_WRITE, &info);

    if (file == nullptr)
        throw std::runtime_error ("cannot write " + path + ": " + sf_strerror (nullptr));

    // Before the audio; a format without room for a tag refuses it, and the file goes without.
    for (const auto& [type, text] : tags.strings)
        sf_set_string (file, type, text.c_str());

    if (tags.hasBext)
    {
        SF_BROADCAST_INFO bext {};
        std::snprintf (bext.description, sizeof (bext.description), "%s", tags.description.c_str());
        bext.time_reference_low = (std::uint32_t) tags.timeReference;
        bext.time_reference_high = (std::uint32_t) (tags.timeReference >> 32);
        sf_command (file, SFC_SET_BROADCAST_INFO, &bext, (int) sizeof (bext));
    }

    const auto written = write (file, frames.data()->data(), (sf_count_t) frames.size());
    sf_close (file);

    if (written != (sf_count_t) frames.size())
        throw std::runtime_error ("short write to " + path);
}
} // namespace

void writeIntegerSoundFile (const std::string& path, const std::vector<std::array<int, 4>>& frames, int format, const Tags& tags)
{
    writeExact (path, frames, format, tags, sf_writef_int);
}

void writeDoubleSoundFile (const std::string& path, const std::vector<std::array<double, 4>>& frames, int format,
                           const Tags& tags)
{
    writeExact (path, frames, format, tags, sf_writef_double);
}

Tags readTags (const std::string& path)
{
    SF_INFO info {};
    SNDFILE* file = sf_open (path.c_str(), SFM_READ, &info);

    if (file == nullptr)
        throw std::runtime_error ("cannot read " + path + ": " + sf_strerror (nullptr));

    Tags tags;

    for (int type = SF_STR_FIRST; type <= SF_STR_LAST; ++type)
        if (const char* text = sf_get_string (file, type); text != nullptr && *text != '\0')
            tags.strings.emplace_back (type, text);

    SF_BROADCAST_INFO_VAR (16384)
    bext {};
    tags.hasBext = sf_command (file, SFC_GET_BROADCAST_INFO, &bext, (int) sizeof (bext)) == SF_TRUE;

    if (tags.hasBext)
    {
        tags.description.assign (bext.description, strnlen (bext.description, sizeof (bext.description)));
        tags.timeReference = ((std::uint64_t) bext.time_reference_high << 32) | bext.time_reference_low;
    }

    sf_close (file);
    return tags;
}

SoundFileContents readSoundFile (const std::string& path)
{
    SoundFileContents contents;
    SNDFILE* file = sf_open (path.c_str(), SFM_READ, &contents.info);

    if (file == nullptr)
        throw std::runtime_error ("cannot read " + path + ": " + sf_strerror (nullptr));

    contents.bFormat = sf_command (file, SFC_WAVEX_GET_AMBISONIC, nullptr, 0) == SF_AMBISONIC_B_FORMAT;
    contents.frames.resize ((size_t) contents.info.frames);
    contents.integerFrames.resize ((size_t) contents.info.frames);

    if ((contents.info.format & SF_FORMAT_SUBMASK) == SF_FORMAT_FLOAT)
    {
        sf_readf_float (file, contents.frames.data()->data(), contents.info.frames);
    }
    else if ((contents.info.format & SF_FORMAT_SUBMASK) == SF_FORMAT_DOUBLE)
    {
        contents.doubleFrames.resize ((size_t) contents.info.frames);
        sf_readf_double (file, contents.doubleFrames.data()->data(), contents.info.frames);

        for (size_t i = 0; i < contents.frames.size(); ++i)
            for (size_t c = 0; c < 4; ++c)
                contents.frames[i][c] = (float) contents.doubleFrames[i][c];
    }
    else
    {
        sf_readf_int (file, contents.integerFrames.data()->data(), contents.info.frames);

        for (size_t i = 0; i < contents.frames.size(); ++i)
            for (size_t c = 0; c < 4; ++c)
                contents.frames[i][c] = (float) ((double) contents.integerFrames[i][c] / 2147483648.0);
    }

    sf_close (file);
    return contents;
}

std::vector<std::uint8_t> readBytes (const std::string& path)
{
    std::ifstream stream (path, std::ios::binary);
    return { std::istreambuf_iterator<char> (stream), std::istreambuf_iterator<char>() };
}

void writeBytes (const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream stream (path, std::ios::binary);
    stream.write (reinterpret_cast<const char*> (bytes.data()), (std::streamsize) bytes.size());
}

long long waveChannelMask (const std::string& path)
{
    const auto bytes = readBytes (path);
    const std::string text (bytes.begin(), bytes.end());
    const auto fmt = text.find ("fmt ");

    if (fmt == std::string::npos || fmt + 8 + 24 > bytes.size())
        return -1;

    const auto* format = bytes.data() + fmt + 8;

    if ((format[0] | (format[1] << 8)) != 0xFFFE)
        return -1;

    return (long long) format[20] | ((long long) format[21] << 8) | ((long long) format[22] << 16) | ((long long) format[23] << 24);
}

namespace
{
[[noreturn]] void execConverter (const std::vector<std::string>& arguments)
{
    std::vector<char*> argv;
    auto program = converterPath();
    argv.push_back (program.data());

    std::vector<std::string> copies (arguments);

    for (auto& argument : copies)
        argv.push_back (argument.data());

    argv.push_back (nullptr);
    ::execv (argv[0], argv.data());
    ::_exit (127);
}

std::string slurp (const std::string& path)
{
    std::ifstream stream (path);
    std::stringstream text;
    text << stream.rdbuf();
    return text.str();
}
} // namespace

int waitForExit (int processId)
{
    int status = 0;
    ::waitpid (processId, &status, 0);
    return WIFEXITED (status) ? WEXITSTATUS (status) : 128 + WTERMSIG (status);
}

namespace
{
constexpr uid_t nobody = 65534;

RunResult run (const std::vector<std::string>& arguments, long long fileSizeLimit, bool unprivileged,
               const std::string& standardOutputPath = {})
{
    char outputPattern[] = "/tmp/ortholume-convert-out-XXXXXX";
    char errorPattern[] = "/tmp/ortholume-convert-err-XXXXXX";
    const int outputFile = ::mkstemp (outputPattern);
    const int errorFile = ::mkstemp (errorPattern);

    const auto processId = ::fork();

    if (processId == 0)
    {
        ::dup2 (standardOutputPath.empty() ? outputFile : ::open (standardOutputPath.c_str(), O_WRONLY), STDOUT_FILENO);
        ::dup2 (errorFile, STDERR_FILENO);

        if (fileSizeLimit >= 0)
        {
            const rlimit limit { (rlim_t) fileSizeLimit, (rlim_t) fileSizeLimit };
            ::setrlimit (RLIMIT_FSIZE, &limit);
        }

        if (unprivileged && ::geteuid() == 0 && (::setgroups (0, nullptr) != 0 || ::setgid (nobody) != 0 || ::setuid (nobody) != 0))
            ::_exit (126);

        execConverter (arguments);
    }

    RunResult result;
    result.exitCode = waitForExit (processId);
    ::close (outputFile);
    ::close (errorFile);
    result.output = slurp (outputPattern);
    result.errors = slurp (errorPattern);
    ::unlink (outputPattern);
    ::unlink (errorPattern);
    return result;
}
} // namespace

RunResult runConverter (const std::vector<std::string>& arguments, long long fileSizeLimit, const std::string& standardOutputPath)
{
    return run (arguments, fileSizeLimit, false, standardOutputPath);
}

RunResult runConverterUnprivileged (const std::vector<std::string>& arguments)
{
    return run (arguments, -1, true);
}

int startConverter (const std::vector<std::string>& arguments, const std::string& errorsPath)
{
    const auto processId = ::fork();

    if (processId == 0)
    {
        const int errorFile = ::open (errorsPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2 (errorFile, STDERR_FILENO);
        execConverter (arguments);
    }

    return processId;
}

std::string converterPath() { return ORTHOLUME_CONVERTER_PATH; }
std::string examplePath() { return ORTHOLUME_EXAMPLE_PATH; }
} // namespace ortholume::testing
