#include "Pixels.h"

namespace ortholume::artwork
{
Pixels pixelsOf (const juce::Image& image)
{
    Pixels result;
    result.width = image.getWidth();
    result.height = image.getHeight();
    result.argb.resize ((size_t) (result.width * result.height));

    const juce::Image::BitmapData data (image, juce::Image::BitmapData::readOnly);

    for (int y = 0; y < result.height; ++y)
        for (int x = 0; x < result.width; ++x)
            result.set (x, y, data.getPixelColour (x, y).getARGB());

    return result;
}

Pixels tintedCoverage (const juce::Image& image, juce::Colour colour)
{
    auto result = pixelsOf (image);
    const auto rgb = colour.getARGB() & 0x00ffffffu;

    for (auto& pixel : result.argb)
    {
        const auto alpha = pixel & 0xff000000u;
        pixel = alpha == 0 ? 0u : (alpha | rgb);
    }

    return result;
}
} // namespace ortholume::artwork
