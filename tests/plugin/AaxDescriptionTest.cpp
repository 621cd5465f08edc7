// The AAX announcement against the identity tables: every call the adapter
// makes on the host's collection, in order, with its literal value.
#include <gtest/gtest.h>

#include "aax/AaxDescription.h"
#include "processor/VelloranAudioProcessor.h"

#include <memory>

using namespace ortholume::aax;

namespace
{
/** A host collection that writes down every call it receives. */
class RecordingCollection final : public DescriptorCollection,
                                  private EffectDescriptor
{
public:
    explicit RecordingCollection (bool givesDescriptor)
        : hasDescriptor (givesDescriptor)
    {}

    EffectDescriptor* newDescriptor() override
    {
        log.push_back ("newDescriptor");
        return hasDescriptor ? this : nullptr;
    }

    void addEffect (const std::string& identifier, EffectDescriptor& descriptor) override
    {
        log.push_back ("addEffect " + identifier + (&descriptor == this ? " (the new descriptor)" : " (another)"));
    }

    void setManufacturerName (const std::string& name) override { log.push_back ("manufacturer " + name); }
    void addPackageName (const std::string& name) override { log.push_back ("packageName " + name); }
    void setPackageVersion (uint32_t version) override { log.push_back ("packageVersion " + hex (version)); }

    std::vector<std::string> log;
    std::vector<ComponentDescription> components;

private:
    void addName (const std::string& name) override { log.push_back ("effect name " + name); }
    void addCategory (uint32_t category) override { log.push_back ("effect category " + hex (category)); }
    void addCallback (const std::string& name) override { log.push_back ("effect callback " + name); }

    void addComponent (const ComponentDescription& component) override
    {
        log.push_back ("effect component " + std::to_string (component.configurationIndex));
        components.push_back (component);
    }

    static std::string hex (uint32_t value)
    {
        char text[16];
        std::snprintf (text, sizeof (text), "0x%x", value);
        return text;
    }

    bool hasDescriptor;
};
} // namespace

TEST (AaxDescription, EffectIsAnnouncedInTheAdaptersOrder)
{
    RecordingCollection collection (true);
    ASSERT_EQ (getEffectDescriptions (collection), 0);

    const std::vector<std::string> expected {
        "newDescriptor",
        "effect name Ortholume",
        "effect name Ortholume",
        "effect category 0x200",
        "effect callback JuceAAX_GUI",
        "effect callback JuceAAX_Processor",
        "effect component 0",
        "addEffect com.Brackenfold.Ortholume (the new descriptor)",
        "manufacturer Brackenfold",
        "packageName Ortholume",
        "packageName Ortholume",
        "packageVersion 0x10000",
    };

    EXPECT_EQ (collection.log, expected);
}

TEST (AaxDescription, OneQuadComponentWithMidiInputAndEveryProperty)
{
    RecordingCollection collection (true);
    ASSERT_EQ (getEffectDescriptions (collection), 0);
    ASSERT_EQ (collection.components.size(), 1u);

    const auto& component = collection.components[0];
    EXPECT_EQ (component.configurationIndex, 0);
    EXPECT_EQ (component.numInputs, 4);
    EXPECT_EQ (component.numOutputs, 4);

    ASSERT_EQ (component.midiNodes.size(), 1u);
    EXPECT_EQ (component.midiNodes[0].kind, 0u);
    EXPECT_EQ (component.midiNodes[0].name, "Ortholume");
    EXPECT_EQ (component.midiNodes[0].channelMask, 0xffffu);

    const std::vector<std::pair<int32_t, int64_t>> expected {
        { 11, 0x42726664 }, // manufacturer 'Brfd'
        { 12, 0x42664f6c }, // product 'BfOl'
        { 60, 1 }, // can bypass
        { 51, 0x40004 }, // input stem: quad
        { 52, 0x40004 }, // output stem: quad
        { 13, 0x6a636161 }, // native id 'jcaa' + 0
        { 14, 0x6a796161 }, // AudioSuite id 'jyaa' + 0
        { 304, 1 }, // multi-mono allowed
    };

    EXPECT_EQ (component.properties, expected);
}

TEST (AaxDescription, CollectionWithoutDescriptorGetsNullObjectErrorAndNothingElse)
{
    RecordingCollection collection (false);
    EXPECT_EQ (getEffectDescriptions (collection), -20004);
    EXPECT_EQ (collection.log, std::vector<std::string> { "newDescriptor" });
    EXPECT_TRUE (collection.components.empty());
}

TEST (AaxDescription, ParametersAreMasterBypassThenGainUnderIndexZero)
{
    auto processor = std::make_unique<VelloranAudioProcessor>();
    const auto parameters = describeParameters (*processor);

    ASSERT_EQ (parameters.size(), 2u);
    EXPECT_EQ (parameters[0].identifier, "MasterBypassID");
    EXPECT_EQ (parameters[0].name, "Master Bypass");

    const auto& gain = parameters[1];
    EXPECT_EQ (gain.identifier, "0");
    EXPECT_EQ (gain.name, "Gain");
    EXPECT_EQ (gain.shortName, "Gain");
    EXPECT_FLOAT_EQ (gain.defaultValue, 0.9f);
    // The framework's default step count for a legacy parameter is its
    // maximum integer, so the gain counts as continuous.
    EXPECT_EQ (gain.numSteps, 0x7fffffff);
    EXPECT_TRUE (gain.continuous);
    EXPECT_TRUE (gain.automatable);
}
