#include "Convention.h"

#include "ConversionError.h"

namespace ortholume::converter
{
Convention resolveTarget (std::optional<Convention> requested, bool inputIsBFormat)
{
    if (inputIsBFormat)
    {
        // Converting FuMa as though it were AmbiX would scramble the channels silently.
        if (requested == Convention::fuma)
            throw ConversionError ("is marked as B-format (.amb), which is FuMa already; it can only go --to ambix");

        return Convention::ambix;
    }

    if (! requested.has_value())
        throw ConversionError ("is not marked as B-format, so its convention is unknown: give --to ambix or --to fuma");

    return *requested;
}
} // namespace ortholume::converter
