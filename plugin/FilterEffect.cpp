#include "plugin/FilterEffect.h"

#include "gui/EditorBase.h"

FilterEffect::FilterEffect(audioMasterCallback hostCallback, int channels, bool halfPowerMode)
    : EffectBaseExt(hostCallback, kNumPrograms, kNumParams),
      halfPower(halfPowerMode),
      controllers(*this, processControllerMap(), openSystemJoystick()) {
    channelCount = channels;
    controllers.deriveFlags();
    setInputCount(channelCount);
    setOutputCount(channelCount);
    setCanReplacing(true);
    setCanMono(true);
    setUniqueId(fourCharCode('W', 'Q', 'V', '2'));
    // Until the panel exists the editor slot holds the neutral editor.
    attachEditor(new EditorBase(this));
    resume();
}

FilterEffect::~FilterEffect() = default;

void FilterEffect::process(float**, float**, int32) {}
void FilterEffect::processReplacing(float**, float**, int32) {}

int32 FilterEffect::processEvents(VstEvents* events) {
    controllers.processEvents(events);
    return 1;
}

void FilterEffect::resume() {
    requestMidiEvents(1);
    for (int c = 0; c < channelCount; ++c) {
        isInputConnected(c);
        isOutputConnected(c);
    }
}
