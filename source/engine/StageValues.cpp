#include "StageValues.h"

#include "Smoothing.h"

#include <algorithm>

namespace ortholume
{
std::array<StageValues, numSmoothedStages> prepareStages (std::array<StageState, numSmoothedStages>& stages,
                                                          int numSamples) noexcept
{
    std::array<StageValues, numSmoothedStages> values;

    // Locals rather than the states themselves: stores into the value storage
    // could otherwise alias them, and every step would wait on memory.
    float current[numSmoothedStages], target[numSmoothedStages];
    float* storage[numSmoothedStages];
    bool moving[numSmoothedStages];
    int numMoving = 0;

    for (int s = 0; s < numSmoothedStages; ++s)
    {
        current[s] = stages[(size_t) s].current;
        target[s] = stages[(size_t) s].target;
        storage[s] = stages[(size_t) s].storage;
        moving[s] = isGliding (current[s], target[s]);

        if (moving[s])
        {
            values[(size_t) s] = { storage[s], target[s] };
            ++numMoving;
        }
        else
        {
            current[s] = target[s];
            values[(size_t) s] = { nullptr, target[s] };
        }
    }

    // Each step depends on the one before, so the speed comes from stepping the
    // independent stages side by side.
    for (int i = 0; i < numSamples && numMoving > 0; ++i)
    {
        for (int s = 0; s < numSmoothedStages; ++s)
        {
            if (! moving[s])
                continue;

            const float next = smoothingStep (current[s], target[s]);

            // Single precision often settles a few units short of the target;
            // from then on every step returns the same value, so the rest is a fill.
            if (next == current[s])
            {
                std::fill (storage[s] + i, storage[s] + numSamples, current[s]);
                moving[s] = false;
                --numMoving;
                continue;
            }

            current[s] = next;
            storage[s][i] = next;
        }
    }

    for (int s = 0; s < numSmoothedStages; ++s)
        stages[(size_t) s].current = current[s];

    return values;
}
} // namespace ortholume
