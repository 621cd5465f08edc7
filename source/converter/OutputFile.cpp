#include "OutputFile.h"

#include "ConversionError.h"
#include "Rf64FormatChunk.h"
#include "SampleFormat.h"

#include <cmath>
#include <string>

namespace ortholume::converter
{
namespace
{
constexpr double roundingConstant = 6755399441055744.0; // 1.5 * 2^52

std::string writeFailure (SNDFILE* file, std::uint64_t framesWritten)
{
    return "could not be written after " + std::to_string (framesWritten) + " frames (" + sf_strerror (file)
         + "); is the disk full or the file too large?";
}
} // namespace

OutputFile::OutputFile (int descriptor, const OutputFormat& outputFormat, int sampleRate)
    : fileDescriptor (descriptor),
      format (outputFormat),
      integerBits (integerBitsOf (outputFormat.sndfileFormat))
{
    SF_INFO info {};
    info.samplerate = sampleRate;
    info.channels = numChannels;
    info.format = format.sndfileFormat;

    file = sf_open_fd (fileDescriptor, SFM_WRITE, &info, SF_FALSE);

    if (file == nullptr)
        throw ConversionError (std::string ("could not be created: ") + sf_strerror (nullptr));

    if (format.bFormat && (format.sndfileFormat & SF_FORMAT_TYPEMASK) == SF_FORMAT_WAVEX
        && sf_command (file, SFC_WAVEX_SET_AMBISONIC, nullptr, SF_AMBISONIC_B_FORMAT) != SF_AMBISONIC_B_FORMAT)
    {
        sf_close (file);
        file = nullptr;
        throw ConversionError ("could not be marked as B-format");
    }

    // Coded formats (neither integer PCM nor float) are quantised by libsndfile; let it saturate, not wrap.
    if (integerBits == 0)
        sf_command (file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
}

OutputFile::~OutputFile()
{
    if (file != nullptr)
        sf_close (file);
}

void OutputFile::write (const float* interleaved, int numFrames)
{
    const auto numSamples = (std::size_t) numFrames * numChannels;
    sf_count_t written = 0;

    if (integerBits > 0)
    {
        integerBuffer.resize (numSamples);
        const double scale = std::ldexp (1.0, integerBits - 1);
        const double largest = scale - 1.0;
        const double smallest = -scale;
        const int shift = 32 - integerBits;
        std::uint64_t clipped = 0;

        for (std::size_t i = 0; i < numSamples; ++i)
        {
            // Adding and taking away 1.5 * 2^52 rounds to nearest, ties to even, as
            // nearbyint does in the default mode, without a library call per sample.
            const double scaled = (double) interleaved[i] * scale;
            double value = (scaled + roundingConstant) - roundingConstant;
            const bool over = value > largest;
            const bool under = value < smallest;
            const bool notANumber = value != value;
            clipped += (std::uint64_t) (over | under | notANumber);
            value = over ? largest : (under ? smallest : (notANumber ? 0.0 : value));

            // libsndfile takes integers left-justified in 32 bits.
            integerBuffer[i] = (int) ((std::uint32_t) (std::int32_t) value << shift);
        }

        clippedSamples += clipped;
        written = sf_writef_int (file, integerBuffer.data(), numFrames);
    }
    else
    {
        if ((format.sndfileFormat & SF_FORMAT_SUBMASK) != SF_FORMAT_FLOAT
            && (format.sndfileFormat & SF_FORMAT_SUBMASK) != SF_FORMAT_DOUBLE)
        {
            for (std::size_t i = 0; i < numSamples; ++i)
                clippedSamples += std::abs (interleaved[i]) > 1.0f ? 1u : 0u;
        }

        written = sf_writef_float (file, interleaved, numFrames);
    }

    if (written != numFrames)
        throw ConversionError (writeFailure (file, framesWritten + (std::uint64_t) std::max<sf_count_t> (written, 0)));

    framesWritten += (std::uint64_t) numFrames;
}

void OutputFile::close()
{
    // Closing rewrites the header, which is a write that can fail like any other.
    const auto result = sf_close (file);
    file = nullptr;

    if (result != 0)
        throw ConversionError (std::string ("could not be completed: ") + sf_error_number (result));

    if (format.rewriteRf64FormatChunk)
        rewriteRf64FormatChunk (fileDescriptor, format.bFormat);
}
} // namespace ortholume::converter
