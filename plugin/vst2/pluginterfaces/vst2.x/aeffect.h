// Ortholume's own description of the VST 2.4 binary interface: the effect
// record, its callbacks and the core opcodes and flags. Written from the
// publicly documented layout of the ABI, covering what the framework's VST2
// adapter and VST2 hosting use, and nothing else.
//
// The framework includes this file inside a namespace, so it must not include
// anything itself: only built-in types appear here.
#pragma once

#if defined(_WIN32)
#define VSTCALLBACK __cdecl
#else
#define VSTCALLBACK
#endif

// The interface version a 2.4 plug-in reports.
#define kVstVersion 2400

typedef int VstInt32;
typedef short VstInt16;
typedef __INTPTR_TYPE__ VstIntPtr;

struct AEffect;

typedef VstIntPtr (VSTCALLBACK* audioMasterCallback) (AEffect* effect, VstInt32 opcode, VstInt32 index,
                                                      VstIntPtr value, void* ptr, float opt);
typedef VstIntPtr (VSTCALLBACK* AEffectDispatcherProc) (AEffect* effect, VstInt32 opcode, VstInt32 index,
                                                        VstIntPtr value, void* ptr, float opt);
typedef void (VSTCALLBACK* AEffectProcessProc) (AEffect* effect, float** inputs, float** outputs, VstInt32 sampleFrames);
typedef void (VSTCALLBACK* AEffectProcessDoubleProc) (AEffect* effect, double** inputs, double** outputs,
                                                      VstInt32 sampleFrames);
typedef void (VSTCALLBACK* AEffectSetParameterProc) (AEffect* effect, VstInt32 index, float value);
typedef float (VSTCALLBACK* AEffectGetParameterProc) (AEffect* effect, VstInt32 index);

// 'VstP', the value of AEffect::magic.
enum
{
    kEffectMagic = 0x56737450
};

/** The record a plug-in hands to its host. Every offset is part of the ABI. */
struct AEffect
{
    VstInt32 magic;
    AEffectDispatcherProc dispatcher;
    AEffectProcessProc process; // the accumulating process call of 2.3 and earlier
    AEffectSetParameterProc setParameter;
    AEffectGetParameterProc getParameter;
    VstInt32 numPrograms;
    VstInt32 numParams;
    VstInt32 numInputs;
    VstInt32 numOutputs;
    VstInt32 flags;
    VstIntPtr resvd1;
    VstIntPtr resvd2;
    VstInt32 initialDelay;
    VstInt32 realQualities;
    VstInt32 offQualities;
    float ioRatio;
    void* object;
    void* user;
    VstInt32 uniqueID;
    VstInt32 version;
    AEffectProcessProc processReplacing;
    AEffectProcessDoubleProc processDoubleReplacing;
    char future[56];
};

enum VstAEffectFlags
{
    effFlagsHasEditor = 1 << 0,
    effFlagsCanReplacing = 1 << 4,
    effFlagsProgramChunks = 1 << 5,
    effFlagsIsSynth = 1 << 8,
    effFlagsNoSoundInStop = 1 << 9,
    effFlagsCanDoubleReplacing = 1 << 12
};

// Host to plug-in requests, through AEffect::dispatcher. Gaps are opcodes
// nothing here uses.
enum AEffectOpcodes
{
    effOpen = 0,
    effClose = 1,
    effSetProgram = 2,
    effGetProgram = 3,
    effSetProgramName = 4,
    effGetProgramName = 5,
    effGetParamLabel = 6,
    effGetParamDisplay = 7,
    effGetParamName = 8,
    effSetSampleRate = 10,
    effSetBlockSize = 11,
    effMainsChanged = 12,
    effEditGetRect = 13,
    effEditOpen = 14,
    effEditClose = 15,
    effEditIdle = 19,
    effEditTop = 20,
    effIdentify = 22,
    effGetChunk = 23,
    effSetChunk = 24
};

// Plug-in to host requests, through the audioMasterCallback.
enum AudioMasterOpcodes
{
    audioMasterAutomate = 0,
    audioMasterVersion = 1,
    audioMasterCurrentId = 2,
    audioMasterIdle = 3,
    audioMasterPinConnected = 4
};

#if defined(__cplusplus) && __cplusplus >= 201103L
static_assert (sizeof (VstInt32) == 4, "VstInt32 is 32 bits");
static_assert (sizeof (VstIntPtr) == sizeof (void*), "VstIntPtr holds a pointer");

#if defined(__x86_64__) || defined(_M_X64)
static_assert (sizeof (AEffect) == 192, "AEffect layout");
static_assert (__builtin_offsetof(AEffect, dispatcher) == 8, "AEffect layout");
static_assert (__builtin_offsetof(AEffect, numPrograms) == 40, "AEffect layout");
static_assert (__builtin_offsetof(AEffect, flags) == 56, "AEffect layout");
static_assert (__builtin_offsetof(AEffect, resvd1) == 64, "AEffect layout");
static_assert (__builtin_offsetof(AEffect, initialDelay) == 80, "AEffect layout");
static_assert (__builtin_offsetof(AEffect, ioRatio) == 92, "AEffect layout");
static_assert (__builtin_offsetof(AEffect, object) == 96, "AEffect layout");
static_assert (__builtin_offsetof(AEffect, uniqueID) == 112, "AEffect layout");
static_assert (__builtin_offsetof(AEffect, version) == 116, "AEffect layout");
static_assert (__builtin_offsetof(AEffect, processReplacing) == 120, "AEffect layout");
static_assert (__builtin_offsetof(AEffect, processDoubleReplacing) == 128, "AEffect layout");
static_assert (__builtin_offsetof(AEffect, future) == 136, "AEffect layout");
#endif
#endif
