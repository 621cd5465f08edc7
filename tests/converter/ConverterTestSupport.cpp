#include "ConverterTestSupport.h"

#include <dirent.h>
#include <grp.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
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

RunResult run (const std::vector<std::string>& arguments, long long fileSizeLimit, bool unprivileged)
{
    char outputPattern[] = "/tmp/ortholume-convert-out-XXXXXX";
    char errorPattern[] = "/tmp/ortholume-convert-err-XXXXXX";
    const int outputFile = ::mkstemp (outputPattern);
    const int errorFile = ::mkstemp (errorPattern);

    const auto processId = ::fork();

    if (processId == 0)
    {
        ::dup2 (outputFile, STDOUT_FILENO);
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

RunResult runConverter (const std::vector<std::string>& arguments, long long fileSizeLimit)
{
    return run (arguments, fileSizeLimit, false);
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
