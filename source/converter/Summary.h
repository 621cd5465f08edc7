#pragma once

#include "FileConversion.h"

#include <string>

namespace ortholume::converter
{
/** A peak as "-3.0 dB", or "-inf dB" for silence. */
std::string formatPeak (float peak);

/** The lines printed after a file converted: what went in, what came out, peaks. */
std::string formatSummary (const ConversionRequest& request, const ConversionReport& report);

/** The warning for an integer output that clipped, or an empty string. */
std::string formatClippingWarning (const ConversionRequest& request, const ConversionReport& report);
} // namespace ortholume::converter
