#include <gtest/gtest.h>
#include <juce_events/juce_events.h>

// JUCE's message system is set up once for the whole program, as a host would.
int main (int argc, char** argv)
{
    ::testing::InitGoogleTest (&argc, argv);
    juce::ScopedJuceInitialiser_GUI juceSystem;
    return RUN_ALL_TESTS();
}
