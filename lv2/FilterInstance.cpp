#include "lv2/FilterInstance.h"

#include <cmath>

#include <lv2/atom/util.h>

#include "lv2/PluginIdentity.h"

FilterInstance::FilterInstance(int channelCount, bool halfPower, double sampleRate,
                               LV2_URID midiEvent)
    : channels(channelCount),
      hostRate(static_cast<float>(sampleRate)),
      midiEventType(midiEvent),
      engine(channelCount, halfPower) {
    // The engine starts at the first program, as the ports' defaults say.
    for (std::int32_t i = 0; i < kNumParams; ++i) takenControls[i] = engine.parameter(i);
    activate();
}

void FilterInstance::connectPort(std::uint32_t port, void* data) {
    if (port < kNumParams) {
        controlPorts[port] = static_cast<const float*>(data);
    } else if (port < audioOutputPort(channels, 0)) {
        inputs[port - audioInputPort(0)] = static_cast<float*>(data);
    } else if (port < midiInputPort(channels)) {
        outputs[port - audioOutputPort(channels, 0)] = static_cast<float*>(data);
    } else if (port == midiInputPort(channels)) {
        midiInput = static_cast<const LV2_Atom_Sequence*>(data);
    }
}

void FilterInstance::activate() { engine.prepare(hostRate); }

// A port value is applied when it changes, so a value set by MIDI stays until the host
// moves the control. Values that are not finite numbers are ignored, as in VST 2.
void FilterInstance::takeControlPorts() {
    for (std::int32_t i = 0; i < kNumParams; ++i) {
        if (!controlPorts[i]) continue;
        const float value = *controlPorts[i];
        if (!std::isfinite(value) || value == takenControls[i]) continue;
        takenControls[i] = value;
        engine.setParameter(i, value);
    }
}

void FilterInstance::takeMidiEvents() {
    if (!midiInput || midiEventType == 0) return;
    LV2_ATOM_SEQUENCE_FOREACH(midiInput, event) {
        if (event->body.type != midiEventType || event->body.size == 0) continue;
        const auto* bytes = reinterpret_cast<const unsigned char*>(&event->body + 1);
        const std::uint32_t size = event->body.size;
        engine.midiMessage(bytes[0], size > 1 ? bytes[1] : 0, size > 2 ? bytes[2] : 0);
    }
}

void FilterInstance::run(std::uint32_t frames) {
    takeControlPorts();
    takeMidiEvents();
    engine.process(inputs, outputs, static_cast<std::int32_t>(frames));
    // Control ports are the host's: a plug-in cannot move them, so the host's controls
    // do not follow MIDI and joystick moves. The changes are dropped here.
    ParameterChange change;
    while (engine.takeControllerChange(change)) {
    }
}
