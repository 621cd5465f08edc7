#pragma once

#include <sndfile.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace ortholume::testing
{
using Frame = std::array<float, 4>;

/** A fresh folder under /tmp, removed with everything in it. */
class TemporaryFolder final
{
public:
    TemporaryFolder();
    ~TemporaryFolder();

    std::string path (const std::string& name) const { return folder + "/" + name; }
    const std::string& getPath() const noexcept { return folder; }

    /** Every entry, hidden ones included, sorted. */
    std::vector<std::string> entries() const { return entriesOf (folder); }

    static std::vector<std::string> entriesOf (const std::string& folderPath);

private:
    std::string folder;
};

void writeSoundFile (const std::string& path, const std::vector<Frame>& frames, int format,
                     int sampleRate = 48000, bool bFormat = false);
void writeSoundFileWithChannels (const std::string& path, int numChannels, int numFrames, int format);

struct SoundFileContents
{
    SF_INFO info {};
    bool bFormat = false;
    std::vector<Frame> frames;
    std::vector<std::array<int, 4>> integerFrames; // left-justified 32-bit
};

SoundFileContents readSoundFile (const std::string& path);

std::vector<std::uint8_t> readBytes (const std::string& path);
void writeBytes (const std::string& path, const std::vector<std::uint8_t>& bytes);

/** The WAVE_FORMAT_EXTENSIBLE channel mask of a RIFF or RF64 file, or -1 if its format chunk has none. */
long long waveChannelMask (const std::string& path);

struct RunResult
{
    int exitCode = -1; // 128 + N when ended by signal N
    std::string output;
    std::string errors;
};

/** Runs ortholume-convert with the arguments; a file-size limit in bytes if given. */
RunResult runConverter (const std::vector<std::string>& arguments, long long fileSizeLimit = -1);

/** Runs it as the unprivileged user "nobody" when the tests run as root, so that
    folder permissions apply to it. */
RunResult runConverterUnprivileged (const std::vector<std::string>& arguments);

/** The child of a run that the test steers itself (for signals). */
int startConverter (const std::vector<std::string>& arguments, const std::string& errorsPath);
int waitForExit (int processId);

std::string converterPath();
std::string examplePath();
} // namespace ortholume::testing
