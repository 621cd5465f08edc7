#include "VelloranAudioProcessor.h"

// Every host wrapper creates its processor here and owns it from then on.
juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return new VelloranAudioProcessor();
}
