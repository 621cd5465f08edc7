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

/** Samples of any channel count, interleaved: floats (marked as B-format if asked),
    or integers left-justified in 32 bits. */
void writeInterleaved (const std::string& path, int numChannels, const std::vector<float>& samples, int format,
                       bool bFormat = false);
void writeInterleaved (const std::string& path, int numChannels, const std::vector<int>& samples, int format);

struct InterleavedContents
{
    SF_INFO info {};
    bool bFormat = false;
    std::vector<double> samples; // full scale = 1
    std::vector<int> integers; // left-justified 32-bit
};

InterleavedContents readInterleaved (const std::string& path);
/** String tags and the broadcast-wave description and timecode, as libsndfile reads them. */
struct Tags
{
    std::vector<std::pair<int, std::string>> strings; // SF_STR_* and text
    bool hasBext = false;
    std::string description;
    std::uint64_t timeReference = 0;

    bool operator== (const Tags& other) const
    {
        return strings == other.strings && hasBext == other.hasBext && description == other.description
               && timeReference == other.timeReference;
    }
};

Tags readTags (const std::string& path);

/** Exact samples: integers left-justified in 32 bits, or doubles for a DOUBLE
    subtype; with whatever of the tags the format holds. */
void writeIntegerSoundFile (const std::string& path, const std::vector<std::array<int, 4>>& frames, int format,
                            const Tags& tags = {});
void writeDoubleSoundFile (const std::string& path, const std::vector<std::array<double, 4>>& frames, int format,
                           const Tags& tags = {});

struct SoundFileContents
{
    SF_INFO info {};
    bool bFormat = false;
    std::vector<Frame> frames;
    std::vector<std::array<int, 4>> integerFrames; // left-justified 32-bit
    std::vector<std::array<double, 4>> doubleFrames; // DOUBLE files only
};

SoundFileContents readSoundFile (const std::string& path);

std::vector<std::uint8_t> readBytes (const std::string& path);
void writeBytes (const std::string& path, const std::vector<std::uint8_t>& bytes);

/** The WAVE_FORMAT_EXTENSIBLE channel mask of a RIFF or RF64 file, or -1 if its format chunk has none. */
long long waveChannelMask (const std::string& path);

enum class Encoding
{
    fuma,
    ambix,
    n3d
};

/** A plane wave from azimuth a, elevation e (radians): its gain in every channel
    up to `order` (1 to 3), in file order. FuMa: W X Y Z R S T U V K L M N O P Q
    by the Furse-Malham formulas; AmbiX: ACN order, SN3D; N3D is SN3D times
    sqrt(2n + 1) for order n. */
std::vector<double> encodeUpTo (int order, Encoding encoding, double a, double e);

struct RunResult
{
    int exitCode = -1; // 128 + N when ended by signal N
    std::string output;
    std::string errors;
};

/** Runs ortholume-convert with the arguments; a file-size limit in bytes if given,
    and standard output sent to the given file instead of being captured. */
RunResult runConverter (const std::vector<std::string>& arguments, long long fileSizeLimit = -1,
                        const std::string& standardOutputPath = {});

/** Runs it as the unprivileged user "nobody" when the tests run as root, so that
    folder permissions apply to it. */
RunResult runConverterUnprivileged (const std::vector<std::string>& arguments);

/** The child of a run that the test steers itself (for signals). */
int startConverter (const std::vector<std::string>& arguments, const std::string& errorsPath);
int waitForExit (int processId);

std::string converterPath();
std::string examplePath();
} // namespace ortholume::testing
