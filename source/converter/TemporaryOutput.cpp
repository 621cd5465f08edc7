#include "TemporaryOutput.h"

#include "ConversionError.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace ortholume::converter
{
mode_t TemporaryOutput::creationMask = 022;
bool TemporaryOutput::replacesExisting = true; // the command line turns it off unless --overwrite

namespace
{
constexpr std::size_t addedBytes = 13; // "." before the name, ".XXXXXX.part" after

/** The target's name cut, on a UTF-8 character boundary, so that the temporary name fits. */
std::string shortenedName (const std::string& folder, const std::string& name)
{
    auto longest = ::pathconf (folder.c_str(), _PC_NAME_MAX);

    if (longest <= 0)
        longest = NAME_MAX;

    if (name.size() + addedBytes <= (std::size_t) longest)
        return name;

    auto cut = (std::size_t) longest > addedBytes ? (std::size_t) longest - addedBytes : 0;

    while (cut > 0 && ((unsigned char) name[cut] & 0xC0u) == 0x80u)
        --cut;

    return name.substr (0, cut);
}

/** rename() that fails with EEXIST instead of replacing the target. */
int renameWithoutReplacing (const char* from, const char* to)
{
    if (::renameat2 (AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0)
        return 0;

    if (errno != EINVAL && errno != ENOSYS)
        return -1;

    // File systems without RENAME_NOREPLACE: a hard link also refuses an existing name.
    if (::link (from, to) == 0)
    {
        ::unlink (from); // the output is in place; this only drops its second name
        return 0;
    }

    if (errno == EEXIST)
        return -1;

    // Nor hard links (FAT): the check and the rename are then two steps.
    struct stat status
    {};

    if (::lstat (to, &status) == 0)
    {
        errno = EEXIST;
        return -1;
    }

    return ::rename (from, to);
}
} // namespace

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
    std::string pattern = (slash == std::string::npos ? std::string() : folder) + "." + shortenedName (folder, name)
                          + ".XXXXXX.part";
    std::vector<char> writable (pattern.begin(), pattern.end());
    writable.push_back ('\0');

    fileDescriptor = ::mkstemps (writable.data(), 5);

    if (fileDescriptor < 0)
        throw ConversionError ("cannot be created in the folder \"" + folder + "\": " + std::strerror (errno));

    temporaryPath = writable.data();
    replacesTarget = replacesExisting && ::access (target.c_str(), F_OK) == 0;
}

TemporaryOutput::~TemporaryOutput()
{
    if (fileDescriptor >= 0)
        ::close (fileDescriptor);

    if (! committed && ! temporaryPath.empty())
        ::unlink (temporaryPath.c_str());
}

void TemporaryOutput::startWriteback() const noexcept
{
    // Only a hint: should it fail, the rename does the same work later.
    if (replacesTarget)
        ::sync_file_range (fileDescriptor, 0, 0, SYNC_FILE_RANGE_WRITE);
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

    const auto renamed = replacesExisting ? ::rename (temporaryPath.c_str(), targetPath.c_str())
                                          : renameWithoutReplacing (temporaryPath.c_str(), targetPath.c_str());

    if (renamed != 0 && errno == EEXIST && ! replacesExisting)
        throw ConversionError ("exists already (it appeared during the conversion) and was not replaced; give --overwrite to replace it");

    if (renamed != 0)
        throw ConversionError (std::string ("could not be put in place: ") + std::strerror (errno));

    committed = true;
}
} // namespace ortholume::converter
