// Files through the built converter: the numbers that come out.
#include "ConverterTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <sys/stat.h>

using namespace ortholume::testing;

namespace
{
constexpr double pi = 3.14159265358979323846;

std::vector<Frame> randomFrames (int numFrames, unsigned seed, float level = 0.7f)
{
    std::mt19937 random (seed);
    std::uniform_real_distribution<float> sample (-level, level);
    std::vector<Frame> frames ((size_t) numFrames);

    for (auto& frame : frames)
        for (auto& value : frame)
            value = sample (random);

    return frames;
}

std::int32_t orderedBits (float value)
{
    std::int32_t bits;
    std::memcpy (&bits, &value, sizeof (bits));
    return bits < 0 ? std::numeric_limits<std::int32_t>::min() - bits : bits;
}

/** Distance in units in the last place between two floats. */
std::int64_t ulpDistance (float a, float b)
{
    return std::llabs ((std::int64_t) orderedBits (a) - (std::int64_t) orderedBits (b));
}

void convert (const std::vector<std::string>& arguments)
{
    const auto result = runConverter (arguments);
    ASSERT_EQ (result.exitCode, 0) << result.errors;
}

/** Plane wave from azimuth a, elevation e: FuMa [1/sqrt2, cos a cos e, sin a cos e, sin e]. */
std::array<double, 4> fumaGains (double a, double e)
{
    return { 1.0 / std::sqrt (2.0), std::cos (a) * std::cos (e), std::sin (a) * std::cos (e), std::sin (e) };
}

/** The same wave in AmbiX: [1, sin a cos e, sin e, cos a cos e]. */
std::array<double, 4> ambixGains (double a, double e)
{
    return { 1.0, std::sin (a) * std::cos (e), std::sin (e), std::cos (a) * std::cos (e) };
}

struct Direction
{
    double azimuthDegrees, elevationDegrees;
};

constexpr Direction directions[] = { { 0, 0 }, { 90, 0 }, { 180, 0 }, { -135, 30 }, { 45, -60 }, { 10, 90 } };
constexpr int framesPerDirection = 480;

/** Consecutive stretches of a 1 kHz plane wave, one per direction. */
std::vector<Frame> planeWaves (bool ambix, double signalLevel = 0.5)
{
    std::vector<Frame> frames;

    for (const auto& direction : directions)
    {
        const auto a = direction.azimuthDegrees * pi / 180.0;
        const auto e = direction.elevationDegrees * pi / 180.0;
        const auto gains = ambix ? ambixGains (a, e) : fumaGains (a, e);

        for (int i = 0; i < framesPerDirection; ++i)
        {
            const auto s = signalLevel * std::sin (2.0 * pi * 1000.0 * i / 48000.0);
            frames.push_back ({ (float) (gains[0] * s), (float) (gains[1] * s), (float) (gains[2] * s), (float) (gains[3] * s) });
        }
    }

    return frames;
}

void expectPlaneWaves (const std::vector<Frame>& actual, bool ambix, double gain = 1.0)
{
    const auto expected = planeWaves (ambix, 0.5 * gain);
    ASSERT_EQ (actual.size(), expected.size());

    for (size_t i = 0; i < actual.size(); ++i)
        for (size_t c = 0; c < 4; ++c)
            ASSERT_NEAR (actual[i][c], expected[i][c], 1.0e-6) << "frame " << i << ", channel " << c;
}

/** How much of each reference tone a channel holds (normalised correlation). */
double toneContent (const std::vector<Frame>& frames, size_t channel, double hz)
{
    double dot = 0.0, energy = 0.0;

    for (size_t i = 0; i < frames.size(); ++i)
    {
        const auto reference = std::sin (2.0 * pi * hz * (double) i / 48000.0);
        dot += frames[i][channel] * reference;
        energy += reference * reference;
    }

    return dot / energy;
}

constexpr double toneHz[] = { 250.0, 500.0, 750.0, 1000.0 };
constexpr float toneLevel[] = { 0.4f, 0.3f, 0.2f, 0.1f };

std::vector<Frame> channelTones()
{
    std::vector<Frame> frames (4800);

    for (size_t i = 0; i < frames.size(); ++i)
        for (size_t c = 0; c < 4; ++c)
            frames[i][c] = toneLevel[c] * (float) std::sin (2.0 * pi * toneHz[c] * (double) i / 48000.0);

    return frames;
}
} // namespace

TEST (RoundTrip, FloatFumaToAmbixAndBackKeepsXYZExactAndWWithinOneUlp)
{
    TemporaryFolder folder;
    const auto original = randomFrames (20000, 1); // several engine blocks and a partial one
    writeSoundFile (folder.path ("fuma.wav"), original, SF_FORMAT_WAV | SF_FORMAT_FLOAT);

    convert ({ "--to", "ambix", "-o", folder.path ("ambix.wav"), folder.path ("fuma.wav") });
    convert ({ "--to", "fuma", "-o", folder.path ("back.wav"), folder.path ("ambix.wav") });

    const auto back = readSoundFile (folder.path ("back.wav"));
    ASSERT_EQ (back.frames.size(), original.size());
    EXPECT_EQ (back.info.format, SF_FORMAT_WAV | SF_FORMAT_FLOAT);

    for (size_t i = 0; i < original.size(); ++i)
    {
        ASSERT_LE (ulpDistance (back.frames[i][0], original[i][0]), 1) << "W, frame " << i;

        for (size_t c = 1; c < 4; ++c)
            ASSERT_EQ (orderedBits (back.frames[i][c]), orderedBits (original[i][c])) << "channel " << c << ", frame " << i;
    }
}

TEST (RoundTrip, TwentyFourBitAmbixToFumaAndBackKeepsXYZExactAndWWithinOneStep)
{
    TemporaryFolder folder;
    const auto original = randomFrames (10000, 2, 0.6f);
    writeSoundFile (folder.path ("ambix.w64"), original, SF_FORMAT_W64 | SF_FORMAT_PCM_24);

    convert ({ "--to", "fuma", "-o", folder.path ("fuma.w64"), folder.path ("ambix.w64") });
    convert ({ "--to", "ambix", "-o", folder.path ("back.w64"), folder.path ("fuma.w64") });

    const auto input = readSoundFile (folder.path ("ambix.w64"));
    const auto back = readSoundFile (folder.path ("back.w64"));
    EXPECT_EQ (back.info.format, SF_FORMAT_W64 | SF_FORMAT_PCM_24);
    ASSERT_EQ (back.integerFrames.size(), input.integerFrames.size());

    constexpr int oneStep = 1 << 8; // one 24-bit step, left-justified

    for (size_t i = 0; i < input.integerFrames.size(); ++i)
    {
        ASSERT_LE (std::abs (back.integerFrames[i][0] - input.integerFrames[i][0]), oneStep) << "W, frame " << i;

        for (size_t c = 1; c < 4; ++c)
            ASSERT_EQ (back.integerFrames[i][c], input.integerFrames[i][c]) << "channel " << c << ", frame " << i;
    }
}

TEST (ChannelIdentity, EachFumaToneLandsInItsAmbixChannel)
{
    TemporaryFolder folder;
    writeSoundFile (folder.path ("tones.caf"), channelTones(), SF_FORMAT_CAF | SF_FORMAT_FLOAT);
    convert ({ "--to", "ambix", "-o", folder.path ("out.caf"), folder.path ("tones.caf") });
    const auto out = readSoundFile (folder.path ("out.caf")).frames;

    // FuMa W, X, Y, Z carry tones 0, 1, 2, 3; AmbiX is W, Y, Z, X, with W up 3 dB.
    const size_t sourceOf[] = { 0, 2, 3, 1 };
    const double levelOf[] = { toneLevel[0] * std::sqrt (2.0), toneLevel[2], toneLevel[3], toneLevel[1] };

    for (size_t channel = 0; channel < 4; ++channel)
        for (size_t tone = 0; tone < 4; ++tone)
            EXPECT_NEAR (toneContent (out, channel, toneHz[tone]), tone == sourceOf[channel] ? levelOf[channel] : 0.0, 1.0e-3)
                << "output channel " << channel << ", tone " << tone;
}

TEST (ChannelIdentity, EachAmbixToneLandsInItsFumaChannel)
{
    TemporaryFolder folder;
    writeSoundFile (folder.path ("tones.aiff"), channelTones(), SF_FORMAT_AIFF | SF_FORMAT_PCM_24);
    convert ({ "--to", "fuma", "-o", folder.path ("out.aiff"), folder.path ("tones.aiff") });
    const auto out = readSoundFile (folder.path ("out.aiff")).frames;

    // AmbiX W, Y, Z, X carry tones 0, 1, 2, 3; FuMa is W, X, Y, Z, with W down 3 dB.
    const size_t sourceOf[] = { 0, 3, 1, 2 };
    const double levelOf[] = { toneLevel[0] / std::sqrt (2.0), toneLevel[3], toneLevel[1], toneLevel[2] };

    for (size_t channel = 0; channel < 4; ++channel)
        for (size_t tone = 0; tone < 4; ++tone)
            EXPECT_NEAR (toneContent (out, channel, toneHz[tone]), tone == sourceOf[channel] ? levelOf[channel] : 0.0, 1.0e-3)
                << "output channel " << channel << ", tone " << tone;
}

TEST (PlaneWave, FumaToAmbixAgreesWithTheEncodingFormulas)
{
    TemporaryFolder folder;
    writeSoundFile (folder.path ("fuma.wav"), planeWaves (false), SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    convert ({ "--to", "ambix", "-o", folder.path ("ambix.wav"), folder.path ("fuma.wav") });
    expectPlaneWaves (readSoundFile (folder.path ("ambix.wav")).frames, true);
}

TEST (PlaneWave, AmbixToFumaAgreesWithTheEncodingFormulas)
{
    TemporaryFolder folder;
    writeSoundFile (folder.path ("ambix.rf64"), planeWaves (true), SF_FORMAT_RF64 | SF_FORMAT_FLOAT);
    convert ({ "--to", "fuma", "-o", folder.path ("fuma.rf64"), folder.path ("ambix.rf64") });
    expectPlaneWaves (readSoundFile (folder.path ("fuma.rf64")).frames, false);
}

TEST (PlaneWave, GainInDecibelsScalesEveryChannel)
{
    TemporaryFolder folder;
    writeSoundFile (folder.path ("fuma.wav"), planeWaves (false), SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    convert ({ "--to", "ambix", "--gain", "-6", "-o", folder.path ("ambix.wav"), folder.path ("fuma.wav") });
    expectPlaneWaves (readSoundFile (folder.path ("ambix.wav")).frames, true, std::pow (10.0, -6.0 / 20.0));
}

TEST (PlaneWave, SixteenBitFlacIsConvertedWithinOneStep)
{
    TemporaryFolder folder;
    writeSoundFile (folder.path ("fuma.flac"), planeWaves (false), SF_FORMAT_FLAC | SF_FORMAT_PCM_16);
    convert ({ "--to", "ambix", "-o", folder.path ("ambix.flac"), folder.path ("fuma.flac") });

    const auto out = readSoundFile (folder.path ("ambix.flac"));
    EXPECT_EQ (out.info.format, SF_FORMAT_FLAC | SF_FORMAT_PCM_16);
    const auto expected = planeWaves (true);
    ASSERT_EQ (out.frames.size(), expected.size());

    for (size_t i = 0; i < expected.size(); ++i)
        for (size_t c = 0; c < 4; ++c)
            ASSERT_NEAR (out.frames[i][c], expected[i][c], 1.5 / 32768.0) << "frame " << i << ", channel " << c;
}

TEST (Clipping, IntegerOutputCountsClippedSamplesAndFloatOutputKeepsThem)
{
    TemporaryFolder folder;
    // FuMa W at 0.9 becomes 1.27 in AmbiX: every W sample of the second half clips in 16 bits.
    std::vector<Frame> frames (1000, Frame { 0.25f, 0.1f, 0.1f, 0.1f });

    for (size_t i = 500; i < frames.size(); ++i)
        frames[i][0] = 0.9f;

    writeSoundFile (folder.path ("loud.wav"), frames, SF_FORMAT_WAV | SF_FORMAT_PCM_16);

    const auto clipped = runConverter ({ "--to", "ambix", "-o", folder.path ("clipped.wav"), folder.path ("loud.wav") });
    EXPECT_EQ (clipped.exitCode, 0);
    EXPECT_NE (clipped.errors.find ("500 samples clipped"), std::string::npos) << clipped.errors;
    EXPECT_NE (clipped.errors.find ("--float"), std::string::npos);
    EXPECT_NE (clipped.errors.find ("--gain"), std::string::npos);
    EXPECT_EQ (readSoundFile (folder.path ("clipped.wav")).integerFrames[700][0], 0x7FFF0000);

    const auto kept = runConverter ({ "--to", "ambix", "--float", "-o", folder.path ("kept.wav"), folder.path ("loud.wav") });
    EXPECT_EQ (kept.exitCode, 0);
    EXPECT_EQ (kept.errors, "");
    const auto out = readSoundFile (folder.path ("kept.wav"));
    EXPECT_EQ (out.info.format & SF_FORMAT_SUBMASK, SF_FORMAT_FLOAT);
    EXPECT_NEAR (out.frames[700][0], 0.9 * std::sqrt (2.0), 1.0e-4);
}

TEST (Summary, NamesTheFilesDirectionsAndPeakPerChannel)
{
    TemporaryFolder folder;
    writeSoundFile (folder.path ("fuma.wav"), std::vector<Frame> (100, Frame { 0.5f, 0.25f, -0.125f, 0.0f }),
                    SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    const auto result = runConverter ({ "--to", "ambix", "-o", folder.path ("ambix.wav"), folder.path ("fuma.wav") });

    ASSERT_EQ (result.exitCode, 0);
    EXPECT_NE (result.output.find (folder.path ("fuma.wav") + " -> " + folder.path ("ambix.wav")), std::string::npos);
    EXPECT_NE (result.output.find ("FuMa WAV, 32-bit float -> AmbiX WAV, 32-bit float"), std::string::npos) << result.output;
    // 0.5 * sqrt2 = -3.0 dB; Y = -0.125 = -18.1 dB; Z silent; X = 0.25 = -12.0 dB.
    EXPECT_NE (result.output.find ("peak  W -3.0 dB  Y -18.1 dB  Z -inf dB  X -12.0 dB"), std::string::npos) << result.output;
    // Not a terminal: no progress bar.
    EXPECT_EQ (result.errors, "");
}

TEST (Batch, ConvertsEveryInputIntoTheFolderWithSeveralJobs)
{
    TemporaryFolder folder;
    ::mkdir (folder.path ("out").c_str(), 0755);
    std::vector<std::string> arguments { "--to", "ambix", "--jobs", "3", "--output-dir", folder.path ("out") };

    for (int n = 0; n < 5; ++n)
    {
        const auto name = folder.path ("in" + std::to_string (n) + ".wav");
        writeSoundFile (name, randomFrames (3000 + n * 1000, 10u + (unsigned) n), SF_FORMAT_WAV | SF_FORMAT_FLOAT);
        arguments.push_back (name);
    }

    convert (arguments);

    for (int n = 0; n < 5; ++n)
    {
        const auto input = readSoundFile (folder.path ("in" + std::to_string (n) + ".wav"));
        const auto output = readSoundFile (folder.path ("out/in" + std::to_string (n) + ".wav"));
        ASSERT_EQ (output.frames.size(), input.frames.size());

        for (size_t i = 0; i < input.frames.size(); ++i)
            ASSERT_EQ (output.frames[i][3], input.frames[i][1]) << "file " << n << ", frame " << i;
    }
}

TEST (Example, BundledExampleConvertsToAmbix)
{
    TemporaryFolder folder;
    const auto result = runConverter ({ "-o", folder.path ("example.wav"), examplePath() });
    ASSERT_EQ (result.exitCode, 0) << result.errors;

    const auto input = readSoundFile (examplePath());
    const auto output = readSoundFile (folder.path ("example.wav"));
    EXPECT_TRUE (input.bFormat);
    EXPECT_FALSE (output.bFormat);
    EXPECT_LT (readBytes (examplePath()).size(), 1000000u);
    ASSERT_EQ (output.frames.size(), input.frames.size());

    for (size_t i = 0; i < input.frames.size(); ++i)
    {
        ASSERT_EQ (output.integerFrames[i][1], input.integerFrames[i][2]);
        ASSERT_EQ (output.integerFrames[i][2], input.integerFrames[i][3]);
        ASSERT_EQ (output.integerFrames[i][3], input.integerFrames[i][1]);
    }
}
