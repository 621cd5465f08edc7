// Decisions the command line cannot reach cheaply: sizes over 4 GiB, header logs.
#include "ConverterTestSupport.h"

#include "converter/CommandLine.h"
#include "converter/ConversionError.h"
#include "converter/ConversionPlan.h"
#include "converter/InputFile.h"
#include "converter/OutputFormat.h"
#include "converter/ProgressBar.h"

#include <gtest/gtest.h>

#include <sndfile.h>
#include <sys/stat.h>

using namespace ortholume::converter;

TEST (OutputFormatChoice, WavOverFourGibibytesBecomesRf64AndAmbKeepsItsMark)
{
    constexpr std::uint64_t framesOf5GiBIn24Bit = 5ull * 1024 * 1024 * 1024 / 12;

    const auto wav = chooseOutputFormat ("x.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_24, Convention::ambix, false, framesOf5GiBIn24Bit);
    EXPECT_EQ (wav.sndfileFormat, SF_FORMAT_RF64 | SF_FORMAT_PCM_24);
    EXPECT_TRUE (wav.promotedToRf64);
    EXPECT_TRUE (wav.rewriteRf64FormatChunk);
    EXPECT_FALSE (wav.bFormat);

    const auto amb = chooseOutputFormat ("x.amb", SF_FORMAT_WAV | SF_FORMAT_PCM_24, Convention::fuma, false, framesOf5GiBIn24Bit);
    EXPECT_EQ (amb.sndfileFormat, SF_FORMAT_RF64 | SF_FORMAT_PCM_24);
    EXPECT_TRUE (amb.bFormat);

    EXPECT_THROW (chooseOutputFormat ("x.aiff", SF_FORMAT_WAV | SF_FORMAT_PCM_24, Convention::ambix, false, framesOf5GiBIn24Bit),
                  ConversionError);
}

TEST (OutputFormatChoice, WavJustUnderTheLimitStaysWav)
{
    const std::uint64_t frames = largestClassicFileAudioBytes / 12;
    const auto wav = chooseOutputFormat ("x.WAV", SF_FORMAT_WAV | SF_FORMAT_PCM_24, Convention::ambix, false, frames);
    EXPECT_EQ (wav.sndfileFormat, SF_FORMAT_WAV | SF_FORMAT_PCM_24);
    EXPECT_FALSE (wav.rewriteRf64FormatChunk);
}

TEST (OutputFormatChoice, KeepsTheInputSampleFormatAcrossContainers)
{
    // Big-endian AIFF input, little-endian WAV output: only the sample format carries over.
    EXPECT_EQ (chooseOutputFormat ("x.wav", SF_FORMAT_AIFF | SF_FORMAT_PCM_16 | SF_ENDIAN_BIG, Convention::ambix, false, 10).sndfileFormat,
               SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    // WAV holds 8-bit samples unsigned, AIFF signed.
    EXPECT_EQ (chooseOutputFormat ("x.wav", SF_FORMAT_AIFF | SF_FORMAT_PCM_S8, Convention::ambix, false, 10).sndfileFormat,
               SF_FORMAT_WAV | SF_FORMAT_PCM_U8);
    EXPECT_EQ (chooseOutputFormat ("x.caf", SF_FORMAT_WAV | SF_FORMAT_PCM_24, Convention::ambix, true, 10).sndfileFormat,
               SF_FORMAT_CAF | SF_FORMAT_FLOAT);
}

TEST (OutputFormatChoice, FloatWavIsExtensibleWithItsSpeakerMaskCleared)
{
    const auto wav = chooseOutputFormat ("x.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, Convention::ambix, true, 10);
    EXPECT_EQ (wav.sndfileFormat, SF_FORMAT_WAVEX | SF_FORMAT_FLOAT);
    EXPECT_TRUE (wav.rewriteRf64FormatChunk);
    EXPECT_FALSE (wav.bFormat);

    // A .amb is marked by libsndfile itself, with no mask; integer WAV keeps the plain chunk.
    EXPECT_FALSE (chooseOutputFormat ("x.amb", SF_FORMAT_WAV | SF_FORMAT_DOUBLE, Convention::fuma, false, 10).rewriteRf64FormatChunk);
    EXPECT_EQ (chooseOutputFormat ("x.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_24, Convention::ambix, false, 10).sndfileFormat,
               SF_FORMAT_WAV | SF_FORMAT_PCM_24);
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

TEST (BatchNames, FormatReplacesTheExtension)
{
    EXPECT_EQ (batchOutputPath ("out", "rec/take.amb", true, "flac"), "out/take.flac");
    EXPECT_EQ (batchOutputPath ("out", "rec/take.v2.WAV", false, "caf"), "out/take.v2.caf");
    EXPECT_EQ (batchOutputPath ("out", "a.b/take", true, "w64"), "out/take.w64");
}

TEST (BatchPlan, CountsTheFramesOfEveryHeaderBeforeAnyConversion)
{
    // So that the progress bar measures the whole batch from the start.
    converter_testing::TemporaryFolder folder;
    ::mkdir (folder.path ("out").c_str(), 0755);
    converter_testing::writeSoundFile (folder.path ("a.wav"), std::vector<converter_testing::Frame> (1000), SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    converter_testing::writeSoundFile (folder.path ("b.flac"), std::vector<converter_testing::Frame> (3000), SF_FORMAT_FLAC | SF_FORMAT_PCM_16);

    const auto plan = planConversions (parseCommandLine (
        { "--to", "ambix", "-d", folder.path ("out"), folder.path ("a.wav"), folder.path ("b.flac"), folder.path ("absent.wav") }));

    EXPECT_EQ (plan.totalFrames, 4000u);
    ASSERT_EQ (plan.conversions.size(), 3u);
    EXPECT_EQ (plan.conversions[0].numFrames, 1000u);
    EXPECT_EQ (plan.conversions[1].request.outputPath, folder.path ("out/b.flac"));
    EXPECT_EQ (plan.conversions[2].numFrames, 0u); // its conversion reports the missing file
    EXPECT_TRUE (plan.existingOutputs.empty());
}

TEST (CommandLineParsing, AcceptsAttachedValuesAndInputsAfterDoubleDash)
{
    const auto options = parseCommandLine ({ "--to=fuma", "--gain=-3.5", "-j", "2", "-o", "out.wav", "--", "-odd.wav" });
    EXPECT_EQ (options.target, Convention::fuma);
    EXPECT_FLOAT_EQ (*options.gainDecibels, -3.5f);
    EXPECT_EQ (options.jobs, 2);
    EXPECT_EQ (options.inputs, std::vector<std::string> { "-odd.wav" });
}

TEST (ProgressLine, ShowsTheShareDoneAndFiles)
{
    EXPECT_EQ (ProgressBar::render (50, 100, 1, 2), "[###############...............]  50%  1/2 files");
    EXPECT_EQ (ProgressBar::render (0, 0, 0, 1), "[..............................]   0%  0/1 file");
    EXPECT_EQ (ProgressBar::render (100, 100, 1, 1), "[##############################] 100%  1/1 file");
}
