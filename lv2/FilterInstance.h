// One LV2 instance: the engine behind LV2 ports. Control ports carry the same 0..1 values
// as VST 2 parameters; MIDI messages move parameters as VST 2 MIDI does, applied before
// the block they arrive in.
#pragma once

#include <cstdint>

#include <lv2/atom/atom.h>
#include <lv2/urid/urid.h>

#include "plugin/PluginEngine.h"

class FilterInstance final {
public:
    // channels is 1 or 2; the controller map must be read before.
    FilterInstance(int channels, bool halfPower, double sampleRate, LV2_URID midiEventType);

    void connectPort(std::uint32_t port, void* data);
    void activate();
    void run(std::uint32_t frames);

private:
    void takeControlPorts();
    void takeMidiEvents();

    const int channels;
    const float hostRate;
    const LV2_URID midiEventType;
    PluginEngine engine;

    const float* controlPorts[kNumParams] = {};
    float takenControls[kNumParams] = {};  // the port values last applied
    float* inputs[kMaxChannels] = {};
    float* outputs[kMaxChannels] = {};
    const LV2_Atom_Sequence* midiInput = nullptr;
};
