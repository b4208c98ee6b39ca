// A small stereo gain plug-in with an editor, for the validation battery's tests. FAULT
// plants one fault, so each library is named after its fault:
//   0 none, 1 NaN on silence, 2 an allocation in process, 3 a crash when the editor is
//   closed while it idles, 4 a display text longer than any buffer a host passes.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "plugin/vst2.h"

#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

constexpr int kNumParams = 2;
constexpr int kNumPrograms = 2;
const char* const kProgramNames[] = {"Half", "Full"};
const char* const kParamNames[] = {"Gain", "Trim"};
// Kept where the compiler cannot drop the allocation.
void* volatile scratch;

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
    const float gain = faulty->params[0] * faulty->params[1];
    for (int channel = 0; channel < 2; ++channel) {
        const bool nan = FAULT == 1 && silent(inputs[channel], frames);
        for (int32 i = 0; i < frames; ++i)
            outputs[channel][i] = nan ? std::numeric_limits<float>::quiet_NaN() : inputs[channel][i] * gain;
    }
}

void VSTCALL process(AEffect* effect, float** inputs, float** outputs, int32 frames) {
    const float gain = of(effect)->params[0] * of(effect)->params[1];
    for (int channel = 0; channel < 2; ++channel)
        for (int32 i = 0; i < frames; ++i) outputs[channel][i] += inputs[channel][i] * gain;
}

void VSTCALL setParameter(AEffect* effect, int32 index, float value) {
    if (index >= 0 && index < kNumParams) of(effect)->params[index] = value;
}

float VSTCALL getParameter(AEffect* effect, int32 index) {
    return index >= 0 && index < kNumParams ? of(effect)->params[index] : 0.0f;
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

intptr VSTCALL dispatcher(AEffect* effect, int32 opcode, int32 index, intptr value, void* ptr, float) {
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
        case effGetProgramName: std::strcpy(text, kProgramNames[faulty->program]); return 0;
        case effGetParamName: std::strcpy(text, kParamNames[index]); return 0;
        case effGetParamLabel: std::strcpy(text, index == 0 ? "x" : ""); return 0;
        case effGetParamDisplay: display(index, faulty->params[index], text); return 0;
        case effGetEffectName: std::strcpy(text, "Faulty"); return 1;
        case effEditGetRect: *static_cast<ERect**>(ptr) = &faulty->editor.rect; return 1;
        case effEditOpen:
            if (!faulty->editor.frame) faulty->editor.frame = new int(0);
            return 1;
        case effEditClose: closeEditor(faulty); return 0;
        case effEditIdle: idleEditor(effect); return 0;
        default: return 0;
    }
}

}  // namespace

FAKE_EXPORT AEffect* VSTPluginMain(audioMasterCallback host) {
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
