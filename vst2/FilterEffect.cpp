#include "vst2/FilterEffect.h"

#include <cmath>
#include <new>

#include "vst2/EditorBase.h"
#include "plugin/JoystickPolledRun.h"

FilterEffect::FilterEffect(audioMasterCallback hostCallback, int channels, bool halfPowerMode)
    : EffectBaseExt(hostCallback, kNumPrograms, kNumParams),
      halfPower(halfPowerMode),
      parameters(halfPowerMode ? 4 : 8),
      controllers(*this, processControllerMap(), openSystemJoystick()) {
    channelCount = channels;
    programs.reset(new (std::nothrow) ProgramBank);
    controllers.deriveFlags();
    if (programs) {
        programs->fillFactoryPrograms();
        setProgram(0);
    }
    setInputCount(channelCount);
    setOutputCount(channelCount);
    setCanReplacing(true);
    setCanMono(true);
    setUniqueId(fourCharCode('W', 'Q', 'V', '2'));
    for (ChannelState& state : channelStates) state = ChannelState();
    frameCounter = 0;
    resume();
}

// The programs go first; the base layers then destroy the editor.
FilterEffect::~FilterEffect() { programs.reset(); }

void FilterEffect::setParameter(int32 index, float value) {
    if (!std::isfinite(value)) return;
    if (ParameterModel::isValidIndex(index)) {
        if (programs) (*programs)[currentProgram.load()].values[index].store(value);
        parameters.setValue(index, value);
    }
    if (editor) editor->setParameter(index, value);
}

float FilterEffect::getParameter(int32 index) {
    return ParameterModel::isValidIndex(index) ? parameters.value(index) : 0.0f;
}

void FilterEffect::getParameterName(int32 index, char* text) { ParameterModel::name(index, text); }
void FilterEffect::getParameterLabel(int32 index, char* text) { ParameterModel::label(index, text); }
void FilterEffect::getParameterDisplay(int32 index, char* text) { parameters.display(index, text); }

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
    processBlock(inputs, outputs, sampleFrames, OutputMode::Add);
}

void FilterEffect::processReplacing(float** inputs, float** outputs, int32 sampleFrames) {
    processBlock(inputs, outputs, sampleFrames, OutputMode::Replace);
}

void FilterEffect::processBlock(float** inputs, float** outputs, int32 sampleFrames,
                                OutputMode mode) {
    runWithJoystickPolls(
        controllers.joystickMapped, pollInterval, frameCounter, sampleFrames,
        [&](int32 first, int32 last) {
            loop.run(channelStates, inputs, outputs, first, last, mode, parameters);
        },
        [this] { pollJoystick(); });
}

int32 FilterEffect::processEvents(VstEvents* events) {
    controllers.processEvents(events);
    return 1;
}

void FilterEffect::resume() {
    requestMidiEvents(1);
    for (int c = 0; c < channelCount; ++c) channelStates[c] = ChannelState();
    const float rate = parameters.takeHostRate(getSampleRate());
    pollInterval = joystickPollInterval(rate);
    for (int c = 0; c < channelCount; ++c) {
        inputConnected[c] = isInputConnected(c);
        isOutputConnected(c);
    }
    loop.setActiveChannels(inputConnected, channelCount);
    parameters.rederiveForRate();
}
