#include "Console.h"

#include <cerrno>
#include <cstdio>
#include <mutex>

namespace ortholume::converter::console
{
namespace
{
std::mutex lock;
bool progressLineShown = false;
int outputError = 0;

void noteOutputResult (bool failed)
{
    if (failed && outputError == 0)
        outputError = errno != 0 ? errno : EIO;
}

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
    errno = 0;
    noteOutputResult (std::fputs (text.c_str(), stdout) == EOF || std::fflush (stdout) == EOF);
}

void printError (const std::string& text)
{
    const std::lock_guard<std::mutex> guard (lock);
    clearProgressLine();
    std::fputs (("ortholume-convert: " + text + "\n").c_str(), stderr);
    std::fflush (stderr);
}

int finishOutput()
{
    const std::lock_guard<std::mutex> guard (lock);
    errno = 0;
    noteOutputResult (std::fflush (stdout) == EOF || std::ferror (stdout) != 0);
    return outputError;
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
