#pragma once

#include <sys/types.h>

#include <string>

namespace ortholume::converter
{
/** The output of one conversion while it is being written: a new file beside the
    target (same folder, so the final rename is atomic), renamed onto the target
    only by commit(). Its name is the target's, shortened when needed so that it
    fits the file system's limit on names. If commit() is never reached, the destructor removes it, so
    a failure leaves neither a partial file nor a changed target. */
class TemporaryOutput final
{
public:
    /** Throws ConversionError when the folder does not exist or is not writable. */
    explicit TemporaryOutput (const std::string& targetPath);
    ~TemporaryOutput();

    TemporaryOutput (const TemporaryOutput&) = delete;
    TemporaryOutput& operator= (const TemporaryOutput&) = delete;

    int getFileDescriptor() const noexcept { return fileDescriptor; }
    const std::string& getPath() const noexcept { return temporaryPath; }

    /** Starts writing what has been written so far back to disk when the file
        will replace one that exists. ext4 does that for the whole file at a
        rename that replaces another (so that a crash cannot leave an empty
        file) and waits while it allocates the blocks; block by block, that work
        overlaps the conversion instead of following it. A new file needs none. */
    void startWriteback() const noexcept;

    /** Gives the file the permissions a newly created file would have and
        renames it onto the target. Throws ConversionError if either fails, or
        if the target exists and replacing was not allowed. */
    void commit();

    /** Whether commit() may replace a file that exists (--overwrite). Set once
        at start-up, before any job runs. */
    static void setReplacesExisting (bool replaces) noexcept { replacesExisting = replaces; }

    /** The process's file-creation mask, read once at start-up: umask() can only
        be read by setting it, which is not safe once several jobs run. */
    static void captureCreationMask();

private:
    std::string targetPath;
    std::string temporaryPath;
    int fileDescriptor = -1;
    bool replacesTarget = false;
    bool committed = false;

    static mode_t creationMask;
    static bool replacesExisting;
};
} // namespace ortholume::converter
