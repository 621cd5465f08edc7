#include "SpeakerLayout.h"

#include <sndfile.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <iterator>

namespace ortholume::converter
{
namespace
{
constexpr std::uint16_t waveFormatExtensible = 0xFFFE;
constexpr int mostChunksWalked = 1000; // a damaged header must not keep us walking
constexpr std::size_t extensibleFormatBytes = 40;
constexpr std::size_t channelMaskOffset = 20;
constexpr std::size_t subFormatTailOffset = 28;

// Bytes 4 to 15 of the ambisonic B-format sub-format GUIDs (PCM and float differ in bytes 0 to 3).
constexpr std::array<std::uint8_t, 12> bFormatGuidTail { 0x21, 0x07, 0xD3, 0x11, 0x86, 0x44, 0xC8, 0xC1, 0xCA, 0x00, 0x00, 0x00 };

// W64 names chunks by GUID; the first four bytes spell the RIFF name.
constexpr std::array<std::uint8_t, 12> w64GuidTail { 0xF3, 0xAC, 0xD3, 0x11, 0x8C, 0xD1, 0x00, 0xC0, 0x4F, 0x8E, 0xDB, 0x8A };
constexpr std::array<std::uint8_t, 12> w64RiffGuidTail { 0x2E, 0x91, 0xCF, 0x11, 0xA5, 0xD6, 0x28, 0xDB, 0x04, 0xC1, 0x00, 0x00 };

std::uint64_t littleEndian (const std::uint8_t* bytes, int count) noexcept
{
    std::uint64_t value = 0;

    for (int i = count - 1; i >= 0; --i)
        value = (value << 8) | bytes[i];

    return value;
}

bool readAt (int descriptor, std::uint8_t* into, std::size_t count, std::uint64_t offset)
{
    return ::pread (descriptor, into, count, (off_t) offset) == (ssize_t) count;
}

void parseFormat (const std::uint8_t* format, std::size_t size, WaveFormatChunk& result)
{
    result.found = true;
    result.formatTag = (std::uint16_t) littleEndian (format, 2);
    result.extensible = result.formatTag == waveFormatExtensible && size >= extensibleFormatBytes;

    if (result.extensible)
    {
        result.channelMask = (std::uint32_t) littleEndian (format + channelMaskOffset, 4);
        result.ambisonicSubFormat = std::memcmp (format + subFormatTailOffset, bFormatGuidTail.data(), bFormatGuidTail.size()) == 0;
    }
}

WaveFormatChunk walkChunks (int descriptor)
{
    WaveFormatChunk result;
    std::array<std::uint8_t, 24> head {};

    if (! readAt (descriptor, head.data(), head.size(), 0))
        return result;

    const bool riff = std::memcmp (head.data(), "RIFF", 4) == 0 || std::memcmp (head.data(), "RF64", 4) == 0
                      || std::memcmp (head.data(), "BW64", 4) == 0;
    const bool w64 = std::memcmp (head.data(), "riff", 4) == 0 && std::memcmp (head.data() + 4, w64RiffGuidTail.data(), 12) == 0;

    if (! (riff && std::memcmp (head.data() + 8, "WAVE", 4) == 0) && ! w64)
        return result;

    // RIFF: 4-byte names and sizes, padded to even. W64: 16-byte GUIDs and 8-byte
    // sizes that count the chunk header, padded to multiples of 8.
    const std::size_t headerBytes = w64 ? 24 : 8;
    std::uint64_t position = w64 ? 40 : 12;

    for (int chunk = 0; chunk < mostChunksWalked; ++chunk)
    {
        if (! readAt (descriptor, head.data(), headerBytes, position))
            break;

        if (w64 && std::memcmp (head.data() + 4, w64GuidTail.data(), 12) != 0)
            break;

        const auto size = w64 ? littleEndian (head.data() + 16, 8) : littleEndian (head.data() + 4, 4);
        const auto dataBytes = w64 ? (size >= headerBytes ? size - headerBytes : 0) : size;

        if (std::memcmp (head.data(), "fmt ", 4) == 0)
        {
            std::array<std::uint8_t, extensibleFormatBytes> format {};
            const auto count = (std::size_t) std::min<std::uint64_t> (dataBytes, format.size());

            if (count >= 16 && readAt (descriptor, format.data(), count, position + headerBytes))
                parseFormat (format.data(), count, result);

            break;
        }

        if (std::memcmp (head.data(), "data", 4) == 0 || (w64 && size < headerBytes))
            break;

        position += w64 ? (size + 7) / 8 * 8 : headerBytes + size + (size & 1u);
    }

    return result;
}

struct NamedLayout
{
    std::uint32_t mask;
    const char* name;
};

constexpr NamedLayout namedLayouts[] = {
    { 0x4, "mono" },
    { 0x3, "stereo" },
    { 0x33, "quad" },
    { 0x603, "quad, side" },
    { 0x107, "4.0" },
    { 0x3F, "5.1" },
    { 0x60F, "5.1, side" },
    { 0x63F, "7.1" },
    { 0x2D63F, "7.1.4" },
};

constexpr const char* maskSpeakerNames[] = { "FL", "FR", "FC", "LFE", "BL", "BR", "FLC", "FRC", "BC",
                                             "SL", "SR", "TC", "TFL", "TFC", "TFR", "TBL", "TBC", "TBR" };
} // namespace

WaveFormatChunk readWaveFormatChunk (const std::string& path)
{
    const int descriptor = ::open (path.c_str(), O_RDONLY | O_CLOEXEC);

    if (descriptor < 0)
        return {};

    const auto result = walkChunks (descriptor);
    ::close (descriptor);
    return result;
}

std::string describeSpeakerMask (std::uint32_t mask)
{
    std::string text;

    for (std::size_t bit = 0; bit < std::size (maskSpeakerNames); ++bit)
        if ((mask & (1u << bit)) != 0)
            text += (text.empty() ? "" : " ") + std::string (maskSpeakerNames[bit]);

    if (const auto unknown = mask & ~((1u << std::size (maskSpeakerNames)) - 1u); unknown != 0)
    {
        char hex[32];
        std::snprintf (hex, sizeof (hex), "0x%X", unknown);
        text += (text.empty() ? "reserved bits " : " and reserved bits ") + std::string (hex);
    }

    for (const auto& layout : namedLayouts)
        if (layout.mask == mask)
            text += std::string (" (") + layout.name + ")";

    return text;
}

std::string describeChannelMap (const std::vector<int>& map)
{
    auto nameOf = [] (int position) -> std::string {
        switch (position)
        {
            case SF_CHANNEL_MAP_MONO: return "M";
            case SF_CHANNEL_MAP_LEFT: return "L";
            case SF_CHANNEL_MAP_RIGHT: return "R";
            case SF_CHANNEL_MAP_CENTER: return "C";
            case SF_CHANNEL_MAP_FRONT_LEFT: return "FL";
            case SF_CHANNEL_MAP_FRONT_RIGHT: return "FR";
            case SF_CHANNEL_MAP_FRONT_CENTER: return "FC";
            case SF_CHANNEL_MAP_REAR_CENTER: return "BC";
            case SF_CHANNEL_MAP_REAR_LEFT: return "BL";
            case SF_CHANNEL_MAP_REAR_RIGHT: return "BR";
            case SF_CHANNEL_MAP_LFE: return "LFE";
            case SF_CHANNEL_MAP_FRONT_LEFT_OF_CENTER: return "FLC";
            case SF_CHANNEL_MAP_FRONT_RIGHT_OF_CENTER: return "FRC";
            case SF_CHANNEL_MAP_SIDE_LEFT: return "SL";
            case SF_CHANNEL_MAP_SIDE_RIGHT: return "SR";
            case SF_CHANNEL_MAP_TOP_CENTER: return "TC";
            case SF_CHANNEL_MAP_TOP_FRONT_LEFT: return "TFL";
            case SF_CHANNEL_MAP_TOP_FRONT_RIGHT: return "TFR";
            case SF_CHANNEL_MAP_TOP_FRONT_CENTER: return "TFC";
            case SF_CHANNEL_MAP_TOP_REAR_LEFT: return "TBL";
            case SF_CHANNEL_MAP_TOP_REAR_RIGHT: return "TBR";
            case SF_CHANNEL_MAP_TOP_REAR_CENTER: return "TBC";
            case SF_CHANNEL_MAP_AMBISONIC_B_W: return "W";
            case SF_CHANNEL_MAP_AMBISONIC_B_X: return "X";
            case SF_CHANNEL_MAP_AMBISONIC_B_Y: return "Y";
            case SF_CHANNEL_MAP_AMBISONIC_B_Z: return "Z";
            default: return "?";
        }
    };

    std::string text;

    for (auto position : map)
        text += (text.empty() ? "" : " ") + nameOf (position);

    return text;
}
} // namespace ortholume::converter
