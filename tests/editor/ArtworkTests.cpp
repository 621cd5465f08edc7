// The embedded artwork must fit the code that draws it pixel for pixel: the
// scale behind the meters, the captions under them, the knob frames.

#include "EditorTestSupport.h"

#include <algorithm>
#include <cmath>
#include <cstring>

using namespace ortholume::testing;

namespace
{
constexpr juce::uint32 white = 0xffffffff;

struct PngResource
{
    const char* name;
    const char* data;
    int size;
    int width, height;
    int colourType; // 3 palette, 6 RGBA
};

const PngResource pngResources[] = {
    { "editorBackground", BinaryData::editorBackground_png, BinaryData::editorBackground_pngSize, 443, 233, 3 },
    { "gearIcon", BinaryData::gearIcon_png, BinaryData::gearIcon_pngSize, 22, 22, 6 },
    { "ambixLabel", BinaryData::ambixLabel_png, BinaryData::ambixLabel_pngSize, 37, 14, 3 },
    { "fumaLabel", BinaryData::fumaLabel_png, BinaryData::fumaLabel_pngSize, 37, 14, 3 },
    { "WXYZ", BinaryData::WXYZ_png, BinaryData::WXYZ_pngSize, 69, 9, 6 },
    { "WYZX", BinaryData::WYZX_png, BinaryData::WYZX_pngSize, 69, 9, 6 },
    { "vuMeterVertical", BinaryData::vuMeterVertical_png, BinaryData::vuMeterVertical_pngSize, 10, 143, 6 },
    { "bouton_G_70x70", BinaryData::bouton_G_70x70_png, BinaryData::bouton_G_70x70_pngSize, 70, 127 * 70, 6 },
};

juce::Image background() { return decode (BinaryData::editorBackground_png, BinaryData::editorBackground_pngSize); }

/** Expected colour of an evenly stepped row, channel by channel. */
juce::Colour evenStep (juce::uint32 from, juce::uint32 to, int step, int steps)
{
    const auto channel = [&] (int shift) {
        const double a = (from >> shift) & 0xff, b = (to >> shift) & 0xff;
        return (juce::uint8) std::lround (a + (b - a) * step / steps);
    };

    return juce::Colour (channel (16), channel (8), channel (0), channel (24));
}

bool isRowUniform (const juce::Image& image, int y)
{
    for (int x = 1; x < image.getWidth(); ++x)
        if (image.getPixelAt (x, y) != image.getPixelAt (0, y))
            return false;

    return true;
}

/** Runs of columns holding any ink, as inclusive (first, last) pairs. */
std::vector<std::pair<int, int>> inkColumnRuns (const juce::Image& image)
{
    std::vector<std::pair<int, int>> runs;

    for (int x = 0; x < image.getWidth(); ++x)
    {
        bool ink = false;

        for (int y = 0; y < image.getHeight(); ++y)
            ink = ink || image.getPixelAt (x, y).getAlpha() > 0;

        if (! ink)
            continue;

        if (! runs.empty() && runs.back().second == x - 1)
            runs.back().second = x;
        else
            runs.push_back ({ x, x });
    }

    return runs;
}

juce::Image knobFrame (const juce::Image& strip, int frame)
{
    return strip.getClippedImage ({ 0, frame * 70, 70, 70 });
}
} // namespace

TEST (EditorArtwork, EveryImageIsANonInterlacedPngOfItsSize)
{
    for (const auto& resource : pngResources)
    {
        SCOPED_TRACE (resource.name);
        const auto* bytes = reinterpret_cast<const juce::uint8*> (resource.data);
        ASSERT_GT (resource.size, 33);
        EXPECT_EQ (0, std::memcmp (bytes, "\x89PNG\r\n\x1a\n", 8));
        EXPECT_EQ (0, std::memcmp (bytes + 12, "IHDR", 4));
        EXPECT_EQ (8, bytes[24]); // bit depth
        EXPECT_EQ (resource.colourType, bytes[25]);
        EXPECT_EQ (0, bytes[28]); // not interlaced

        const auto image = decode (resource.data, resource.size);
        EXPECT_EQ (resource.width, image.getWidth());
        EXPECT_EQ (resource.height, image.getHeight());
    }
}

TEST (EditorArtwork, MeterGradientHasTheScaleColoursRowByRow)
{
    const auto meter = decode (BinaryData::vuMeterVertical_png, BinaryData::vuMeterVertical_pngSize);
    ASSERT_EQ (143, meter.getHeight());

    for (int y = 0; y < 143; ++y)
    {
        SCOPED_TRACE ("row " + std::to_string (y));

        if (y == 21)
        {
            for (int x = 0; x < 10; ++x)
                EXPECT_EQ (x < 4 ? 0xfffe3d18u : 0xfffe3716u, meter.getPixelAt (x, y).getARGB());

            continue;
        }

        ASSERT_TRUE (isRowUniform (meter, y));
        const auto colour = meter.getPixelAt (0, y);

        if (y <= 20)
            EXPECT_EQ (0xffff0101u, colour.getARGB());
        else if (y <= 36)
            EXPECT_TRUE (colourNear (colour, evenStep (0xfffd752e, 0xfffcf961, y - 22, 14).getARGB(), 1));
        else if (y <= 110)
            EXPECT_TRUE (colourNear (colour, evenStep (0xfffbff63, 0xff3bf028, y - 37, 73).getARGB(), 1));
        else
            EXPECT_EQ (0xff3bf028u, colour.getARGB());
    }

    // The ends of both ramps are exact.
    EXPECT_EQ (0xfffd752eu, meter.getPixelAt (0, 22).getARGB());
    EXPECT_EQ (0xfffcf961u, meter.getPixelAt (0, 36).getARGB());
    EXPECT_EQ (0xfffbff63u, meter.getPixelAt (0, 37).getARGB());
    EXPECT_EQ (0xff3bf028u, meter.getPixelAt (0, 110).getARGB());
}

TEST (EditorArtwork, FirstNonRedMeterRowLiesOnTheZeroDecibelTick)
{
    const auto meter = decode (BinaryData::vuMeterVertical_png, BinaryData::vuMeterVertical_pngSize);
    const auto editor = background();
    constexpr int meterTop = 64; // the editor's layout
    constexpr int zeroDecibelRow = 85;

    int firstNonRed = 0;

    while (firstNonRed < meter.getHeight() && meter.getPixelAt (0, firstNonRed).getARGB() == 0xffff0101)
        ++firstNonRed;

    EXPECT_EQ (zeroDecibelRow, meterTop + firstNonRed);
    EXPECT_EQ (white, editor.getPixelAt (39, zeroDecibelRow).getARGB());
    EXPECT_EQ (white, editor.getPixelAt (403, zeroDecibelRow).getARGB());
}

TEST (EditorArtwork, ScaleTicksFillTheirColumnsEveryFourRowsAndLeaveTheMeterGapsFree)
{
    // Each column's ink on the 10 dB rows and on the other tick rows.
    struct Column
    {
        int majorLeft, majorRight, minorLeft, minorRight;
    };
    const Column columns[] = {
        { 39, 46, 42, 46 },
        { 63, 65, 63, 65 },
        { 82, 85, 82, 85 },
        { 102, 105, 102, 105 },
        { 121, 128, 121, 125 },
        { 314, 321, 317, 321 },
        { 338, 340, 338, 340 },
        { 357, 360, 357, 360 },
        { 377, 380, 377, 380 },
        { 396, 403, 396, 400 },
    };
    const std::pair<int, int> meterGaps[] = { { 47, 62 }, { 66, 81 }, { 86, 101 }, { 106, 120 }, { 322, 337 }, { 341, 356 }, { 361, 376 }, { 381, 395 } };

    const auto editor = background();

    for (int y = 60; y <= 210; ++y)
    {
        SCOPED_TRACE ("row " + std::to_string (y));
        const bool tickRow = y >= 65 && y <= 205 && (y - 65) % 4 == 0;
        const bool tenDecibelRow = tickRow && (y - 65) % 20 == 0;

        for (const auto& column : columns)
        {
            const auto inkLeft = tenDecibelRow ? column.majorLeft : column.minorLeft;
            const auto inkRight = tenDecibelRow ? column.majorRight : column.minorRight;

            for (int x = column.majorLeft; x <= column.majorRight; ++x)
            {
                const bool expectWhite = tickRow && x >= inkLeft && x <= inkRight;
                EXPECT_EQ (expectWhite, editor.getPixelAt (x, y).getARGB() == white) << "x " << x;
            }
        }

        for (const auto& [left, right] : meterGaps)
            for (int x = left; x <= right; ++x)
                EXPECT_NE (white, editor.getPixelAt (x, y).getARGB()) << "x " << x;
    }
}

TEST (EditorArtwork, HeadingsBracketsAndOrnamentLeaveRoomForTheCaptions)
{
    const auto editor = background();
    const auto isLight = [&editor] (int x, int y) { return editor.getPixelAt (x, y).getBrightness() > 0.5f; };

    // Headings: light ink only inside their boxes, in the band they share with the captions.
    const struct
    {
        int left, right, searchLeft, searchRight;
    } headings[] = { { 51, 83, 40, 87 }, { 317, 360, 300, 363 } };

    for (const auto& heading : headings)
    {
        int inkLeft = 1000, inkRight = -1, inkTop = 1000, inkBottom = -1;

        for (int y = 34; y <= 52; ++y)
            for (int x = heading.searchLeft; x <= heading.searchRight; ++x)
                if (isLight (x, y))
                {
                    inkLeft = std::min (inkLeft, x);
                    inkRight = std::max (inkRight, x);
                    inkTop = std::min (inkTop, y);
                    inkBottom = std::max (inkBottom, y);
                }

        EXPECT_EQ (heading.left, inkLeft);
        EXPECT_EQ (heading.right, inkRight);
        EXPECT_EQ (40, inkTop);
        EXPECT_EQ (48, inkBottom);
    }

    for (int captionX : { 88, 364 })
        for (int y = 38; y < 38 + 14; ++y)
            for (int x = captionX; x < captionX + 37; ++x)
                EXPECT_FALSE (isLight (x, y)) << "caption area " << x << ", " << y;

    constexpr juce::uint32 bracketGrey = 0xff6a6e72;
    const struct
    {
        int left, right, stub;
    } brackets[] = { { 47, 120, 83 }, { 322, 395, 358 } };

    for (const auto& bracket : brackets)
    {
        for (int x = bracket.left; x <= bracket.right; ++x)
            EXPECT_EQ (bracketGrey, editor.getPixelAt (x, 57).getARGB()) << "x " << x;

        EXPECT_EQ (bracketGrey, editor.getPixelAt (bracket.left, 61).getARGB());
        EXPECT_EQ (bracketGrey, editor.getPixelAt (bracket.right, 61).getARGB());
        EXPECT_NE (bracketGrey, editor.getPixelAt (bracket.left, 62).getARGB());
        EXPECT_EQ (bracketGrey, editor.getPixelAt (bracket.stub, 54).getARGB());
        EXPECT_NE (bracketGrey, editor.getPixelAt (bracket.stub, 53).getARGB());
    }

    for (auto [x, y] : { std::pair { 212, 105 }, { 212, 126 }, { 212, 148 }, { 223, 115 }, { 223, 137 }, { 234, 126 } })
        EXPECT_EQ (0xff4a5d70u, editor.getPixelAt (x, y).getARGB()) << x << ", " << y;
}

TEST (EditorArtwork, WordmarksAndScaleNumbersStandInTheirColumns)
{
    const auto editor = background();

    /** Inclusive horizontal extent of light ink in a box, or (-1, -1) when there is none. */
    const auto inkSpan = [&editor] (int left, int right, int top, int bottom) {
        std::pair<int, int> span { -1, -1 };

        for (int y = top; y <= bottom; ++y)
            for (int x = left; x <= right; ++x)
                if (editor.getPixelAt (x, y).getBrightness() > 0.5f)
                {
                    span.first = span.first < 0 ? x : std::min (span.first, x);
                    span.second = std::max (span.second, x);
                }

        return span;
    };

    // Maker's wordmark, divider, product name across the header.
    EXPECT_EQ (std::make_pair (14, 86), inkSpan (0, 96, 4, 24));
    EXPECT_EQ (std::make_pair (97, 97), inkSpan (87, 105, 4, 24));
    const auto productName = inkSpan (98, 260, 4, 24);
    EXPECT_EQ (108, productName.first);
    EXPECT_NEAR (200, productName.second, 4);

    // One number per 10 dB row, inside x 19 to 28 and 417 to 426, within 4 rows of its tick.
    for (int row = 65; row <= 205; row += 20)
    {
        SCOPED_TRACE ("row " + std::to_string (row));
        const auto left = inkSpan (0, 38, row - 4, row + 4);
        const auto right = inkSpan (404, 442, row - 4, row + 4);
        EXPECT_GE (left.first, 19);
        EXPECT_LE (left.second, 28);
        EXPECT_GE (left.second, 26); // set close to the ticks
        EXPECT_GE (right.first, 417);
        EXPECT_LE (right.second, 426);
        EXPECT_EQ (std::make_pair (-1, -1), inkSpan (0, 38, row + 5, row + 15));
    }
}

TEST (EditorArtwork, FormatLabelsAreOpaqueWhereTheEditorShowsThem)
{
    const auto ambix = decode (BinaryData::ambixLabel_png, BinaryData::ambixLabel_pngSize);
    const auto fuma = decode (BinaryData::fumaLabel_png, BinaryData::fumaLabel_pngSize);

    const auto darkest = [] (const juce::Image& image, int lastColumn) {
        int result = 255;

        for (int y = 0; y < image.getHeight(); ++y)
            for (int x = 0; x <= lastColumn; ++x)
                result = std::min (result, (int) image.getPixelAt (x, y).getRed());

        return result;
    };

    for (int y = 0; y < 14; ++y)
        for (int x = 0; x < 37; ++x)
        {
            EXPECT_EQ (255, ambix.getPixelAt (x, y).getAlpha()) << x << ", " << y;
            EXPECT_EQ (x <= 30 ? 255 : 0, fuma.getPixelAt (x, y).getAlpha()) << x << ", " << y;
        }

    EXPECT_EQ (0xffffffffu, ambix.getPixelAt (0, 0).getARGB());
    EXPECT_EQ (0xffffffffu, fuma.getPixelAt (0, 0).getARGB());
    EXPECT_LT (darkest (ambix, 36), 40); // black lettering is there
    EXPECT_LT (darkest (fuma, 30), 40);
}

TEST (EditorArtwork, ChannelLettersStandCentredUnderTheirMeters)
{
    // Caption and meter positions of the editor's layout.
    const int captionX[] = { 49, 324 };
    const int meterX[2][4] = { { 50, 69, 89, 108 }, { 325, 345, 364, 383 } };
    const std::pair<int, int> letterColumns[] = { { 1, 11 }, { 22, 28 }, { 42, 48 }, { 61, 67 } };

    for (const auto& [data, size] : { std::pair { BinaryData::WXYZ_png, BinaryData::WXYZ_pngSize },
                                      { BinaryData::WYZX_png, BinaryData::WYZX_pngSize } })
    {
        const auto letters = decode (data, size);
        const auto runs = inkColumnRuns (letters);
        ASSERT_EQ (4u, runs.size());

        for (size_t i = 0; i < 4; ++i)
        {
            EXPECT_GE (runs[i].first, letterColumns[i].first);
            EXPECT_LE (runs[i].second, letterColumns[i].second);

            for (int side = 0; side < 2; ++side)
            {
                const auto letterCentre = captionX[side] + (runs[i].first + runs[i].second) / 2.0;
                const auto meterCentre = meterX[side][i] + 4.5;
                EXPECT_LE (std::abs (letterCentre - meterCentre), 1.0) << "letter " << i << " side " << side;
            }
        }

        for (int y = 0; y < 9; ++y)
            for (int x = 0; x < 69; ++x)
            {
                // Faint edge pixels lose colour precision to premultiplication when decoded.
                if (letters.getPixelAt (x, y).getAlpha() == 255)
                {
                    ASSERT_EQ (0xfffefefeu, letters.getPixelAt (x, y).getARGB()) << x << ", " << y;
                }
            }
    }
}

TEST (EditorArtwork, ChannelOrderCaptionsShowTheSameLettersInFumaAndAmbixOrder)
{
    const auto fumaOrder = decode (BinaryData::WXYZ_png, BinaryData::WXYZ_pngSize);
    const auto ambixOrder = decode (BinaryData::WYZX_png, BinaryData::WYZX_pngSize);
    const auto letter = [] (const juce::Image& image, int left, int width) {
        return image.getClippedImage ({ left, 0, width, 9 });
    };

    // W X Y Z against W Y Z X: the same glyph must reappear in its new column.
    EXPECT_TRUE (samePixels (ambixOrder, 0, 0, letter (fumaOrder, 0, 13)));
    EXPECT_TRUE (samePixels (ambixOrder, 61, 0, letter (fumaOrder, 22, 7))); // X
    EXPECT_TRUE (samePixels (ambixOrder, 22, 0, letter (fumaOrder, 42, 7))); // Y
    EXPECT_TRUE (samePixels (ambixOrder, 42, 0, letter (fumaOrder, 61, 7))); // Z
    EXPECT_FALSE (samePixels (ambixOrder, 22, 0, letter (fumaOrder, 22, 7)));
}

TEST (EditorArtwork, GearIsAnEightToothedRingOnTransparency)
{
    const auto gear = decode (BinaryData::gearIcon_png, BinaryData::gearIcon_pngSize);

    for (auto [x, y] : { std::pair { 0, 0 }, { 21, 0 }, { 0, 21 }, { 21, 21 }, { 10, 10 }, { 11, 11 } })
        EXPECT_EQ (0, gear.getPixelAt (x, y).getAlpha()) << x << ", " << y;

    EXPECT_EQ (0xfffcfcfcu, gear.getPixelAt (11, 5).getARGB());

    // Walk once round the rim, starting between two teeth, and count the teeth entered.
    int teeth = 0;
    bool inTooth = false;
    constexpr int samples = 720;

    for (int i = 0; i < samples; ++i)
    {
        const auto angle = juce::MathConstants<double>::twoPi * (i / (double) samples + 1.0 / 16.0);
        const auto x = (int) std::floor (11.0 + 9.2 * std::sin (angle));
        const auto y = (int) std::floor (11.0 - 9.2 * std::cos (angle));
        const bool solid = gear.getPixelAt (x, y).getAlpha() > 127;

        if (solid && ! inTooth)
            ++teeth;

        inTooth = solid;
    }

    EXPECT_EQ (8, teeth);
}

TEST (EditorArtwork, KnobStripFramesAreKnobsOnTransparencyWithATurningPointer)
{
    const auto strip = decode (BinaryData::bouton_G_70x70_png, BinaryData::bouton_G_70x70_pngSize);
    ASSERT_EQ (8890, strip.getHeight());

    const auto pointerAngle = [] (const juce::Image& frame) {
        // The pointer is the only clearly blue ink on the cap.
        double sumX = 0, sumY = 0;
        int count = 0;

        for (int y = 0; y < 70; ++y)
            for (int x = 0; x < 70; ++x)
            {
                const auto c = frame.getPixelAt (x, y);

                if (std::hypot (x - 34.5, y - 32.5) < 17.0 && c.getAlpha() == 255 && c.getBlue() - c.getRed() > 60)
                {
                    sumX += x - 34.5;
                    sumY += y - 32.5;
                    ++count;
                }
            }

        return count == 0 ? 1000.0 : juce::radiansToDegrees (std::atan2 (sumX, -sumY));
    };

    const auto centreMarkPixels = [] (const juce::Image& frame) {
        int count = 0;

        for (int y = 0; y < 6; ++y)
            for (int x = 25; x < 45; ++x)
                count += colourNear (frame.getPixelAt (x, y), 0xffbace46, 12) ? 1 : 0;

        return count;
    };

    for (int k = 0; k < 127; ++k)
    {
        SCOPED_TRACE ("frame " + std::to_string (k));
        const auto frame = knobFrame (strip, k);

        for (auto [x, y] : { std::pair { 0, 0 }, { 69, 0 }, { 0, 69 }, { 69, 69 } })
            EXPECT_EQ (0, frame.getPixelAt (x, y).getAlpha());

        // The knob's opaque disc spans x 8 to 61 through its centre row and y 6 to 59 through its centre column.
        EXPECT_EQ (255, frame.getPixelAt (8, 32).getAlpha());
        EXPECT_EQ (255, frame.getPixelAt (61, 32).getAlpha());
        EXPECT_LT (frame.getPixelAt (7, 32).getAlpha(), 255);
        EXPECT_LT (frame.getPixelAt (62, 32).getAlpha(), 255);
        EXPECT_EQ (255, frame.getPixelAt (34, 6).getAlpha());
        EXPECT_EQ (255, frame.getPixelAt (34, 59).getAlpha());
        EXPECT_LT (frame.getPixelAt (34, 60).getAlpha(), 255);

        EXPECT_NEAR (-127.0 + 2.0 * k, pointerAngle (frame), 6.0);
        EXPECT_EQ (k == 63, centreMarkPixels (frame) > 4);
    }
}
