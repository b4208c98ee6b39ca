// Turns MIDI events and joystick positions into parameter changes, through the effect's
// automated set so that the engine, the editor and the host all learn of them.
#pragma once

#include <memory>

#include "plugin/ControllerMap.h"
#include "plugin/ParameterTarget.h"
#include "plugin/platform/Joystick.h"
#include "vst2/vst2.h"

class ControllerMapping {
public:
    // The joystick device is opened lazily by its own read; none is needed for MIDI.
    ControllerMapping(ParameterTarget& target, const ControllerMap& map,
                      std::unique_ptr<JoystickDevice> joystick);

    // Fixes the three source flags from the map as it stands now.
    void deriveFlags();

    void useJoystick(std::unique_ptr<JoystickDevice> device) { joystick = std::move(device); }

    void processEvents(const VstEvents* events);
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
