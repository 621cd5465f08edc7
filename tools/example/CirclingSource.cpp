// Writes the bundled example: a short FuMa B-format (.amb) recording of a tone
// circling the listener once, rising and falling a little as it goes. The file
// is committed; this program reproduces it byte for byte.
#include "engine/ConversionMode.h"

#include <sndfile.h>

#include <cmath>
#include <cstdio>
#include <vector>

namespace
{
constexpr int sampleRate = 24000; // small file, and the tone is well below Nyquist
constexpr double durationSeconds = 3.0;
constexpr double toneHz = 440.0;
constexpr double amplitude = 0.5;
constexpr double largestElevationDegrees = 20.0;
constexpr double fadeSeconds = 0.05; // no click at either end
constexpr int numChannels = ortholume::firstOrderChannels;
constexpr double pi = 3.14159265358979323846;

/** Plane-wave FuMa gains for a direction: W at -3 dB, then X, Y, Z. */
void encodeFuma (double azimuth, double elevation, double signal, float* frame)
{
    frame[0] = (float) (signal / std::sqrt (2.0));
    frame[1] = (float) (signal * std::cos (azimuth) * std::cos (elevation));
    frame[2] = (float) (signal * std::sin (azimuth) * std::cos (elevation));
    frame[3] = (float) (signal * std::sin (elevation));
}
} // namespace

int main (int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf (stderr, "usage: %s OUTPUT.amb\n", argv[0]);
        return 2;
    }

    const int numFrames = (int) (durationSeconds * sampleRate);
    std::vector<float> frames ((size_t) numFrames * numChannels);

    for (int i = 0; i < numFrames; ++i)
    {
        const double t = (double) i / sampleRate;
        const double turn = t / durationSeconds;
        const double azimuth = 2.0 * pi * turn; // front, left, behind, right, front
        const double elevation = largestElevationDegrees * pi / 180.0 * std::sin (2.0 * pi * turn);
        const double fade = std::fmin (1.0, std::fmin (t, durationSeconds - t) / fadeSeconds);
        const double signal = amplitude * fade * std::sin (2.0 * pi * toneHz * t);
        encodeFuma (azimuth, elevation, signal, &frames[(size_t) i * numChannels]);
    }

    SF_INFO info {};
    info.samplerate = sampleRate;
    info.channels = numChannels;
    info.format = SF_FORMAT_WAVEX | SF_FORMAT_PCM_16;

    SNDFILE* file = sf_open (argv[1], SFM_WRITE, &info);

    if (file == nullptr)
    {
        std::fprintf (stderr, "%s: %s\n", argv[1], sf_strerror (nullptr));
        return 1;
    }

    // Without this the file would carry a Quad speaker layout instead of the B-format mark.
    const bool marked = sf_command (file, SFC_WAVEX_SET_AMBISONIC, nullptr, SF_AMBISONIC_B_FORMAT) == SF_AMBISONIC_B_FORMAT;
    const bool written = sf_writef_float (file, frames.data(), numFrames) == numFrames;
    const bool closed = sf_close (file) == 0;

    if (! (marked && written && closed))
    {
        std::fprintf (stderr, "%s: could not write the example\n", argv[1]);
        return 1;
    }

    return 0;
}
