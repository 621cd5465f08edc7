#include "ProgressBar.h"

#include "Console.h"

#include <algorithm>
#include <chrono>
#include <utility>

namespace ortholume::converter
{
namespace
{
constexpr int barWidth = 30;
constexpr auto redrawInterval = std::chrono::milliseconds (200);
} // namespace

ProgressBar::ProgressBar (std::function<State()> sampleState, int files)
    : sample (std::move (sampleState)),
      numFiles (files),
      thread ([this] { run(); })
{
}

ProgressBar::~ProgressBar()
{
    {
        const std::lock_guard<std::mutex> guard (mutex);
        stopping = true;
    }

    wake.notify_all();
    thread.join();
    console::showProgressLine ({});
}

std::string ProgressBar::render (std::uint64_t framesDone, std::uint64_t totalFrames, int filesDone, int files)
{
    const double fraction = totalFrames > 0 ? std::min (1.0, (double) framesDone / (double) totalFrames) : 0.0;
    const int filled = (int) (fraction * barWidth);

    std::string line = "[" + std::string ((size_t) filled, '#') + std::string ((size_t) (barWidth - filled), '.') + "] ";
    const auto percent = std::to_string ((int) (fraction * 100.0));
    line += std::string (3 - std::min<size_t> (3, percent.size()), ' ') + percent + "%  ";
    line += std::to_string (filesDone) + "/" + std::to_string (files) + (files == 1 ? " file" : " files");
    return line;
}

void ProgressBar::run()
{
    std::unique_lock<std::mutex> guard (mutex);

    while (! stopping)
    {
        const auto state = sample();
        console::showProgressLine (render (state.framesDone, state.totalFrames, state.filesDone, numFiles));
        wake.wait_for (guard, redrawInterval, [this] { return stopping; });
    }
}
} // namespace ortholume::converter
