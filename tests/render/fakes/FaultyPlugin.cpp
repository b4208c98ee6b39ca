// A small stereo gain plug-in with an editor, for the validation battery's tests. FAULT
// plants one fault, so each library is named after its fault:
//   0 none, 1 NaN on silence, 2 an allocation in process, 3 a crash when the editor is
//   closed while it idles, 4 a display text longer than any buffer a host passes,
//   5 a crash when asked its editor's size without a display, 6 no program name written,
//   7 a gain that its own range takes far above full scale, 8 a latency of
//   kFakeLatency frames, reported once processing has begun, 9 a crash on an index past
//   the counts, 10 chatter on standard output, 11 a crash on a NaN sample rate (which no
//   host sends), 12 a crash on a block of 0 frames (which real hosts send).
#include <csignal>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <utility>

#include "tests/render/fakes/FakeLatency.h"

#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

constexpr int kNumParams = 2;
constexpr int kNumPrograms = 2;
const char* const kProgramNames[] = {"Half", "Full"};
const char* const kParamNames[] = {"Gain", "Trim"};
// Kept where the compiler cannot drop the allocation.
void* volatile scratch;
constexpr float kGainRange = FAULT == 7 ? 10000.0f : 1.0f;

struct Editor {
    ERect rect = {0, 0, 120, 200};
    volatile int* frame = nullptr;  // exists while the editor is open
};

struct Faulty {
    AEffect record = {};
    audioMasterCallback host = nullptr;
    float params[kNumParams] = {0.5f, 1.0f};
    int program = 0;
    Editor editor;
    float delayLine[2][kFakeLatency] = {};
    int delayAt = 0;
};

Faulty* of(AEffect* effect) { return static_cast<Faulty*>(effect->object); }

bool silent(const float* samples, int32 frames) {
    for (int32 i = 0; i < frames; ++i)
        if (samples[i] != 0.0f) return false;
    return true;
}

void VSTCALL processReplacing(AEffect* effect, float** inputs, float** outputs, int32 frames) {
    Faulty* faulty = of(effect);
#if FAULT == 2
    scratch = std::malloc(static_cast<std::size_t>(frames) * sizeof(float));
    std::free(scratch);
#endif
    if (FAULT == 12 && frames == 0) std::raise(SIGSEGV);
    const float gain = faulty->params[0] * faulty->params[1] * kGainRange;
    for (int channel = 0; channel < 2; ++channel) {
        const bool nan = FAULT == 1 && silent(inputs[channel], frames);
        for (int32 i = 0; i < frames; ++i)
            outputs[channel][i] = nan ? std::numeric_limits<float>::quiet_NaN() : inputs[channel][i] * gain;
    }
#if FAULT == 8
    // Known only once audio flows, as with plug-ins that size their look-ahead then.
    effect->initialDelay = kFakeLatency;
    for (int32 i = 0; i < frames; ++i) {
        for (int channel = 0; channel < 2; ++channel)
            std::swap(outputs[channel][i], faulty->delayLine[channel][faulty->delayAt]);
        faulty->delayAt = (faulty->delayAt + 1) % kFakeLatency;
    }
#endif
}

void VSTCALL process(AEffect* effect, float** inputs, float** outputs, int32 frames) {
    const float gain = of(effect)->params[0] * of(effect)->params[1];
    for (int channel = 0; channel < 2; ++channel)
        for (int32 i = 0; i < frames; ++i) outputs[channel][i] += inputs[channel][i] * gain;
}

// Where the host's index is past the counts: a careful plug-in ignores it.
bool outside(int32 index, int count) {
#if FAULT == 9
    if (index < 0 || index >= count) std::raise(SIGSEGV);
#endif
    return index < 0 || index >= count;
}

void VSTCALL setParameter(AEffect* effect, int32 index, float value) {
    if (!outside(index, kNumParams)) of(effect)->params[index] = value;
}

float VSTCALL getParameter(AEffect* effect, int32 index) {
    return outside(index, kNumParams) ? 0.0f : of(effect)->params[index];
}

void display(int32 index, float value, char* text) {
#if FAULT == 4
    if (index == 1) {
        std::memset(text, 'x', 100);
        text[100] = '\0';
        return;
    }
#endif
    std::snprintf(text, 9, "%.3f", index == 0 ? value * 2.0f : value);
}

void idleEditor(AEffect* effect) {
    Faulty* faulty = of(effect);
    if (!faulty->editor.frame) return;
    faulty->host(effect, audioMasterIdle, 0, 0, nullptr, 0.0f);
#if FAULT == 3
    // Redraws without looking whether the host closed the editor meanwhile.
    ++*faulty->editor.frame;
#else
    if (faulty->editor.frame) ++*faulty->editor.frame;
#endif
}

void closeEditor(Faulty* faulty) {
    delete faulty->editor.frame;
    faulty->editor.frame = nullptr;
}

intptr VSTCALL dispatcher(AEffect* effect, int32 opcode, int32 index, intptr value, void* ptr, float opt) {
    Faulty* faulty = of(effect);
    char* text = static_cast<char*>(ptr);
    switch (opcode) {
        case effClose:
            closeEditor(faulty);
            delete faulty;
            return 1;
        case effSetProgram:
            if (value >= 0 && value < kNumPrograms) {
                faulty->program = static_cast<int>(value);
                faulty->params[0] = value == 0 ? 0.5f : 1.0f;
            }
            return 0;
        case effGetProgram: return faulty->program;
        case effGetProgramName:
            if (FAULT != 6) std::strcpy(text, kProgramNames[faulty->program]);
            return 0;
        case effGetProgramNameIndexed:
            if (outside(index, kNumPrograms)) return 0;
            std::strcpy(text, kProgramNames[index]);
            return 1;
        case effGetParamName:
        case effGetParamLabel:
        case effGetParamDisplay:
            if (outside(index, kNumParams)) return 0;
            if (opcode == effGetParamName) std::strcpy(text, kParamNames[index]);
            if (opcode == effGetParamLabel) std::strcpy(text, index == 0 ? "x" : "");
            if (opcode == effGetParamDisplay) display(index, faulty->params[index], text);
            return 0;
        case effGetEffectName: std::strcpy(text, "Faulty"); return 1;
        case effSetSampleRate:
            if (FAULT == 11 && std::isnan(opt)) std::raise(SIGSEGV);
            return 0;
        case effMainsChanged:
            if (FAULT == 10) std::printf("Faulty: %s\n", value ? "resumed" : "suspended");
            return 0;
        case effEditGetRect:
            // Stands for a toolkit that opens the display to learn the screen's scale.
            if (FAULT == 5 && !std::getenv("DISPLAY")) std::raise(SIGSEGV);
            *static_cast<ERect**>(ptr) = &faulty->editor.rect;
            return 1;
        case effEditOpen:
            if (FAULT == 5 && !std::getenv("DISPLAY")) std::raise(SIGSEGV);
            if (!faulty->editor.frame) faulty->editor.frame = new int(0);
            return 1;
        case effEditClose: closeEditor(faulty); return 0;
        case effEditIdle: idleEditor(effect); return 0;
        default: return 0;
    }
}

}  // namespace

FAKE_EXPORT AEffect* VSTPluginMain(audioMasterCallback host) {
    if (FAULT == 10) std::printf("Faulty: hello from the entry point\n");
    Faulty* faulty = new Faulty;
    faulty->host = host;
    AEffect& record = faulty->record;
    record.magic = kEffectMagic;
    record.dispatcher = dispatcher;
    record.process = process;
    record.processReplacing = processReplacing;
    record.setParameter = setParameter;
    record.getParameter = getParameter;
    record.numPrograms = kNumPrograms;
    record.numParams = kNumParams;
    record.numInputs = 2;
    record.numOutputs = 2;
    record.flags = effFlagsCanReplacing | effFlagsHasEditor;
    record.object = faulty;
    record.uniqueID = fourCharCode('F', 'l', 't', '0' + FAULT);
    return &record;
}
