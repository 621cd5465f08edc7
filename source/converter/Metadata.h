#pragma once

#include <sndfile.h>

#include <string>
#include <utility>
#include <vector>

namespace ortholume::converter
{
/** What libsndfile can carry from an input to an output: the string tags (title,
    artist, comment, date, ...) and the broadcast-wave bext chunk, whose time
    reference is the recording's timecode. */
struct Metadata
{
    /** The libsndfile string type (SF_STR_*) and its text. */
    std::vector<std::pair<int, std::string>> strings;

    bool hasBroadcastInfo = false;

    /** Room for a long coding history (libsndfile holds less than 16 KiB). */
    SF_BROADCAST_INFO_VAR (16384)
    broadcastInfo {};
};

/** Everything of the above that the file holds; a file without any gives none. */
Metadata readMetadata (SNDFILE* file);

/** Writes the metadata into a file opened for writing, before any of its audio.
    Returns the names of what the output's format cannot hold ("bext", "date",
    ...), which are left out. */
std::vector<std::string> writeMetadata (SNDFILE* file, const Metadata& metadata);

/** The metadata of a file that libsndfile can open; none otherwise. */
Metadata readMetadata (const std::string& path);

/** The names of what `wanted` holds and `found` lacks ("bext", "title", ...). */
std::vector<std::string> missingMetadata (const Metadata& wanted, const Metadata& found);

/** "title", "artist", ... for a libsndfile string type. */
const char* metadataStringName (int stringType) noexcept;
} // namespace ortholume::converter
