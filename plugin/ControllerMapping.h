// Turns MIDI messages and joystick positions into parameter changes, handed to the
// target (the engine), which applies them and queues them for the format's binding.
#pragma once

#include <memory>

#include "plugin/ControllerMap.h"
#include "plugin/ParameterTarget.h"
#include "plugin/platform/Joystick.h"

class ControllerMapping {
public:
    // The joystick device is opened lazily by its own read; none is needed for MIDI.
    ControllerMapping(ParameterTarget& target, const ControllerMap& map,
                      std::unique_ptr<JoystickDevice> joystick);

    // Fixes the three source flags from the map as it stands now.
    void deriveFlags();

    void useJoystick(std::unique_ptr<JoystickDevice> device) { joystick = std::move(device); }

    // One MIDI message's status and two data bytes (0 where the message has fewer).
    void processMidiMessage(unsigned char status, unsigned char data1, unsigned char data2);
    void pollJoystick();

    bool pitchBendMapped = false;
    bool pressureMapped = false;
    bool joystickMapped = false;

private:
    void apply(std::int32_t cc, double v);

    ParameterTarget& target;
    const ControllerMap& map;
    std::unique_ptr<JoystickDevice> joystick;
};
