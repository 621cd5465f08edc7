#pragma once

#include "FileConversion.h"

#include <string>

namespace ortholume::converter
{
/** A peak as "-3.0 dB", or "-inf dB" for silence. */
std::string formatPeak (float peak);

/** The lines printed after a file converted: what went in, what came out, peaks. */
std::string formatSummary (const ConversionRequest& request, const ConversionReport& report);

/** The one line a batch prints for each file converted. */
std::string formatBatchLine (const ConversionRequest& request, const ConversionReport& report);

/** The line that closes a batch: "199 converted, 1 failed", and what an
    interruption left undone. */
std::string formatTally (int converted, int failed, int notConverted);

/** The warning for an integer output that clipped, or an empty string. */
std::string formatClippingWarning (const ConversionRequest& request, const ConversionReport& report);

/** Which of the input's tags the output's format could not keep; empty when all were kept. */
std::string formatMetadataWarning (const ConversionRequest& request, const ConversionReport& report);
} // namespace ortholume::converter
