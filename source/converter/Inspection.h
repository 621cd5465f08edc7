#pragma once

#include <string>

namespace ortholume::converter
{
/** What --inspect prints for one file: container and sample format, rate and
    length, channels and the order they imply, the B-format mark, any speaker
    layout, and the convention the signal shows with the energy ratios behind it.
    Throws ConversionError when the file cannot be read. */
std::string inspectFile (const std::string& path);
} // namespace ortholume::converter
