#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

/** What the AAX adapter announces about Ortholume, written against a small
    interface of our own in place of the AAX SDK's descriptor collection. There
    is no AAX SDK or host on this platform; this layer keeps the announcement
    itself defined and tested, so that the adapter built on another platform
    can be checked against the same tables.
*/
namespace ortholume::aax
{
// Identifiers of the AAX properties we set, as the AAX SDK numbers them.
enum PropertyId : int32_t
{
    manufacturerId = 11,
    productId = 12,
    plugInIdNative = 13,
    plugInIdAudioSuite = 14,
    inputStemFormat = 51,
    outputStemFormat = 52,
    canBypass = 60,
    multiMonoSupport = 304
};

constexpr int32_t nullObjectError = -20004;
constexpr uint32_t stemFormatQuad = 0x00040004;
constexpr uint32_t midiNodeLocalInput = 0;
constexpr uint32_t allMidiChannels = 0xffff;

struct MidiNode
{
    uint32_t kind = midiNodeLocalInput;
    std::string name;
    uint32_t channelMask = allMidiChannels;
};

struct ComponentDescription
{
    int configurationIndex = 0;
    int numInputs = 0;
    int numOutputs = 0;
    std::vector<MidiNode> midiNodes;
    std::vector<std::pair<int32_t, int64_t>> properties; // in the order they are announced
};

/** One effect, as the host's collection hands it out to be filled. */
class EffectDescriptor
{
public:
    virtual ~EffectDescriptor() = default;
    virtual void addName (const std::string& name) = 0;
    virtual void addCategory (uint32_t category) = 0;
    virtual void addCallback (const std::string& callbackName) = 0;
    virtual void addComponent (const ComponentDescription& component) = 0;
};

/** The host's collection of effects, in place of the SDK's. */
class DescriptorCollection
{
public:
    virtual ~DescriptorCollection() = default;

    /** May give nothing, in which case nothing is announced. */
    virtual EffectDescriptor* newDescriptor() = 0;
    virtual void addEffect (const std::string& identifier, EffectDescriptor& descriptor) = 0;
    virtual void setManufacturerName (const std::string& name) = 0;
    virtual void addPackageName (const std::string& name) = 0;
    virtual void setPackageVersion (uint32_t version) = 0;
};

/** Fills the collection as the AAX adapter does; 0, or nullObjectError when
    the collection gives no descriptor. */
int32_t getEffectDescriptions (DescriptorCollection& collection);

struct ParameterDescription
{
    std::string identifier;
    std::string name;
    std::string shortName;
    float defaultValue = 0.0f;
    int numSteps = 0;
    bool continuous = false;
    bool automatable = false;
};

/** The adapter's parameter list: its master bypass, then each of the
    processor's parameters under its index. */
std::vector<ParameterDescription> describeParameters (juce::AudioProcessor& processor);
} // namespace ortholume::aax
