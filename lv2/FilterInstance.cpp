#include "lv2/FilterInstance.h"

#include <cmath>

#include <lv2/atom/util.h>

#include "dsp/ProgramBank.h"
#include "lv2/PluginIdentity.h"
#include "plugin/JoystickPolledRun.h"

FilterInstance::FilterInstance(int channelCount, bool halfPower, double sampleRate,
                               LV2_URID midiEvent)
    : channels(channelCount),
      hostRate(static_cast<float>(sampleRate)),
      midiEventType(midiEvent),
      parameters(halfPower ? 4 : 8),
      controllers(*this, processControllerMap(), openSystemJoystick()) {
    controllers.deriveFlags();
    // The first program, as the VST 2 plug-in starts; the ports' defaults are its values.
    ProgramBank programs;
    programs.fillFactoryPrograms();
    for (std::int32_t i = 0; i < kNumParams; ++i) {
        takenControls[i] = programs[0].values[i].load();
        parameters.setValue(i, takenControls[i]);
    }
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

void FilterInstance::activate() {
    for (ChannelState& state : channelStates) state = ChannelState();
    const float rate = parameters.takeHostRate(hostRate);
    pollInterval = joystickPollInterval(rate);
    const bool active[kMaxChannels] = {true, true, true, true, true, true};
    loop.setActiveChannels(active, channels);
    parameters.rederiveForRate();
}

void FilterInstance::setParameterAndNotify(std::int32_t index, float value) {
    if (ParameterModel::isValidIndex(index) && std::isfinite(value))
        parameters.setValue(index, value);
}

// A port value is applied when it changes, so a value set by MIDI stays until the host
// moves the control. Values that are not finite numbers are ignored, as in VST 2.
void FilterInstance::takeControlPorts() {
    for (std::int32_t i = 0; i < kNumParams; ++i) {
        if (!controlPorts[i]) continue;
        const float value = *controlPorts[i];
        if (!std::isfinite(value) || value == takenControls[i]) continue;
        takenControls[i] = value;
        parameters.setValue(i, value);
    }
}

void FilterInstance::takeMidiEvents() {
    if (!midiInput || midiEventType == 0) return;
    LV2_ATOM_SEQUENCE_FOREACH(midiInput, event) {
        if (event->body.type != midiEventType || event->body.size == 0) continue;
        const auto* bytes = reinterpret_cast<const unsigned char*>(&event->body + 1);
        const std::uint32_t size = event->body.size;
        controllers.processMidiMessage(bytes[0], size > 1 ? bytes[1] : 0, size > 2 ? bytes[2] : 0);
    }
}

void FilterInstance::run(std::uint32_t frames) {
    takeControlPorts();
    takeMidiEvents();
    runWithJoystickPolls(
        controllers.joystickMapped, pollInterval, frameCounter, static_cast<std::int32_t>(frames),
        [this](std::int32_t first, std::int32_t last) {
            loop.run(channelStates, inputs, outputs, first, last, OutputMode::Replace, parameters);
        },
        [this] { controllers.pollJoystick(); });
}
