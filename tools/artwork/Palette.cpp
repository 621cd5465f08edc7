#include "Palette.h"

#include <algorithm>
#include <map>

namespace ortholume::artwork
{
namespace
{
int channelDistance (juce::uint32 a, juce::uint32 b)
{
    int sum = 0;

    for (int shift = 0; shift < 32; shift += 8)
    {
        const auto d = (int) ((a >> shift) & 0xff) - (int) ((b >> shift) & 0xff);
        sum += d * d;
    }

    return sum;
}
} // namespace

IndexedPixels quantise (const Pixels& pixels, int maxColours)
{
    jassert (maxColours > 0 && maxColours <= 256);

    std::map<juce::uint32, int> counts;

    for (auto colour : pixels.argb)
        ++counts[colour];

    std::vector<std::pair<juce::uint32, int>> byFrequency (counts.begin(), counts.end());

    // Ties go to the lower colour value, so the palette never depends on map order.
    std::stable_sort (byFrequency.begin(), byFrequency.end(),
                      [] (const auto& a, const auto& b) { return a.second > b.second; });

    IndexedPixels result;
    std::map<juce::uint32, juce::uint8> indexOf;

    for (const auto& entry : byFrequency)
    {
        if ((int) result.palette.size() == maxColours)
            break;

        indexOf[entry.first] = (juce::uint8) result.palette.size();
        result.palette.push_back (entry.first);
    }

    result.indices.reserve (pixels.argb.size());

    for (auto colour : pixels.argb)
    {
        auto found = indexOf.find (colour);

        if (found == indexOf.end())
        {
            size_t best = 0;

            for (size_t i = 1; i < result.palette.size(); ++i)
                if (channelDistance (colour, result.palette[i]) < channelDistance (colour, result.palette[best]))
                    best = i;

            found = indexOf.emplace (colour, (juce::uint8) best).first;
        }

        result.indices.push_back (found->second);
    }

    return result;
}
} // namespace ortholume::artwork
