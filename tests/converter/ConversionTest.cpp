// Files through the built converter: the numbers that come out.
#include "ConverterTestSupport.h"

#include "engine/ConversionMode.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
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

struct Direction
{
    double azimuthDegrees, elevationDegrees;
};

constexpr Direction directions[] = { { 0, 0 }, { 90, 0 }, { 180, 0 }, { -135, 30 }, { 45, -60 }, { 10, 90 } };

/** Consecutive stretches of a 1 kHz plane wave, one per direction. */
std::vector<Frame> planeWaves (Encoding encoding, double signalLevel = 0.5, int framesPerDirection = 480)
{
    std::vector<Frame> frames;

    for (const auto& direction : directions)
    {
        const auto gains = encodeUpTo (1, encoding, direction.azimuthDegrees * pi / 180.0, direction.elevationDegrees * pi / 180.0);

        for (int i = 0; i < framesPerDirection; ++i)
        {
            const auto s = signalLevel * std::sin (2.0 * pi * 1000.0 * i / 48000.0);
            frames.push_back ({ (float) (gains[0] * s), (float) (gains[1] * s), (float) (gains[2] * s), (float) (gains[3] * s) });
        }
    }

    return frames;
}

/** Stretches of a 1 kHz plane wave, one per direction, in every channel up to `order`, interleaved. */
std::vector<float> planeWavesUpTo (int order, Encoding encoding, int framesPerDirection)
{
    std::vector<float> samples;

    for (const auto& direction : directions)
    {
        const auto gains = encodeUpTo (order, encoding, direction.azimuthDegrees * pi / 180.0, direction.elevationDegrees * pi / 180.0);

        for (int i = 0; i < framesPerDirection; ++i)
            for (auto gain : gains)
                samples.push_back ((float) (0.3 * gain * std::sin (2.0 * pi * 1000.0 * i / 48000.0)));
    }

    return samples;
}

/** A diffuse field: plane waves from random directions all over the sphere, each its own noise. */
std::vector<Frame> diffuseNoise (Encoding encoding, int numFrames, unsigned seed)
{
    constexpr int numSources = 40;
    std::mt19937 random (seed);
    std::uniform_real_distribution<double> uniform (-1.0, 1.0);
    std::normal_distribution<double> noise (0.0, 0.02);
    std::vector<std::vector<double>> gains;

    for (int k = 0; k < numSources; ++k)
        gains.push_back (encodeUpTo (1, encoding, pi * uniform (random), std::asin (uniform (random))));

    std::vector<Frame> frames ((size_t) numFrames);

    for (auto& frame : frames)
    {
        std::array<double, 4> sum {};

        for (const auto& source : gains)
        {
            const auto s = noise (random);

            for (size_t c = 0; c < 4; ++c)
                sum[c] += source[c] * s;
        }

        frame = { (float) sum[0], (float) sum[1], (float) sum[2], (float) sum[3] };
    }

    return frames;
}

void expectPlaneWaves (const std::vector<Frame>& actual, Encoding encoding, double gain = 1.0)
{
    const auto expected = planeWaves (encoding, 0.5 * gain);
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

    // On the way: W within one ulp of what the plug-in's settled engine makes, the rest only moved.
    const auto ambix = readSoundFile (folder.path ("ambix.wav"));
    ASSERT_EQ (ambix.frames.size(), original.size());

    for (size_t i = 0; i < original.size(); ++i)
    {
        ASSERT_LE (ulpDistance (ambix.frames[i][0], original[i][0] * ortholume::sqrtTwo), 1) << "W, frame " << i;
        ASSERT_EQ (orderedBits (ambix.frames[i][1]), orderedBits (original[i][2])) << "Y, frame " << i;
        ASSERT_EQ (orderedBits (ambix.frames[i][2]), orderedBits (original[i][3])) << "Z, frame " << i;
        ASSERT_EQ (orderedBits (ambix.frames[i][3]), orderedBits (original[i][1])) << "X, frame " << i;
    }

    const auto back = readSoundFile (folder.path ("back.wav"));
    ASSERT_EQ (back.frames.size(), original.size());
    EXPECT_EQ (back.info.format, SF_FORMAT_WAVEX | SF_FORMAT_FLOAT); // float WAV is written extensible

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

TEST (RoundTrip, HigherOrderIntegersComeBackExactWhereTheWeightAllowsAndElseWithinOneStep)
{
    // Rounding x times a weight under 1 loses what no way back can restore, so each
    // direction is exact only for channels whose first step scales up (or not at
    // all): FuMa there and back keeps W, X Y Z R K; AmbiX there and back keeps all but W.
    TemporaryFolder folder;
    std::mt19937 random (13);
    std::uniform_int_distribution<int> sample (-0x580000, 0x580000); // 24-bit, room for the 1.34 of N and O

    for (const auto order : { 2, 3 })
    {
        const int numChannels = (order + 1) * (order + 1);
        std::vector<int> samples ((size_t) (3000 * numChannels));

        for (auto& value : samples)
            value = sample (random) * 256;

        for (const auto from : { "fuma", "ambix" })
        {
            SCOPED_TRACE (std::string (from) + ", order " + std::to_string (order));
            const auto to = std::string (from) == "fuma" ? "ambix" : "fuma";
            writeInterleaved (folder.path ("in.wav"), numChannels, samples, SF_FORMAT_WAV | SF_FORMAT_PCM_24);
            convert ({ "--to", to, "-o", folder.path ("there.wav"), folder.path ("in.wav") });
            convert ({ "--to", from, "-o", folder.path ("back.wav"), folder.path ("there.wav") });
            const auto back = readInterleaved (folder.path ("back.wav"));
            ASSERT_EQ (back.integers.size(), samples.size());

            for (size_t i = 0; i < samples.size(); ++i)
            {
                const auto c = (int) (i % (size_t) numChannels);
                const bool scaledDown = std::string (from) == "fuma" ? (c >= 5 && c <= 8) || c >= 10 : c == 0;
                ASSERT_LE (std::abs (back.integers[i] - samples[i]), scaledDown ? 256 : 0) << "channel " << c << ", frame " << i / numChannels;
            }

            for (const auto* name : { "in.wav", "there.wav", "back.wav" })
                std::remove (folder.path (name).c_str());
        }
    }
}

namespace
{
struct ExactCase
{
    const char* extension;
    int format;
    int bits; // 0: 64-bit float
};

// Every integer depth and float64, in each container that holds it; both byte orders, and FLAC's coded path.
constexpr ExactCase exactCases[] = {
    { "wav", SF_FORMAT_WAV | SF_FORMAT_PCM_U8, 8 },
    { "aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_S8, 8 },
    { "flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_S8, 8 },
    { "wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 16 },
    { "caf", SF_FORMAT_CAF | SF_FORMAT_PCM_16, 16 },
    { "flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 16 },
    { "w64", SF_FORMAT_W64 | SF_FORMAT_PCM_24, 24 },
    { "aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_24, 24 },
    { "flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_24, 24 },
    { "wav", SF_FORMAT_WAV | SF_FORMAT_PCM_32, 32 },
    { "caf", SF_FORMAT_CAF | SF_FORMAT_PCM_32, 32 },
    { "aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_32, 32 },
    { "wav", SF_FORMAT_WAV | SF_FORMAT_DOUBLE, 0 },
    { "w64", SF_FORMAT_W64 | SF_FORMAT_DOUBLE, 0 },
    { "caf", SF_FORMAT_CAF | SF_FORMAT_DOUBLE, 0 },
    { "aiff", SF_FORMAT_AIFF | SF_FORMAT_DOUBLE, 0 },
};

constexpr int framesPastOneBlock = 70000; // the converter moves 65,536 frames at a time

/** Random FuMa samples as integers of the given depth: W low enough not to clip on
    its way to AmbiX, X, Y and Z over the full range, both extremes included. */
std::vector<std::array<long long, 4>> integerFumaFrames (int bits, unsigned seed)
{
    const long long highest = (1ll << (bits - 1)) - 1, lowest = -(1ll << (bits - 1));
    const auto loudestW = (long long) ((double) highest / std::sqrt (2.0));
    std::mt19937_64 random (seed);
    std::uniform_int_distribution<long long> w (-loudestW, loudestW), xyz (lowest, highest);
    std::vector<std::array<long long, 4>> frames (framesPastOneBlock);

    for (auto& frame : frames)
        frame = { w (random), xyz (random), xyz (random), xyz (random) };

    frames[0] = { loudestW, highest, lowest, highest };
    frames[1] = { -loudestW, lowest, highest, lowest };
    return frames;
}

std::vector<std::array<int, 4>> leftJustified (const std::vector<std::array<long long, 4>>& frames, int bits)
{
    std::vector<std::array<int, 4>> result (frames.size());

    for (size_t i = 0; i < frames.size(); ++i)
        for (size_t c = 0; c < 4; ++c)
            result[i][c] = (int) (std::uint32_t) ((std::uint64_t) frames[i][c] << (32 - bits));

    return result;
}

std::uint64_t bitsOf (double value)
{
    std::uint64_t bits;
    std::memcpy (&bits, &value, sizeof (bits));
    return bits;
}

constexpr size_t fumaSourceOfAmbix[] = { 0, 2, 3, 1 }; // AmbiX W Y Z X from FuMa W X Y Z
} // namespace

TEST (ExactConversion, IntegerAndDoubleFilesGoThereAndBackBitForBit)
{
    // Tags and timecode in the header move where the raw audio starts: both must survive.
    Tags tags;
    tags.strings = { { SF_STR_TITLE, "Dawn chorus" }, { SF_STR_ARTIST, "Field team" }, { SF_STR_COMMENT, "take 12, mic A" }, { SF_STR_DATE, "2021-05-02" } };
    tags.hasBext = true;
    tags.description = "take 12";
    tags.timeReference = 5ull * 3600 * 48000 + 17; // 05:00:00 and 17 samples

    for (const auto& exact : exactCases)
    {
        SCOPED_TRACE (std::string (exact.extension) + ", " + (exact.bits > 0 ? std::to_string (exact.bits) + "-bit" : "double"));
        TemporaryFolder folder;
        const auto fuma = folder.path (std::string ("fuma.") + exact.extension);
        const auto ambix = folder.path (std::string ("ambix.") + exact.extension);
        const auto back = folder.path (std::string ("back.") + exact.extension);
        const auto integers = exact.bits > 0 ? integerFumaFrames (exact.bits, 3) : std::vector<std::array<long long, 4>>();
        std::vector<std::array<double, 4>> doubles;

        if (exact.bits > 0)
        {
            writeIntegerSoundFile (fuma, leftJustified (integers, exact.bits), exact.format, tags);
        }
        else
        {
            std::mt19937_64 random (4);
            std::uniform_real_distribution<double> sample (-1.0, 1.0);
            doubles.resize (framesPastOneBlock);

            for (auto& frame : doubles)
                frame = { sample (random) / 2.0, sample (random), sample (random), sample (random) };

            writeDoubleSoundFile (fuma, doubles, exact.format, tags);
        }

        // Full scale in a channel that only moves is no clipping: nothing may be reported.
        const auto there = runConverter ({ "--to", "ambix", "-o", ambix, fuma });
        ASSERT_EQ (there.exitCode, 0) << there.errors;
        EXPECT_EQ (there.errors, "");
        const auto converted = readSoundFile (ambix);
        const auto kept = readTags (fuma);
        EXPECT_EQ (readTags (ambix), kept);

        // What the format holds: every tag and the timecode in WAV, tags in FLAC.
        if ((exact.format & SF_FORMAT_TYPEMASK) == SF_FORMAT_WAV || (exact.format & SF_FORMAT_TYPEMASK) == SF_FORMAT_FLAC)
        {
            EXPECT_EQ (kept.strings, tags.strings);
            EXPECT_EQ (kept.hasBext, (exact.format & SF_FORMAT_TYPEMASK) == SF_FORMAT_WAV);
        }

        // Float WAV output has an extensible format chunk.
        EXPECT_EQ (converted.info.format, exact.format == (SF_FORMAT_WAV | SF_FORMAT_DOUBLE) ? SF_FORMAT_WAVEX | SF_FORMAT_DOUBLE
                                                                                             : exact.format);
        ASSERT_EQ (converted.info.frames, framesPastOneBlock);

        convert ({ "--to", "fuma", "-o", back, ambix });
        const auto returned = readSoundFile (back);
        ASSERT_EQ (returned.info.frames, framesPastOneBlock);
        const auto shift = 32 - exact.bits;

        for (size_t i = 0; i < (size_t) framesPastOneBlock; ++i)
        {
            if (exact.bits > 0)
            {
                // W: x * sqrt(2) in double, rounded once; the rest moved bit for bit; back: the original.
                ASSERT_EQ (converted.integerFrames[i][0] >> shift, (long long) std::nearbyint ((double) integers[i][0] * std::sqrt (2.0))) << "frame " << i;

                for (size_t c = 1; c < 4; ++c)
                    ASSERT_EQ (converted.integerFrames[i][c] >> shift, integers[i][fumaSourceOfAmbix[c]]) << "frame " << i << ", channel " << c;

                for (size_t c = 0; c < 4; ++c)
                    ASSERT_EQ (returned.integerFrames[i][c] >> shift, integers[i][c]) << "back, frame " << i << ", channel " << c;
            }
            else
            {
                // Double stays double: W is the double product; there and back it may land one ulp
                // away, as any scaling by an irrational factor in floating point can.
                ASSERT_EQ (bitsOf (converted.doubleFrames[i][0]), bitsOf (doubles[i][0] * std::sqrt (2.0))) << "frame " << i;
                ASSERT_LE (std::abs (returned.doubleFrames[i][0] - doubles[i][0]), std::nextafter (std::abs (doubles[i][0]), 1.0) - std::abs (doubles[i][0]))
                    << "frame " << i;

                for (size_t c = 1; c < 4; ++c)
                {
                    ASSERT_EQ (bitsOf (converted.doubleFrames[i][c]), bitsOf (doubles[i][fumaSourceOfAmbix[c]])) << "frame " << i;
                    ASSERT_EQ (bitsOf (returned.doubleFrames[i][c]), bitsOf (doubles[i][c])) << "back, frame " << i;
                }
            }
        }
    }
}

TEST (ExactConversion, GainScalesEveryChannelFromTheExactSample)
{
    TemporaryFolder folder;
    const auto integers = integerFumaFrames (24, 5);
    writeIntegerSoundFile (folder.path ("fuma.wav"), leftJustified (integers, 24), SF_FORMAT_WAV | SF_FORMAT_PCM_24);
    convert ({ "--to", "ambix", "--gain", "-6", "-o", folder.path ("ambix.wav"), folder.path ("fuma.wav") });

    const auto out = readSoundFile (folder.path ("ambix.wav"));
    const double gain = std::pow (10.0, -6.0 / 20.0);
    const double factors[] = { std::sqrt (2.0) * gain, gain, gain, gain };
    ASSERT_EQ (out.integerFrames.size(), integers.size());

    for (size_t i = 0; i < integers.size(); ++i)
        for (size_t c = 0; c < 4; ++c)
            ASSERT_EQ (out.integerFrames[i][c] >> 8, (long long) std::nearbyint ((double) integers[i][fumaSourceOfAmbix[c]] * factors[c]))
                << "frame " << i << ", channel " << c;
}

TEST (ExactConversion, BitsChoosesTheOutputSamplesRoundedOnce)
{
    struct BitsCase
    {
        int inputBits;
        const char* bits;
        int outputSubtype;
        int outputBits; // 0: float, -1: double
    };

    const BitsCase cases[] = {
        { 24, "16", SF_FORMAT_PCM_16, 16 },
        { 16, "24", SF_FORMAT_PCM_24, 24 },
        { 16, "32", SF_FORMAT_PCM_32, 32 },
        { 24, "float", SF_FORMAT_FLOAT, 0 },
        { 32, "double", SF_FORMAT_DOUBLE, -1 },
    };

    for (const auto& bitsCase : cases)
    {
        SCOPED_TRACE (std::to_string (bitsCase.inputBits) + "-bit to --bits " + bitsCase.bits);
        TemporaryFolder folder;
        const auto integers = integerFumaFrames (bitsCase.inputBits, 6);
        const int inputSubtype = bitsCase.inputBits == 16 ? SF_FORMAT_PCM_16 : (bitsCase.inputBits == 24 ? SF_FORMAT_PCM_24 : SF_FORMAT_PCM_32);
        writeIntegerSoundFile (folder.path ("fuma.wav"), leftJustified (integers, bitsCase.inputBits), SF_FORMAT_WAV | inputSubtype);

        const auto result = runConverter ({ "--to", "ambix", "--bits", bitsCase.bits, "-o", folder.path ("out.w64"), folder.path ("fuma.wav") });
        ASSERT_EQ (result.exitCode, 0) << result.errors;
        const auto out = readSoundFile (folder.path ("out.w64"));
        ASSERT_EQ (out.info.format, SF_FORMAT_W64 | bitsCase.outputSubtype);
        ASSERT_EQ (out.frames.size(), integers.size());
        long long clipped = 0;

        for (size_t i = 0; i < integers.size(); ++i)
        {
            for (size_t c = 0; c < 4; ++c)
            {
                const auto exact = std::ldexp ((double) integers[i][fumaSourceOfAmbix[c]], 1 - bitsCase.inputBits) * (c == 0 ? std::sqrt (2.0) : 1.0);

                if (bitsCase.outputBits > 0)
                {
                    // Fewer bits: a sample just under full scale rounds past it, and that is clipping.
                    const auto fullScale = 1ll << (bitsCase.outputBits - 1);
                    const auto rounded = (long long) std::nearbyint (std::ldexp (exact, bitsCase.outputBits - 1));
                    clipped += rounded >= fullScale ? 1 : 0;
                    ASSERT_EQ (out.integerFrames[i][c] >> (32 - bitsCase.outputBits), std::min (rounded, fullScale - 1))
                        << "frame " << i << ", channel " << c;
                }
                else if (bitsCase.outputBits == 0)
                {
                    ASSERT_EQ (out.frames[i][c], (float) exact) << "frame " << i << ", channel " << c;
                }
                else
                {
                    ASSERT_EQ (out.doubleFrames[i][c], exact) << "frame " << i << ", channel " << c;
                }
            }
        }

        if (clipped == 0)
            EXPECT_EQ (result.errors, "");
        else
            EXPECT_NE (result.errors.find (": " + std::to_string (clipped) + " samples clipped"), std::string::npos) << result.errors;
    }

    // FLAC holds integers only: the advice says which depths work.
    TemporaryFolder folder;
    writeSoundFile (folder.path ("in.wav"), randomFrames (100, 7), SF_FORMAT_WAV | SF_FORMAT_PCM_24);
    const auto refused = runConverter ({ "--to", "ambix", "--bits", "float", "-o", folder.path ("out.flac"), folder.path ("in.wav") });
    EXPECT_EQ (refused.exitCode, 2);
    EXPECT_NE (refused.errors.find ("cannot be written as 32-bit float in FLAC; use --bits 16 or --bits 24"), std::string::npos) << refused.errors;
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
    writeSoundFile (folder.path ("fuma.wav"), planeWaves (Encoding::fuma), SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    convert ({ "--to", "ambix", "-o", folder.path ("ambix.wav"), folder.path ("fuma.wav") });
    expectPlaneWaves (readSoundFile (folder.path ("ambix.wav")).frames, Encoding::ambix);
}

TEST (PlaneWave, AmbixToFumaAgreesWithTheEncodingFormulas)
{
    TemporaryFolder folder;
    writeSoundFile (folder.path ("ambix.rf64"), planeWaves (Encoding::ambix), SF_FORMAT_RF64 | SF_FORMAT_FLOAT);
    convert ({ "--to", "fuma", "-o", folder.path ("fuma.rf64"), folder.path ("ambix.rf64") });
    expectPlaneWaves (readSoundFile (folder.path ("fuma.rf64")).frames, Encoding::fuma);
}

TEST (PlaneWave, EveryOrderGoesBothWaysAsTheEncodingFormulasSay)
{
    // Plane waves encoded by the test's own formulas in one convention come out as
    // the other's formulas, for each order, through the file converter.
    struct Case
    {
        int order;
        Encoding from;
        const char* input; // .amb: marked as B-format, so no --to
        const char* output; // .amb: FuMa, and marked
    };

    const Case cases[] = {
        { 1, Encoding::ambix, "in.wav", "out.amb" },
        { 2, Encoding::fuma, "in.amb", "out.caf" },
        { 2, Encoding::ambix, "in.w64", "out.amb" },
        { 3, Encoding::fuma, "in.amb", "out.rf64" },
        { 3, Encoding::fuma, "in.aiff", "out.wav" },
        { 3, Encoding::ambix, "in.caf", "out.amb" },
    };

    auto formatOf = [] (const std::string& name) {
        const auto extension = name.substr (name.find ('.') + 1);
        const int container = extension == "amb" ? SF_FORMAT_WAVEX : extension == "w64" ? SF_FORMAT_W64
                                                                 : extension == "caf"   ? SF_FORMAT_CAF
                                                                 : extension == "aiff"  ? SF_FORMAT_AIFF
                                                                                        : SF_FORMAT_WAV;
        return container | SF_FORMAT_FLOAT;
    };

    for (const auto& test : cases)
    {
        SCOPED_TRACE ("order " + std::to_string (test.order) + ", " + test.input + " -> " + test.output);
        TemporaryFolder folder;
        const int numChannels = (test.order + 1) * (test.order + 1);
        const bool marked = std::string (test.input).find (".amb") != std::string::npos;
        const auto to = test.from == Encoding::fuma ? Encoding::ambix : Encoding::fuma;
        writeInterleaved (folder.path (test.input), numChannels, planeWavesUpTo (test.order, test.from, 480), formatOf (test.input),
                          marked);

        std::vector<std::string> arguments { "-o", folder.path (test.output), folder.path (test.input) };

        if (! marked)
            arguments.insert (arguments.begin(), { "--to", to == Encoding::ambix ? "ambix" : "fuma" });

        const auto result = runConverter (arguments);
        ASSERT_EQ (result.exitCode, 0) << result.errors;

        const auto out = readInterleaved (folder.path (test.output));
        ASSERT_EQ (out.info.channels, numChannels);
        EXPECT_EQ (out.bFormat, std::string (test.output).find (".amb") != std::string::npos);
        const auto expected = planeWavesUpTo (test.order, to, 480);
        ASSERT_EQ (out.samples.size(), expected.size());

        for (size_t i = 0; i < expected.size(); ++i)
            ASSERT_NEAR (out.samples[i], expected[i], 1.0e-6) << "channel " << i % (size_t) numChannels << ", frame " << i / numChannels;

        // The summary names each channel's component in file order.
        const std::string letters = to == Encoding::ambix ? "WYZXVTRSUQOMKLNP" : "WXYZRSTUVKLMNOPQ";
        auto at = result.output.find ("  peak");

        for (int c = 0; c < numChannels; ++c)
        {
            at = result.output.find (std::string ("  ") + letters[(size_t) c] + " ", at);
            ASSERT_NE (at, std::string::npos) << "channel " << c << "\n"
                                              << result.output;
        }
    }
}

TEST (PlaneWave, GainInDecibelsScalesEveryChannel)
{
    TemporaryFolder folder;
    writeSoundFile (folder.path ("fuma.wav"), planeWaves (Encoding::fuma), SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    convert ({ "--to", "ambix", "--gain", "-6", "-o", folder.path ("ambix.wav"), folder.path ("fuma.wav") });
    expectPlaneWaves (readSoundFile (folder.path ("ambix.wav")).frames, Encoding::ambix, std::pow (10.0, -6.0 / 20.0));
}

TEST (PlaneWave, SixteenBitFlacIsConvertedWithinOneStep)
{
    TemporaryFolder folder;
    writeSoundFile (folder.path ("fuma.flac"), planeWaves (Encoding::fuma), SF_FORMAT_FLAC | SF_FORMAT_PCM_16);
    convert ({ "--to", "ambix", "-o", folder.path ("ambix.flac"), folder.path ("fuma.flac") });

    const auto out = readSoundFile (folder.path ("ambix.flac"));
    EXPECT_EQ (out.info.format, SF_FORMAT_FLAC | SF_FORMAT_PCM_16);
    const auto expected = planeWaves (Encoding::ambix);
    ASSERT_EQ (out.frames.size(), expected.size());

    for (size_t i = 0; i < expected.size(); ++i)
        for (size_t c = 0; c < 4; ++c)
            ASSERT_NEAR (out.frames[i][c], expected[i][c], 1.5 / 32768.0) << "frame " << i << ", channel " << c;
}

namespace
{
struct Inspected
{
    std::string text;
    std::string estimate;
    double firstOrderRatio = -1.0;
};

Inspected inspect (const std::string& path)
{
    const auto result = runConverter ({ "--inspect", path });
    EXPECT_EQ (result.exitCode, 0) << result.errors;

    Inspected inspected;
    inspected.text = result.output;

    if (const auto at = result.output.find ("  estimate    "); at != std::string::npos)
        inspected.estimate = result.output.substr (at + 14, result.output.find ('\n', at) - at - 14);

    if (const auto at = result.output.find ("order 1 / W "); at != std::string::npos)
        inspected.firstOrderRatio = std::strtod (result.output.c_str() + at + 12, nullptr);

    return inspected;
}
} // namespace

TEST (Inspection, FirstOrderEnergyNamesTheConventionOfPlaneWavesAndDiffuseFields)
{
    struct Case
    {
        const char* name;
        std::vector<Frame> frames;
        const char* estimate;
        double ratio, tolerance;
    };

    const Case cases[] = {
        { "fuma-waves", planeWaves (Encoding::fuma, 0.5, 1000), "FuMa", 2.0, 0.005 },
        { "ambix-waves", planeWaves (Encoding::ambix, 0.5, 1000), "AmbiX (SN3D)", 1.0, 0.005 },
        { "n3d-waves", planeWaves (Encoding::n3d, 0.5, 1000), "N3D", 3.0, 0.005 },
        { "fuma-diffuse", diffuseNoise (Encoding::fuma, 24000, 5), "FuMa", 2.0, 0.1 },
        { "ambix-diffuse", diffuseNoise (Encoding::ambix, 24000, 6), "AmbiX (SN3D)", 1.0, 0.05 },
        { "n3d-diffuse", diffuseNoise (Encoding::n3d, 24000, 7), "N3D", 3.0, 0.15 },
        { "silent", std::vector<Frame> (48000, Frame {}), "undetermined: silent", -1.0, 0.0 },
        { "short", planeWaves (Encoding::fuma, 0.5, 500), "undetermined: too short (3000 frames; 4096 needed)", -1.0, 0.0 },
    };

    TemporaryFolder folder;

    for (const auto& test : cases)
    {
        const auto path = folder.path (std::string (test.name) + ".wav");
        writeSoundFile (path, test.frames, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
        const auto inspected = inspect (path);
        EXPECT_EQ (inspected.estimate, test.estimate) << inspected.text;
        EXPECT_NEAR (inspected.firstOrderRatio, test.ratio, test.tolerance) << inspected.text;
    }
}

TEST (Inspection, HigherOrdersAreShownBesideTheFirstOrderVerdict)
{
    struct Case
    {
        int order;
        Encoding encoding;
        const char* estimate;
        double lowest[4], highest[4]; // the energy ratio of each order over W's
    };

    const Case cases[] = {
        { 2, Encoding::fuma, "FuMa", { 0, 1.995, 1.995 }, { 0, 2.005, 8.0 / 3.0 } },
        { 3, Encoding::fuma, "FuMa", { 0, 1.995, 1.995, 1.995 }, { 0, 2.005, 8.0 / 3.0, 3.6 } },
        { 2, Encoding::ambix, "AmbiX (SN3D)", { 0, 0.995, 0.995 }, { 0, 1.005, 1.005 } },
        { 3, Encoding::ambix, "AmbiX (SN3D)", { 0, 0.995, 0.995, 0.995 }, { 0, 1.005, 1.005, 1.005 } },
        { 3, Encoding::n3d, "N3D", { 0, 2.995, 4.995, 6.995 }, { 0, 3.005, 5.005, 7.005 } },
    };

    TemporaryFolder folder;

    for (const auto& test : cases)
    {
        const int numChannels = (test.order + 1) * (test.order + 1);
        const auto path = folder.path ("order" + std::to_string (test.order) + "-" + std::to_string ((int) test.encoding) + ".wav");
        writeInterleaved (path, numChannels, planeWavesUpTo (test.order, test.encoding, 1000), SF_FORMAT_WAV | SF_FORMAT_FLOAT);

        const auto inspected = inspect (path);
        EXPECT_EQ (inspected.estimate, test.estimate) << inspected.text;
        EXPECT_NE (inspected.text.find ("  channels    " + std::to_string (numChannels) + (test.order == 2 ? ": second" : ": third")
                                        + " order\n"),
                   std::string::npos)
            << inspected.text;

        for (int n = 1; n <= test.order; ++n)
        {
            const auto at = inspected.text.find ("order " + std::to_string (n) + " / W ");
            ASSERT_NE (at, std::string::npos) << inspected.text;
            const auto ratio = std::strtod (inspected.text.c_str() + at + 12, nullptr);
            EXPECT_GE (ratio, test.lowest[n]) << "order " << n << "\n"
                                              << inspected.text;
            EXPECT_LE (ratio, test.highest[n]) << "order " << n << "\n"
                                               << inspected.text;
        }
    }
}

TEST (Inspection, ReportsFormatLengthChannelsMarkAndSpeakers)
{
    struct Case
    {
        const char* name;
        int format;
        bool bFormat;
        std::vector<std::string> lines;
    };

    const Case cases[] = {
        { "marked.amb", SF_FORMAT_WAVEX | SF_FORMAT_PCM_24, true, { "  format      B-format WAV (.amb), 24-bit integer, 48000 Hz\n", "  B-format    marked (FuMa by definition)\n", "  speakers    none (extensible format chunk, mask 0)\n" } },
        { "quad.wav", SF_FORMAT_WAVEX | SF_FORMAT_FLOAT, false, { "  format      WAV (extensible), 32-bit float, 48000 Hz\n", "  B-format    not marked\n", "  speakers    mask 0x33: FL FR BL BR (quad)\n" } },
        { "plain.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, false, { "  format      WAV, 16-bit integer, 48000 Hz\n", "  speakers    none (plain format chunk, no speaker mask)\n" } },
        { "take.caf", SF_FORMAT_CAF | SF_FORMAT_PCM_16, false, { "  format      CAF, 16-bit integer, 48000 Hz\n", "  speakers    none\n" } },
    };

    TemporaryFolder folder;

    for (const auto& test : cases)
    {
        writeSoundFile (folder.path (test.name), planeWaves (Encoding::fuma, 0.5, 1000), test.format, 48000, test.bFormat);
        const auto text = inspect (folder.path (test.name)).text;
        EXPECT_EQ (text.rfind (folder.path (test.name) + "\n", 0), 0u) << text;
        EXPECT_NE (text.find ("  length      6000 frames, 0.12 s\n"), std::string::npos) << text;
        EXPECT_NE (text.find ("  channels    4: first order\n"), std::string::npos) << text;

        for (const auto& line : test.lines)
            EXPECT_NE (text.find (line), std::string::npos) << line << " in\n"
                                                            << text;
    }
}

TEST (Inspection, FileConvertedOnceLooksAmbixAndConvertingItAgainIsWarnedAbout)
{
    TemporaryFolder folder;
    writeSoundFile (folder.path ("fuma.wav"), planeWaves (Encoding::fuma, 0.5, 1000), SF_FORMAT_WAV | SF_FORMAT_PCM_24);

    const auto once = runConverter ({ "--to", "ambix", "-o", folder.path ("once.wav"), folder.path ("fuma.wav") });
    ASSERT_EQ (once.exitCode, 0) << once.errors;
    EXPECT_EQ (once.errors, "");
    EXPECT_EQ (inspect (folder.path ("once.wav")).estimate, "AmbiX (SN3D)");

    // Sent --to ambix again: converted, with a warning naming what the signal shows.
    const auto twice = runConverter ({ "--to", "ambix", "-o", folder.path ("twice.wav"), folder.path ("once.wav") });
    EXPECT_EQ (twice.exitCode, 0);
    EXPECT_NE (twice.errors.find (folder.path ("once.wav") + ": its signal looks like AmbiX (SN3D) (first-order energy / W 1.00), "
                                                             "but --to ambix takes it to be FuMa; converting anyway"),
               std::string::npos)
        << twice.errors;
    EXPECT_EQ (inspect (folder.path ("twice.wav")).estimate,
               "undetermined: first-order energy / W 0.50 is near none of FuMa 2, SN3D 1, N3D 3 "
               "(0.5: AmbiX converted --to ambix once more?)");

    // Nor is a direction taken from a B-format mark trusted blindly.
    writeSoundFile (folder.path ("mislabelled.amb"), planeWaves (Encoding::ambix, 0.5, 1000), SF_FORMAT_WAVEX | SF_FORMAT_FLOAT, 48000, true);
    const auto marked = runConverter ({ "-o", folder.path ("marked.wav"), folder.path ("mislabelled.amb") });
    EXPECT_EQ (marked.exitCode, 0);
    EXPECT_NE (marked.errors.find ("(first-order energy / W 1.00), but its B-format mark takes it to be FuMa; converting anyway"),
               std::string::npos)
        << marked.errors;

    // The right direction is not warned about.
    const auto back = runConverter ({ "--to", "fuma", "-o", folder.path ("back.wav"), folder.path ("once.wav") });
    EXPECT_EQ (back.exitCode, 0);
    EXPECT_EQ (back.errors, "");
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
    EXPECT_NE (result.output.find ("FuMa WAV, 32-bit float -> AmbiX WAV (extensible), 32-bit float"), std::string::npos) << result.output;
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

    const auto result = runConverter (arguments);
    ASSERT_EQ (result.exitCode, 0) << result.errors;

    // One line per file, in whatever order the jobs finish, then the tally.
    EXPECT_EQ (std::count (result.output.begin(), result.output.end(), '\n'), 6) << result.output;
    EXPECT_EQ (result.output.substr (result.output.rfind ('\n', result.output.size() - 2) + 1), "5 converted, 0 failed\n");

    for (int n = 0; n < 5; ++n)
    {
        const auto input = readSoundFile (folder.path ("in" + std::to_string (n) + ".wav"));
        const auto output = readSoundFile (folder.path ("out/in" + std::to_string (n) + ".wav"));
        ASSERT_EQ (output.frames.size(), input.frames.size());
        EXPECT_NE (result.output.find (folder.path ("in" + std::to_string (n) + ".wav") + " -> " + folder.path ("out/in")
                                       + std::to_string (n) + ".wav: FuMa -> AmbiX, WAV (extensible) 32-bit float, "),
                   std::string::npos)
            << result.output;

        for (size_t i = 0; i < input.frames.size(); ++i)
            ASSERT_EQ (output.frames[i][3], input.frames[i][1]) << "file " << n << ", frame " << i;
    }
}

TEST (Batch, FormatOptionWritesEveryOutputInThatFormat)
{
    TemporaryFolder folder;
    ::mkdir (folder.path ("out").c_str(), 0755);
    writeSoundFile (folder.path ("a.wav"), channelTones(), SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    writeSoundFile (folder.path ("b.aiff"), channelTones(), SF_FORMAT_AIFF | SF_FORMAT_PCM_24);
    writeSoundFile (folder.path ("c.amb"), channelTones(), SF_FORMAT_WAVEX | SF_FORMAT_PCM_16, 48000, true);

    const auto result = runConverter ({ "--to", "ambix", "--format", "flac", "-d", folder.path ("out"), folder.path ("a.wav"),
                                        folder.path ("b.aiff"), folder.path ("c.amb") });
    ASSERT_EQ (result.exitCode, 0) << result.errors;
    EXPECT_EQ (TemporaryFolder::entriesOf (folder.path ("out")), (std::vector<std::string> { "a.flac", "b.flac", "c.flac" }));
    EXPECT_EQ (readSoundFile (folder.path ("out/b.flac")).info.format, SF_FORMAT_FLAC | SF_FORMAT_PCM_24);
}

TEST (Batch, ExistingOutputStopsTheRunUnlessOverwriteIsGiven)
{
    TemporaryFolder folder;
    ::mkdir (folder.path ("out").c_str(), 0755);
    writeSoundFile (folder.path ("a.wav"), channelTones(), SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    writeSoundFile (folder.path ("b.wav"), channelTones(), SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    writeBytes (folder.path ("out/b.wav"), { 'o', 'l', 'd' });
    const std::vector<std::string> arguments { "--to", "ambix", "-d", folder.path ("out"), folder.path ("a.wav"), folder.path ("b.wav") };

    const auto refused = runConverter (arguments);
    EXPECT_EQ (refused.exitCode, 1);
    EXPECT_NE (refused.errors.find (folder.path ("out/b.wav") + ": exists already"), std::string::npos) << refused.errors;
    EXPECT_NE (refused.errors.find ("nothing was converted: give --overwrite"), std::string::npos) << refused.errors;
    EXPECT_EQ (TemporaryFolder::entriesOf (folder.path ("out")), std::vector<std::string> { "b.wav" });
    EXPECT_EQ (readBytes (folder.path ("out/b.wav")), (std::vector<std::uint8_t> { 'o', 'l', 'd' }));

    auto replacing = arguments;
    replacing.insert (replacing.begin(), "--overwrite");
    const auto replaced = runConverter (replacing);
    ASSERT_EQ (replaced.exitCode, 0) << replaced.errors;
    EXPECT_EQ (TemporaryFolder::entriesOf (folder.path ("out")), (std::vector<std::string> { "a.wav", "b.wav" }));
    EXPECT_EQ (readSoundFile (folder.path ("out/b.wav")).frames.size(), channelTones().size());
}

TEST (Batch, OutputNameAtTheFileSystemLimitIsConverted)
{
    // The hidden temporary file beside it must not need a longer name than the output's.
    TemporaryFolder folder;
    const auto longest = std::string (251, 'n') + ".wav";
    writeSoundFile (folder.path ("in.wav"), channelTones(), SF_FORMAT_WAV | SF_FORMAT_PCM_16);

    const auto result = runConverter ({ "--to", "ambix", "-o", folder.path (longest), folder.path ("in.wav") });
    ASSERT_EQ (result.exitCode, 0) << result.errors;
    EXPECT_EQ (folder.entries(), (std::vector<std::string> { "in.wav", longest }));

    const auto tooLong = runConverter ({ "--to", "ambix", "-o", folder.path ("n" + longest), folder.path ("in.wav") });
    EXPECT_EQ (tooLong.exitCode, 2);
    EXPECT_NE (tooLong.errors.find ("the name is too long for its file system (256 bytes; at most 255)"), std::string::npos)
        << tooLong.errors;
}

TEST (Batch, FailedWriteToStandardOutputFailsTheRun)
{
    TemporaryFolder folder;
    writeSoundFile (folder.path ("in.wav"), channelTones(), SF_FORMAT_WAV | SF_FORMAT_PCM_16);

    const auto result = runConverter ({ "--to", "ambix", "-o", folder.path ("out.wav"), folder.path ("in.wav") }, -1, "/dev/full");
    EXPECT_EQ (result.exitCode, 1);
    EXPECT_NE (result.errors.find ("standard output: write error: No space left on device"), std::string::npos) << result.errors;

    const auto help = runConverter ({ "--help" }, -1, "/dev/full");
    EXPECT_EQ (help.exitCode, 1);
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
