#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class VelloranAudioProcessor;

/** One channel's level as a vertical bar: the lower part of the embedded colour
    scale, pinned to the bottom. It keeps no level of its own; it reads its slot
    of the processor's meterLevels whenever it paints. */
class VuMeter final : public juce::Component
{
public:
    VuMeter (VelloranAudioProcessor* processor, int slotIndex);
    ~VuMeter() override;

    void paint (juce::Graphics& g) override;
    void resized() override;

private:
    /** The slot's level limited to 0..1; 0 for a slot the processor does not have. */
    float readLevel() const;

    VelloranAudioProcessor* meterProcessor;
    juce::Image meterImage;
    int slotIndex;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (VuMeter)
};
