#pragma once

#include <string>

namespace ortholume::converter
{
/** Bits of an integer PCM subtype (8 to 32), or 0 for float and coded formats. */
int integerBitsOf (int sndfileFormat) noexcept;

/** "24-bit integer", "32-bit float", ... for the summary. */
std::string describeSampleFormat (int sndfileFormat);

/** "WAV", "B-format WAV (.amb)", "RF64", ... for the summary. */
std::string describeContainer (int sndfileFormat, bool bFormat);
} // namespace ortholume::converter
