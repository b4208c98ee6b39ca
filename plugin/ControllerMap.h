// Which MIDI controller or joystick axis drives each parameter, and over which range.
// One map per process, shared by every instance; each field is read and written whole.
#pragma once

#include <atomic>
#include <cstdint>

#include "dsp/Parameters.h"

// Controller numbers above the 128 MIDI control changes.
constexpr std::int32_t kCcPitchBend = 128;
constexpr std::int32_t kCcPressure = 129;
constexpr std::int32_t kCcJoyX = 130;
constexpr std::int32_t kCcJoyY = 131;
constexpr std::int32_t kCcJoyZ = 132;
constexpr std::int32_t kCcJoyR = 133;

// The file's three fields under their file names: the controller number, and the
// parameter values at the controller's lowest and highest position.
struct ControllerAssignment {
    std::atomic<std::int32_t> ccnumber;
    std::atomic<float> min_control_val;
    std::atomic<float> max_control_val;

    ControllerAssignment() : ccnumber(0), min_control_val(0.0f), max_control_val(0.0f) {}

    std::int32_t cc() const { return ccnumber.load(std::memory_order_relaxed); }
    float minimum() const { return min_control_val.load(std::memory_order_relaxed); }
    float maximum() const { return max_control_val.load(std::memory_order_relaxed); }
    void set(std::int32_t cc, float minimum, float maximum) {
        ccnumber.store(cc, std::memory_order_relaxed);
        min_control_val.store(minimum, std::memory_order_relaxed);
        max_control_val.store(maximum, std::memory_order_relaxed);
    }
};

// Holds the defaults from construction on.
struct ControllerMap {
    ControllerMap() { setDefaults(); }

    ControllerAssignment entries[kNumParams];

    void setDefaults();
    bool anyMappedTo(std::int32_t cc) const;
    bool anyMappedAbove(std::int32_t cc) const;
};

// The map every instance in this process reads; it holds the defaults from load on.
ControllerMap& processControllerMap();

// A controller position v in 0..1 turned into the parameter value; a minimum above the
// maximum inverts the controller.
float mapControllerValue(const ControllerAssignment& entry, double v);
