#include "Rf64FormatChunk.h"

#include "ConversionError.h"

#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>

namespace ortholume::converter
{
namespace
{
constexpr std::size_t headerBytesExamined = 4096;
constexpr std::uint16_t waveFormatExtensible = 0xFFFE;
constexpr std::size_t channelMaskOffset = 20; // within the fmt chunk's data
constexpr std::size_t subFormatOffset = 24;
constexpr std::size_t extensibleFormatBytes = 40;

// Bytes 4 to 15 of the sub-format GUID; bytes 0 to 3 hold the sample coding (PCM or float) in either family.
constexpr std::array<std::uint8_t, 12> bFormatGuidTail { 0x21, 0x07, 0xD3, 0x11, 0x86, 0x44, 0xC8, 0xC1, 0xCA, 0x00, 0x00, 0x00 };

std::uint32_t readLittleEndian32 (const std::uint8_t* bytes) noexcept
{
    return (std::uint32_t) bytes[0] | ((std::uint32_t) bytes[1] << 8) | ((std::uint32_t) bytes[2] << 16)
           | ((std::uint32_t) bytes[3] << 24);
}

[[noreturn]] void fail (const std::string& what)
{
    throw ConversionError ("could not finish the WAV header: " + what);
}
} // namespace

void rewriteRf64FormatChunk (int fileDescriptor, bool bFormat)
{
    std::array<std::uint8_t, headerBytesExamined> header {};
    const auto got = ::pread (fileDescriptor, header.data(), header.size(), 0);

    if (got < 12 || (std::memcmp (header.data(), "RF64", 4) != 0 && std::memcmp (header.data(), "RIFF", 4) != 0)
        || std::memcmp (header.data() + 8, "WAVE", 4) != 0)
        fail ("not a RIFF or RF64 file");

    std::size_t position = 12;

    while (position + 8 <= (std::size_t) got)
    {
        const auto chunkSize = readLittleEndian32 (header.data() + position + 4);
        const auto dataStart = position + 8;

        if (std::memcmp (header.data() + position, "fmt ", 4) == 0)
        {
            if (chunkSize < extensibleFormatBytes || dataStart + extensibleFormatBytes > (std::size_t) got)
                fail ("unexpected format chunk");

            auto* const format = header.data() + dataStart;

            if ((std::uint16_t) (format[0] | (format[1] << 8)) != waveFormatExtensible)
                fail ("format chunk is not extensible");

            std::memset (format + channelMaskOffset, 0, 4);

            if (bFormat)
                std::memcpy (format + subFormatOffset + 4, bFormatGuidTail.data(), bFormatGuidTail.size());

            const auto written = ::pwrite (fileDescriptor, format, extensibleFormatBytes, (off_t) dataStart);

            if (written != (ssize_t) extensibleFormatBytes)
                fail (written < 0 ? std::strerror (errno) : "short write");

            return;
        }

        position = dataStart + chunkSize + (chunkSize & 1u);
    }

    fail ("no format chunk");
}
} // namespace ortholume::converter
