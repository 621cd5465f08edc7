// Draws the plug-in's artwork and writes the PNG files that the plug-in embeds.
// The output depends only on this program and the typeface file, so running it
// again reproduces the committed files byte for byte.

#include "Artwork.h"
#include "ContactSheet.h"
#include "PngEncoder.h"

#include <iostream>

using namespace ortholume::artwork;

namespace
{
constexpr int backgroundColours = 256;
constexpr int labelColours = 17; // sixteen greys and, for FuMa, transparency

struct Resource
{
    juce::String fileName;
    juce::MemoryBlock png;
};

std::vector<Resource> drawResources (const juce::Typeface::Ptr& typeface)
{
    constexpr int fullPaper = 37, fumaPaper = 31;

    return {
        { "editorBackground.png", encodeIndexedPng (pixelsOf (editorBackground (typeface)), backgroundColours) },
        { "gearIcon.png", encodeRgbaPng (tintedCoverage (gearIcon(), juce::Colour (0xfffcfcfc))) },
        { "ambixLabel.png", encodeIndexedPng (pixelsOf (formatLabel (typeface, "ambiX", fullPaper)), labelColours) },
        { "fumaLabel.png", encodeIndexedPng (pixelsOf (formatLabel (typeface, "FuMa", fumaPaper)), labelColours) },
        { "WXYZ.png", encodeRgbaPng (tintedCoverage (channelLetters (typeface, "WXYZ"), juce::Colour (0xfffefefe))) },
        { "WYZX.png", encodeRgbaPng (tintedCoverage (channelLetters (typeface, "WYZX"), juce::Colour (0xfffefefe))) },
        { "vuMeterVertical.png", encodeRgbaPng (pixelsOf (meterGradient())) },
        { "bouton_G_70x70.png", encodeRgbaPng (pixelsOf (knobStrip())) },
    };
}

bool writeFile (const juce::File& file, const juce::MemoryBlock& data)
{
    if (file.replaceWithData (data.getData(), data.getSize()))
        return true;

    std::cerr << "cannot write " << file.getFullPathName() << "\n";
    return false;
}

int usage()
{
    std::cerr << "usage: ortholume-artwork <typeface.ttf> <output folder> [--contact-sheet <file.png>]\n";
    return 2;
}
} // namespace

int main (int argc, char* argv[])
{
    if (argc != 3 && ! (argc == 5 && juce::String (argv[3]) == "--contact-sheet"))
        return usage();

    const auto cwd = juce::File::getCurrentWorkingDirectory();
    juce::MemoryBlock fontData;

    if (! cwd.getChildFile (argv[1]).loadFileAsData (fontData) || fontData.isEmpty())
    {
        std::cerr << "cannot read typeface " << argv[1] << "\n";
        return 1;
    }

    const auto typeface = juce::Typeface::createSystemTypefaceFor (fontData.getData(), fontData.getSize());
    const auto outputFolder = cwd.getChildFile (argv[2]);

    if (typeface == nullptr || ! outputFolder.createDirectory())
        return usage();

    std::vector<ContactSheetEntry> sheetEntries;

    for (const auto& resource : drawResources (typeface))
    {
        if (! writeFile (outputFolder.getChildFile (resource.fileName), resource.png))
            return 1;

        // The sheet shows the files as a decoder reads them back, not the drawings.
        sheetEntries.push_back ({ resource.fileName,
                                  juce::ImageFileFormat::loadFrom (resource.png.getData(), resource.png.getSize()) });
    }

    if (argc == 5)
    {
        juce::MemoryOutputStream sheet;
        juce::PNGImageFormat().writeImageToStream (drawContactSheet (sheetEntries, typeface), sheet);

        if (! writeFile (cwd.getChildFile (argv[4]), sheet.getMemoryBlock()))
            return 1;
    }

    juce::DeletedAtShutdown::deleteAll();
    return 0;
}
