// A Windows host of our own for the cross-built plug-ins, run under wine. It
// loads the built files as a host does (LoadLibrary and the exported entry
// points) and links nothing of the plug-in or the framework. Each check is one
// command-line case, so that CTest lists them by name.
#include <pluginterfaces/vst2.x/aeffect.h>
#include <pluginterfaces/vst2.x/aeffectx.h>

#include <pluginterfaces/base/ipluginbase.h>
#include <pluginterfaces/vst/ivstcomponent.h>

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace Steinberg
{
namespace Vst
{
DEF_CLASS_IID (IComponent)
}
} // namespace Steinberg

namespace
{
int failures = 0;

void check (bool passed, const char* what, int line)
{
    if (! passed)
    {
        std::fprintf (stderr, "line %d: failed: %s\n", line, what);
        ++failures;
    }
}

template <typename Actual, typename Expected>
void checkEqual (const Actual& actual, const Expected& expected, const char* what, int line)
{
    if (! (actual == expected))
    {
        std::fprintf (stderr, "line %d: failed: %s (got %s)\n", line, what, std::to_string (actual).c_str());
        ++failures;
    }
}

void checkText (const std::string& actual, const std::string& expected, const char* what, int line)
{
    if (actual != expected)
    {
        std::fprintf (stderr, "line %d: failed: %s (got \"%s\")\n", line, what, actual.c_str());
        ++failures;
    }
}

#define CHECK(condition) check ((condition), #condition, __LINE__)
#define CHECK_EQ(actual, expected) checkEqual ((actual), (expected), #actual " == " #expected, __LINE__)
#define CHECK_TEXT(actual, expected) checkText ((actual), (expected), #actual " == " #expected, __LINE__)

//==============================================================================
VstIntPtr VSTCALLBACK hostCallback (AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
    switch (opcode)
    {
        case audioMasterVersion: return 2400;
        case audioMasterGetSampleRate: return 48000;
        case audioMasterGetBlockSize: return 256;
        case audioMasterGetCurrentProcessLevel: return 1;
        default: return 0;
    }
}

/** One VST2 instance of the library, opened and closed as a host does. */
struct Vst2Instance
{
    explicit Vst2Instance (const std::string& path)
    {
        module = LoadLibraryA (path.c_str());

        if (module == nullptr)
        {
            std::fprintf (stderr, "cannot load %s (error %lu)\n", path.c_str(), GetLastError());
            return;
        }

        using MainProc = AEffect*(VSTCALLBACK*) (audioMasterCallback);
        auto entry = reinterpret_cast<MainProc> (reinterpret_cast<void*> (GetProcAddress (module, "VSTPluginMain")));

        if (entry == nullptr)
        {
            std::fprintf (stderr, "VSTPluginMain is not exported\n");
            return;
        }

        effect = entry (hostCallback);

        if (effect != nullptr)
            dispatch (effOpen);
    }

    ~Vst2Instance()
    {
        if (effect != nullptr)
            dispatch (effClose);

        // The framework inside keeps process-wide state until the process ends: stay loaded.
    }

    VstIntPtr dispatch (VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0.0f)
    {
        return effect->dispatcher (effect, opcode, index, value, ptr, opt);
    }

    std::string text (VstInt32 opcode)
    {
        char buffer[256] {};
        dispatch (opcode, 0, 0, buffer);
        return buffer;
    }

    HMODULE module = nullptr;
    AEffect* effect = nullptr;
};

int vst2Identity (const std::string& path)
{
    Vst2Instance instance (path);
    CHECK (instance.effect != nullptr);

    if (instance.effect == nullptr)
        return 1;

    const auto& effect = *instance.effect;
    CHECK_EQ (effect.magic, 0x56737450);
    CHECK_EQ (effect.uniqueID, 0x42664f6c); // 'BfOl'
    CHECK_EQ (effect.version, 100);
    CHECK_EQ (effect.numInputs, 4);
    CHECK_EQ (effect.numOutputs, 4);
    CHECK_EQ (effect.numPrograms, 1);
    CHECK_EQ (effect.numParams, 1);
    CHECK_EQ (effect.initialDelay, 0);
    CHECK ((effect.flags & effFlagsHasEditor) != 0);
    CHECK ((effect.flags & effFlagsCanReplacing) != 0);
    CHECK ((effect.flags & effFlagsProgramChunks) != 0);
    CHECK ((effect.flags & effFlagsIsSynth) == 0);
    CHECK ((effect.flags & effFlagsCanDoubleReplacing) == 0);

    CHECK_TEXT (instance.text (effGetEffectName), "Ortholume");
    CHECK_TEXT (instance.text (effGetProductString), "Ortholume");
    CHECK_TEXT (instance.text (effGetVendorString), "Brackenfold");
    CHECK_EQ (instance.dispatch (effGetVstVersion), 2400);
    CHECK_EQ (instance.dispatch (effGetPlugCategory), 5);
    return failures;
}

int vst2NewInstanceState (const std::string& path)
{
    Vst2Instance instance (path);
    CHECK (instance.effect != nullptr);

    if (instance.effect == nullptr)
        return 1;

    void* data = nullptr;
    const auto size = instance.dispatch (effGetChunk, 0, 0, &data);
    CHECK_EQ (size, 72);
    CHECK (data != nullptr);

    if (size != 72 || data == nullptr)
        return 1;

    const std::string expected = std::string ("\x56\x43\x32\x21"
                                              "\x3f\x00\x00\x00",
                                              8)
                                 + "<Root><Gain>0.9</Gain><idxInputConfig>0</idxInputConfig></Root>"
                                 + std::string (1, '\0');
    CHECK_TEXT (std::string (static_cast<const char*> (data), (size_t) size), expected);
    return failures;
}

int vst2ConvertsFumaToAmbix (const std::string& path)
{
    Vst2Instance instance (path);
    CHECK (instance.effect != nullptr);

    if (instance.effect == nullptr)
        return 1;

    constexpr int numSamples = 256;
    instance.dispatch (effSetSampleRate, 0, 0, nullptr, 48000.0f);
    instance.dispatch (effSetBlockSize, 0, numSamples);
    instance.dispatch (effMainsChanged, 0, 1);
    instance.dispatch (effStartProcess);

    std::vector<std::vector<float>> in (4, std::vector<float> (numSamples)), out (4, std::vector<float> (numSamples, 7.0f));
    const float scales[] = { 0.70710677f, 0.6f, -0.45f, 0.3f };

    for (size_t c = 0; c < 4; ++c)
        for (size_t i = 0; i < (size_t) numSamples; ++i)
            in[c][i] = scales[c] * (float) (((int) (i * 37 + c * 11) % 200) - 100) / 100.0f;

    float* inputs[4];
    float* outputs[4];

    for (size_t c = 0; c < 4; ++c)
    {
        inputs[c] = in[c].data();
        outputs[c] = out[c].data();
    }

    instance.effect->processReplacing (instance.effect, inputs, outputs, numSamples);

    // FuMa W X Y Z in, AmbiX W Y Z X out, W raised by 3 dB.
    int wrongSamples = 0;

    for (size_t i = 0; i < (size_t) numSamples; ++i)
    {
        if (out[0][i] != in[0][i] * 1.41421353816986083984375f || out[1][i] != in[2][i]
            || out[2][i] != in[3][i] || out[3][i] != in[1][i])
        {
            if (wrongSamples++ == 0)
                std::fprintf (stderr, "sample %u: %g %g %g %g\n", (unsigned) i, out[0][i], out[1][i], out[2][i], out[3][i]);
        }
    }

    CHECK_EQ (wrongSamples, 0);
    CHECK (out[3][1] != 0.0f); // the input is not silence: the comparison above means something

    instance.dispatch (effStopProcess);
    instance.dispatch (effMainsChanged, 0, 0);
    return failures;
}

//==============================================================================
int vst3Factory (const std::string& path)
{
    using namespace Steinberg;

    const auto module = LoadLibraryA (path.c_str());
    CHECK (module != nullptr);

    if (module == nullptr)
        return 1;

    // Windows hosts call InitDll first when the module has it.
    using InitProc = bool (*)();
    if (auto init = reinterpret_cast<InitProc> (reinterpret_cast<void*> (GetProcAddress (module, "InitDll"))))
        CHECK (init());

    using FactoryProc = IPluginFactory*(PLUGIN_API*) ();
    auto getFactory = reinterpret_cast<FactoryProc> (reinterpret_cast<void*> (GetProcAddress (module, "GetPluginFactory")));
    CHECK (getFactory != nullptr);

    if (getFactory == nullptr)
        return 1;

    auto* factory = getFactory();
    CHECK (factory != nullptr);

    if (factory == nullptr)
        return 1;

    PFactoryInfo factoryInfo {};
    CHECK_EQ (factory->getFactoryInfo (&factoryInfo), kResultOk);
    CHECK_TEXT (factoryInfo.vendor, "Brackenfold");

    IPluginFactory2* factory2 = nullptr;
    CHECK_EQ (factory->queryInterface (IPluginFactory2::iid, reinterpret_cast<void**> (&factory2)), kResultOk);

    // The audio class is the one hosts list; the controller class comes with it.
    int audioClasses = 0;

    for (int32 i = 0; i < factory->countClasses(); ++i)
    {
        PClassInfo2 info {};

        if (factory2 == nullptr || factory2->getClassInfo2 (i, &info) != kResultOk)
            continue;

        if (std::strcmp (info.category, "Audio Module Class") != 0)
            continue;

        ++audioClasses;
        CHECK_TEXT (info.name, "Ortholume");
        CHECK_TEXT (info.vendor, "Brackenfold");
        CHECK_TEXT (info.version, "1.0.0");
        CHECK_TEXT (info.subCategories, "Fx|Spatial");

        Vst::IComponent* component = nullptr;
        CHECK_EQ (factory->createInstance (info.cid, Vst::IComponent::iid, reinterpret_cast<void**> (&component)), kResultOk);

        if (component == nullptr)
            continue;

        CHECK_EQ (component->initialize (nullptr), kResultOk);

        for (auto direction : { Vst::kInput, Vst::kOutput })
        {
            CHECK_EQ (component->getBusCount (Vst::kAudio, direction), 1);
            Vst::BusInfo bus {};
            CHECK_EQ (component->getBusInfo (Vst::kAudio, direction, 0, bus), kResultOk);
            CHECK_EQ (bus.channelCount, 4);
        }

        component->terminate();
        component->release();
    }

    CHECK_EQ (audioClasses, 1);

    if (factory2 != nullptr)
        factory2->release();

    factory->release();
    return failures;
}

//==============================================================================
std::string versionString (const std::vector<char>& block, const char* name)
{
    char* value = nullptr;
    UINT length = 0;
    const auto key = std::string ("\\StringFileInfo\\040904B0\\") + name;

    if (! VerQueryValueA (block.data(), key.c_str(), reinterpret_cast<void**> (&value), &length) || value == nullptr)
        return "(missing)";

    return value;
}

int versionResource (const std::string& path)
{
    DWORD handle = 0;
    const auto size = GetFileVersionInfoSizeA (path.c_str(), &handle);
    CHECK (size > 0);

    if (size == 0)
        return 1;

    std::vector<char> block (size);
    CHECK (GetFileVersionInfoA (path.c_str(), 0, size, block.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    CHECK (VerQueryValueA (block.data(), "\\", reinterpret_cast<void**> (&fixed), &length));

    if (fixed == nullptr)
        return 1;

    CHECK_EQ (fixed->dwSignature, 0xFEEF04BDu);
    CHECK_EQ (fixed->dwFileVersionMS, 0x00010000u); // 1.0
    CHECK_EQ (fixed->dwFileVersionLS, 0x00000000u); // .0.0
    CHECK_EQ (fixed->dwProductVersionMS, 0x00000000u);
    CHECK_EQ (fixed->dwProductVersionLS, 0x00000000u);

    CHECK_TEXT (versionString (block, "CompanyName"), "Brackenfold");
    CHECK_TEXT (versionString (block, "FileDescription"), "Ortholume");
    CHECK_TEXT (versionString (block, "FileVersion"), "1.0.0");
    CHECK_TEXT (versionString (block, "ProductName"), "Ortholume");
    CHECK_TEXT (versionString (block, "ProductVersion"), "1.0.0");
    return failures;
}
} // namespace

int main (int argc, char** argv)
{
    const std::map<std::string, std::function<int (const std::string&)>> cases {
        { "vst2-identity", vst2Identity },
        { "vst2-new-instance-state", vst2NewInstanceState },
        { "vst2-converts-fuma-to-ambix", vst2ConvertsFumaToAmbix },
        { "vst3-factory", vst3Factory },
        { "version-resource", versionResource }
    };

    const auto found = argc == 3 ? cases.find (argv[1]) : cases.end();

    if (found == cases.end())
    {
        std::fprintf (stderr, "usage: %s CASE FILE\n", argv[0]);
        return 2;
    }

    const auto result = found->second (argv[2]);
    std::printf ("%s %s: %s\n", argv[1], argv[2], result == 0 ? "passed" : "FAILED");
    return result == 0 ? 0 : 1;
}
