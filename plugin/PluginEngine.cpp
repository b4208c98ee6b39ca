#include "plugin/PluginEngine.h"

#include <cmath>

#include "plugin/JoystickPolledRun.h"
#include "plugin/PluginDescription.h"

PluginEngine::PluginEngine(int channelCount, bool halfPower,
                           std::unique_ptr<JoystickDevice> joystick, const ControllerMap& map)
    : channels(channelCount),
      model(halfPower ? 4 : 8),
      controllers(*this, map, std::move(joystick)) {
    controllers.deriveFlags();
    for (std::int32_t i = 0; i < kNumParams; ++i)
        model.setValue(i, parameterDescription(i).defaultValue);
    prepare(kReferenceHostRate);
}

void PluginEngine::prepare(float hostRate, const bool* connectedChannels) {
    for (ChannelState& state : channelStates) state = ChannelState();
    for (int c = 0; c < kMaxChannels; ++c)
        connected[c] = c < channels && (!connectedChannels || connectedChannels[c]);
    const float rate = model.takeHostRate(hostRate);
    joystickInterval = joystickPollInterval(rate);
    loop.setActiveChannels(connected, channels);
    model.rederiveForRate();
}

void PluginEngine::setParameter(std::int32_t index, float value) {
    if (ParameterModel::isValidIndex(index) && std::isfinite(value)) model.setValue(index, value);
}

float PluginEngine::parameter(std::int32_t index) const {
    return ParameterModel::isValidIndex(index) ? model.value(index) : 0.0f;
}

// MIDI and joystick moves: applied at once, then queued for the binding.
void PluginEngine::setParameterAndNotify(std::int32_t index, float value) {
    if (!ParameterModel::isValidIndex(index) || !std::isfinite(value)) return;
    model.setValue(index, value);
    controllerChanges.push({index, model.value(index)});
}

bool PluginEngine::takeControllerChange(ParameterChange& change) {
    return controllerChanges.pop(change, [this](std::int32_t index) { return model.value(index); });
}

void PluginEngine::process(float* const* inputs, float* const* outputs, std::int32_t frameCount,
                           OutputMode mode, const TimedMidiMessage* midi,
                           std::int32_t midiCount) {
    std::int32_t first = 0;
    for (std::int32_t i = 0; i < midiCount; ++i) {
        const std::int32_t at = midi[i].frame < first ? first
                                : midi[i].frame > frameCount ? frameCount
                                                             : midi[i].frame;
        processFrames(inputs, outputs, first, at, mode);
        first = at;
        midiMessage(midi[i].status, midi[i].data1, midi[i].data2);
    }
    processFrames(inputs, outputs, first, frameCount, mode);
}

void PluginEngine::processFrames(float* const* inputs, float* const* outputs,
                                 std::int32_t first, std::int32_t last, OutputMode mode) {
    if (first >= last) return;
    // Outputs and inputs are offset so the loop sees frames 0..last - first - 1.
    float* in[kMaxChannels] = {};
    float* out[kMaxChannels] = {};
    for (int c = 0; c < channels; ++c) {
        if (!connected[c]) continue;
        in[c] = inputs[c] + first;
        out[c] = outputs[c] + first;
    }
    runWithJoystickPolls(
        controllers.joystickMapped, joystickInterval, frames, last - first,
        [&](std::int32_t from, std::int32_t to) {
            loop.run(channelStates, in, out, from, to, mode, model);
        },
        [this] { controllers.pollJoystick(); });
}
