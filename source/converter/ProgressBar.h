#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
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
    struct State
    {
        std::uint64_t framesDone = 0;
        std::uint64_t totalFrames = 0;
        int filesDone = 0;
    };

    /** `sample` is called from the bar's own thread a few times a second. */
    ProgressBar (std::function<State()> sample, int numFiles);
    ~ProgressBar();

    ProgressBar (const ProgressBar&) = delete;
    ProgressBar& operator= (const ProgressBar&) = delete;

    /** The line for a given state, e.g. "[#####.....]  50%  1/2 files". */
    static std::string render (std::uint64_t framesDone, std::uint64_t totalFrames, int filesDone, int numFiles);

private:
    void run();

    const std::function<State()> sample;
    const int numFiles;
    std::mutex mutex;
    std::condition_variable wake;
    bool stopping = false;
    std::thread thread;
};
} // namespace ortholume::converter
