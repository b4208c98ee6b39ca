// Our own declarations of the VST 2 plug-in interface: the records a host and a
// plug-in exchange, and the opcode and flag numbers this project uses.
// Natural alignment, no packing: the layouts match what hosts expect on 32-bit Windows,
// 64-bit Windows and 64-bit Linux. Pointer-sized values are intptr everywhere: `long`
// is 32 bits on 64-bit Windows.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(_WIN32) && !defined(_WIN64)
#define VSTCALL __cdecl
#else
#define VSTCALL
#endif

typedef std::int32_t int32;
typedef std::intptr_t intptr;

struct AEffect;

typedef intptr(VSTCALL* audioMasterCallback)(AEffect* effect, int32 opcode, int32 index,
                                             intptr value, void* ptr, float opt);
typedef intptr(VSTCALL* AEffectDispatcherProc)(AEffect* effect, int32 opcode, int32 index,
                                               intptr value, void* ptr, float opt);
typedef void(VSTCALL* AEffectProcessProc)(AEffect* effect, float** inputs, float** outputs,
                                          int32 sampleFrames);
typedef void(VSTCALL* AEffectProcessDoubleProc)(AEffect* effect, double** inputs,
                                                double** outputs, int32 sampleFrames);
typedef void(VSTCALL* AEffectSetParameterProc)(AEffect* effect, int32 index, float value);
typedef float(VSTCALL* AEffectGetParameterProc)(AEffect* effect, int32 index);

// Four characters packed with the first one in the most significant byte.
constexpr int32 fourCharCode(char a, char b, char c, char d) {
    return static_cast<int32>((static_cast<std::uint32_t>(static_cast<unsigned char>(a)) << 24) |
                              (static_cast<std::uint32_t>(static_cast<unsigned char>(b)) << 16) |
                              (static_cast<std::uint32_t>(static_cast<unsigned char>(c)) << 8) |
                              static_cast<std::uint32_t>(static_cast<unsigned char>(d)));
}

constexpr int32 kEffectMagic = fourCharCode('V', 's', 't', 'P');

struct AEffect {
    int32 magic;
    AEffectDispatcherProc dispatcher;
    AEffectProcessProc process;
    AEffectSetParameterProc setParameter;
    AEffectGetParameterProc getParameter;
    int32 numPrograms;
    int32 numParams;
    int32 numInputs;
    int32 numOutputs;
    int32 flags;
    intptr resvd1;
    intptr resvd2;
    int32 initialDelay;
    int32 realQualities;
    int32 offQualities;
    float ioRatio;
    void* object;
    void* user;
    int32 uniqueID;
    int32 version;
    AEffectProcessProc processReplacing;
    AEffectProcessDoubleProc processDoubleReplacing;
    char future[56];
};

// Where hosts look for the fields: the first value for 32-bit Windows, the second for
// 64-bit Windows and Linux.
constexpr std::size_t byPointerSize(std::size_t offset32, std::size_t offset64) {
    return sizeof(void*) == 4 ? offset32 : offset64;
}
static_assert(sizeof(void*) == 4 || sizeof(void*) == 8, "a 32 or 64-bit target");
static_assert(sizeof(intptr) == sizeof(void*), "intptr carries a pointer");
static_assert(offsetof(AEffect, dispatcher) == byPointerSize(4, 8), "dispatcher");
static_assert(offsetof(AEffect, process) == byPointerSize(8, 16), "process");
static_assert(offsetof(AEffect, setParameter) == byPointerSize(12, 24), "setParameter");
static_assert(offsetof(AEffect, getParameter) == byPointerSize(16, 32), "getParameter");
static_assert(offsetof(AEffect, numPrograms) == byPointerSize(20, 40), "numPrograms");
static_assert(offsetof(AEffect, numParams) == byPointerSize(24, 44), "numParams");
static_assert(offsetof(AEffect, numInputs) == byPointerSize(28, 48), "numInputs");
static_assert(offsetof(AEffect, numOutputs) == byPointerSize(32, 52), "numOutputs");
static_assert(offsetof(AEffect, flags) == byPointerSize(36, 56), "flags");
static_assert(offsetof(AEffect, resvd1) == byPointerSize(40, 64), "resvd1");
static_assert(offsetof(AEffect, resvd2) == byPointerSize(44, 72), "resvd2");
static_assert(offsetof(AEffect, initialDelay) == byPointerSize(48, 80), "initialDelay");
static_assert(offsetof(AEffect, realQualities) == byPointerSize(52, 84), "realQualities");
static_assert(offsetof(AEffect, offQualities) == byPointerSize(56, 88), "offQualities");
static_assert(offsetof(AEffect, ioRatio) == byPointerSize(60, 92), "ioRatio");
static_assert(offsetof(AEffect, object) == byPointerSize(64, 96), "object");
static_assert(offsetof(AEffect, user) == byPointerSize(68, 104), "user");
static_assert(offsetof(AEffect, uniqueID) == byPointerSize(72, 112), "uniqueID");
static_assert(offsetof(AEffect, version) == byPointerSize(76, 116), "version");
static_assert(offsetof(AEffect, processReplacing) == byPointerSize(80, 120), "processReplacing");
static_assert(offsetof(AEffect, processDoubleReplacing) == byPointerSize(84, 128),
              "processDoubleReplacing");
static_assert(sizeof(AEffect) == byPointerSize(144, 192), "AEffect size");

enum VstAEffectFlags : int32 {
    effFlagsHasEditor = 1,
    effFlagsHasClip = 2,
    effFlagsHasVu = 4,
    effFlagsCanMono = 8,
    effFlagsCanReplacing = 16,
    effFlagsProgramChunks = 32,
    effFlagsIsSynth = 256,
};

struct VstEvent {
    int32 type;
    int32 byteSize;
    int32 deltaFrames;
    int32 flags;
    char data[16];
};

struct VstEvents {
    int32 numEvents;
    intptr reserved;
    VstEvent* events[2];  // really numEvents entries long
};

static_assert(offsetof(VstEvents, events) == 2 * sizeof(intptr),
              "the event pointers follow two pointer-sized header fields");

constexpr int32 kVstMidiType = 1;

struct VstMidiEvent {
    int32 type;
    int32 byteSize;
    int32 deltaFrames;
    int32 flags;
    int32 noteLength;
    int32 noteOffset;
    char midiData[4];
    char detune;
    char noteOffVelocity;
    char reserved1;
    char reserved2;
};

struct VstSpeakerProperties {
    float azimuth;
    float elevation;
    float radius;
    float reserved;
    char name[64];
    int32 type;
    char future[28];
};

struct VstSpeakerArrangement {
    int32 type;
    int32 numChannels;
    VstSpeakerProperties speakers[8];  // allocated for numChannels speakers
};

struct ERect {
    std::int16_t top;
    std::int16_t left;
    std::int16_t bottom;
    std::int16_t right;
};

struct VstKeyCode {
    int32 character;
    std::uint8_t virt;
    std::uint8_t modifier;
};

enum VstModifierKey : std::uint8_t {
    MODIFIER_SHIFT = 1,
    MODIFIER_ALTERNATE = 2,
    MODIFIER_COMMAND = 4,
    MODIFIER_CONTROL = 8,
};

static_assert(sizeof(VstSpeakerProperties) == 112, "speaker properties are 112 bytes");
static_assert(sizeof(VstMidiEvent) == 32, "a MIDI event is 32 bytes");
static_assert(offsetof(VstSpeakerArrangement, speakers) == 8, "arrangement header is 8 bytes");
static_assert(sizeof(ERect) == 8, "ERect is four 16-bit fields");

// Dispatcher opcodes (host to plug-in).
enum AEffectOpcodes : int32 {
    effOpen = 0,
    effClose,
    effSetProgram,
    effGetProgram,
    effSetProgramName,
    effGetProgramName,
    effGetParamLabel,
    effGetParamDisplay,
    effGetParamName,
    effGetVu,
    effSetSampleRate,
    effSetBlockSize,
    effMainsChanged,
    effEditGetRect,
    effEditOpen,
    effEditClose,
    effEditDraw,
    effEditMouse,
    effEditKey,
    effEditIdle,
    effEditTop,
    effEditSleep,
    effIdentify,
    effGetChunk,
    effSetChunk,
    effProcessEvents,  // 25
    effCanBeAutomated,
    effString2Parameter,
    effGetNumProgramCategories,
    effGetProgramNameIndexed,
    effCopyProgram,  // 30
    effConnectInput,
    effConnectOutput,
    effGetInputProperties,
    effGetOutputProperties,
    effGetPlugCategory,  // 35
    effGetCurrentPosition,
    effGetDestinationBuffer,
    effOfflineNotify,
    effOfflinePrepare,
    effOfflineRun,  // 40
    effProcessVarIo,
    effSetSpeakerArrangement,
    effSetBlockSizeAndSampleRate,
    effSetBypass,
    effGetEffectName,  // 45
    effGetErrorText,
    effGetVendorString,
    effGetProductString,
    effGetVendorVersion,
    effVendorSpecific,  // 50
    effCanDo,
    effGetTailSize,
    effIdle,
    effGetIcon,
    effSetViewPosition,  // 55
    effGetParameterProperties,
    effKeysRequired,
    effGetVstVersion,
    effEditKeyDown,
    effEditKeyUp,  // 60
    effSetEditKnobMode,
    effGetMidiProgramName,
    effGetCurrentMidiProgram,
    effGetMidiProgramCategory,
    effHasMidiProgramsChanged,  // 65
    effGetMidiKeyName,
    effBeginSetProgram,
    effEndSetProgram,
    effGetSpeakerArrangement,
    effShellGetNextPlugin,  // 70
    effStartProcess,
    effStopProcess,
    effSetTotalSampleToProcess,
    effSetPanLaw,
    effBeginLoadBank,  // 75
    effBeginLoadProgram,
};

// Host callback opcodes (plug-in to host).
enum AudioMasterOpcodes : int32 {
    audioMasterAutomate = 0,
    audioMasterVersion = 1,
    audioMasterCurrentId = 2,
    audioMasterIdle = 3,
    audioMasterPinConnected = 4,
    audioMasterWantMidi = 6,
    audioMasterGetTime = 7,
    audioMasterProcessEvents = 8,
    audioMasterSizeWindow = 15,
    audioMasterGetSampleRate = 16,
    audioMasterGetBlockSize = 17,
    audioMasterGetCurrentProcessLevel = 23,
    audioMasterGetVendorString = 32,
    audioMasterGetProductString = 33,
    audioMasterGetVendorVersion = 34,
    audioMasterCanDo = 37,
    audioMasterBeginEdit = 43,
    audioMasterEndEdit = 44,
};

// A host's answer to audioMasterGetCurrentProcessLevel while it renders offline.
constexpr intptr kVstProcessLevelOffline = 4;

// Speaker arrangement type used when the plug-in answers with an arrangement of its own.
constexpr int32 kSpeakerArrUserDefined = 15;
