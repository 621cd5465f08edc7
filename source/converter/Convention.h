#pragma once

#include <optional>
#include <string>

namespace ortholume::converter
{
enum class Convention
{
    fuma,
    ambix
};

inline const char* conventionName (Convention convention) noexcept
{
    return convention == Convention::fuma ? "FuMa" : "AmbiX";
}

inline Convention oppositeOf (Convention convention) noexcept
{
    return convention == Convention::fuma ? Convention::ambix : Convention::fuma;
}

/** The output convention: the one asked for, or AmbiX for a B-format input,
    which is FuMa by definition. Throws ConversionError when neither says. */
Convention resolveTarget (std::optional<Convention> requested, bool inputIsBFormat);
} // namespace ortholume::converter
