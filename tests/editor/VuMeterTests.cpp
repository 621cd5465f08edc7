// The meter shows the lower L part of the colour scale, pinned to the bottom,
// with the two truncations made separately.

#include "EditorTestSupport.h"
#include "editor/VuMeter.h"
#include "processor/VelloranAudioProcessor.h"

#include <limits>

using namespace ortholume::testing;

namespace
{
constexpr int meterWidth = 10;
constexpr int meterHeight = 143;

juce::Image scale() { return decode (BinaryData::vuMeterVertical_png, BinaryData::vuMeterVertical_pngSize); }
} // namespace

namespace ortholume::testing
{
struct EditorVuMeter : public ::testing::Test
{
    juce::Image renderSlot (int slot, float level)
    {
        processor.meterLevels[(size_t) slot].store (level, std::memory_order_relaxed);
        return renderMeter (slot);
    }

    juce::Image renderMeter (int slot)
    {
        VuMeter meter (&processor, slot);
        meter.setSize (meterWidth, meterHeight);
        return render (meter);
    }

    /** Rows [firstDrawn, endDrawn) show the same rows of the scale; every other row is untouched. */
    void expectRowsDrawn (const juce::Image& drawn, int firstDrawn, int endDrawn)
    {
        const auto picture = scale();

        for (int y = 0; y < meterHeight; ++y)
        {
            const auto row = drawn.getClippedImage ({ 0, y, meterWidth, 1 });

            if (y >= firstDrawn && y < endDrawn)
                EXPECT_TRUE (samePixels (row, 0, 0, picture.getClippedImage ({ 0, y, meterWidth, 1 }))) << "row " << y;
            else
                EXPECT_TRUE (isTransparent (row)) << "row " << y;
        }
    }

    VelloranAudioProcessor processor;
};
} // namespace ortholume::testing

TEST_F (EditorVuMeter, AtFullScaleShowsTheWholePicture)
{
    expectRowsDrawn (renderSlot (0, 1.0f), 0, 143);
}

TEST_F (EditorVuMeter, AtZeroDrawsNothing)
{
    EXPECT_TRUE (isTransparent (renderSlot (0, 0.0f)));
}

TEST_F (EditorVuMeter, AtZeroDecibelsLeavesTheBottomRowUndrawn)
{
    // 143 * (1 - 6/7) truncates to 20, 143 * 6/7 to 122: rows 20 to 141 only.
    const auto drawn = renderSlot (3, 6.0f / 7.0f);
    expectRowsDrawn (drawn, 20, 142);

    // No decay, no peak hold: the same level paints the same bar again.
    EXPECT_TRUE (samePixels (renderMeter (3), 0, 0, drawn));
}

TEST_F (EditorVuMeter, AtHalfShowsTheLowerHalfOfThePicture)
{
    expectRowsDrawn (renderSlot (7, 0.5f), 71, 142);
}

TEST_F (EditorVuMeter, ReadsOnlyItsOwnSlot)
{
    processor.meterLevels[4].store (0.0f);
    processor.meterLevels[5].store (1.0f);

    EXPECT_TRUE (isTransparent (renderMeter (4)));
    expectRowsDrawn (renderMeter (5), 0, 143);
}

TEST_F (EditorVuMeter, LimitsLevelsOutsideTheRange)
{
    expectRowsDrawn (renderSlot (1, 1.5f), 0, 143);
    expectRowsDrawn (renderSlot (1, std::numeric_limits<float>::infinity()), 0, 143);
    EXPECT_TRUE (isTransparent (renderSlot (1, -0.25f)));
    EXPECT_TRUE (isTransparent (renderSlot (1, std::numeric_limits<float>::quiet_NaN())));
}

TEST_F (EditorVuMeter, WithoutASlotOrProcessorDrawsNothing)
{
    for (auto& level : processor.meterLevels)
        level.store (1.0f);

    EXPECT_TRUE (isTransparent (renderMeter (8)));
    EXPECT_TRUE (isTransparent (renderMeter (-1)));

    VuMeter detached (nullptr, 0);
    detached.setSize (meterWidth, meterHeight);
    EXPECT_TRUE (isTransparent (render (detached)));
}

TEST_F (EditorVuMeter, IsTransparentAboveTheBar)
{
    VuMeter meter (&processor, 0);
    EXPECT_FALSE (meter.isOpaque());
}
