#include "vst2/FilterEffect.h"

#include <cmath>
#include <cstring>
#include <new>

#include "plugin/PluginDescription.h"
#include "vst2/EditorBase.h"
#include "vst2/MidiEvents.h"

FilterEffect::FilterEffect(audioMasterCallback hostCallback, int channels, bool halfPowerMode)
    : EffectBaseExt(hostCallback, kNumPrograms, kNumParams), engine(channels, halfPowerMode) {
    channelCount = channels;
    programs.reset(new (std::nothrow) ProgramBank);
    if (programs) {
        programs->fillFactoryPrograms();
        setProgram(0);
    }
    setInputCount(channelCount);
    setOutputCount(channelCount);
    setCanReplacing(true);
    setCanMono(true);
    setUniqueId(pluginIdentity().vst2UniqueId);
    resume();
}

// The programs go first; the base layers then destroy the editor.
FilterEffect::~FilterEffect() { programs.reset(); }

void FilterEffect::setParameter(int32 index, float value) {
    if (!std::isfinite(value)) return;
    if (ParameterModel::isValidIndex(index)) {
        if (programs) (*programs)[currentProgram.load()].values[index].store(value);
        engine.setParameter(index, value);
    }
    if (editor) editor->setParameter(index, value);
}

float FilterEffect::getParameter(int32 index) { return engine.parameter(index); }

void FilterEffect::getParameterName(int32 index, char* text) {
    if (ParameterModel::isValidIndex(index)) std::strncpy(text, parameterDescription(index).name, 8);
}

void FilterEffect::getParameterLabel(int32 index, char* text) {
    if (ParameterModel::isValidIndex(index)) std::strncpy(text, parameterDescription(index).unit, 8);
}

void FilterEffect::getParameterDisplay(int32 index, char* text) { engine.parameterDisplay(index, text); }

void FilterEffect::setProgram(int32 program) {
    if (!programs || !ProgramBank::isValidIndex(program)) return;
    EffectBaseExt::setProgram(program);
    currentProgram.store(program);
    for (int32 i = 0; i < kNumParams; ++i)
        setParameterAndNotify(i, (*programs)[program].values[i].load());
}

void FilterEffect::setProgramName(char* name) {
    if (programs) programs->setName(curProgram, name);
}

void FilterEffect::getProgramName(char* name) {
    if (programs)
        programs->displayName(curProgram, name);
    else
        name[0] = 0;
}

bool FilterEffect::getProgramNameIndexed(int32, int32 index, char* text) {
    if (!programs || !ProgramBank::isValidIndex(index)) return false;
    programs->storedName(index, text);
    return true;
}

void FilterEffect::process(float** inputs, float** outputs, int32 sampleFrames) {
    engine.process(inputs, outputs, sampleFrames, OutputMode::Add);
    reportControllerChanges();
}

void FilterEffect::processReplacing(float** inputs, float** outputs, int32 sampleFrames) {
    engine.process(inputs, outputs, sampleFrames, OutputMode::Replace);
    reportControllerChanges();
}

// Every message takes effect at once, before the next block, whatever its delta.
int32 FilterEffect::processEvents(VstEvents* events) {
    forEachMidiMessage(events, [this](unsigned char status, unsigned char data1, unsigned char data2) {
        engine.midiMessage(status, data1, data2);
        reportControllerChanges();
    });
    return 1;
}

void FilterEffect::reportControllerChanges() {
    ParameterChange change;
    while (engine.takeControllerChange(change)) {
        if (programs) (*programs)[currentProgram.load()].values[change.index].store(change.value);
        if (editor) editor->setParameter(change.index, change.value);
        callHost(audioMasterAutomate, change.index, 0, nullptr, change.value);
    }
}

void FilterEffect::resume() {
    requestMidiEvents(1);
    bool connected[kMaxChannels] = {};
    for (int c = 0; c < channelCount; ++c) {
        connected[c] = isInputConnected(c);
        isOutputConnected(c);
    }
    engine.prepare(getSampleRate(), connected);
}
