#pragma once

#include <array>

namespace ortholume
{
/** What one smoothed stage applies over a block: the same value for every
    sample, or (while it glides) one value per sample. */
struct StageValues
{
    const float* perSample = nullptr;
    float constant = 0.0f;

    bool isGliding() const noexcept { return perSample != nullptr; }
    float at (int i) const noexcept { return perSample != nullptr ? perSample[i] : constant; }
};

/** One smoothed quantity at the start of a block: where it is, where it heads,
    and room for its per-sample values. */
struct StageState
{
    float current;
    float target;
    float* storage;
};

constexpr int numSmoothedStages = 3;

/** Runs the glides of a block: decides once per stage whether it glides, then
    either writes its per-sample values into its storage or snaps it to its
    target. The stages are independent, so they are stepped side by side.
    Each state's `current` becomes the value its block ends on. */
std::array<StageValues, numSmoothedStages> prepareStages (std::array<StageState, numSmoothedStages>& stages,
                                                          int numSamples) noexcept;
} // namespace ortholume
