// Any event list a host could hand over: no crash, and every value set is finite.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "plugin/ControllerMapping.h"
#include "vst2/MidiEvents.h"
#include "vst2/EffectBase.h"

// The VST 2 binding's path: each MIDI message of the host's list to the mapping.
inline void deliverTo(ControllerMapping& mapping, const VstEvents* events) {
    forEachMidiMessage(events, [&](unsigned char s, unsigned char a, unsigned char b) {
        mapping.processMidiMessage(s, a, b);
    });
}

namespace {

class CheckingEffect : public EffectBase {
public:
    CheckingEffect() : EffectBase(nullptr, 16, 9) {}
    void process(float**, float**, int32) override {}
    void setParameterAndNotify(int32 index, float value) override {
        if (index < 0 || index > 8 || !std::isfinite(value)) std::abort();
    }
};

}  // namespace

// Input layout: two bytes, then as many 32-byte events as fit. The first byte picks the
// parameter pitch bend drives, the second the one channel pressure drives; the second's
// bits, one per event slot and repeating every eight, also turn slots into null pointers.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    static ControllerMap map;
    map.setDefaults();
    map.entries[data[0] % 9].set(kCcPitchBend, 0.2f, 0.9f);
    map.entries[data[1] % 9].set(kCcPressure, 1.0f, 0.0f);
    CheckingEffect effect;
    ControllerMapping mapping(effect, map, nullptr);
    mapping.deriveFlags();

    const std::size_t count = (size - 2) / sizeof(VstMidiEvent);
    std::vector<VstMidiEvent> events(count);
    if (count) std::memcpy(events.data(), data + 2, count * sizeof(VstMidiEvent));
    std::vector<unsigned char> listBytes(sizeof(VstEvents) + count * sizeof(VstEvent*));
    auto* list = reinterpret_cast<VstEvents*>(listBytes.data());
    list->numEvents = static_cast<int32>(count);
    VstEvent** slots = list->events;
    for (std::size_t i = 0; i < count; ++i)
        slots[i] = (data[1] >> (i % 8)) & 1 ? nullptr : reinterpret_cast<VstEvent*>(&events[i]);
    deliverTo(mapping, list);
    return 0;
}
