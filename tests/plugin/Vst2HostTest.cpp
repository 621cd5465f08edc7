// A minimal VST2 host of our own: dlopen the built library, call VSTPluginMain
// and talk to the effect record through its dispatcher, as a VST2 host does.
// Nothing of the framework is linked here; only our ABI header is shared.
#include <gtest/gtest.h>

#include <pluginterfaces/vst2.x/aeffect.h>
#include <pluginterfaces/vst2.x/aeffectx.h>

#include <dlfcn.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace
{
using MainProc = AEffect* (*) (audioMasterCallback);

// What the test host answers to the version query, and what it was asked.
VstIntPtr hostVersion = 2400;
std::vector<VstInt32> hostOpcodes;

VstIntPtr VSTCALLBACK hostCallback (AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
    hostOpcodes.push_back (opcode);

    switch (opcode)
    {
        case audioMasterVersion: return hostVersion;
        case audioMasterGetSampleRate: return 48000;
        case audioMasterGetBlockSize: return 256;
        case audioMasterGetCurrentProcessLevel: return 1;
        case audioMasterGetTime: return 0;
        default: return 0;
    }
}

constexpr VstInt32 fourCharCode (const char (&code)[5])
{
    return (VstInt32) (((unsigned) (unsigned char) code[0] << 24) | ((unsigned) (unsigned char) code[1] << 16)
                       | ((unsigned) (unsigned char) code[2] << 8) | (unsigned) (unsigned char) code[3]);
}

class Vst2Host : public ::testing::Test
{
protected:
    void SetUp() override
    {
        library = dlopen (ORTHOLUME_VST2_LIBRARY, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE (library, nullptr) << dlerror();
        entry = reinterpret_cast<MainProc> (dlsym (library, "VSTPluginMain"));
        ASSERT_NE (entry, nullptr) << "VSTPluginMain is not exported";
        hostVersion = 2400;
        hostOpcodes.clear();
    }

    void TearDown() override
    {
        if (effect != nullptr)
            dispatch (effClose);

        // The framework inside the library keeps process-wide state: stay loaded.
    }

    bool open()
    {
        effect = entry (hostCallback);

        if (effect == nullptr)
            return false;

        dispatch (effOpen);
        return true;
    }

    VstIntPtr dispatch (VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0.0f)
    {
        return effect->dispatcher (effect, opcode, index, value, ptr, opt);
    }

    std::string text (VstInt32 opcode, VstInt32 index = 0)
    {
        char buffer[256] {};
        dispatch (opcode, index, 0, buffer);
        return buffer;
    }

    VstIntPtr canDo (const char* query)
    {
        return dispatch (effCanDo, 0, 0, const_cast<char*> (query));
    }

    std::vector<char> chunk (VstInt32 kind)
    {
        void* data = nullptr;
        const auto size = dispatch (effGetChunk, kind, 0, &data);

        if (size <= 0 || data == nullptr)
            return {};

        const auto* bytes = static_cast<const char*> (data);
        return { bytes, bytes + size };
    }

    void resume (float sampleRate, VstIntPtr blockSize)
    {
        dispatch (effSetSampleRate, 0, 0, nullptr, sampleRate);
        dispatch (effSetBlockSize, 0, blockSize);
        dispatch (effMainsChanged, 0, 1);
        dispatch (effStartProcess);
    }

    void* library = nullptr;
    MainProc entry = nullptr;
    AEffect* effect = nullptr;
};

struct Arrangement
{
    explicit Arrangement (VstInt32 type, VstInt32 numChannels)
    {
        value.type = type;
        value.numChannels = numChannels;
    }

    VstSpeakerArrangement value {};
};

/** The saved state of a new processor, byte for byte. */
std::string defaultStateBlock()
{
    const std::string xml = "<Root><Gain>0.9</Gain><idxInputConfig>0</idxInputConfig></Root>";
    std::string block ("\x56\x43\x32\x21", 4);
    block += std::string ("\x3f\x00\x00\x00", 4);
    block += xml;
    block += '\0';
    return block;
}
} // namespace

//==============================================================================
TEST_F (Vst2Host, EffectRecordAnnouncesIdentityChannelsAndFlags)
{
    ASSERT_TRUE (open());

    EXPECT_EQ (effect->magic, 0x56737450);
    EXPECT_EQ (effect->uniqueID, fourCharCode ("BfOl"));
    EXPECT_EQ (effect->uniqueID, 0x42664f6c);
    EXPECT_EQ (effect->version, 100);
    EXPECT_EQ (effect->numInputs, 4);
    EXPECT_EQ (effect->numOutputs, 4);
    EXPECT_EQ (effect->numPrograms, 1);
    EXPECT_EQ (effect->numParams, 1);
    EXPECT_EQ (effect->initialDelay, 0);
    EXPECT_NE (effect->flags & effFlagsHasEditor, 0);
    EXPECT_NE (effect->flags & effFlagsCanReplacing, 0);
    EXPECT_NE (effect->flags & effFlagsProgramChunks, 0);
    EXPECT_EQ (effect->flags & effFlagsIsSynth, 0);
    EXPECT_EQ (effect->flags & effFlagsCanDoubleReplacing, 0);
    EXPECT_NE (effect->processReplacing, nullptr);
}

TEST_F (Vst2Host, QueriesAnswerNamesVersionsAndCategory)
{
    ASSERT_TRUE (open());

    EXPECT_EQ (text (effGetEffectName), "Ortholume");
    EXPECT_EQ (text (effGetProductString), "Ortholume");
    EXPECT_EQ (text (effGetVendorString), "Brackenfold");
    EXPECT_EQ (dispatch (effGetVstVersion), 2400);
    EXPECT_EQ (dispatch (effGetPlugCategory), 5);

    // The framework's adapter answers the vendor version with the hex version
    // code itself; only the effect record's version field is configurable.
    EXPECT_EQ (dispatch (effGetVendorVersion), 0x10000);

    resume (48000.0f, 256);
    EXPECT_EQ (dispatch (effGetTailSize), 0);
}

TEST_F (Vst2Host, ParameterAndProgramRequestsReachTheProcessor)
{
    ASSERT_TRUE (open());

    EXPECT_EQ (text (effGetParamName, 0), "Gain");
    EXPECT_EQ (text (effGetParamDisplay, 0), "0.9");
    EXPECT_EQ (text (effGetParamLabel, 0), "");
    EXPECT_FLOAT_EQ (effect->getParameter (effect, 0), 0.9f);

    effect->setParameter (effect, 0, 0.25f);
    EXPECT_FLOAT_EQ (effect->getParameter (effect, 0), 0.25f);
    EXPECT_EQ (text (effGetParamDisplay, 0), "0.25");

    EXPECT_EQ (dispatch (effGetProgram), 0);
    EXPECT_EQ (text (effGetProgramName), "Default");
    EXPECT_EQ (text (effGetProgramNameIndexed, 0), "Default");

    char beyond[64] {};
    EXPECT_EQ (dispatch (effGetProgramNameIndexed, 1, 0, beyond), 0);
    EXPECT_STREQ (beyond, "");
}

TEST_F (Vst2Host, PinsAnswerForFourChannelsAndRefuseTheFifth)
{
    ASSERT_TRUE (open());

    for (VstInt32 pin = 0; pin < 4; ++pin)
    {
        for (auto opcode : { effGetInputProperties, effGetOutputProperties })
        {
            VstPinProperties properties {};
            ASSERT_EQ (dispatch (opcode, pin, 0, &properties), 1) << "pin " << pin;

            // The framework labels pins "<bus name> <zero-based index>" and always
            // reports them as speakers of the current layout.
            const auto expected = std::string (opcode == effGetInputProperties ? "Input " : "Output ")
                                  + std::to_string (pin);
            EXPECT_EQ (std::string (properties.label), expected);
            // The framework copies the short label with room for one byte more
            // than the field; "Output n" fills all eight and ends in the next byte.
            EXPECT_EQ (std::string (properties.shortLabel, strnlen (properties.shortLabel, 8)), expected.substr (0, 8));
            EXPECT_EQ (properties.flags, kVstPinIsActive | kVstPinUseSpeaker);
            EXPECT_EQ (properties.arrangementType, kSpeakerArrUserDefined);
        }
    }

    VstPinProperties fifth {};
    EXPECT_EQ (dispatch (effGetInputProperties, 4, 0, &fifth), 0);
    EXPECT_EQ (dispatch (effGetOutputProperties, 4, 0, &fifth), 0);
}

TEST_F (Vst2Host, CapabilityAnswers)
{
    ASSERT_TRUE (open());

    for (auto* query : { "receiveVstEvents", "receiveVstMidiEvent", "receiveVstMidiEvents",
                         "receiveVstTimeInfo", "conformsToWindowRules", "bypass" })
        EXPECT_EQ (canDo (query), 1) << query;

    for (auto* query : { "sendVstEvents", "sendVstMidiEvent", "sendVstMidiEvents", "openCloseAnyThread" })
        EXPECT_EQ (canDo (query), -1) << query;

    for (auto* query : { "offline", "midiProgramNames", "noRealTime", "" })
        EXPECT_EQ (canDo (query), 0) << query;
}

TEST_F (Vst2Host, AnyFourByFourArrangementIsAcceptedAndOthersRefused)
{
    ASSERT_TRUE (open());

    const auto propose = [this] (VstInt32 inType, VstInt32 inChannels, VstInt32 outType, VstInt32 outChannels) {
        Arrangement in (inType, inChannels), out (outType, outChannels);
        return dispatch (effSetSpeakerArrangement, 0, (VstIntPtr) &in.value, &out.value);
    };

    EXPECT_EQ (propose (kSpeakerArrStereo, 2, kSpeakerArrStereo, 2), 0);
    EXPECT_EQ (propose (kSpeakerArrMono, 1, kSpeakerArrMono, 1), 0);
    EXPECT_EQ (propose (kSpeakerArr51, 6, kSpeakerArr51, 6), 0);
    EXPECT_EQ (propose (kSpeakerArr40Music, 4, kSpeakerArrStereo, 2), 0);

    const auto expectFourAndFour = [this] {
        VstSpeakerArrangement* in = nullptr;
        VstSpeakerArrangement* out = nullptr;
        ASSERT_EQ (dispatch (effGetSpeakerArrangement, 0, (VstIntPtr) &in, &out), 1);
        EXPECT_EQ (in->numChannels, 4);
        EXPECT_EQ (out->numChannels, 4);
        EXPECT_EQ (effect->numInputs, 4);
        EXPECT_EQ (effect->numOutputs, 4);
    };

    expectFourAndFour();

    EXPECT_EQ (propose (kSpeakerArr40Music, 4, kSpeakerArr40Music, 4), 1);
    expectFourAndFour();

    VstPinProperties pin {};
    ASSERT_EQ (dispatch (effGetOutputProperties, 0, 0, &pin), 1);
    EXPECT_EQ (pin.arrangementType, kSpeakerArr40Music);
    EXPECT_NE (pin.flags & kVstPinUseSpeaker, 0);

    EXPECT_EQ (propose (kSpeakerArr40Cine, 4, kSpeakerArr40Cine, 4), 1);
    EXPECT_EQ (propose (kSpeakerArrUserDefined, 4, kSpeakerArrUserDefined, 4), 1);
    expectFourAndFour();
}

TEST_F (Vst2Host, BankAndProgramChunksHoldTheSameSavedState)
{
    ASSERT_TRUE (open());

    const auto bank = chunk (0);
    const auto program = chunk (1);
    const auto expected = defaultStateBlock();

    ASSERT_EQ (bank.size(), 72u);
    EXPECT_EQ (std::string (bank.begin(), bank.end()), expected);
    EXPECT_EQ (bank, program);
}

TEST_F (Vst2Host, RestoringAChunkSetsGainAndDirection)
{
    ASSERT_TRUE (open());

    const std::string xml = "<Root><Gain>0.5</Gain><idxInputConfig>1</idxInputConfig></Root>";
    std::string block ("\x56\x43\x32\x21", 4);
    const auto length = (unsigned) xml.size();
    block += std::string { (char) (length & 0xff), 0, 0, 0 };
    block += xml;
    block += '\0';

    // The framework's adapter answers every restore with 0.
    EXPECT_EQ (dispatch (effSetChunk, 0, (VstIntPtr) block.size(), block.data()), 0);
    EXPECT_FLOAT_EQ (effect->getParameter (effect, 0), 0.5f);
    EXPECT_EQ (text (effGetParamDisplay, 0), "0.5");

    const auto saved = chunk (0);
    EXPECT_EQ (std::string (saved.begin(), saved.end()), block);

    // A program chunk restores the same block.
    const auto original = defaultStateBlock();
    dispatch (effSetChunk, 1, (VstIntPtr) original.size(), const_cast<char*> (original.data()));
    EXPECT_FLOAT_EQ (effect->getParameter (effect, 0), 0.9f);
    const auto programChunk = chunk (1);
    EXPECT_EQ (std::string (programChunk.begin(), programChunk.end()), original);

    // An empty restore leaves everything as it was.
    effect->setParameter (effect, 0, 0.3f);
    EXPECT_EQ (dispatch (effSetChunk, 0, 0, nullptr), 0);
    EXPECT_FLOAT_EQ (effect->getParameter (effect, 0), 0.3f);
}

TEST_F (Vst2Host, ProcessReplacingConvertsFumaToAmbix)
{
    ASSERT_TRUE (open());
    constexpr int numSamples = 256;
    resume (48000.0f, numSamples);

    std::vector<std::vector<float>> in (4, std::vector<float> (numSamples)), out (4, std::vector<float> (numSamples, 7.0f));
    const float gains[] = { 0.70710677f, 0.6f, -0.45f, 0.3f };

    for (int c = 0; c < 4; ++c)
        for (int i = 0; i < numSamples; ++i)
            in[(size_t) c][(size_t) i] = gains[c] * (float) std::sin (0.05 * i + c);

    float* inputs[4];
    float* outputs[4];

    for (int c = 0; c < 4; ++c)
    {
        inputs[c] = in[(size_t) c].data();
        outputs[c] = out[(size_t) c].data();
    }

    for (int run = 0; run < 3; ++run)
    {
        effect->processReplacing (effect, inputs, outputs, numSamples);

        for (size_t i = 0; i < (size_t) numSamples; ++i)
        {
            ASSERT_EQ (out[0][i], in[0][i] * 1.41421353816986083984375f) << "sample " << i;
            ASSERT_EQ (out[1][i], in[2][i]) << "sample " << i;
            ASSERT_EQ (out[2][i], in[3][i]) << "sample " << i;
            ASSERT_EQ (out[3][i], in[1][i]) << "sample " << i;
        }
    }

    // The host's soft bypass passes the four channels through untouched.
    EXPECT_EQ (dispatch (effSetBypass, 0, 1), 1);
    effect->processReplacing (effect, inputs, outputs, numSamples);

    for (size_t c = 0; c < 4; ++c)
        for (size_t i = 0; i < (size_t) numSamples; ++i)
            ASSERT_EQ (out[c][i], in[c][i]) << "channel " << c << " sample " << i;

    dispatch (effStopProcess);
    dispatch (effMainsChanged, 0, 0);
}

TEST_F (Vst2Host, HostAnsweringVersionZeroGetsNothing)
{
    hostVersion = 0;
    EXPECT_FALSE (open());

    // The version query is the only call made: no processor, no adapter.
    ASSERT_EQ (hostOpcodes.size(), 1u);
    EXPECT_EQ (hostOpcodes[0], audioMasterVersion);
}
