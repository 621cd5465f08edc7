#include "VuMeter.h"

#include "processor/VelloranAudioProcessor.h"
#include "BinaryData.h"

namespace
{
// The editor's layout gives the meter its final size later.
constexpr int initialWidth = 4;
constexpr int initialHeight = 35;
} // namespace

VuMeter::VuMeter (VelloranAudioProcessor* processor, int slot)
    : meterProcessor (processor),
      slotIndex (slot)
{
    setSize (initialWidth, initialHeight);
    meterImage = juce::ImageCache::getFromMemory (BinaryData::vuMeterVertical_png,
                                                  BinaryData::vuMeterVertical_pngSize);
}

VuMeter::~VuMeter() = default;

float VuMeter::readLevel() const
{
    if (meterProcessor == nullptr || ! juce::isPositiveAndBelow (slotIndex, (int) meterProcessor->meterLevels.size()))
        return 0.0f;

    const auto level = meterProcessor->meterLevels[(size_t) slotIndex].load (ortholume::relaxed);

    // The engine keeps levels in 0..1; anything else, NaN included, must not
    // push the bar outside the component or the picture.
    return level > 0.0f ? juce::jmin (level, 1.0f) : 0.0f;
}

void VuMeter::paint (juce::Graphics& g)
{
    const auto level = readLevel();
    const auto imageWidth = meterImage.getWidth();
    const auto imageHeight = meterImage.getHeight();

    // Each product is truncated on its own, not derived from the other: that
    // decides which rows are drawn (at 0 dB a 143-pixel meter leaves its bottom
    // row empty), and the scale on the background is drawn for exactly these rows.
    const auto destTop = (int) ((float) getHeight() * (1.0f - level));
    const auto destHeight = (int) ((float) getHeight() * level);
    const auto sourceTop = (int) ((float) imageHeight * (1.0f - level));
    const auto sourceHeight = (int) ((float) imageHeight * level);

    if (destHeight > 0 && sourceHeight > 0 && imageWidth > 0)
        g.drawImage (meterImage, 0, destTop, getWidth(), destHeight, 0, sourceTop, imageWidth, sourceHeight, false);
}

void VuMeter::resized()
{
}
