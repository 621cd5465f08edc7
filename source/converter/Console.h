#pragma once

#include <string>

namespace ortholume::converter
{
/** Everything the converter prints goes through here, so that the lines of
    several jobs and the progress bar never interleave. */
namespace console
{
void printOutput (const std::string& text);
void printError (const std::string& text);

/** Flushes standard output and returns the errno of the first write to it that
    failed (a full disk, a closed pipe), or 0: the run must not succeed then. */
int finishOutput();

/** Replaces the progress line on stderr (an empty text clears it). */
void showProgressLine (const std::string& text);
} // namespace console
} // namespace ortholume::converter
