// What AltLookAndFeel draws for buttons and combo boxes, and which typeface it
// hands out, rendered into images without a display.

#include "EditorTestSupport.h"
#include "editor/AltLookAndFeel.h"

using namespace ortholume::testing;

namespace
{
/** Installs a look and feel as the process default for one test, with a clean font cache. */
struct ScopedDefaultLookAndFeel
{
    explicit ScopedDefaultLookAndFeel (juce::LookAndFeel& lookAndFeel)
    {
        juce::LookAndFeel::setDefaultLookAndFeel (&lookAndFeel);
        juce::Typeface::clearTypefaceCache();
    }

    ~ScopedDefaultLookAndFeel()
    {
        juce::LookAndFeel::setDefaultLookAndFeel (nullptr);
        juce::Typeface::clearTypefaceCache();
    }
};

/** An empty-text button in a known colour, drawn by the given look and feel. */
struct PlainButton
{
    PlainButton (juce::LookAndFeel& lookAndFeel, int width, int height)
    {
        button.setLookAndFeel (&lookAndFeel);
        button.setColour (juce::TextButton::buttonColourId, juce::Colour (0xff2060c0));
        button.setColour (juce::TextButton::buttonOnColourId, juce::Colour (0xff2060c0));
        button.setSize (width, height);
    }

    ~PlainButton() { button.setLookAndFeel (nullptr); }

    juce::TextButton button;
};

const juce::String otherFamily ("DejaVu Sans");

bool otherFamilyInstalled() { return juce::Font::findAllTypefaceNames().contains (otherFamily); }
} // namespace

TEST (EditorLookAndFeel, HighlightColoursAreLightCyanAtThreeQuarterOpacity)
{
    AltLookAndFeel lookAndFeel;
    EXPECT_EQ (0xbf5ec5dau, lookAndFeel.findColour (juce::PopupMenu::highlightedBackgroundColourId).getARGB());
    EXPECT_EQ (0xbf5ec5dau, lookAndFeel.findColour (juce::TextEditor::focusedOutlineColourId).getARGB());
}

TEST (EditorLookAndFeel, DefaultSansSerifFontsGetTheEmbeddedRobotoAndNamedFamiliesKeepTheirs)
{
    AltLookAndFeel lookAndFeel;

    for (const auto& font : { juce::Font (14.0f), juce::Font (15.0f, juce::Font::bold),
                              juce::Font (16.0f, juce::Font::italic) })
    {
        const auto typeface = lookAndFeel.getTypefaceForFont (font);
        ASSERT_NE (nullptr, typeface);
        EXPECT_EQ ("Roboto", typeface->getName().toStdString());
    }

    if (! otherFamilyInstalled())
        GTEST_SKIP() << otherFamily << " is not installed";

    EXPECT_EQ (otherFamily.toStdString(),
               lookAndFeel.getTypefaceForFont (juce::Font (otherFamily, 14.0f, juce::Font::plain))->getName().toStdString());
}

TEST (EditorLookAndFeel, FontsBuiltFromAHeightAloneRenderInRobotoOnceInstalledAsDefault)
{
    AltLookAndFeel lookAndFeel;
    ScopedDefaultLookAndFeel installed (lookAndFeel);

    juce::TextButton button;
    juce::ComboBox box;

    for (const auto& font : { juce::Font (15.0f), lookAndFeel.getTextButtonFont (button, 30),
                              lookAndFeel.getComboBoxFont (box) })
        EXPECT_EQ ("Roboto", font.getTypefacePtr()->getName().toStdString());

    EXPECT_FLOAT_EQ (14.0f, lookAndFeel.getTextButtonFont (button, 30).getHeight());
    EXPECT_FLOAT_EQ (14.0f, lookAndFeel.getComboBoxFont (box).getHeight());

    if (otherFamilyInstalled())
    {
        EXPECT_EQ (otherFamily.toStdString(),
                   juce::Font (otherFamily, 15.0f, juce::Font::plain).getTypefacePtr()->getName().toStdString());
    }
}

TEST (EditorLookAndFeel, ButtonBodyIsDrawnAtNineTenthsOfItsAlphaAndHalfWhenDisabled)
{
    AltLookAndFeel lookAndFeel;

    PlainButton enabled (lookAndFeel, 60, 24);
    const auto enabledImage = render (enabled.button);

    PlainButton disabled (lookAndFeel, 60, 24);
    disabled.button.setEnabled (false);
    const auto disabledImage = render (disabled.button);

    // Inside the body, away from the edge strokes, only the gradient fill shows.
    EXPECT_NEAR (0.9 * 255, enabledImage.getPixelAt (30, 12).getAlpha(), 1.0);
    EXPECT_NEAR (0.5 * 255, disabledImage.getPixelAt (30, 12).getAlpha(), 1.0);

    // The white edge runs along the top and bottom rows.
    EXPECT_EQ (0xffffffffu, enabledImage.getPixelAt (30, 0).getARGB());
    EXPECT_EQ (0xffffffffu, enabledImage.getPixelAt (30, 23).getARGB());
    EXPECT_FALSE (enabledImage.getPixelAt (30, 0) == enabledImage.getPixelAt (30, 12));
}

TEST (EditorLookAndFeel, CornersAreRoundedUnlessAnAdjoiningEdgeIsConnected)
{
    AltLookAndFeel lookAndFeel;

    PlainButton free (lookAndFeel, 40, 20);
    const auto freeImage = render (free.button);

    PlainButton joinedOnLeft (lookAndFeel, 40, 20);
    joinedOnLeft.button.setConnectedEdges (juce::Button::ConnectedOnLeft);
    const auto joinedImage = render (joinedOnLeft.button);

    for (auto [x, y] : { std::pair { 0, 0 }, { 39, 0 }, { 0, 19 }, { 39, 19 } })
        EXPECT_LT (freeImage.getPixelAt (x, y).getAlpha(), 128) << x << ", " << y;

    EXPECT_EQ (255, joinedImage.getPixelAt (0, 0).getAlpha());
    EXPECT_EQ (255, joinedImage.getPixelAt (0, 19).getAlpha());
    EXPECT_LT (joinedImage.getPixelAt (39, 0).getAlpha(), 128);
    EXPECT_LT (joinedImage.getPixelAt (39, 19).getAlpha(), 128);
}

TEST (EditorLookAndFeel, OnePixelButtonHasNoBodyButShowsTheRedToggleFrame)
{
    AltLookAndFeel lookAndFeel;

    PlainButton off (lookAndFeel, 1, 1);
    EXPECT_TRUE (isTransparent (render (off.button)));

    PlainButton on (lookAndFeel, 1, 1);
    on.button.setToggleState (true, juce::dontSendNotification);
    EXPECT_TRUE (colourNear (render (on.button).getPixelAt (0, 0), 0xe6ff0000, 2));
}

TEST (EditorLookAndFeel, ToggledButtonGetsTheRedFrameOverItsBody)
{
    AltLookAndFeel lookAndFeel;
    PlainButton on (lookAndFeel, 40, 20);
    on.button.setToggleState (true, juce::dontSendNotification);
    const auto image = render (on.button);

    // Red at 0.9 over the white edge, along every side.
    for (auto [x, y] : { std::pair { 20, 0 }, { 20, 19 }, { 0, 10 }, { 39, 10 } })
        EXPECT_TRUE (colourNear (image.getPixelAt (x, y), 0xffff1919, 2)) << x << ", " << y;
}

TEST (EditorLookAndFeel, ComboBoxIsBlackWithAnOutlineAndTwoArrowsWhetherEnabledOrNot)
{
    AltLookAndFeel lookAndFeel;

    for (bool enabled : { true, false })
    {
        SCOPED_TRACE (enabled ? "enabled" : "disabled");
        juce::ComboBox box;
        box.setLookAndFeel (&lookAndFeel);
        box.setSize (120, 24);
        box.setEnabled (enabled);
        const auto image = render (box);

        // The arrow button is what the box leaves right of its text label.
        ASSERT_EQ (1, box.getNumChildComponents());
        const auto bx = (float) box.getChildComponent (0)->getRight();
        const auto bw = 120.0f - bx;
        const auto bh = 24.0f;

        EXPECT_EQ (0xff000000u, image.getPixelAt (30, 12).getARGB());

        for (auto [x, y] : { std::pair { 0, 12 }, { 119, 12 }, { 60, 0 }, { 60, 23 } })
            EXPECT_EQ (0xfff5f5f5u, image.getPixelAt (x, y).getARGB()) << x << ", " << y;

        // White at 0.7 alpha over black (0.7 x 255 = 178.5) at the centroids of the two triangles,
        // black between them.
        const auto arrowX = (int) (bx + 0.5f * bw);
        const auto upperY = (int) ((0.25f + 0.45f + 0.45f) / 3.0f * bh);
        const auto lowerY = (int) ((0.75f + 0.55f + 0.55f) / 3.0f * bh);
        EXPECT_TRUE (colourNear (image.getPixelAt (arrowX, upperY), 0xffb2b2b2, 2));
        EXPECT_TRUE (colourNear (image.getPixelAt (arrowX, lowerY), 0xffb2b2b2, 2));
        EXPECT_EQ (0xff000000u, image.getPixelAt (arrowX, (int) (0.5f * bh) - 1).getARGB());

        box.setLookAndFeel (nullptr);
    }
}
