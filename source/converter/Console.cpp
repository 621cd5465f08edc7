#include "Console.h"

#include <cstdio>
#include <mutex>

namespace ortholume::converter::console
{
namespace
{
std::mutex lock;
bool progressLineShown = false;

void clearProgressLine()
{
    if (progressLineShown)
    {
        std::fputs ("\r\033[K", stderr);
        progressLineShown = false;
    }
}
} // namespace

void printOutput (const std::string& text)
{
    const std::lock_guard<std::mutex> guard (lock);
    clearProgressLine();
    std::fflush (stderr);
    std::fputs (text.c_str(), stdout);
    std::fflush (stdout);
}

void printError (const std::string& text)
{
    const std::lock_guard<std::mutex> guard (lock);
    clearProgressLine();
    std::fputs (("ortholume-convert: " + text + "\n").c_str(), stderr);
    std::fflush (stderr);
}

void showProgressLine (const std::string& text)
{
    const std::lock_guard<std::mutex> guard (lock);
    clearProgressLine();

    if (! text.empty())
    {
        std::fputs (("\r" + text).c_str(), stderr);
        progressLineShown = true;
    }

    std::fflush (stderr);
}
} // namespace ortholume::converter::console
