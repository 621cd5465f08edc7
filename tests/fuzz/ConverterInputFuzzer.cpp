// Arbitrary bytes as the converter's input file: either a clear error and no
// output left behind, or a complete file with every frame and every channel.
#include "FuzzerSupport.h"

#include "converter/ConversionError.h"
#include "converter/FileConversion.h"
#include "converter/TemporaryOutput.h"

#include <sndfile.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <string>
#include <unistd.h>

namespace
{
std::string folder;

std::string pathOf (const char* name)
{
    return folder + "/" + name;
}

int countEntries()
{
    int count = 0;

    if (auto* dir = ::opendir (folder.c_str()))
    {
        while (auto* entry = ::readdir (dir))
            if (std::strcmp (entry->d_name, ".") != 0 && std::strcmp (entry->d_name, "..") != 0)
                ++count;

        ::closedir (dir);
    }

    return count;
}

void writeInput (const std::uint8_t* data, std::size_t size)
{
    auto* file = std::fopen (pathOf ("input.wav").c_str(), "wb");
    ORTHOLUME_FUZZ_CHECK (file != nullptr, "scratch input can be written");
    ORTHOLUME_FUZZ_CHECK (std::fwrite (data, 1, size, file) == size, "scratch input written whole");
    std::fclose (file);
}

int channelsOf (const std::string& path)
{
    SF_INFO info {};
    auto* file = sf_open (path.c_str(), SFM_READ, &info);
    ORTHOLUME_FUZZ_CHECK (file != nullptr, "a converted input is readable");
    sf_close (file);
    return info.channels;
}

void checkOutput (const std::string& path, std::uint64_t expectedFrames, int expectedChannels)
{
    SF_INFO info {};
    auto* file = sf_open (path.c_str(), SFM_READ, &info);
    ORTHOLUME_FUZZ_CHECK (file != nullptr, "a successful conversion leaves a readable file");
    ORTHOLUME_FUZZ_CHECK (expectedChannels == 4 || expectedChannels == 9 || expectedChannels == 16,
                          "only full-sphere orders 1 to 3 are converted");
    ORTHOLUME_FUZZ_CHECK (info.channels == expectedChannels, "the output has the input's channels");
    ORTHOLUME_FUZZ_CHECK ((std::uint64_t) info.frames == expectedFrames, "the output has every frame");
    sf_close (file);
}
} // namespace

extern "C" int LLVMFuzzerInitialize (int*, char***)
{
    ortholume::converter::TemporaryOutput::captureCreationMask();

    const char* base = ::access ("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    std::string pattern = std::string (base) + "/ortholume-fuzz-XXXXXX";
    ORTHOLUME_FUZZ_CHECK (::mkdtemp (pattern.data()) != nullptr, "scratch folder created");
    folder = pattern;
    std::atexit ([] {
        std::remove (pathOf ("input.wav").c_str());
        std::remove (pathOf ("output.wav").c_str());
        ::rmdir (folder.c_str());
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput (const std::uint8_t* data, std::size_t size)
{
    using namespace ortholume::converter;

    writeInput (data, size);

    ConversionRequest request;
    request.inputPath = pathOf ("input.wav");
    request.outputPath = pathOf ("output.wav");

    ProgressCounters progress;

    try
    {
        const auto report = convertFile (request, progress);
        checkOutput (request.outputPath, report.numFrames, channelsOf (request.inputPath));
        std::remove (request.outputPath.c_str());
    }
    catch (const ConversionError& error)
    {
        ORTHOLUME_FUZZ_CHECK (std::strlen (error.what()) > request.inputPath.size() + 2, "the error gives a reason");
        ORTHOLUME_FUZZ_CHECK (countEntries() == 1, "a failure leaves no output behind");
    }

    return 0;
}
