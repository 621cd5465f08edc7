// Every way a conversion can fail: its message, its exit status, nothing left behind.
#include "ConverterTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace ortholume::testing;

namespace
{
std::vector<Frame> someFrames (int numFrames)
{
    std::vector<Frame> frames ((size_t) numFrames);

    for (size_t i = 0; i < frames.size(); ++i)
        frames[i] = { 0.1f, 0.2f, -0.3f, (float) (i % 100) / 200.0f };

    return frames;
}

bool contains (const std::string& text, const std::string& part)
{
    return text.find (part) != std::string::npos;
}

/** The run failed with the status, named the file and gave the reason. */
void expectFailure (const RunResult& result, int exitCode, const std::string& file, const std::string& reason)
{
    EXPECT_EQ (result.exitCode, exitCode);
    EXPECT_TRUE (contains (result.errors, file + ": ")) << result.errors;
    EXPECT_TRUE (contains (result.errors, reason)) << result.errors;
    EXPECT_EQ (result.output, "");
}
} // namespace

TEST (Failure, MissingInputIsReported)
{
    TemporaryFolder folder;
    const auto result = runConverter ({ "--to", "ambix", "-o", folder.path ("out.wav"), folder.path ("nothing.wav") });
    expectFailure (result, 1, folder.path ("nothing.wav"), "No such file or directory");
    EXPECT_TRUE (folder.entries().empty());
}

TEST (Failure, FolderAsInputIsReported)
{
    TemporaryFolder folder;
    ::mkdir (folder.path ("sub").c_str(), 0755);
    const auto result = runConverter ({ "--to", "ambix", "-o", folder.path ("out.wav"), folder.path ("sub") });
    expectFailure (result, 1, folder.path ("sub"), "it is a folder");
    EXPECT_EQ (folder.entries(), std::vector<std::string> { "sub" });
}

TEST (Failure, TruncatedInputIsReportedAndLeftAlone)
{
    TemporaryFolder folder;
    writeSoundFile (folder.path ("in.wav"), someFrames (5000), SF_FORMAT_WAV | SF_FORMAT_PCM_24);
    auto bytes = readBytes (folder.path ("in.wav"));
    bytes.resize (bytes.size() - 1000);
    writeBytes (folder.path ("in.wav"), bytes);

    const auto result = runConverter ({ "--to", "ambix", "-o", folder.path ("out.wav"), folder.path ("in.wav") });
    expectFailure (result, 1, folder.path ("in.wav"), "truncated");
    EXPECT_EQ (folder.entries(), std::vector<std::string> { "in.wav" });
    EXPECT_EQ (readBytes (folder.path ("in.wav")), bytes);
}

TEST (Failure, TruncatedFlacIsReported)
{
    TemporaryFolder folder;
    writeSoundFile (folder.path ("in.flac"), someFrames (20000), SF_FORMAT_FLAC | SF_FORMAT_PCM_16);
    auto bytes = readBytes (folder.path ("in.flac"));
    bytes.resize (bytes.size() / 2);
    writeBytes (folder.path ("in.flac"), bytes);

    const auto result = runConverter ({ "--to", "ambix", "-o", folder.path ("out.flac"), folder.path ("in.flac") });
    expectFailure (result, 1, folder.path ("in.flac"), "truncated");
    EXPECT_EQ (folder.entries(), std::vector<std::string> { "in.flac" });
}

TEST (Failure, TwoChannelInputIsRefused)
{
    TemporaryFolder folder;
    writeSoundFileWithChannels (folder.path ("stereo.wav"), 2, 100, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    const auto result = runConverter ({ "--to", "ambix", "-o", folder.path ("out.wav"), folder.path ("stereo.wav") });
    expectFailure (result, 1, folder.path ("stereo.wav"),
                   "has 2 channels; only full-sphere orders 1, 2 and 3 (4, 9 and 16 channels) are converted");
    EXPECT_EQ (folder.entries(), std::vector<std::string> { "stereo.wav" });

    // A .amb of another count is one of FuMa's mixed-order schemes, named as such.
    writeInterleaved (folder.path ("mixed.amb"), 6, std::vector<float> (600, 0.1f), SF_FORMAT_WAVEX | SF_FORMAT_PCM_16, true);
    const auto mixed = runConverter ({ "-o", folder.path ("out.wav"), folder.path ("mixed.amb") });
    expectFailure (mixed, 1, folder.path ("mixed.amb"),
                   "has 6 channels: FuMa's mixed-order scheme W X Y Z U V (second order horizontal, first order vertical), "
                   "which is not converted");
    EXPECT_EQ (folder.entries(), (std::vector<std::string> { "mixed.amb", "stereo.wav" }));
}

TEST (Failure, UnknownInputFormatIsReported)
{
    TemporaryFolder folder;
    writeBytes (folder.path ("noise.wav"), std::vector<std::uint8_t> (4096, 0x5A));
    const auto result = runConverter ({ "--to", "ambix", "-o", folder.path ("out.wav"), folder.path ("noise.wav") });
    expectFailure (result, 1, folder.path ("noise.wav"), "cannot be read");
    EXPECT_EQ (folder.entries(), std::vector<std::string> { "noise.wav" });
    expectFailure (runConverter ({ "--inspect", folder.path ("noise.wav") }), 1, folder.path ("noise.wav"), "cannot be read");
}

TEST (Failure, UnknownOutputExtensionIsRefused)
{
    TemporaryFolder folder;
    writeSoundFile (folder.path ("in.wav"), someFrames (100), SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    const auto result = runConverter ({ "--to", "ambix", "-o", folder.path ("out.mp9"), folder.path ("in.wav") });
    expectFailure (result, 2, folder.path ("out.mp9"), "format is unknown");
    EXPECT_EQ (folder.entries(), std::vector<std::string> { "in.wav" });
}

TEST (Failure, FloatIntoFlacIsRefused)
{
    TemporaryFolder folder;
    writeSoundFile (folder.path ("in.wav"), someFrames (100), SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    const auto result = runConverter ({ "--to", "ambix", "-o", folder.path ("out.flac"), folder.path ("in.wav") });
    expectFailure (result, 2, folder.path ("out.flac"), "cannot be written as 32-bit float in FLAC");
    EXPECT_EQ (folder.entries(), std::vector<std::string> { "in.wav" });
}

TEST (Failure, MissingOutputFolderIsReported)
{
    TemporaryFolder folder;
    writeSoundFile (folder.path ("in.wav"), someFrames (100), SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    const auto result = runConverter ({ "--to", "ambix", "-o", folder.path ("absent/out.wav"), folder.path ("in.wav") });
    expectFailure (result, 2, folder.path ("absent/out.wav"), "No such file or directory");
    EXPECT_EQ (folder.entries(), std::vector<std::string> { "in.wav" });
}

TEST (Failure, FileInPlaceOfTheOutputFolderIsReported)
{
    TemporaryFolder folder;
    writeSoundFile (folder.path ("in.wav"), someFrames (100), SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    const auto result = runConverter ({ "--to", "ambix", "-o", folder.path ("in.wav/out.wav"), folder.path ("in.wav") });
    expectFailure (result, 2, folder.path ("in.wav/out.wav"), "Not a directory");
    EXPECT_EQ (folder.entries(), std::vector<std::string> { "in.wav" });
}

TEST (Failure, ReadOnlyOutputFolderIsReported)
{
    TemporaryFolder folder;
    ::chmod (folder.getPath().c_str(), 0755);
    ::mkdir (folder.path ("locked").c_str(), 0755);
    ::chmod (folder.path ("locked").c_str(), 0555);
    writeSoundFile (folder.path ("in.wav"), someFrames (100), SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    ::chmod (folder.path ("in.wav").c_str(), 0644);
    const auto result = runConverterUnprivileged ({ "--to", "ambix", "-o", folder.path ("locked/out.wav"), folder.path ("in.wav") });
    expectFailure (result, 1, folder.path ("locked/out.wav"), "Permission denied");
    EXPECT_TRUE (TemporaryFolder::entriesOf (folder.path ("locked")).empty());
    ::chmod (folder.path ("locked").c_str(), 0755);
}

TEST (Failure, FullDiskLeavesNoPartialOutput)
{
    TemporaryFolder folder;
    writeSoundFile (folder.path ("in.wav"), someFrames (100000), SF_FORMAT_WAV | SF_FORMAT_PCM_24); // 1.2 MB
    const auto before = readBytes (folder.path ("in.wav"));

    // A file-size limit makes writes fail as a full disk does.
    const auto result = runConverter ({ "--to", "ambix", "-o", folder.path ("out.wav"), folder.path ("in.wav") }, 256 * 1024);
    expectFailure (result, 1, folder.path ("out.wav"), "File too large");
    EXPECT_TRUE (contains (result.errors, "is the disk full")) << result.errors;
    EXPECT_EQ (folder.entries(), std::vector<std::string> { "in.wav" });
    EXPECT_EQ (readBytes (folder.path ("in.wav")), before);
}

TEST (Failure, InterruptionRemovesTheUnfinishedOutput)
{
    TemporaryFolder folder;
    // Long enough that the conversion is still running when the signal arrives.
    writeSoundFile (folder.path ("in.wav"), someFrames (48000 * 60), SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    ::mkdir (folder.path ("out").c_str(), 0755);

    const auto errorsPath = folder.path ("errors.txt");
    const auto child = startConverter ({ "--to", "ambix", "-o", folder.path ("out/out.wav"), folder.path ("in.wav") }, errorsPath);

    // Wait for the temporary output to appear, then interrupt as Ctrl-C does.
    bool started = false;

    for (int attempt = 0; attempt < 20000 && ! started; ++attempt)
    {
        struct stat status
        {};
        for (const auto& name : TemporaryFolder::entriesOf (folder.path ("out")))
            started = started || (::stat (folder.path ("out/" + name).c_str(), &status) == 0 && status.st_size > 0);

        if (! started)
            std::this_thread::sleep_for (std::chrono::microseconds (100));
    }

    ASSERT_TRUE (started);
    ::kill (child, SIGINT);
    const auto exitCode = waitForExit (child);
    const auto errors = readBytes (errorsPath);
    const std::string text (errors.begin(), errors.end());

    EXPECT_EQ (exitCode, 130);
    EXPECT_TRUE (contains (text, folder.path ("out/out.wav") + ": was not finished: interrupted by signal 2")) << text;
    EXPECT_TRUE (TemporaryFolder::entriesOf (folder.path ("out")).empty());
}

TEST (Failure, OutputNamingTheInputIsRefused)
{
    TemporaryFolder folder;
    writeSoundFile (folder.path ("in.wav"), someFrames (100), SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    const auto before = readBytes (folder.path ("in.wav"));
    ::link (folder.path ("in.wav").c_str(), folder.path ("alias.wav").c_str());

    const auto direct = runConverter ({ "--to", "ambix", "-o", folder.path ("in.wav"), folder.path ("in.wav") });
    expectFailure (direct, 2, folder.path ("in.wav"), "refusing to overwrite an input");

    // The same file under another name is still the input.
    const auto linked = runConverter ({ "--to", "ambix", "-o", folder.path ("alias.wav"), folder.path ("in.wav") });
    expectFailure (linked, 2, folder.path ("alias.wav"), "refusing to overwrite an input");

    // A batch into the input's own folder would replace the inputs.
    const auto batch = runConverter ({ "--to", "ambix", "--output-dir", folder.getPath(), folder.path ("in.wav") });
    EXPECT_EQ (batch.exitCode, 2);
    EXPECT_EQ (readBytes (folder.path ("in.wav")), before);
}

TEST (Failure, OneBadFileInABatchFailsOnlyThatFile)
{
    TemporaryFolder folder;
    ::mkdir (folder.path ("out").c_str(), 0755);
    writeSoundFile (folder.path ("good.wav"), someFrames (1000), SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    writeSoundFileWithChannels (folder.path ("bad.wav"), 6, 1000, SF_FORMAT_WAV | SF_FORMAT_FLOAT);

    const auto result = runConverter ({ "--to", "ambix", "--output-dir", folder.path ("out"), folder.path ("bad.wav"), folder.path ("good.wav") });
    EXPECT_EQ (result.exitCode, 1);
    EXPECT_TRUE (contains (result.errors, folder.path ("bad.wav") + ": has 6 channels")) << result.errors;
    EXPECT_EQ (TemporaryFolder::entriesOf (folder.path ("out")), std::vector<std::string> { "good.wav" });
}

TEST (Failure, SameNameTwiceInABatchIsRefused)
{
    TemporaryFolder folder;
    ::mkdir (folder.path ("a").c_str(), 0755);
    ::mkdir (folder.path ("b").c_str(), 0755);
    ::mkdir (folder.path ("out").c_str(), 0755);
    writeSoundFile (folder.path ("a/x.wav"), someFrames (10), SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    writeSoundFile (folder.path ("b/x.wav"), someFrames (10), SF_FORMAT_WAV | SF_FORMAT_FLOAT);

    const auto result = runConverter ({ "--to", "ambix", "--output-dir", folder.path ("out"), folder.path ("a/x.wav"), folder.path ("b/x.wav") });
    expectFailure (result, 2, folder.path ("out/x.wav"), "more than one input");
    EXPECT_TRUE (TemporaryFolder::entriesOf (folder.path ("out")).empty());
}

TEST (Failure, MistakeInOneHeaderStopsTheBatchBeforeAnyConversion)
{
    TemporaryFolder folder;
    ::mkdir (folder.path ("out").c_str(), 0755);
    writeSoundFile (folder.path ("marked.amb"), someFrames (100), SF_FORMAT_WAVEX | SF_FORMAT_PCM_16, 48000, true);
    writeSoundFile (folder.path ("plain.wav"), someFrames (100), SF_FORMAT_WAV | SF_FORMAT_PCM_16);

    // The marked file alone could go to AmbiX; the unmarked one has no direction.
    const auto result = runConverter ({ "-d", folder.path ("out"), folder.path ("marked.amb"), folder.path ("plain.wav") });
    expectFailure (result, 2, folder.path ("plain.wav"), "is not marked as B-format, so its convention is unknown: give --to");
    EXPECT_TRUE (TemporaryFolder::entriesOf (folder.path ("out")).empty());
}

TEST (CommandLineUse, MistakesExitWithStatusTwo)
{
    TemporaryFolder folder;
    writeSoundFile (folder.path ("in.wav"), someFrames (10), SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    writeInterleaved (folder.path ("second.wav"), 9, std::vector<float> (90, 0.1f), SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    const auto in = folder.path ("in.wav");
    const auto second = folder.path ("second.wav");
    const auto out = folder.path ("out.wav");

    const std::vector<std::pair<std::vector<std::string>, std::string>> cases {
        { { "--to", "ambix", in }, "no output given" },
        { { "--to", "ambix", "-o", out }, "no input file given" },
        { { "--to", "hoa", "-o", out, in }, "--to takes ambix or fuma" },
        { { "--to", "ambix", "--gain", "20", "-o", out, in }, "between -90 and +10 dB" },
        { { "--to", "ambix", "--gain", "loud", "-o", out, in }, "--gain needs a number" },
        { { "--to", "ambix", "--jobs", "0", "-o", out, in }, "--jobs needs a whole number" },
        { { "--to", "ambix", "--frobnicate", "-o", out, in }, "unknown option --frobnicate" },
        { { "--to", "ambix", "--bits", "12", "-o", out, in }, "--bits takes 16, 24, 32, float or double" },
        { { "--to", "ambix", "-o", out, in, in }, "for several inputs use --output-dir" },
        { { "--to", "ambix", "--output-dir", folder.path ("absent"), in }, "no such folder" },
        { { "--to", "ambix", "-o", out, "-" }, "standard input is not supported" },
        { { "--to", "ambix", "-o", folder.getPath(), in }, "is a folder, not a name for the output file" },
        { { "--to", "ambix", "--format", "flac", "-o", out, in }, "--format is for --output-dir" },
        { { "--to", "ambix", "--format", "mp3", "-d", folder.getPath(), in }, "--format takes wav, amb, w64, rf64, caf, aiff or flac" },
        { { "--to", "ambix", "--format", "amb", "-d", folder.getPath(), in }, "cannot be written as AmbiX to a .amb name" },
        { { "--inspect", "-o", out, in }, "--inspect only reads" },
        { { "-o", out, second }, "is not marked as B-format, so its convention is unknown: give --to" },
        { { "--to", "ambix", "-o", folder.path ("out.flac"), second },
          "cannot be written as FLAC: FLAC holds at most 8 channels, and the input has 9 (second order)" },
    };

    for (const auto& [arguments, message] : cases)
    {
        const auto result = runConverter (arguments);
        EXPECT_EQ (result.exitCode, 2) << message;
        EXPECT_TRUE (contains (result.errors, message)) << result.errors;
    }

    EXPECT_EQ (folder.entries(), (std::vector<std::string> { "in.wav", "second.wav" }));
}

TEST (CommandLineUse, HelpAndVersionSucceed)
{
    const auto help = runConverter ({ "--help" });
    EXPECT_EQ (help.exitCode, 0);
    EXPECT_TRUE (contains (help.output, "--output-dir DIR")) << help.output;
    EXPECT_TRUE (contains (help.output, "Exit status:"));
    EXPECT_TRUE (contains (help.output, "--inspect"));

    const auto version = runConverter ({ "--version" });
    EXPECT_EQ (version.exitCode, 0);
    EXPECT_EQ (version.output, "ortholume-convert " ORTHOLUME_PROJECT_VERSION "\n");
}
