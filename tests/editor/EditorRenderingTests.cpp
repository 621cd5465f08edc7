// What the editor draws, compared at the pixels that matter: the captions for
// each direction, the black bands behind them, the top row of every meter bar,
// and the options panel's square and list.

#include "EditorHarness.h"
#include "EditorTestSupport.h"
#include "editor/OptionGUI.h"
#include "editor/VelloranAudioProcessorEditor.h"
#include "processor/VelloranAudioProcessor.h"

using namespace ortholume::testing;

namespace
{
const juce::uint32 black = 0xff000000;

juce::Image background() { return decode (BinaryData::editorBackground_png, BinaryData::editorBackground_pngSize); }
juce::Image meterScale() { return decode (BinaryData::vuMeterVertical_png, BinaryData::vuMeterVertical_pngSize); }
juce::Image wxyz() { return decode (BinaryData::WXYZ_png, BinaryData::WXYZ_pngSize); }
juce::Image wyzx() { return decode (BinaryData::WYZX_png, BinaryData::WYZX_pngSize); }
juce::Image ambix() { return decode (BinaryData::ambixLabel_png, BinaryData::ambixLabel_pngSize); }
juce::Image fuma() { return decode (BinaryData::fumaLabel_png, BinaryData::fumaLabel_pngSize); }

/** The image laid over opaque black: each pixel's premultiplied colour, made opaque. */
juce::Image overBlack (const juce::Image& image)
{
    auto result = juce::Image (juce::Image::ARGB, image.getWidth(), image.getHeight(), false, juce::SoftwareImageType());
    const auto argb = image.convertedToFormat (juce::Image::ARGB);
    const juce::Image::BitmapData source (argb, juce::Image::BitmapData::readOnly);

    for (int y = 0; y < image.getHeight(); ++y)
        for (int x = 0; x < image.getWidth(); ++x)
        {
            const auto* p = reinterpret_cast<const juce::PixelARGB*> (source.getPixelPointer (x, y));
            result.setPixelAt (x, y, juce::Colour (p->getRed(), p->getGreen(), p->getBlue(), (juce::uint8) 255));
        }

    return result;
}

/** The FuMa caption's columns 31 to 36 are transparent; the artwork shows there. */
void expectFumaCaptionAt (const juce::Image& drawn, int x, int y)
{
    EXPECT_TRUE (samePixels (drawn, x, y, fuma().getClippedImage ({ 0, 0, 31, 14 })));
    EXPECT_TRUE (samePixels (drawn, x + 31, y, background().getClippedImage ({ x + 31, y, 6, 14 })));
}

void expectCaptions (const juce::Image& drawn, bool ambixIn)
{
    EXPECT_TRUE (samePixels (drawn, 49, 212, overBlack (ambixIn ? wyzx() : wxyz()))) << "input channels";
    EXPECT_TRUE (samePixels (drawn, 324, 212, overBlack (ambixIn ? wxyz() : wyzx()))) << "output channels";

    if (ambixIn)
    {
        EXPECT_TRUE (samePixels (drawn, 88, 38, ambix())) << "input format";
        expectFumaCaptionAt (drawn, 364, 38);
    }
    else
    {
        expectFumaCaptionAt (drawn, 88, 38);
        EXPECT_TRUE (samePixels (drawn, 364, 38, ambix())) << "output format";
    }
}
} // namespace

namespace ortholume::testing
{
struct EditorRendering : public ::testing::Test
{
    EditorRendering()
    {
        // Bar tops, by slot: rows (int) (143 * (1 - level)) of the meter.
        const float levels[] = { 1.0f, 0.5f, 0.25f, 0.0f, 6.0f / 7.0f, 0.75f, 0.1f, 0.9f };

        for (size_t slot = 0; slot < 8; ++slot)
            processor.meterLevels[slot].store (levels[slot], relaxed);
    }

    VelloranAudioProcessor processor;
};
} // namespace ortholume::testing

TEST_F (EditorRendering, ModeZeroShowsFumaInAndAmbixOutWithBandsBehindTheChannels)
{
    VelloranAudioProcessorEditor editor (processor);
    const auto drawn = render (editor);

    expectCaptions (drawn, false);

    for (auto [x, y] : { std::pair { 39, 210 }, { 138, 223 }, { 45, 216 }, { 130, 222 }, { 314, 211 }, { 413, 224 }, { 320, 216 }, { 400, 223 } })
        EXPECT_EQ (drawn.getPixelAt (x, y).getARGB(), black) << x << ", " << y;

    // Elsewhere the artwork, unscaled.
    for (auto [x, y] : { std::pair { 0, 0 }, { 50, 30 }, { 212, 105 }, { 442, 232 }, { 20, 85 } })
        EXPECT_EQ (drawn.getPixelAt (x, y), background().getPixelAt (x, y)) << x << ", " << y;
}

TEST_F (EditorRendering, ModeOneShowsAmbixInAndFumaOutFromTheFirstPaint)
{
    processor.setConversionMode (1);
    VelloranAudioProcessorEditor editor (processor);
    expectCaptions (render (editor), true);
}

TEST_F (EditorRendering, OutOfRangeModeIsCaptionedAsFumaToAmbix)
{
    processor.setConversionMode (2);
    VelloranAudioProcessorEditor editor (processor);
    expectCaptions (render (editor), false);
}

TEST_F (EditorRendering, EveryMeterBarTopsAtItsOwnSlotsLevel)
{
    VelloranAudioProcessorEditor editor (processor);
    const auto drawn = render (editor);
    const auto scale = meterScale();
    const auto artwork = background();

    const int meterX[] = { 50, 69, 89, 108, 325, 345, 364, 383 };
    const int barTop[] = { 0, 71, 107, 143, 20, 35, 128, 14 };

    for (int slot = 0; slot < 8; ++slot)
    {
        for (int column = 0; column < 10; ++column)
        {
            const int x = meterX[slot] + column;
            const int top = barTop[slot];

            if (top < 143)
            {
                EXPECT_EQ (drawn.getPixelAt (x, 64 + top), scale.getPixelAt (column, top)) << "slot " << slot;
            }

            if (top > 0)
            {
                EXPECT_EQ (drawn.getPixelAt (x, 64 + top - 1), artwork.getPixelAt (x, 64 + top - 1)) << "slot " << slot;
            }
        }
    }
}

TEST_F (EditorRendering, CaptionsFollowAModeChangeWithinOneTick)
{
    VelloranAudioProcessorEditor editor (processor);
    editor.timerCallback();
    expectCaptions (render (editor), false);

    processor.setConversionMode (1);
    editor.timerCallback();
    expectCaptions (render (editor), true);

    processor.setConversionMode (7);
    editor.timerCallback();
    expectCaptions (render (editor), false);

    // And through the running timer: the captions follow within a few ticks at most.
    processor.setConversionMode (1);
    EXPECT_TRUE (runMessageLoopUntil ([&] {
        return samePixels (render (editor), 49, 212, overBlack (wyzx()));
    },
                                      1000));
}

TEST_F (EditorRendering, ShownOptionsPanelDrawsItsSquareAndTheListOverTheOrnament)
{
    VelloranAudioProcessorEditor editor (processor);
    runMessageLoop (20);
    auto* panel = childOfType<OptionGUI> (editor);
    ASSERT_NE (panel, nullptr);

    // The ornament's dots before the panel is shown.
    const auto artwork = background();
    ASSERT_GT (artwork.getPixelAt (212, 148).getBlue(), 0x40);
    ASSERT_GT (artwork.getPixelAt (223, 137).getBlue(), 0x40);

    panel->setVisible (true);
    const auto modeZero = render (editor);

    for (auto [x, y] : { std::pair { 171, 76 }, { 270, 175 }, { 212, 148 }, { 223, 137 }, { 175, 170 } })
        EXPECT_EQ (modeZero.getPixelAt (x, y).getARGB(), black) << x << ", " << y;

    for (auto [x, y] : { std::pair { 170, 170 }, { 271, 175 }, { 200, 177 } })
        EXPECT_EQ (modeZero.getPixelAt (x, y), artwork.getPixelAt (x, y)) << x << ", " << y;

    // The list: a light outline round a black box with white text.
    EXPECT_TRUE (colourNear (modeZero.getPixelAt (162, 125), 0xfff5f5f5, 0));
    EXPECT_TRUE (colourNear (modeZero.getPixelAt (200, 116), 0xfff5f5f5, 0));
    EXPECT_EQ (modeZero.getPixelAt (164, 125).getARGB(), black);

    const juce::Rectangle<int> textArea { 165, 118, 80, 15 };
    const auto brightPixels = [&textArea] (const juce::Image& image) {
        int count = 0;

        for (int y = textArea.getY(); y < textArea.getBottom(); ++y)
            for (int x = textArea.getX(); x < textArea.getRight(); ++x)
                count += image.getPixelAt (x, y).getBrightness() > 0.6f ? 1 : 0;

        return count;
    };

    EXPECT_GT (brightPixels (modeZero), 40);

    processor.setConversionMode (1);
    panel->timerCallback();
    const auto modeOne = render (editor);
    EXPECT_GT (brightPixels (modeOne), 40);
    EXPECT_FALSE (samePixels (modeOne.getClippedImage (textArea), 0, 0, modeZero.getClippedImage (textArea)));

    // Shown, the panel leaves the meters and the captions visible around it.
    expectCaptions (modeZero, false);
}
