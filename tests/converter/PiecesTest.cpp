// Decisions the command line cannot reach cheaply: sizes over 4 GiB, header logs.
#include "ConverterTestSupport.h"

#include "converter/AmbisonicOrders.h"
#include "converter/CommandLine.h"
#include "converter/ConversionError.h"
#include "converter/ConversionPlan.h"
#include "converter/InputFile.h"
#include "converter/Metadata.h"
#include "converter/OutputFormat.h"
#include "converter/ProgressBar.h"
#include "converter/SampleKernel.h"
#include "converter/TemporaryOutput.h"

#include <gtest/gtest.h>

#include <sndfile.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstring>

using namespace ortholume::converter;

TEST (OutputFormatChoice, WavOverFourGibibytesBecomesRf64AndAmbKeepsItsMark)
{
    constexpr std::uint64_t framesOf5GiBIn24Bit = 5ull * 1024 * 1024 * 1024 / 12;

    const auto wav = chooseOutputFormat ("x.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_24, 4, Convention::ambix, 0, framesOf5GiBIn24Bit);
    EXPECT_EQ (wav.sndfileFormat, SF_FORMAT_RF64 | SF_FORMAT_PCM_24);
    EXPECT_TRUE (wav.promotedToRf64);
    EXPECT_TRUE (wav.rewriteRf64FormatChunk);
    EXPECT_FALSE (wav.bFormat);

    const auto amb = chooseOutputFormat ("x.amb", SF_FORMAT_WAV | SF_FORMAT_PCM_24, 4, Convention::fuma, 0, framesOf5GiBIn24Bit);
    EXPECT_EQ (amb.sndfileFormat, SF_FORMAT_RF64 | SF_FORMAT_PCM_24);
    EXPECT_TRUE (amb.bFormat);

    EXPECT_THROW (chooseOutputFormat ("x.aiff", SF_FORMAT_WAV | SF_FORMAT_PCM_24, 4, Convention::ambix, 0, framesOf5GiBIn24Bit),
                  ConversionError);
}

TEST (OutputFormatChoice, WavJustUnderTheLimitStaysWav)
{
    const std::uint64_t frames = largestClassicFileAudioBytes / 12;
    const auto wav = chooseOutputFormat ("x.WAV", SF_FORMAT_WAV | SF_FORMAT_PCM_24, 4, Convention::ambix, 0, frames);
    EXPECT_EQ (wav.sndfileFormat, SF_FORMAT_WAV | SF_FORMAT_PCM_24);
    EXPECT_FALSE (wav.rewriteRf64FormatChunk);
}

TEST (OutputFormatChoice, KeepsTheInputSampleFormatAcrossContainers)
{
    // Big-endian AIFF input, little-endian WAV output: only the sample format carries over.
    EXPECT_EQ (chooseOutputFormat ("x.wav", SF_FORMAT_AIFF | SF_FORMAT_PCM_16 | SF_ENDIAN_BIG, 4, Convention::ambix, 0, 10).sndfileFormat,
               SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    // WAV holds 8-bit samples unsigned, AIFF signed.
    EXPECT_EQ (chooseOutputFormat ("x.wav", SF_FORMAT_AIFF | SF_FORMAT_PCM_S8, 4, Convention::ambix, 0, 10).sndfileFormat,
               SF_FORMAT_WAV | SF_FORMAT_PCM_U8);
    EXPECT_EQ (chooseOutputFormat ("x.caf", SF_FORMAT_WAV | SF_FORMAT_PCM_24, 4, Convention::ambix, SF_FORMAT_FLOAT, 10).sndfileFormat,
               SF_FORMAT_CAF | SF_FORMAT_FLOAT);
}

TEST (OutputFormatChoice, FloatWavIsExtensibleWithItsSpeakerMaskCleared)
{
    const auto wav = chooseOutputFormat ("x.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 4, Convention::ambix, SF_FORMAT_FLOAT, 10);
    EXPECT_EQ (wav.sndfileFormat, SF_FORMAT_WAVEX | SF_FORMAT_FLOAT);
    EXPECT_TRUE (wav.rewriteRf64FormatChunk);
    EXPECT_FALSE (wav.bFormat);

    // A .amb is marked by libsndfile itself, with no mask; integer WAV keeps the plain chunk.
    EXPECT_FALSE (chooseOutputFormat ("x.amb", SF_FORMAT_WAV | SF_FORMAT_DOUBLE, 4, Convention::fuma, 0, 10).rewriteRf64FormatChunk);
    EXPECT_EQ (chooseOutputFormat ("x.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_24, 4, Convention::ambix, 0, 10).sndfileFormat,
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
    ortholume::testing::TemporaryFolder folder;
    ::mkdir (folder.path ("out").c_str(), 0755);
    ortholume::testing::writeSoundFile (folder.path ("a.wav"), std::vector<ortholume::testing::Frame> (1000), SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    ortholume::testing::writeSoundFile (folder.path ("b.flac"), std::vector<ortholume::testing::Frame> (3000), SF_FORMAT_FLAC | SF_FORMAT_PCM_16);

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
    EXPECT_EQ (options.outputSubtype, 0);

    EXPECT_EQ (parseCommandLine ({ "--to=fuma", "--bits=double", "-o", "out.wav", "in.wav" }).outputSubtype, SF_FORMAT_DOUBLE);
    EXPECT_EQ (parseCommandLine ({ "--to=fuma", "-b", "16", "-o", "out.wav", "in.wav" }).outputSubtype, SF_FORMAT_PCM_16);
    EXPECT_EQ (parseCommandLine ({ "--to=fuma", "--float", "-o", "out.wav", "in.wav" }).outputSubtype, SF_FORMAT_FLOAT);
}

namespace
{
/** One sample in a raw block, written and read by the file formats' rules, independently of the kernel. */
void storeRawSample (unsigned char* p, const SampleCoding& coding, double value)
{
    const int bytes = coding.bytes();
    std::uint64_t bits = 0;

    if (coding.type == SampleType::f32)
    {
        const auto single = (float) value;
        std::uint32_t word;
        std::memcpy (&word, &single, sizeof (word));
        bits = word;
    }
    else
    {
        bits = (std::uint64_t) (std::int64_t) value + (coding.type == SampleType::u8 ? 128u : 0u);
    }

    for (int b = 0; b < bytes; ++b)
        p[coding.bigEndian ? bytes - 1 - b : b] = (unsigned char) (bits >> (8 * b));
}

double loadRawSample (const unsigned char* p, const SampleCoding& coding)
{
    const int bytes = coding.bytes();
    std::uint64_t bits = 0;

    for (int b = 0; b < bytes; ++b)
        bits |= (std::uint64_t) p[coding.bigEndian ? bytes - 1 - b : b] << (8 * b);

    if (coding.type == SampleType::f32)
    {
        float single;
        const auto word = (std::uint32_t) bits;
        std::memcpy (&single, &word, sizeof (single));
        return single;
    }

    if (coding.type == SampleType::u8)
        return (double) bits - 128.0;

    const int unused = 64 - 8 * bytes;
    return (double) ((std::int64_t) (bits << unused) >> unused);
}
} // namespace

TEST (SampleKernelTables, AnyChannelCountAndCodingPermutesAndScalesByTable)
{
    struct Case
    {
        int format; // PCM subtype
        bool bigEndian;
        int numChannels;
    };

    // First order at every depth in both byte orders (whole frames move in one
    // shuffle there), and nine channels, as a second-order conversion has.
    const Case cases[] = { { SF_FORMAT_PCM_U8, false, 4 }, { SF_FORMAT_PCM_S8, false, 4 }, { SF_FORMAT_PCM_16, false, 4 }, { SF_FORMAT_PCM_16, true, 4 }, { SF_FORMAT_PCM_24, false, 4 }, { SF_FORMAT_PCM_24, true, 4 }, { SF_FORMAT_PCM_32, false, 4 }, { SF_FORMAT_PCM_32, true, 4 }, { SF_FORMAT_FLOAT, false, 4 }, { SF_FORMAT_FLOAT, true, 4 }, { SF_FORMAT_PCM_24, false, 9 } };

    for (const auto& test : cases)
    {
        const auto coding = *rawSampleCoding (SF_FORMAT_WAV | test.format, test.bigEndian);
        const int numChannels = test.numChannels, frameBytes = numChannels * coding.bytes();
        SCOPED_TRACE (std::to_string (coding.bytes()) + " bytes, " + (test.bigEndian ? "big" : "little") + "-endian, "
                      + std::to_string (numChannels) + " channels");

        // Four channels shuffled, one scaled from another place; nine reversed, some scaled.
        ChannelMap map;
        const double factors[] = { 1.0, std::sqrt (3.0) / 2.0, 1.0, std::sqrt (32.0 / 45.0), 1.0, -1.0, 1.0, 2.0, 1.0 };

        if (numChannels == 4)
            map = { { 3, 2, 0, 1 }, { 1.0, std::sqrt (2.0), 1.0, 1.0 } };
        else
            for (int c = 0; c < numChannels; ++c)
                map.source.push_back (numChannels - 1 - c), map.factor.push_back (factors[c]);

        // More than one of the kernel's chunks, and a tail shorter than any vector of frames.
        constexpr int numFrames = 301;
        const bool isFloat = coding.type == SampleType::f32;
        const double fullScale = isFloat ? 1.0 : std::ldexp (1.0, 8 * coding.bytes() - 1);
        // Every channel's NaN comes after its infinity, in the same vector lane: it must not wipe it from the peak.
        const double specials[] = { std::nan (""), HUGE_VAL, -0.0, std::nan (""), 1.0e-40, -3.0 };
        auto sampleOf = [&] (int frame, int channel) {
            const auto step = (double) ((frame * 7919 + channel * 104729) % 65536) / 65536.0; // 0 to 1
            if (isFloat)
                return (double) (float) (frame % 50 == channel ? specials[(frame / 50) % 6] : 4.0 * step - 2.0);
            return frame == channel ? (frame % 2 == 0 ? -fullScale : fullScale - 1) : std::floor (2.0 * fullScale * step - fullScale);
        };

        std::vector<unsigned char> input ((size_t) (numFrames * frameBytes)), output (input.size());

        for (int i = 0; i < numFrames; ++i)
            for (int c = 0; c < numChannels; ++c)
                storeRawSample (input.data() + i * frameBytes + c * coding.bytes(), coding, sampleOf (i, c));

        // Whole frames in vector registers (where the processor has them) and channel by channel, alike.
        for (const auto path : { SampleKernel::Path::fastest, SampleKernel::Path::columns })
        {
            SCOPED_TRACE (path == SampleKernel::Path::fastest ? "fastest" : "columns");
            const SampleKernel kernel (map, coding, coding, path);
            ASSERT_EQ (kernel.inputFrameBytes(), frameBytes);

            KernelStats stats;
            kernel.convert (input.data(), output.data(), numFrames, stats);
            std::uint64_t clipped = 0;
            std::vector<double> peaks ((size_t) numChannels, 0.0);

            for (int i = 0; i < numFrames; ++i)
            {
                for (int c = 0; c < numChannels; ++c)
                {
                    const auto in = sampleOf (i, map.source[(size_t) c]);
                    const auto factor = map.factor[(size_t) c];
                    const auto* const got = output.data() + i * frameBytes + c * coding.bytes();
                    const auto* const from = input.data() + i * frameBytes + map.source[(size_t) c] * coding.bytes();

                    if (! std::isnan (in))
                        peaks[(size_t) c] = std::max (peaks[(size_t) c], std::abs (in * factor) / fullScale);

                    if (factor == 1.0)
                    {
                        ASSERT_EQ (std::memcmp (got, from, (size_t) coding.bytes()), 0) << "frame " << i << ", channel " << c;
                    }
                    else if (isFloat)
                    {
                        const auto expected = (float) (in * factor);
                        ASSERT_TRUE (std::isnan (expected) ? std::isnan (loadRawSample (got, coding)) : loadRawSample (got, coding) == expected)
                            << "frame " << i << ", channel " << c;
                    }
                    else
                    {
                        const auto exact = std::nearbyint (in * factor);
                        clipped += exact > fullScale - 1 || exact < -fullScale ? 1 : 0;
                        ASSERT_EQ (loadRawSample (got, coding), std::clamp (exact, -fullScale, fullScale - 1))
                            << "frame " << i << ", channel " << c;
                    }
                }
            }

            EXPECT_EQ (stats.clippedSamples, clipped);
            EXPECT_EQ (clipped > 0, ! isFloat);
            ASSERT_EQ (stats.peaks.size(), (size_t) numChannels);

            // Measured before clipping, so a channel scaled past full scale shows it.
            for (int c = 0; c < numChannels; ++c)
                EXPECT_DOUBLE_EQ (stats.peaks[(size_t) c], peaks[(size_t) c]) << "channel " << c;
        }
    }
}

TEST (ProgressLine, ShowsTheShareDoneAndFiles)
{
    EXPECT_EQ (ProgressBar::render (50, 100, 1, 2), "[###############...............]  50%  1/2 files");
    EXPECT_EQ (ProgressBar::render (0, 0, 0, 1), "[..............................]   0%  0/1 file");
    EXPECT_EQ (ProgressBar::render (100, 100, 1, 1), "[##############################] 100%  1/1 file");
}

TEST (Metadata, TagsAndTimecodeReachEveryFormatThatHoldsThem)
{
    ortholume::testing::TemporaryFolder folder;
    const std::vector<short> silence (400);
    const std::vector<std::pair<int, std::string>> tags {
        { SF_STR_TITLE, "Dawn chorus" }, { SF_STR_ARTIST, "Field team" }, { SF_STR_COMMENT, "first-order mic" }, { SF_STR_DATE, "2021-05-02" }
    };
    constexpr std::uint32_t oneHourAt48k = 48000u * 3600u;
    const std::string history = "A=PCM,F=48000,W=24,M=quad,T=field recorder\r\n";

    {
        SF_INFO info { 0, 48000, 4, SF_FORMAT_WAV | SF_FORMAT_PCM_24, 0, 0 };
        SNDFILE* file = sf_open (folder.path ("source.wav").c_str(), SFM_WRITE, &info);
        SF_BROADCAST_INFO_VAR (256)
        bext {};
        std::strcpy (bext.description, "take 12");
        bext.time_reference_low = oneHourAt48k;
        bext.coding_history_size = (std::uint32_t) history.size();
        std::memcpy (bext.coding_history, history.data(), history.size());
        ASSERT_EQ (sf_command (file, SFC_SET_BROADCAST_INFO, &bext, (int) sizeof (bext)), SF_TRUE);

        for (const auto& [type, text] : tags)
            sf_set_string (file, type, text.c_str());

        sf_writef_short (file, silence.data(), 100);
        sf_close (file);
    }

    auto read = [] (const std::string& path) {
        SF_INFO info {};
        SNDFILE* file = sf_open (path.c_str(), SFM_READ, &info);
        auto metadata = readMetadata (file);
        sf_close (file);
        return metadata;
    };

    const auto source = read (folder.path ("source.wav"));
    ASSERT_EQ (source.strings, tags);
    ASSERT_TRUE (source.hasBroadcastInfo);

    struct Case
    {
        const char* name;
        int format;
        std::vector<std::string> leftOut;
    };

    const Case cases[] = {
        { "out.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, {} },
        { "out.rf64", SF_FORMAT_RF64 | SF_FORMAT_PCM_24, {} },
        { "out.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, { "bext" } },
        { "out.w64", SF_FORMAT_W64 | SF_FORMAT_PCM_16, { "bext", "title", "artist", "comment", "date" } },
    };

    for (const auto& test : cases)
    {
        SF_INFO info { 0, 48000, 4, test.format, 0, 0 };
        SNDFILE* file = sf_open (folder.path (test.name).c_str(), SFM_WRITE, &info);
        ASSERT_NE (file, nullptr) << test.name;
        EXPECT_EQ (writeMetadata (file, source), test.leftOut) << test.name;
        sf_writef_short (file, silence.data(), 100);
        sf_close (file);

        const auto copy = read (folder.path (test.name));
        EXPECT_EQ (copy.strings.size(), test.leftOut.size() > 1 ? 0u : tags.size()) << test.name;
        EXPECT_EQ (copy.hasBroadcastInfo, test.leftOut.empty()) << test.name;

        if (copy.hasBroadcastInfo)
        {
            EXPECT_STREQ (copy.broadcastInfo.description, "take 12") << test.name;
            EXPECT_EQ (copy.broadcastInfo.time_reference_low, oneHourAt48k) << test.name;
            // libsndfile adds a line of its own to the history, as each step of processing should.
            EXPECT_EQ (std::string (copy.broadcastInfo.coding_history, copy.broadcastInfo.coding_history_size).rfind (history, 0), 0u)
                << test.name;
        }
    }

    // Through the converter, into headers it corrects afterwards (RF64, a marked
    // .amb), and into FLAC, which has no room for bext: said so, and converted.
    const std::pair<std::vector<std::string>, std::string> conversions[] = {
        { { "--to", "ambix", "-o", folder.path ("converted.rf64") }, "" },
        { { "--to", "fuma", "-o", folder.path ("converted.amb") }, "" },
        { { "--to", "ambix", "-o", folder.path ("converted.flac") },
          folder.path ("converted.flac") + ": FLAC cannot hold the input's bext; left out\n" },
        { { "--to", "ambix", "-o", folder.path ("converted.aiff") },
          folder.path ("converted.aiff") + ": AIFF cannot hold the input's bext, date; left out\n" },
    };

    for (auto [arguments, warning] : conversions)
    {
        const auto output = arguments.back();
        arguments.push_back (folder.path ("source.wav"));
        const auto result = ortholume::testing::runConverter (arguments);
        ASSERT_EQ (result.exitCode, 0) << result.errors;
        EXPECT_EQ (result.errors, warning.empty() ? std::string() : "ortholume-convert: " + warning) << output;

        const auto copy = read (output);
        EXPECT_EQ (copy.strings.size(), warning.find ("date") == std::string::npos ? tags.size() : tags.size() - 1) << output;
        EXPECT_EQ (std::vector (copy.strings.begin(), copy.strings.begin() + 3), std::vector (tags.begin(), tags.begin() + 3)) << output;
        EXPECT_EQ (copy.hasBroadcastInfo, warning.empty()) << output;
        EXPECT_EQ (copy.broadcastInfo.time_reference_low, warning.empty() ? oneHourAt48k : 0u) << output;
    }

    EXPECT_EQ (ortholume::testing::waveChannelMask (folder.path ("converted.rf64")), 0);
    EXPECT_EQ (ortholume::testing::readSoundFile (folder.path ("converted.amb")).bFormat, true);
}

TEST (TemporaryOutputCommit, NeverReplacesAFileThatAppearedMeanwhileUnlessAllowed)
{
    // The batch checks for existing outputs before it starts; this is the file
    // that another program writes while the conversion runs.
    ortholume::testing::TemporaryFolder folder;
    const auto target = folder.path ("out.wav");
    const std::vector<std::uint8_t> theirs { 't', 'h', 'e', 'i', 'r', 's' };

    TemporaryOutput::setReplacesExisting (false);
    {
        TemporaryOutput output (target);
        ortholume::testing::writeBytes (target, theirs);
        EXPECT_THROW (output.commit(), ConversionError);
    }
    EXPECT_EQ (ortholume::testing::readBytes (target), theirs);
    EXPECT_EQ (folder.entries(), std::vector<std::string> { "out.wav" });

    TemporaryOutput::setReplacesExisting (true);
    {
        TemporaryOutput output (target);
        output.commit();
    }
    EXPECT_TRUE (ortholume::testing::readBytes (target).empty());
}

TEST (ConversionTable, TurnsPlaneWavesOfEachOrderIntoTheOtherConventionBothWays)
{
    using ortholume::testing::encodeUpTo;
    using ortholume::testing::Encoding;
    constexpr double degrees = 3.14159265358979323846 / 180.0;
    const std::pair<double, double> directions[] = { { 0, 0 }, { 90, 0 }, { -135, 30 }, { 45, -60 }, { 10, 90 }, { 200, 17 } };

    auto apply = [] (const std::vector<ChannelSource>& table, const std::vector<double>& input) {
        std::vector<double> output;

        for (const auto& source : table)
            output.push_back (source.divides ? input[(size_t) source.inputChannel] / source.weight
                                             : input[(size_t) source.inputChannel] * source.weight);

        return output;
    };

    for (int order = 1; order <= 3; ++order)
    {
        for (const auto& [azimuth, elevation] : directions)
        {
            const auto fuma = encodeUpTo (order, Encoding::fuma, azimuth * degrees, elevation * degrees);
            const auto ambix = encodeUpTo (order, Encoding::ambix, azimuth * degrees, elevation * degrees);
            const auto toAmbix = apply (conversionTable (Convention::ambix, order), fuma);
            const auto toFuma = apply (conversionTable (Convention::fuma, order), ambix);
            ASSERT_EQ (toAmbix.size(), ambix.size());
            ASSERT_EQ (toFuma.size(), fuma.size());

            for (size_t c = 0; c < ambix.size(); ++c)
            {
                EXPECT_NEAR (toAmbix[c], ambix[c], 1.0e-12) << "order " << order << ", ACN " << c << ", azimuth " << azimuth;
                EXPECT_NEAR (toFuma[c], fuma[c], 1.0e-12) << "order " << order << ", FuMa channel " << c << ", azimuth " << azimuth;
            }
        }
    }

    EXPECT_TRUE (conversionTable (Convention::ambix, 4).empty());
}
