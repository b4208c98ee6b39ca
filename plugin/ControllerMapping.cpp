#include "plugin/ControllerMapping.h"

namespace {

// Hosts count byteSize with or without the 8-byte header; below this a MIDI event cannot
// hold its three MIDI bytes under either reading.
constexpr int32 kMinimumMidiEventSize = 24;

}  // namespace

ControllerMapping::ControllerMapping(ParameterTarget& target, const ControllerMap& map,
                                     std::unique_ptr<JoystickDevice> joystick)
    : target(target), map(map), joystick(std::move(joystick)) {}

void ControllerMapping::deriveFlags() {
    pitchBendMapped = map.anyMappedTo(kCcPitchBend);
    pressureMapped = map.anyMappedTo(kCcPressure);
    joystickMapped = map.anyMappedAbove(kCcPressure);
}

void ControllerMapping::apply(std::int32_t cc, double v) {
    for (int index = 0; index < kMappedParams; ++index) {
        const ControllerAssignment& entry = map.entries[index];
        if (entry.cc() == cc) target.setParameterAndNotify(index, mapControllerValue(entry, v));
    }
}

void ControllerMapping::processEvents(const VstEvents* events) {
    if (!events) return;
    // The array is declared with two entries but really holds numEvents.
    VstEvent* const* list = events->events;
    for (int32 i = 0; i < events->numEvents; ++i) {
        const VstEvent* event = list[i];
        if (!event || event->type != kVstMidiType || event->byteSize < kMinimumMidiEventSize)
            continue;
        const auto* midi = reinterpret_cast<const VstMidiEvent*>(event);
        processMidiMessage(static_cast<unsigned char>(midi->midiData[0]),
                           static_cast<unsigned char>(midi->midiData[1]),
                           static_cast<unsigned char>(midi->midiData[2]));
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
    for (int index = 0; index < kMappedParams; ++index) {
        const ControllerAssignment& entry = map.entries[index];
        const std::int32_t cc = entry.cc();
        if (cc >= kCcJoyX && cc <= kCcJoyR)
            target.setParameterAndNotify(index, mapControllerValue(entry, axes[cc - kCcJoyX]));
    }
}
