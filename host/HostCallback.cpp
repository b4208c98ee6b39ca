#include "host/HostCallback.h"

#include <cstring>

namespace {

thread_local HostState* instantiatingState = nullptr;

HostState* stateFor(AEffect* effect) {
    // resvd1 belongs to the host; it carries the instance's state.
    if (effect && effect->resvd1) return reinterpret_cast<HostState*>(effect->resvd1);
    return instantiatingState;
}

intptr copyText(void* ptr, const char* text, std::size_t capacity) {
    if (!ptr) return 0;
    std::strncpy(static_cast<char*>(ptr), text, capacity - 1);
    static_cast<char*>(ptr)[capacity - 1] = '\0';
    return 1;
}

bool hostCanDo(const char* feature) {
    static const char* const kFeatures[] = {"sendVstEvents", "sendVstMidiEvent"};
    if (!feature) return false;
    for (const char* known : kFeatures)
        if (std::strcmp(feature, known) == 0) return true;
    return false;
}

}  // namespace

void setInstantiatingHostState(HostState* state) { instantiatingState = state; }

void bindHostState(AEffect* effect, HostState* state) {
    effect->resvd1 = reinterpret_cast<intptr>(state);
}

intptr VSTCALL hostCallback(AEffect* effect, int32 opcode, int32 index, intptr value, void* ptr,
                            float opt) {
    HostState* state = stateFor(effect);
    if (state && effect && state->closeEditorOnNextCall.load() && std::this_thread::get_id() == state->idleThread) {
        state->closeEditorOnNextCall = false;
        effect->dispatcher(effect, effEditClose, 0, 0, nullptr, 0.0f);
        state->editorClosedInsideIdle = true;
    }
    switch (opcode) {
        case audioMasterVersion:
            return kHostVstVersion;
        case audioMasterAutomate:
            if (state && state->recordAutomation) state->automation.push_back(AutomationNotice{index, opt});
            if (state && state->editLog) *state->editLog << "automate " << index << " " << opt << std::endl;
            return 0;
        case audioMasterBeginEdit:
        case audioMasterEndEdit:
            if (state && state->editLog)
                *state->editLog << (opcode == audioMasterBeginEdit ? "begin edit " : "end edit ") << index << std::endl;
            return 0;
        case audioMasterGetSampleRate:
            return state ? static_cast<intptr>(state->sampleRate) : 0;
        case audioMasterGetBlockSize:
            return state ? state->blockSize : 0;
        case audioMasterGetCurrentProcessLevel:
            return kVstProcessLevelOffline;
        case audioMasterGetVendorString:
            return copyText(ptr, "Quorvane", 64);
        case audioMasterGetProductString:
            return copyText(ptr, "quorvane-render", 64);
        case audioMasterGetVendorVersion:
            return 600;
        case audioMasterSizeWindow:
            if (!state || index <= 0 || value <= 0) return 0;
            state->editorWidth = index;
            state->editorHeight = int32(value);
            return 1;
        case audioMasterCanDo:
            return hostCanDo(static_cast<const char*>(ptr)) ? 1 : 0;
        default:
            // Pin queries answer 0 (connected); everything unknown answers 0.
            return 0;
    }
}
