// Damaged inputs as they turn up in practice: cut short while copying, with a
// header that lies about its chunks, empty, of the wrong width, or not audio at
// all. Each must be refused with a clear message and status 1, leave no output
// behind and leave the input exactly as it was.
#include "ConverterTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

using namespace ortholume::testing;

namespace
{
struct DamagedFile
{
    const char* name;
    std::function<std::vector<std::uint8_t> (const TemporaryFolder&)> bytes;
    const char* reason;
};

std::vector<std::uint8_t> validWave (const TemporaryFolder& folder, int numFrames = 1000)
{
    std::vector<Frame> frames ((size_t) numFrames, Frame { 0.1f, -0.2f, 0.3f, -0.4f });
    writeSoundFile (folder.path ("source.wav"), frames, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    auto bytes = readBytes (folder.path ("source.wav"));
    std::remove (folder.path ("source.wav").c_str());
    return bytes;
}

std::vector<std::uint8_t> firstBytes (std::vector<std::uint8_t> bytes, size_t count)
{
    bytes.resize (count);
    return bytes;
}

/** Overwrites the 32-bit little-endian size of the first chunk with the given id. */
std::vector<std::uint8_t> withChunkSize (std::vector<std::uint8_t> bytes, const char* id, std::uint32_t size)
{
    for (size_t i = 12; i + 8 <= bytes.size(); ++i)
    {
        if (std::memcmp (bytes.data() + i, id, 4) == 0)
        {
            for (int b = 0; b < 4; ++b)
                bytes[i + 4 + (size_t) b] = (std::uint8_t) (size >> (8 * b));

            return bytes;
        }
    }

    ADD_FAILURE() << "no " << id << " chunk";
    return bytes;
}

std::vector<std::uint8_t> waveWithChannels (const TemporaryFolder& folder, int numChannels)
{
    writeSoundFileWithChannels (folder.path ("source.wav"), numChannels, 100, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    auto bytes = readBytes (folder.path ("source.wav"));
    std::remove (folder.path ("source.wav").c_str());
    return bytes;
}

std::vector<std::uint8_t> textOf (const char* text)
{
    return std::vector<std::uint8_t> (text, text + std::strlen (text));
}

const std::vector<DamagedFile>& damagedFiles()
{
    static const std::vector<DamagedFile> files {
        { "header cut inside RIFF", [] (auto& f) { return firstBytes (validWave (f), 10); }, "cannot be read" },
        { "header cut inside fmt", [] (auto& f) { return firstBytes (validWave (f), 30); }, "cannot be read" },
        { "header cut before data", [] (auto& f) { return firstBytes (validWave (f), 40); }, "No 'data' chunk" },
        { "data chunk claims more than the file",
          [] (auto& f) { return withChunkSize (validWave (f), "data", 0x7ffffff0u); }, "truncated" },
        { "fmt chunk claims more than the file",
          [] (auto& f) { return withChunkSize (validWave (f), "fmt ", 0x7ffffff0u); }, "cannot be read" },
        { "zero frames", [] (auto& f) { return validWave (f, 0); }, "has no audio (0 frames)" },
        { "three channels", [] (auto& f) { return waveWithChannels (f, 3); }, "has 3 channels" },
        { "five channels", [] (auto& f) { return waveWithChannels (f, 5); }, "has 5 channels" },
        { "empty file", [] (auto&) { return std::vector<std::uint8_t>(); }, "cannot be read" },
        { "text", [] (auto&) { return textOf ("Session notes: convert the ambience to AmbiX.\n"); }, "cannot be read" },
        { "image", [] (auto&) { return std::vector<std::uint8_t> { 0x89, 'P', 'N', 'G', 0x0d, 0x0a, 0x1a, 0x0a,
                                                                   0, 0, 0, 13, 'I', 'H', 'D', 'R' }; },
          "cannot be read" },
    };

    return files;
}
} // namespace

TEST (DamagedInput, EveryDamagedFileIsRefusedAndLeftAlone)
{
    for (const auto& damaged : damagedFiles())
    {
        SCOPED_TRACE (damaged.name);
        TemporaryFolder folder;
        const auto bytes = damaged.bytes (folder);
        writeBytes (folder.path ("in.wav"), bytes);

        const auto result = runConverter ({ "--to", "ambix", "-o", folder.path ("out.wav"), folder.path ("in.wav") });

        EXPECT_EQ (result.exitCode, 1);
        EXPECT_NE (result.errors.find (folder.path ("in.wav") + ": "), std::string::npos) << result.errors;
        EXPECT_NE (result.errors.find (damaged.reason), std::string::npos) << result.errors;
        EXPECT_EQ (result.output, "");
        EXPECT_EQ (folder.entries(), std::vector<std::string> { "in.wav" });
        EXPECT_EQ (readBytes (folder.path ("in.wav")), bytes);
    }
}
