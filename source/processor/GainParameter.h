#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

namespace ortholume
{
/** Hosts, saved sessions and automation address the plug-in's one parameter,
    the gain, by index, through the framework's index-based calls. The framework
    marks those calls deprecated; code outside the processor makes them only
    through these. */
constexpr int gainParameterIndex = 0;

float getGainParameter (juce::AudioProcessor& processor);
juce::String getGainParameterText (juce::AudioProcessor& processor);
void setGainParameter (juce::AudioProcessor& processor, float normalisedValue);

/** Sets the value, then tells the host, in that order; a user's change bracketed by a gesture. */
void setGainParameterNotifyingHost (juce::AudioProcessor& processor, float normalisedValue);
void beginGainChangeGesture (juce::AudioProcessor& processor);
void endGainChangeGesture (juce::AudioProcessor& processor);

/** The gain as a host's parameter list shows it, for an adapter that announces
    it: its name cut to the lengths the host allows, its default, steps and
    whether it can be automated. */
struct GainParameterListing
{
    juce::String name, shortName;
    float defaultValue = 0.0f;
    int numSteps = 0;
    bool automatable = false;
};

GainParameterListing listGainParameter (juce::AudioProcessor& processor, int maxNameLength, int maxShortNameLength);
} // namespace ortholume
