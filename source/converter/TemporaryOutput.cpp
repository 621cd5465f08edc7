#include "TemporaryOutput.h"

#include "ConversionError.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace ortholume::converter
{
mode_t TemporaryOutput::creationMask = 022;

void TemporaryOutput::captureCreationMask()
{
    creationMask = ::umask (022);
    ::umask (creationMask);
}

TemporaryOutput::TemporaryOutput (const std::string& target)
    : targetPath (target)
{
    const auto slash = target.find_last_of ('/');
    const auto folder = slash == std::string::npos ? std::string (".") : target.substr (0, slash + 1);
    const auto name = slash == std::string::npos ? target : target.substr (slash + 1);

    // Hidden, so that a half-written file is never mistaken for a result.
    std::string pattern = (slash == std::string::npos ? std::string() : folder) + "." + name + ".XXXXXX.part";
    std::vector<char> writable (pattern.begin(), pattern.end());
    writable.push_back ('\0');

    fileDescriptor = ::mkstemps (writable.data(), 5);

    if (fileDescriptor < 0)
        throw ConversionError ("cannot be created in the folder \"" + folder + "\": " + std::strerror (errno));

    temporaryPath = writable.data();
}

TemporaryOutput::~TemporaryOutput()
{
    if (fileDescriptor >= 0)
        ::close (fileDescriptor);

    if (! committed && ! temporaryPath.empty())
        ::unlink (temporaryPath.c_str());
}

void TemporaryOutput::commit()
{
    // mkstemp makes the file private; the result should look like any other new file.
    if (::fchmod (fileDescriptor, 0666 & ~creationMask) != 0)
        throw ConversionError (std::string ("could not be given its permissions: ") + std::strerror (errno));

    const auto closed = ::close (fileDescriptor);
    fileDescriptor = -1;

    if (closed != 0)
        throw ConversionError (std::string ("could not be completed: ") + std::strerror (errno));

    if (::rename (temporaryPath.c_str(), targetPath.c_str()) != 0)
        throw ConversionError (std::string ("could not be put in place: ") + std::strerror (errno));

    committed = true;
}
} // namespace ortholume::converter
