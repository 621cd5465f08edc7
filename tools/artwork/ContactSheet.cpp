#include "ContactSheet.h"

#include "Artwork.h"

namespace ortholume::artwork
{
namespace
{
constexpr int sheetWidth = 1840;
constexpr int margin = 24;
constexpr int zoom = 4;
constexpr int labelHeight = 22;
constexpr int framesPerRow = 16;
const int zoomedKnobFrames[] = { 0, 63, 126 };

void drawChecked (juce::Graphics& g, const juce::Image& image, juce::Rectangle<int> area)
{
    constexpr int square = 8;

    for (int y = area.getY(); y < area.getBottom(); y += square)
        for (int x = area.getX(); x < area.getRight(); x += square)
        {
            const bool dark = (((x - area.getX()) / square + (y - area.getY()) / square) % 2) != 0;
            g.setColour (dark ? juce::Colour (0xff3a3c40) : juce::Colour (0xff55585d));
            g.fillRect (juce::Rectangle<int> (x, y, square, square).getIntersection (area));
        }

    g.setImageResamplingQuality (juce::Graphics::lowResamplingQuality);
    g.drawImage (image, area.toFloat());
}

juce::Image knobFrame (const juce::Image& strip, int frame)
{
    return strip.getClippedImage ({ 0, frame * knobFrameSize, knobFrameSize,
                                    knobFrameSize });
}

/** Places pictures left to right, starting a new row when the sheet is full. */
struct Layout
{
    int x = margin, y = margin, rowHeight = 0;

    juce::Rectangle<int> place (int width, int height)
    {
        if (x > margin && x + width > sheetWidth - margin)
            newRow();

        const juce::Rectangle<int> area (x, y, width, height);
        x += width + margin;
        rowHeight = juce::jmax (rowHeight, height);
        return area;
    }

    void newRow()
    {
        y += rowHeight + margin;
        x = margin;
        rowHeight = 0;
    }
};

struct Drawing
{
    juce::Image image;
    juce::Rectangle<int> area;
};

std::vector<Drawing> layOut (const std::vector<ContactSheetEntry>& entries, Layout& layout,
                             std::vector<std::pair<juce::String, juce::Point<int>>>& labels)
{
    std::vector<Drawing> drawings;

    for (const auto& entry : entries)
    {
        labels.push_back ({ entry.name, { margin, layout.y } });
        layout.y += labelHeight;
        const auto isKnobStrip = entry.image.getHeight() == knobFrameSize * knobFrameCount;

        if (isKnobStrip)
        {
            for (int frame = 0; frame < knobFrameCount; ++frame)
            {
                if (frame > 0 && frame % framesPerRow == 0)
                    layout.newRow();

                drawings.push_back ({ knobFrame (entry.image, frame),
                                      layout.place (knobFrameSize, knobFrameSize) });
            }

            layout.newRow();

            for (auto frame : zoomedKnobFrames)
                drawings.push_back ({ knobFrame (entry.image, frame),
                                      layout.place (knobFrameSize * zoom, knobFrameSize * zoom) });
        }
        else
        {
            drawings.push_back ({ entry.image, layout.place (entry.image.getWidth(), entry.image.getHeight()) });
            drawings.push_back ({ entry.image, layout.place (entry.image.getWidth() * zoom,
                                                             entry.image.getHeight() * zoom) });
        }

        layout.newRow();
    }

    return drawings;
}
} // namespace

juce::Image drawContactSheet (const std::vector<ContactSheetEntry>& entries, const juce::Typeface::Ptr& typeface)
{
    Layout layout;
    std::vector<std::pair<juce::String, juce::Point<int>>> labels;
    const auto drawings = layOut (entries, layout, labels);

    juce::Image sheet (juce::Image::RGB, sheetWidth, layout.y + margin, true, juce::SoftwareImageType());
    juce::Graphics g (sheet);
    g.fillAll (juce::Colour (0xff2b2d30));

    juce::Font font (typeface);
    font.setHeight (16.0f);
    g.setFont (font);
    g.setColour (juce::Colour (0xffe6e6e6));

    for (const auto& [name, position] : labels)
        g.drawText (name + "  (1:1 and " + juce::String (zoom) + "x)", position.x, position.y, sheetWidth, labelHeight - 4,
                    juce::Justification::centredLeft);

    for (const auto& drawing : drawings)
        drawChecked (g, drawing.image, drawing.area);

    return sheet;
}
} // namespace ortholume::artwork
