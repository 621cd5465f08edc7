#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ortholume::converter
{
/** The format chunk of a RIFF, RF64, BW64 or W64 file, as far as it says how the
    channels are meant: libsndfile turns the speaker mask into a channel map and
    does not report a mask of 0 or the header's kind at all. */
struct WaveFormatChunk
{
    bool found = false;
    std::uint16_t formatTag = 0; // 1 PCM, 3 float, 0xFFFE extensible
    bool extensible = false;
    std::uint32_t channelMask = 0;
    bool ambisonicSubFormat = false; // the B-format GUID family
};

/** Reads the format chunk; `found` is false for other containers or damaged headers. */
WaveFormatChunk readWaveFormatChunk (const std::string& path);

/** "FL FR BL BR (quad)" for a WAVE_FORMAT_EXTENSIBLE speaker mask. */
std::string describeSpeakerMask (std::uint32_t mask);

/** "L R Ls Rs" for libsndfile's channel map (SF_CHANNEL_MAP_* values). */
std::string describeChannelMap (const std::vector<int>& map);
} // namespace ortholume::converter
