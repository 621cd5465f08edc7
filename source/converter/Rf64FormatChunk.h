#pragma once

namespace ortholume::converter
{
/** Corrects the format chunk of an RF64 file that libsndfile has just closed:
    clears the speaker mask it always sets (Quad for four channels) and, for
    B-format, puts the ambisonic B-format sub-format GUID in place of the plain
    one. Throws ConversionError when the header is not the expected layout. */
void rewriteRf64FormatChunk (int fileDescriptor, bool bFormat);
} // namespace ortholume::converter
