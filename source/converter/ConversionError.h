#pragma once

#include <stdexcept>
#include <string>

namespace ortholume::converter
{
/** Why one file could not be converted, worded for the user; the caller adds the file name. */
class ConversionError final : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

/** A bad command line: nothing was converted. */
class UsageError final : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};
} // namespace ortholume::converter
