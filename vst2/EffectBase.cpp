#include "vst2/EffectBase.h"

#include <cstring>

#include "vst2/EditorBase.h"
#include "plugin/SafeConvert.h"

namespace {

EffectBase* effectOf(AEffect* e) { return e ? static_cast<EffectBase*>(e->object) : nullptr; }

}  // namespace

EffectBase::EffectBase(audioMasterCallback hostCallback, int32 programCount, int32 paramCount)
    : hostCallback(hostCallback), programCount(programCount), paramCount(paramCount) {
    std::memset(&record, 0, sizeof(record));
    record.magic = kEffectMagic;
    record.dispatcher = dispatchEntry;
    record.process = processEntry;
    record.setParameter = setParameterEntry;
    record.getParameter = getParameterEntry;
    record.numPrograms = programCount;
    record.numParams = paramCount;
    record.numInputs = 1;
    record.numOutputs = 2;
    record.flags = 0;
    record.ioRatio = 1.0f;
    record.object = this;
    record.user = nullptr;
    record.uniqueID = fourCharCode('N', 'o', 'E', 'f');
    record.version = 1;
    record.processReplacing = processReplacingEntry;
}

EffectBase::~EffectBase() { delete editor; }

void EffectBase::setParameter(int32, float) {}
float EffectBase::getParameter(int32) { return 0.0f; }

void EffectBase::setParameterAndNotify(int32 index, float value) {
    setParameter(index, value);
    callHost(audioMasterAutomate, index, 0, nullptr, value);
}

void EffectBase::processReplacing(float**, float**, int32) {}

void EffectBase::setProgramName(char*) {}
void EffectBase::getProgramName(char* name) { name[0] = 0; }
void EffectBase::getParameterLabel(int32, char* text) { text[0] = 0; }
void EffectBase::getParameterDisplay(int32, char* text) { text[0] = 0; }
void EffectBase::getParameterName(int32, char* text) { text[0] = 0; }
int32 EffectBase::getChunk(void**, bool) { return 0; }
int32 EffectBase::setChunk(void*, int32, bool) { return 0; }

intptr EffectBase::dispatcher(int32 opcode, int32 index, intptr value, void* ptr, float opt) {
    char* text = static_cast<char*>(ptr);
    switch (opcode) {
        case effOpen:
            open();
            return 0;
        case effClose:
            close();
            return 0;
        case effSetProgram:
            if (value >= 0 && value < programCount) setProgram(static_cast<int32>(value));
            return 0;
        case effGetProgram:
            return getProgram();
        case effSetProgramName:
            if (text) setProgramName(text);
            return 0;
        case effGetProgramName:
            if (text) getProgramName(text);
            return 0;
        case effGetParamLabel:
            if (text) getParameterLabel(index, text);
            return 0;
        case effGetParamDisplay:
            if (text) getParameterDisplay(index, text);
            return 0;
        case effGetParamName:
            if (text) getParameterName(index, text);
            return 0;
        case effGetVu:
            return truncateToInt32(static_cast<double>(getVu()) * 32767.0);
        case effSetSampleRate:
            setSampleRate(opt);
            return 0;
        case effSetBlockSize:
            setBlockSize(static_cast<int32>(value));
            return 0;
        case effMainsChanged:
            if (value == 0)
                suspend();
            else
                resume();
            return 0;
        case effEditGetRect:
            return editor && ptr ? editor->getRect(static_cast<ERect**>(ptr)) : 0;
        case effEditOpen:
            return editor ? editor->open(ptr) : 0;
        case effEditClose:
            if (editor) editor->close();
            return 0;
        case effEditIdle:
            if (editor) editor->idle();
            return 0;
        case effIdentify:
            return fourCharCode('N', 'v', 'E', 'f');
        case effGetChunk:
            return ptr ? getChunk(static_cast<void**>(ptr), index != 0) : 0;
        case effSetChunk:
            return ptr ? setChunk(ptr, static_cast<int32>(value), index != 0) : 0;
        default:
            return 0;
    }
}

void EffectBase::attachEditor(EditorBase* newEditor) {
    editor = newEditor;
    setFlag(effFlagsHasEditor, newEditor != nullptr);
}

void EffectBase::setFlag(int32 bit, bool state) {
    if (state)
        record.flags |= bit;
    else
        record.flags &= ~bit;
}

intptr EffectBase::callHost(int32 opcode, int32 index, intptr value, void* ptr, float opt) {
    return hostCallback ? hostCallback(&record, opcode, index, value, ptr, opt) : 0;
}

intptr EffectBase::hostVersion() { return callHost(audioMasterVersion, 0, 0, nullptr, 0.0f); }
intptr EffectBase::hostCurrentUniqueId() {
    return callHost(audioMasterCurrentId, 0, 0, nullptr, 0.0f);
}
void EffectBase::hostIdle() { callHost(audioMasterIdle, 0, 0, nullptr, 0.0f); }

// The host answers 0 for a connected pin; without a host every pin counts as connected.
bool EffectBase::isInputConnected(int32 input) {
    return callHost(audioMasterPinConnected, input, 0, nullptr, 0.0f) == 0;
}
bool EffectBase::isOutputConnected(int32 output) {
    return callHost(audioMasterPinConnected, output, 1, nullptr, 0.0f) == 0;
}

intptr VSTCALL EffectBase::dispatchEntry(AEffect* e, int32 opcode, int32 index, intptr value,
                                         void* ptr, float opt) {
    EffectBase* effect = effectOf(e);
    if (!effect) return 0;
    if (opcode == effClose) {
        effect->dispatcher(opcode, index, value, ptr, opt);
        delete effect;
        return 1;
    }
    return effect->dispatcher(opcode, index, value, ptr, opt);
}

void VSTCALL EffectBase::processEntry(AEffect* e, float** inputs, float** outputs,
                                      int32 sampleFrames) {
    if (EffectBase* effect = effectOf(e)) effect->process(inputs, outputs, sampleFrames);
}

void VSTCALL EffectBase::processReplacingEntry(AEffect* e, float** inputs, float** outputs,
                                               int32 sampleFrames) {
    if (EffectBase* effect = effectOf(e)) effect->processReplacing(inputs, outputs, sampleFrames);
}

void VSTCALL EffectBase::setParameterEntry(AEffect* e, int32 index, float value) {
    if (EffectBase* effect = effectOf(e)) effect->setParameter(index, value);
}

float VSTCALL EffectBase::getParameterEntry(AEffect* e, int32 index) {
    EffectBase* effect = effectOf(e);
    return effect ? effect->getParameter(index) : 0.0f;
}
