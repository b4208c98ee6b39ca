// One LV2 instance: the VST 2 plug-in's engine, parameter model and controller mapping
// behind LV2 ports. Control ports carry the same 0..1 values as VST 2 parameters; MIDI
// messages move parameters as VST 2 MIDI does, applied before the block they arrive in.
#pragma once

#include <cstdint>

#include <lv2/atom/atom.h>
#include <lv2/urid/urid.h>

#include "dsp/ChannelState.h"
#include "dsp/ParameterModel.h"
#include "dsp/ProcessingLoop.h"
#include "plugin/ControllerMapping.h"
#include "plugin/ParameterTarget.h"

class FilterInstance final : public ParameterTarget {
public:
    // channels is 1 or 2; the controller map must be read before.
    FilterInstance(int channels, bool halfPower, double sampleRate, LV2_URID midiEventType);

    void connectPort(std::uint32_t port, void* data);
    void activate();
    void run(std::uint32_t frames);

    void setParameterAndNotify(std::int32_t index, float value) override;

private:
    void takeControlPorts();
    void takeMidiEvents();

    const int channels;
    const float hostRate;
    const LV2_URID midiEventType;
    ParameterModel parameters;
    ControllerMapping controllers;

    const float* controlPorts[kNumParams] = {};
    float takenControls[kNumParams] = {};  // the port values last applied
    float* inputs[kMaxChannels] = {};
    float* outputs[kMaxChannels] = {};
    const LV2_Atom_Sequence* midiInput = nullptr;

    ChannelState channelStates[kMaxChannels];
    ProcessingLoop loop;
    std::uint32_t frameCounter = 0;  // frames since instantiation; wraps
    std::int32_t pollInterval = 0;   // frames between joystick polls; 0: no polling
};
