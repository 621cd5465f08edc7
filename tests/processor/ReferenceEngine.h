#pragma once

// An independent model of the conversion, written from the rules users rely on
// (one glide step per sample in double precision, a per-block decision to glide,
// long blocks taken in parts, the W scale and the crossfade between the two
// permutations), so that the
// engine's results can be checked bit for bit without calling the engine.
#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace ortholume::testing::reference
{
constexpr float sqrtTwo = 1.41421353816986083984375f;
constexpr float inverseSqrtTwo = 0.707106769084930419921875f;

struct Glide
{
    float target;
    float current;

    bool glided = false;

    /** Returns the value each sample of the block uses. */
    std::vector<float> run (int numSamples)
    {
        std::vector<float> values ((size_t) numSamples);
        glided = std::fabs (current - target) > 1.0e-6;

        if (glided)
        {
            for (auto& v : values)
            {
                current = (float) (target * 0.005 + current * 0.995);
                v = current;
            }
        }
        else
        {
            current = target;
            std::fill (values.begin(), values.end(), current);
        }

        return values;
    }
};

using Block = std::array<std::vector<float>, 4>;

struct Engine
{
    Glide w { sqrtTwo, sqrtTwo };
    Glide mix { 0.0f, 0.0f };
    Glide gain { 1.0f, 1.0f };

    void setMode (int mode)
    {
        w.target = mode == 1 ? inverseSqrtTwo : sqrtTwo;
        mix.target = mode == 1 ? 1.0f : 0.0f;
    }

    Block process (const Block& in)
    {
        const int n = (int) in[0].size();
        const auto ws = w.run (n);
        const auto ms = mix.run (n);
        const auto gs = gain.run (n);
        Block out { std::vector<float> ((size_t) n), std::vector<float> ((size_t) n),
                    std::vector<float> ((size_t) n), std::vector<float> ((size_t) n) };

        for (size_t i = 0; i < (size_t) n; ++i)
        {
            const float m = ms[i];
            float y, z, x;

            if (mix.glided)
            {
                y = (1.0f - m) * in[2][i] + m * in[3][i];
                z = (1.0f - m) * in[3][i] + m * in[1][i];
                x = (1.0f - m) * in[1][i] + m * in[2][i];
            }
            else if (mix.target == 0.0f)
            {
                y = in[2][i];
                z = in[3][i];
                x = in[1][i];
            }
            else
            {
                y = in[3][i];
                z = in[1][i];
                x = in[2][i];
            }

            out[0][i] = (ws[i] * in[0][i]) * gs[i];
            out[1][i] = y * gs[i];
            out[2][i] = z * gs[i];
            out[3][i] = x * gs[i];
        }

        return out;
    }

    /** A block of any length, as the engine takes it: consecutive parts of at
        most maxPart samples, each processed as a block of its own. */
    Block processInParts (const Block& in, int maxPart)
    {
        const int n = (int) in[0].size();
        Block out;
        int start = 0;

        do
        {
            const int length = std::min (maxPart, n - start);
            Block part;

            for (size_t c = 0; c < 4; ++c)
                part[c].assign (in[c].begin() + start, in[c].begin() + start + length);

            const auto processed = process (part);

            for (size_t c = 0; c < 4; ++c)
                out[c].insert (out[c].end(), processed[c].begin(), processed[c].end());

            start += length;
        } while (start < n);

        return out;
    }
};
} // namespace ortholume::testing::reference
