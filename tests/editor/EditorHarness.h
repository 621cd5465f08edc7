#pragma once

// Drives real components through the real message loop: clicks land where the
// framework's own hit testing puts them, timers run as they would.

#include "MessageLoop.h"
#include "processor/VelloranAudioProcessor.h"

#include <gtest/gtest.h>
#include <juce_audio_processors/juce_audio_processors.h>

namespace ortholume::testing
{
using ortholume::relaxed;

inline void runMessageLoop (int milliseconds)
{
    ortholume::testing::runMessageLoopFor (milliseconds);
}

/** Keeps pumping messages until the condition holds or the time runs out. */
template <typename Condition>
bool runMessageLoopUntil (Condition condition, int timeoutMilliseconds)
{
    const auto deadline = juce::Time::getMillisecondCounter() + (juce::uint32) timeoutMilliseconds;

    while (! condition())
    {
        if (juce::Time::getMillisecondCounter() > deadline)
            return false;

        runMessageLoop (5);
    }

    return true;
}

/** A mouse event on the component itself, for controls no click can reach. */
inline juce::MouseEvent mouseEventOn (juce::Component& component, juce::Point<float> position, int numberOfClicks)
{
    const auto now = juce::Time::getCurrentTime();
    return juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), position,
                             juce::ModifierKeys (juce::ModifierKeys::leftButtonModifier),
                             juce::MouseInputSource::defaultPressure, juce::MouseInputSource::defaultOrientation,
                             0.0f, 0.0f, 0.0f, &component, &component, now, position, now, numberOfClicks, false);
}

inline juce::MouseEvent mouseEventOn (juce::Component& component, int numberOfClicks)
{
    return mouseEventOn (component, component.getLocalBounds().getCentre().toFloat(), numberOfClicks);
}

/** A left click at a point of a window: the framework's hit testing picks the
        topmost component there, which gets the press and the release. */
inline void clickAt (juce::Component& window, int x, int y)
{
    auto* target = window.getComponentAt (x, y);
    ASSERT_NE (target, nullptr) << "nothing at " << x << ", " << y;
    const auto position = target->getLocalPoint (&window, juce::Point<int> (x, y)).toFloat();
    juce::Component::SafePointer<juce::Component> safeTarget (target);

    target->mouseDown (mouseEventOn (*target, position, 1));

    if (safeTarget != nullptr)
        safeTarget->mouseUp (mouseEventOn (*target, position, 1));
}

template <typename ComponentType>
ComponentType* childOfType (juce::Component& parent)
{
    for (auto* child : parent.getChildren())
        if (auto* typed = dynamic_cast<ComponentType*> (child))
            return typed;

    return nullptr;
}

inline bool connectedOnAllEdges (const juce::Button& b)
{
    return b.isConnectedOnLeft() && b.isConnectedOnRight() && b.isConnectedOnTop() && b.isConnectedOnBottom();
}

/** What the host hears from the processor. */
struct HostRecorder final : public juce::AudioProcessorListener
{
    void audioProcessorParameterChanged (juce::AudioProcessor*, int index, float value) override
    {
        changes.push_back ({ index, value });
    }

    void audioProcessorChanged (juce::AudioProcessor*, const ChangeDetails&) override {}

    void audioProcessorParameterChangeGestureBegin (juce::AudioProcessor*, int index) override
    {
        gestures.add ("begin " + juce::String (index));
    }

    void audioProcessorParameterChangeGestureEnd (juce::AudioProcessor*, int index) override
    {
        gestures.add ("end " + juce::String (index));
    }

    std::vector<std::pair<int, float>> changes;
    juce::StringArray gestures;
};

} // namespace ortholume::testing
