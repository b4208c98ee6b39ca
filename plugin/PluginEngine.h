// The one engine every format binding wraps: the parameter model, the processing loop,
// the channel states, the MIDI and joystick mapping and the joystick poll. Parameters
// are set from any thread; everything else runs on the audio thread. Changes that MIDI
// or the joystick make are queued for the binding to report its own way.
#pragma once

#include <cstdint>
#include <memory>

#include "dsp/ChannelState.h"
#include "dsp/ParameterModel.h"
#include "dsp/Parameters.h"
#include "dsp/ProcessingLoop.h"
#include "plugin/ControllerMapping.h"
#include "plugin/ParameterChangeQueue.h"
#include "plugin/ParameterTarget.h"

// A MIDI message at a frame of the block; data bytes the message lacks are 0.
struct TimedMidiMessage {
    std::int32_t frame;
    unsigned char status, data1, data2;
};

class PluginEngine : private ParameterTarget {
public:
    // channelCount is 1..kMaxChannels. The controller map is read when the engine is
    // made; the joystick is opened by its first read.
    PluginEngine(int channelCount, bool halfPower,
                 std::unique_ptr<JoystickDevice> joystick = openSystemJoystick(),
                 const ControllerMap& map = processControllerMap());

    // Before processing, with the audio stopped: the host's rate and which channels are
    // connected (all when none are given). Clears the channel states. The engine keeps
    // no buffers, so the block size is the host's affair.
    void prepare(float hostRate, const bool* connectedChannels = nullptr);

    // Any thread. An invalid index or a value that is not a finite number is ignored.
    void setParameter(std::int32_t index, float value);
    float parameter(std::int32_t index) const;
    void parameterDisplay(std::int32_t index, char* text) const { model.display(index, text); }

    // Frames 0..frames - 1; each MIDI message (in frame order) takes effect from its
    // frame on, one outside the block at its nearer end.
    void process(float* const* inputs, float* const* outputs, std::int32_t frames,
                 OutputMode mode = OutputMode::Replace, const TimedMidiMessage* midi = nullptr,
                 std::int32_t midiCount = 0);
    // Frames first..last - 1 alone: bindings that apply their own timed events between
    // runs. Channels not connected are not read or written.
    void processFrames(float* const* inputs, float* const* outputs, std::int32_t first,
                       std::int32_t last, OutputMode mode = OutputMode::Replace);
    // A MIDI message that takes effect from the next frame processed.
    void midiMessage(unsigned char status, unsigned char data1, unsigned char data2) {
        controllers.processMidiMessage(status, data1, data2);
    }

    // The next parameter change MIDI or the joystick made; false when none waits.
    bool takeControllerChange(ParameterChange& change);

    int channelCount() const { return channels; }
    bool isHalfPower() const { return model.oversampleFactor() == 4; }
    std::int32_t oversampleFactor() const { return model.oversampleFactor(); }
    double approxCutoffHz() const { return model.approxCutoffHz(); }
    bool envelopeEnabled() const { return model.envelopeEnabled(); }
    // What the stored settings derive now, and what the last block processed with.
    EngineSettings settings() const { return model.settings(); }
    const EngineSettings& settingsInUse() const { return loop.settingsInUse(); }
    std::uint32_t frameCounter() const { return frames; }
    std::int32_t pollInterval() const { return joystickInterval; }
    const ChannelState& channelState(int channel) const { return channelStates[channel]; }
    bool isChannelProcessed(int channel) const { return connected[channel]; }
    ControllerMapping& controllerMapping() { return controllers; }

private:
    void setParameterAndNotify(std::int32_t index, float value) override;

    const int channels;
    ParameterModel model;
    ControllerMapping controllers;
    ParameterChangeQueue controllerChanges;
    ChannelState channelStates[kMaxChannels];
    bool connected[kMaxChannels] = {};
    ProcessingLoop loop;
    std::uint32_t frames = 0;          // frames since construction; wraps
    std::int32_t joystickInterval = 0; // frames between joystick polls; 0: no polling
};
