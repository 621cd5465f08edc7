#pragma once

#include "CommandLine.h"
#include "FileConversion.h"

#include <cstdint>
#include <string>
#include <vector>

namespace ortholume::converter
{
struct PlannedConversion
{
    ConversionRequest request;

    /** From the header; 0 when the header could not be read (the conversion
        itself then reports why). */
    std::uint64_t numFrames = 0;
};

struct ConversionPlan
{
    std::vector<PlannedConversion> conversions;
    std::uint64_t totalFrames = 0;

    /** Outputs that exist already while --overwrite was not given: nothing may run. */
    std::vector<std::string> existingOutputs;
};

/** Reads every input's header and settles everything that can be settled before
    any audio is read: each file's direction and output name and format, output
    names that collide, name an input or a folder, are too long or sit in a folder
    that is missing. Throws UsageError for any such mistake. An input whose header
    cannot be read is still planned: its conversion fails with the reason. */
ConversionPlan planConversions (const Options& options);
} // namespace ortholume::converter
