// Tiny VST 2 libraries for the render tool's tests. FAKE_KIND picks one:
//   1 no entry point, 2 wrong magic, 3 entry returns null,
//   4 probe with processReplacing, 5 probe with only the accumulating process call
//     and no indexed program names, 6 the probe of 4 exported only as main.
#include <cstdio>
#include <cstring>
#include <limits>

#include "tests/render/fakes/FakeProbe.h"

#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))

#if FAKE_KIND == 1

FAKE_EXPORT int notAPluginEntry() { return 0; }

#elif FAKE_KIND == 2 || FAKE_KIND == 3

FAKE_EXPORT AEffect* VSTPluginMain(audioMasterCallback) {
#if FAKE_KIND == 2
    static AEffect record = {};
    record.magic = fourCharCode('N', 'o', 'p', 'e');
    return &record;
#else
    return nullptr;
#endif
}

#else

extern "C" {
__attribute__((visibility("default"))) FakeProbe fakeProbe;
}

namespace {

constexpr bool kReplacing = FAKE_KIND != 5;
const char* const kProgramNames[] = {"Unity", "Quiet", "Silent"};
const float kProgramGains[] = {0.5f, 0.125f, 0.0f};
constexpr int kNumPrograms = 3;

struct Probe {
    AEffect record = {};
    audioMasterCallback host = nullptr;
    float params[kFakeNumParams] = {0.5f, 0.0f};
    int program = 0;
};

Probe* probeOf(AEffect* effect) { return static_cast<Probe*>(effect->object); }

void copyText(void* ptr, const char* text) { std::strcpy(static_cast<char*>(ptr), text); }

void render(AEffect* effect, float** inputs, float** outputs, int32 frames, bool accumulate) {
    Probe* probe = probeOf(effect);
    const float gain = probe->params[kFakeGain] * 2.0f;
    const bool poison = probe->params[kFakePoison] >= 0.5f;
    for (int channel = 0; channel < 2; ++channel) {
        for (int32 i = 0; i < frames; ++i) {
            float sample = inputs[channel][i] * gain;
            const std::int64_t frame = fakeProbe.framesProcessed + i;
            if (poison && frame == kFakePoisonFrame) sample = std::numeric_limits<float>::quiet_NaN();
            if (poison && frame == kFakePoisonFrame + 1) sample = std::numeric_limits<float>::infinity();
            outputs[channel][i] = accumulate ? outputs[channel][i] + sample : sample;
        }
    }
    fakeProbe.framesProcessed += frames;
    if (frames > fakeProbe.largestBlock) fakeProbe.largestBlock = frames;
}

void VSTCALL processReplacing(AEffect* effect, float** inputs, float** outputs, int32 frames) {
    render(effect, inputs, outputs, frames, false);
}

void VSTCALL processAccumulating(AEffect* effect, float** inputs, float** outputs, int32 frames) {
    render(effect, inputs, outputs, frames, true);
}

void VSTCALL setParameter(AEffect* effect, int32 index, float value) {
    if (index >= 0 && index < kFakeNumParams) probeOf(effect)->params[index] = value;
}

float VSTCALL getParameter(AEffect* effect, int32 index) {
    return index >= 0 && index < kFakeNumParams ? probeOf(effect)->params[index] : 0.0f;
}

void receiveEvents(const VstEvents* events) {
    // The pointer array is really numEvents long; read it without the declared bound.
    VstEvent* const* list = reinterpret_cast<VstEvent* const*>(
        reinterpret_cast<const char*>(events) + offsetof(VstEvents, events));
    for (int32 i = 0; i < events->numEvents && fakeProbe.eventCount < 32; ++i) {
        const VstMidiEvent* midi = reinterpret_cast<const VstMidiEvent*>(list[i]);
        if (midi->type != kVstMidiType) continue;
        fakeProbe.eventFrames[fakeProbe.eventCount] = fakeProbe.framesProcessed + midi->deltaFrames;
        std::memcpy(fakeProbe.eventBytes[fakeProbe.eventCount], midi->midiData, 3);
        ++fakeProbe.eventCount;
    }
}

intptr VSTCALL dispatcher(AEffect* effect, int32 opcode, int32 index, intptr value, void* ptr, float opt) {
    Probe* probe = probeOf(effect);
    if (fakeProbe.opcodeCount < 256) fakeProbe.opcodes[fakeProbe.opcodeCount++] = opcode;
    switch (opcode) {
        case effClose:
            delete probe;
            --fakeProbe.instancesAlive;
            return 1;
        case effSetSampleRate: fakeProbe.sampleRate = opt; return 0;
        case effSetBlockSize: fakeProbe.blockSize = value; return 0;
        case effMainsChanged:
            if (value) {
                fakeProbe.sampleRateAnswer = probe->host(effect, audioMasterGetSampleRate, 0, 0, nullptr, 0);
                fakeProbe.blockSizeAnswer = probe->host(effect, audioMasterGetBlockSize, 0, 0, nullptr, 0);
                fakeProbe.processLevelAnswer =
                    probe->host(effect, audioMasterGetCurrentProcessLevel, 0, 0, nullptr, 0);
                fakeProbe.unknownOpcodeAnswer = probe->host(effect, 9999, 0, 0, nullptr, 0);
            }
            return 0;
        case effSetProgram:
            if (value >= 0 && value < kNumPrograms) {
                probe->program = static_cast<int>(value);
                probe->params[kFakeGain] = kProgramGains[value];
                probe->host(effect, audioMasterAutomate, kFakeGain, 0, nullptr, kProgramGains[value]);
            }
            return 0;
        case effGetProgram: return probe->program;
        case effGetProgramName: copyText(ptr, kProgramNames[probe->program]); return 0;
        case effGetProgramNameIndexed:
            if (!kReplacing || index < 0 || index >= kNumPrograms) return 0;
            copyText(ptr, kProgramNames[index]);
            return 1;
        case effGetParamName: copyText(ptr, index == kFakeGain ? "Gain" : "Poison"); return 0;
        case effGetParamLabel: copyText(ptr, index == kFakeGain ? "x2" : ""); return 0;
        case effGetParamDisplay: std::snprintf(static_cast<char*>(ptr), 8, "%.3f", probe->params[index]); return 0;
        case effGetEffectName: copyText(ptr, "Fake Probe"); return 1;
        case effProcessEvents: receiveEvents(static_cast<const VstEvents*>(ptr)); return 1;
        default: return 0;
    }
}

}  // namespace

#if FAKE_KIND == 6
FAKE_EXPORT AEffect* probeEntry(audioMasterCallback host) __asm__("main");
#else
#define probeEntry VSTPluginMain
FAKE_EXPORT AEffect* probeEntry(audioMasterCallback host);
#endif

AEffect* probeEntry(audioMasterCallback host) {
    fakeProbe.versionAnswer = host(nullptr, audioMasterVersion, 0, 0, nullptr, 0);
    fakeProbe.entrySampleRateAnswer = host(nullptr, audioMasterGetSampleRate, 0, 0, nullptr, 0);
    Probe* probe = new Probe;
    probe->host = host;
    AEffect& record = probe->record;
    record.magic = kEffectMagic;
    record.dispatcher = dispatcher;
    record.process = processAccumulating;
    record.processReplacing = kReplacing ? processReplacing : nullptr;
    record.setParameter = setParameter;
    record.getParameter = getParameter;
    record.numPrograms = kNumPrograms;
    record.numParams = kFakeNumParams;
    record.numInputs = 2;
    record.numOutputs = 2;
    record.flags = kReplacing ? effFlagsCanReplacing : 0;
    record.object = probe;
    record.uniqueID = fourCharCode('F', 'a', 'k', 'e');
    ++fakeProbe.instancesAlive;
    return &record;
}

#endif
