// The first joystick of the system, read as four axis positions scaled to 0..65535.
#pragma once

#include <cstdint>
#include <memory>

struct JoystickPosition {
    std::uint32_t x = 0;
    std::uint32_t y = 0;
    std::uint32_t z = 0;
    std::uint32_t r = 0;
};

class JoystickDevice {
public:
    virtual ~JoystickDevice() = default;
    // One stand-alone query; false when there is no joystick or the read failed.
    virtual bool read(JoystickPosition& position) = 0;
};

// The platform's first joystick. Each instance keeps its own handle, so instances on
// different audio threads never share state.
std::unique_ptr<JoystickDevice> openSystemJoystick();
