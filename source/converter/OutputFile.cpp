#include "OutputFile.h"

#include "ConversionError.h"
#include "Rf64FormatChunk.h"
#include "SampleFormat.h"

#include <algorithm>
#include <string>

namespace ortholume::converter
{
namespace
{
std::string writeFailure (SNDFILE* file, std::uint64_t framesWritten)
{
    return "could not be written after " + std::to_string (framesWritten) + " frames (" + sf_strerror (file)
           + "); is the disk full or the file too large?";
}
} // namespace

OutputFile::OutputFile (int descriptor, const OutputFormat& outputFormat, int sampleRate, const Metadata& metadata)
    : fileDescriptor (descriptor),
      format (outputFormat)
{
    SF_INFO info {};
    info.samplerate = sampleRate;
    info.channels = format.numChannels;
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

    const auto subtype = format.sndfileFormat & SF_FORMAT_SUBMASK;

    if (const auto plain = rawSampleCoding (format.sndfileFormat, sf_command (file, SFC_RAW_DATA_NEEDS_ENDSWAP, nullptr, 0) == SF_TRUE))
    {
        raw = true;
        coding = *plain;

        // libsndfile measures a float file's peaks only on its own write path; a PEAK chunk of zeros would lie.
        sf_command (file, SFC_SET_ADD_PEAK_CHUNK, nullptr, SF_FALSE);
    }
    else if (const auto bits = integerBitsOf (format.sndfileFormat); bits > 0)
    {
        coding = nativeIntCoding (bits);
    }
    else
    {
        // Coded formats are quantised by libsndfile; let it saturate, not wrap, and count what it will clip.
        coding = nativeDoubleCoding();
        coding.countOverFullScale = subtype != SF_FORMAT_FLOAT && subtype != SF_FORMAT_DOUBLE;
        sf_command (file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    }

    // Last, with the header settled otherwise: libsndfile rewrites it to make room,
    // and the raw blocks start wherever its audio then starts. What was kept is
    // read back from the finished file: some formats take a tag and drop it.
    writeMetadata (file, metadata);
}

OutputFile::~OutputFile()
{
    if (file != nullptr)
        sf_close (file);
}

void OutputFile::write (const unsigned char* block, int numFrames)
{
    sf_count_t written = 0;

    if (raw)
        written = std::max<sf_count_t> (sf_write_raw (file, block, (sf_count_t) numFrames * getFrameBytes()), 0) / getFrameBytes();
    else if (coding.type == SampleType::f64)
        written = sf_writef_double (file, reinterpret_cast<const double*> (block), numFrames);
    else
        written = sf_writef_int (file, reinterpret_cast<const int*> (block), numFrames);

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
