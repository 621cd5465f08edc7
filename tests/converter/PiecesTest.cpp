// Decisions the command line cannot reach cheaply: sizes over 4 GiB, header logs.
#include "converter/CommandLine.h"
#include "converter/ConversionError.h"
#include "converter/InputFile.h"
#include "converter/OutputFormat.h"
#include "converter/ProgressBar.h"
#include "converter/SampleKernel.h"

#include <gtest/gtest.h>

#include <sndfile.h>

#include <algorithm>
#include <cmath>

using namespace ortholume::converter;

TEST (OutputFormatChoice, WavOverFourGibibytesBecomesRf64AndAmbKeepsItsMark)
{
    constexpr std::uint64_t framesOf5GiBIn24Bit = 5ull * 1024 * 1024 * 1024 / 12;

    const auto wav = chooseOutputFormat ("x.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_24, Convention::ambix, 0, framesOf5GiBIn24Bit);
    EXPECT_EQ (wav.sndfileFormat, SF_FORMAT_RF64 | SF_FORMAT_PCM_24);
    EXPECT_TRUE (wav.promotedToRf64);
    EXPECT_TRUE (wav.rewriteRf64FormatChunk);
    EXPECT_FALSE (wav.bFormat);

    const auto amb = chooseOutputFormat ("x.amb", SF_FORMAT_WAV | SF_FORMAT_PCM_24, Convention::fuma, 0, framesOf5GiBIn24Bit);
    EXPECT_EQ (amb.sndfileFormat, SF_FORMAT_RF64 | SF_FORMAT_PCM_24);
    EXPECT_TRUE (amb.bFormat);

    EXPECT_THROW (chooseOutputFormat ("x.aiff", SF_FORMAT_WAV | SF_FORMAT_PCM_24, Convention::ambix, 0, framesOf5GiBIn24Bit),
                  ConversionError);
}

TEST (OutputFormatChoice, WavJustUnderTheLimitStaysWav)
{
    const std::uint64_t frames = largestClassicFileAudioBytes / 12;
    const auto wav = chooseOutputFormat ("x.WAV", SF_FORMAT_WAV | SF_FORMAT_PCM_24, Convention::ambix, 0, frames);
    EXPECT_EQ (wav.sndfileFormat, SF_FORMAT_WAV | SF_FORMAT_PCM_24);
    EXPECT_FALSE (wav.rewriteRf64FormatChunk);
}

TEST (OutputFormatChoice, KeepsTheInputSampleFormatAcrossContainers)
{
    // Big-endian AIFF input, little-endian WAV output: only the sample format carries over.
    EXPECT_EQ (chooseOutputFormat ("x.wav", SF_FORMAT_AIFF | SF_FORMAT_PCM_16 | SF_ENDIAN_BIG, Convention::ambix, 0, 10).sndfileFormat,
               SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    // WAV holds 8-bit samples unsigned, AIFF signed.
    EXPECT_EQ (chooseOutputFormat ("x.wav", SF_FORMAT_AIFF | SF_FORMAT_PCM_S8, Convention::ambix, 0, 10).sndfileFormat,
               SF_FORMAT_WAV | SF_FORMAT_PCM_U8);
    EXPECT_EQ (chooseOutputFormat ("x.caf", SF_FORMAT_WAV | SF_FORMAT_PCM_24, Convention::ambix, SF_FORMAT_FLOAT, 10).sndfileFormat,
               SF_FORMAT_CAF | SF_FORMAT_FLOAT);
}

TEST (TruncationLog, DeclaredSizesLargerThanTheFileAreTruncation)
{
    EXPECT_TRUE (headerLogShowsTruncation ("RIFF : 836 (should be 536)\nWAVE\ndata : 800 (should be 500)\n"));
    EXPECT_TRUE (headerLogShowsTruncation (" SSND : 8008 (should be 7008)\n"));
    // Extra bytes after the audio are not missing audio.
    EXPECT_FALSE (headerLogShowsTruncation ("RIFF : 536 (should be 836)\n"));
    EXPECT_FALSE (headerLogShowsTruncation ("fmt  : 16\ndata : 800\n"));
}

TEST (BatchNames, KeepTheNameExceptAmbGoingToAmbix)
{
    EXPECT_EQ (batchOutputPath ("out", "rec/take.amb", true), "out/take.wav");
    EXPECT_EQ (batchOutputPath ("out/", "take.AMB", true), "out/take.wav");
    EXPECT_EQ (batchOutputPath ("out", "rec/take.wav", false), "out/take.wav");
    EXPECT_EQ (batchOutputPath ("out", "a.b/take", true), "out/take");
}

TEST (CommandLineParsing, AcceptsAttachedValuesAndInputsAfterDoubleDash)
{
    const auto options = parseCommandLine ({ "--to=fuma", "--gain=-3.5", "-j", "2", "-o", "out.wav", "--", "-odd.wav" });
    EXPECT_EQ (options.target, Convention::fuma);
    EXPECT_FLOAT_EQ (*options.gainDecibels, -3.5f);
    EXPECT_EQ (options.jobs, 2);
    EXPECT_EQ (options.inputs, std::vector<std::string> { "-odd.wav" });
    EXPECT_EQ (options.outputSubtype, 0);

    EXPECT_EQ (parseCommandLine ({ "--to=fuma", "--bits=double", "-o", "out.wav", "in.wav" }).outputSubtype, SF_FORMAT_DOUBLE);
    EXPECT_EQ (parseCommandLine ({ "--to=fuma", "-b", "16", "-o", "out.wav", "in.wav" }).outputSubtype, SF_FORMAT_PCM_16);
    EXPECT_EQ (parseCommandLine ({ "--to=fuma", "--float", "-o", "out.wav", "in.wav" }).outputSubtype, SF_FORMAT_FLOAT);
}

TEST (SampleKernelTables, AnyChannelCountPermutesAndScalesByTable)
{
    // Nine channels, as a second-order conversion will have: reversed, some scaled.
    ChannelMap map;
    const double factors[] = { 1.0, std::sqrt (3.0) / 2.0, 1.0, std::sqrt (32.0 / 45.0), 1.0, -1.0, 1.0, 2.0, 1.0 };

    for (int c = 0; c < 9; ++c)
    {
        map.source.push_back (8 - c);
        map.factor.push_back (factors[c]);
    }

    const auto coding = *rawSampleCoding (SF_FORMAT_WAV | SF_FORMAT_PCM_24, false);
    const SampleKernel kernel (map, coding, coding);
    ASSERT_EQ (kernel.inputFrameBytes(), 27);

    constexpr int numFrames = 300; // more than one of the kernel's chunks
    std::vector<unsigned char> input ((size_t) numFrames * 27), output (input.size());
    auto sampleOf = [] (int frame, int channel) { return ((frame * 7919 + channel * 104729) % 16777216) - 8388608; };

    for (int i = 0; i < numFrames; ++i)
        for (int c = 0; c < 9; ++c)
            for (int b = 0; b < 3; ++b)
                input[(size_t) (i * 27 + c * 3 + b)] = (unsigned char) ((unsigned) sampleOf (i, c) >> (8 * b));

    KernelStats stats;
    kernel.convert (input.data(), output.data(), numFrames, stats);
    std::uint64_t clipped = 0;
    double peaks[9] {};

    for (int i = 0; i < numFrames; ++i)
    {
        for (int c = 0; c < 9; ++c)
        {
            peaks[c] = std::max (peaks[c], std::abs (sampleOf (i, 8 - c) * factors[c]) / 8388608.0);
            const auto* p = output.data() + i * 27 + c * 3;
            const int got = (int) ((std::uint32_t) (p[0] << 8 | p[1] << 16 | p[2] << 24)) >> 8;
            const auto exact = std::nearbyint (sampleOf (i, 8 - c) * factors[c]);
            clipped += exact > 8388607.0 || exact < -8388608.0 ? 1 : 0;
            ASSERT_EQ (got, (int) std::clamp (exact, -8388608.0, 8388607.0)) << "frame " << i << ", channel " << c;
        }
    }

    EXPECT_GT (clipped, 0u);
    EXPECT_EQ (stats.clippedSamples, clipped);
    ASSERT_EQ (stats.peaks.size(), 9u);

    // Measured before clipping, so a channel doubled past full scale shows it.
    for (int c = 0; c < 9; ++c)
        EXPECT_NEAR (stats.peaks[(size_t) c], peaks[c], 1.0e-12) << "channel " << c;
}

TEST (ProgressLine, ShowsTheShareDoneAndFiles)
{
    EXPECT_EQ (ProgressBar::render (50, 100, 1, 2), "[###############...............]  50%  1/2 files");
    EXPECT_EQ (ProgressBar::render (0, 0, 0, 1), "[..............................]   0%  0/1 file");
    EXPECT_EQ (ProgressBar::render (100, 100, 1, 1), "[##############################] 100%  1/1 file");
}
