#include "plugin/ControllerMapping.h"

ControllerMapping::ControllerMapping(ParameterTarget& target, const ControllerMap& map,
                                     std::unique_ptr<JoystickDevice> joystick)
    : target(target), map(map), joystick(std::move(joystick)) {}

void ControllerMapping::deriveFlags() {
    pitchBendMapped = map.anyMappedTo(kCcPitchBend);
    pressureMapped = map.anyMappedTo(kCcPressure);
    joystickMapped = map.anyMappedAbove(kCcPressure);
}

void ControllerMapping::apply(std::int32_t cc, double v) {
    for (int index = 0; index < kNumParams; ++index) {
        const ControllerAssignment& entry = map.entries[index];
        if (entry.cc() == cc) target.setParameterAndNotify(index, mapControllerValue(entry, v));
    }
}

void ControllerMapping::processMidiMessage(unsigned char statusByte, unsigned char byte1,
                                           unsigned char byte2) {
    const int status = statusByte & 0xF0;
    // Data bytes above 127 are not valid MIDI; their eighth bit is dropped.
    const int data1 = byte1 & 0x7F;
    const int data2 = byte2 & 0x7F;
    switch (status) {
        case 0xE0:
            if (pitchBendMapped) apply(kCcPitchBend, (data2 * 128 + data1) / 16383.0);
            break;
        case 0xD0:
            if (pressureMapped) apply(kCcPressure, data1 / 127.0);
            break;
        case 0xA0:
            if (pressureMapped) apply(kCcPressure, data2 / 127.0);
            break;
        case 0xB0:
            apply(data1, data2 / 127.0);
            break;
        default:
            break;
    }
}

void ControllerMapping::pollJoystick() {
    JoystickPosition position;
    if (!joystick || !joystick->read(position)) return;
    const float axes[4] = {static_cast<float>(position.x) / 65535.0f,
                           static_cast<float>(position.y) / 65535.0f,
                           static_cast<float>(position.z) / 65535.0f,
                           static_cast<float>(position.r) / 65535.0f};
    for (int index = 0; index < kNumParams; ++index) {
        const ControllerAssignment& entry = map.entries[index];
        const std::int32_t cc = entry.cc();
        if (cc >= kCcJoyX && cc <= kCcJoyR)
            target.setParameterAndNotify(index, mapControllerValue(entry, axes[cc - kCcJoyX]));
    }
}
