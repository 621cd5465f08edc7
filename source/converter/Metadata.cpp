#include "Metadata.h"

#include <algorithm>
#include <cstddef>
#include <type_traits>

namespace ortholume::converter
{
Metadata readMetadata (SNDFILE* file)
{
    Metadata metadata;

    for (int type = SF_STR_FIRST; type <= SF_STR_LAST; ++type)
        if (const char* text = sf_get_string (file, type); text != nullptr && *text != '\0')
            metadata.strings.emplace_back (type, text);

    metadata.hasBroadcastInfo = sf_command (file, SFC_GET_BROADCAST_INFO, &metadata.broadcastInfo,
                                            (int) sizeof (metadata.broadcastInfo))
                                == SF_TRUE;
    return metadata;
}

Metadata readMetadata (const std::string& path)
{
    SF_INFO info {};
    SNDFILE* file = sf_open (path.c_str(), SFM_READ, &info);

    if (file == nullptr)
        return {};

    auto metadata = readMetadata (file);
    sf_close (file);
    return metadata;
}

std::vector<std::string> missingMetadata (const Metadata& wanted, const Metadata& found)
{
    std::vector<std::string> missing;

    if (wanted.hasBroadcastInfo && ! found.hasBroadcastInfo)
        missing.emplace_back ("bext");

    for (const auto& tag : wanted.strings)
        if (std::find (found.strings.begin(), found.strings.end(), tag) == found.strings.end())
            missing.emplace_back (metadataStringName (tag.first));

    return missing;
}

std::vector<std::string> writeMetadata (SNDFILE* file, const Metadata& metadata)
{
    std::vector<std::string> leftOut;

    // libsndfile refuses a bext block passed at its largest size: pass what it holds.
    const auto& bext = metadata.broadcastInfo;
    const auto historyBytes = std::min<std::size_t> (bext.coding_history_size, sizeof (bext.coding_history));
    const auto bextBytes = offsetof (std::remove_reference_t<decltype (bext)>, coding_history) + historyBytes;

    if (metadata.hasBroadcastInfo
        && sf_command (file, SFC_SET_BROADCAST_INFO, const_cast<void*> (static_cast<const void*> (&bext)), (int) bextBytes)
               != SF_TRUE)
        leftOut.emplace_back ("bext");

    for (const auto& [type, text] : metadata.strings)
        if (sf_set_string (file, type, text.c_str()) != 0)
            leftOut.emplace_back (metadataStringName (type));

    return leftOut;
}

const char* metadataStringName (int stringType) noexcept
{
    switch (stringType)
    {
        case SF_STR_TITLE: return "title";
        case SF_STR_COPYRIGHT: return "copyright";
        case SF_STR_SOFTWARE: return "software";
        case SF_STR_ARTIST: return "artist";
        case SF_STR_COMMENT: return "comment";
        case SF_STR_DATE: return "date";
        case SF_STR_ALBUM: return "album";
        case SF_STR_LICENSE: return "license";
        case SF_STR_TRACKNUMBER: return "track number";
        case SF_STR_GENRE: return "genre";
        default: return "tag";
    }
}
} // namespace ortholume::converter
