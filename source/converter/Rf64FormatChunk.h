#pragma once

namespace ortholume::converter
{
/** Corrects the extensible format chunk of an RF64 or WAV file that libsndfile
    has just closed: clears the speaker mask it sets unless told otherwise (Quad
    for four channels) and, for B-format, puts the ambisonic B-format sub-format
    GUID in place of the plain one (libsndfile cannot mark RF64 itself). Throws
    ConversionError when the header is not the expected layout. */
void rewriteRf64FormatChunk (int fileDescriptor, bool bFormat);
} // namespace ortholume::converter
