#pragma once

#include "FileConversion.h"

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace ortholume::converter
{
/** Redraws a one-line progress bar on stderr a few times a second while the
    jobs run. Only used when stderr is a terminal and --quiet is not given. */
class ProgressBar final
{
public:
    ProgressBar (const ProgressCounters& counters, int numFiles);
    ~ProgressBar();

    ProgressBar (const ProgressBar&) = delete;
    ProgressBar& operator= (const ProgressBar&) = delete;

    /** The line for a given state, e.g. "[#####.....]  50%  1/2 files". */
    static std::string render (std::uint64_t framesDone, std::uint64_t totalFrames, int filesDone, int numFiles);

private:
    void run();

    const ProgressCounters& counters;
    const int numFiles;
    std::mutex mutex;
    std::condition_variable wake;
    bool stopping = false;
    std::thread thread;
};
} // namespace ortholume::converter
