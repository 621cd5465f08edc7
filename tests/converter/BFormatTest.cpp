// The B-format (.amb) mark: read on input, written on FuMa output to a .amb name only.
#include "ConverterTestSupport.h"

#include "converter/ConversionError.h"
#include "converter/Rf64FormatChunk.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

using namespace ortholume::testing;

namespace
{
const std::vector<Frame> fumaFrames (64, Frame { 0.5f, 0.25f, -0.25f, 0.125f });
} // namespace

TEST (BFormat, MarkedInputIsFumaAndGoesToAPlainAmbixFileWithoutTo)
{
    TemporaryFolder folder;
    writeSoundFile (folder.path ("in.amb"), fumaFrames, SF_FORMAT_WAVEX | SF_FORMAT_PCM_24, 48000, true);
    ASSERT_TRUE (readSoundFile (folder.path ("in.amb")).bFormat);

    const auto result = runConverter ({ "-o", folder.path ("out.wav"), folder.path ("in.amb") });
    ASSERT_EQ (result.exitCode, 0) << result.errors;

    const auto out = readSoundFile (folder.path ("out.wav"));
    EXPECT_FALSE (out.bFormat);
    EXPECT_EQ (out.info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_24); // plain WAVE_FORMAT_PCM: no speaker layout
    EXPECT_EQ (waveChannelMask (folder.path ("out.wav")), -1);
    EXPECT_EQ (out.integerFrames[10][1], -0x20000000); // AmbiX Y is FuMa Y (-0.25)
    EXPECT_EQ (out.integerFrames[10][3], 0x20000000); // AmbiX X is FuMa X (0.25)
}

TEST (BFormat, MarkedInputCannotBeConvertedAsAmbix)
{
    TemporaryFolder folder;
    writeSoundFile (folder.path ("in.amb"), fumaFrames, SF_FORMAT_WAVEX | SF_FORMAT_FLOAT, 48000, true);
    const auto result = runConverter ({ "--to", "fuma", "-o", folder.path ("out.wav"), folder.path ("in.amb") });
    EXPECT_EQ (result.exitCode, 2);
    EXPECT_NE (result.errors.find (folder.path ("in.amb") + ": is marked as B-format"), std::string::npos) << result.errors;
    EXPECT_EQ (folder.entries(), std::vector<std::string> { "in.amb" });
}

TEST (BFormat, UnmarkedInputNeedsADirection)
{
    TemporaryFolder folder;
    writeSoundFile (folder.path ("in.wav"), fumaFrames, SF_FORMAT_WAVEX | SF_FORMAT_FLOAT);
    const auto result = runConverter ({ "-o", folder.path ("out.wav"), folder.path ("in.wav") });
    EXPECT_EQ (result.exitCode, 2);
    EXPECT_NE (result.errors.find ("give --to ambix or --to fuma"), std::string::npos) << result.errors;
    EXPECT_EQ (folder.entries(), std::vector<std::string> { "in.wav" });
}

TEST (BFormat, FumaOutputToAnAmbNameIsMarked)
{
    TemporaryFolder folder;
    writeSoundFile (folder.path ("in.wav"), fumaFrames, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    const auto result = runConverter ({ "--to", "fuma", "-o", folder.path ("out.amb"), folder.path ("in.wav") });
    ASSERT_EQ (result.exitCode, 0) << result.errors;

    const auto out = readSoundFile (folder.path ("out.amb"));
    EXPECT_TRUE (out.bFormat);
    EXPECT_EQ (out.info.format, SF_FORMAT_WAVEX | SF_FORMAT_FLOAT);
    EXPECT_EQ (waveChannelMask (folder.path ("out.amb")), 0);

    // And it reads back as FuMa: no --to needed to return to AmbiX.
    const auto back = runConverter ({ "-o", folder.path ("back.wav"), folder.path ("out.amb") });
    ASSERT_EQ (back.exitCode, 0) << back.errors;
    // The input was taken as AmbiX, so the way back returns it: Y, Z, X exactly, W to rounding.
    const auto returned = readSoundFile (folder.path ("back.wav")).frames[5];
    EXPECT_FLOAT_EQ (returned[0], fumaFrames[5][0]);
    EXPECT_EQ (returned[1], fumaFrames[5][1]);
    EXPECT_EQ (returned[2], fumaFrames[5][2]);
    EXPECT_EQ (returned[3], fumaFrames[5][3]);
}

TEST (BFormat, FumaOutputToAPlainNameIsNotMarked)
{
    TemporaryFolder folder;
    writeSoundFile (folder.path ("in.wav"), fumaFrames, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    ASSERT_EQ (runConverter ({ "--to", "fuma", "-o", folder.path ("out.wav"), folder.path ("in.wav") }).exitCode, 0);
    EXPECT_FALSE (readSoundFile (folder.path ("out.wav")).bFormat);
}

TEST (BFormat, AmbixOutputToAnAmbNameIsRefused)
{
    TemporaryFolder folder;
    writeSoundFile (folder.path ("in.wav"), fumaFrames, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    const auto result = runConverter ({ "--to", "ambix", "-o", folder.path ("out.amb"), folder.path ("in.wav") });
    EXPECT_EQ (result.exitCode, 2);
    EXPECT_NE (result.errors.find (folder.path ("out.amb") + ": cannot be written as AmbiX to a .amb name"), std::string::npos)
        << result.errors;
    EXPECT_EQ (folder.entries(), std::vector<std::string> { "in.wav" });
}

TEST (BFormat, BatchWritesAmbInputsAsWav)
{
    TemporaryFolder folder;
    ::mkdir (folder.path ("out").c_str(), 0755);
    writeSoundFile (folder.path ("take.amb"), fumaFrames, SF_FORMAT_WAVEX | SF_FORMAT_PCM_16, 48000, true);
    const auto result = runConverter ({ "--output-dir", folder.path ("out"), folder.path ("take.amb") });
    ASSERT_EQ (result.exitCode, 0) << result.errors;
    EXPECT_EQ (TemporaryFolder::entriesOf (folder.path ("out")), std::vector<std::string> { "take.wav" });
}

TEST (BFormat, Rf64OutputCarriesNoSpeakerLayout)
{
    TemporaryFolder folder;
    writeSoundFile (folder.path ("in.wav"), fumaFrames, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    ASSERT_EQ (runConverter ({ "--to", "ambix", "-o", folder.path ("out.rf64"), folder.path ("in.wav") }).exitCode, 0);

    const auto out = readSoundFile (folder.path ("out.rf64"));
    EXPECT_EQ (out.info.format, SF_FORMAT_RF64 | SF_FORMAT_PCM_16);
    EXPECT_FALSE (out.bFormat);
    EXPECT_EQ (waveChannelMask (folder.path ("out.rf64")), 0); // libsndfile alone writes Quad (0x33)
}

TEST (BFormat, FloatWavOutputHasAnExtensibleHeaderWithoutSpeakerMask)
{
    // The short plain format chunk is what readers warn about for float WAV.
    TemporaryFolder folder;
    writeSoundFile (folder.path ("in.wav"), fumaFrames, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    ASSERT_EQ (runConverter ({ "--to", "ambix", "--float", "-o", folder.path ("out.wav"), folder.path ("in.wav") }).exitCode, 0);

    const auto out = readSoundFile (folder.path ("out.wav"));
    EXPECT_EQ (out.info.format, SF_FORMAT_WAVEX | SF_FORMAT_FLOAT);
    EXPECT_FALSE (out.bFormat);
    EXPECT_EQ (waveChannelMask (folder.path ("out.wav")), 0);
    EXPECT_EQ (out.frames[3][3], 0.25f); // AmbiX X is FuMa X
}

TEST (BFormat, AmbixOutputShowsFfprobeNoSpeakerLayout)
{
    // A player that reads a layout such as "quad" decodes the channels as loudspeakers.
    // FLAC is not in the list: its format defines four channels as quad, and
    // FFmpeg rejects the mask of 0 that would say otherwise.
    if (std::system ("ffprobe -version > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "ffprobe (Debian's ffmpeg) is not installed";

    TemporaryFolder folder;
    writeSoundFile (folder.path ("in.wav"), fumaFrames, SF_FORMAT_WAV | SF_FORMAT_PCM_24);
    writeInterleaved (folder.path ("third.wav"), 16, std::vector<float> (16 * 64, 0.1f), SF_FORMAT_WAV | SF_FORMAT_PCM_24);

    // The input last: first and third order (FFmpeg knows sixteen-channel loudspeaker layouts too).
    const std::vector<std::vector<std::string>> outputs {
        { "out.wav", "in.wav" },
        { "--float", "float.wav", "in.wav" },
        { "out.w64", "in.wav" },
        { "out.rf64", "in.wav" },
        { "out.caf", "in.wav" },
        { "out.aiff", "in.wav" },
        { "16.wav", "third.wav" },
        { "--float", "16f.wav", "third.wav" },
        { "16.w64", "third.wav" },
        { "16.rf64", "third.wav" },
        { "16.caf", "third.wav" },
        { "16.aiff", "third.wav" },
    };

    for (const auto& output : outputs)
    {
        const auto& name = output[output.size() - 2];
        std::vector<std::string> arguments { "--to", "ambix" };
        arguments.insert (arguments.end(), output.begin(), output.end() - 2);
        arguments.insert (arguments.end(), { "-o", folder.path (name), folder.path (output.back()) });
        ASSERT_EQ (runConverter (arguments).exitCode, 0) << name;

        const auto command = "ffprobe -v error -show_entries stream=channel_layout -of default=noprint_wrappers=1 '"
                             + folder.path (name) + "'";
        std::string shown;

        if (auto* pipe = ::popen (command.c_str(), "r"))
        {
            char text[256];

            while (std::fgets (text, sizeof (text), pipe) != nullptr)
                shown += text;

            EXPECT_EQ (::pclose (pipe), 0) << name;
        }

        EXPECT_EQ (shown, "channel_layout=unknown\n") << name;
    }
}

TEST (BFormat, Rf64HeaderCanBeMarkedAsBFormat)
{
    // What a .amb over 4 GiB becomes: RF64, which libsndfile cannot mark itself.
    TemporaryFolder folder;
    writeSoundFile (folder.path ("big.rf64"), fumaFrames, SF_FORMAT_RF64 | SF_FORMAT_PCM_24);
    ASSERT_EQ (waveChannelMask (folder.path ("big.rf64")), 0x33);
    ASSERT_FALSE (readSoundFile (folder.path ("big.rf64")).bFormat);

    const int descriptor = ::open (folder.path ("big.rf64").c_str(), O_RDWR);
    ortholume::converter::rewriteRf64FormatChunk (descriptor, true);
    ::close (descriptor);

    const auto marked = readSoundFile (folder.path ("big.rf64"));
    EXPECT_TRUE (marked.bFormat);
    EXPECT_EQ (marked.info.format, SF_FORMAT_RF64 | SF_FORMAT_PCM_24);
    EXPECT_EQ (waveChannelMask (folder.path ("big.rf64")), 0);
    EXPECT_EQ (marked.integerFrames[3][2], -0x20000000);
}

TEST (BFormat, Rf64RewriteRefusesOtherFiles)
{
    TemporaryFolder folder;
    writeSoundFile (folder.path ("plain.wav"), fumaFrames, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    const auto before = readBytes (folder.path ("plain.wav"));
    const int descriptor = ::open (folder.path ("plain.wav").c_str(), O_RDWR);
    EXPECT_THROW (ortholume::converter::rewriteRf64FormatChunk (descriptor, true), ortholume::converter::ConversionError);
    ::close (descriptor);
    EXPECT_EQ (readBytes (folder.path ("plain.wav")), before);
}
