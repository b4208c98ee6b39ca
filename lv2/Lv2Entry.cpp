// The DSP binary's one export: the descriptors of the mono and the stereo plug-in.
#include <cstring>
#include <new>

#include <lv2/core/lv2.h>
#include <lv2/midi/midi.h>
#include <lv2/urid/urid.h>

#include "lv2/FilterInstance.h"
#include "lv2/PluginIdentity.h"
#include "plugin/ConfigurationLookup.h"

namespace {

const LV2_URID_Map* findUridMap(const LV2_Feature* const* features) {
    for (; features && *features; ++features)
        if (std::strcmp((*features)->URI, LV2_URID__map) == 0)
            return static_cast<const LV2_URID_Map*>((*features)->data);
    return nullptr;
}

template <int Variant>
LV2_Handle instantiate(const LV2_Descriptor*, double rate, const char*,
                       const LV2_Feature* const* features) {
    // Without the URID map (lv2apply gives none) no event can be recognised as MIDI.
    const LV2_URID_Map* map = findUridMap(features);
    const LV2_URID midiEvent = map ? map->map(map->handle, LV2_MIDI__MidiEvent) : 0;
    try {
        // Quorvane.ini beside this binary, as beside Quorvane.so; its channel count is
        // the VST 2 plug-in's alone, each LV2 plug-in has its own.
        StartupSettings settings;
        if (!loadConfigurationBesideLibrary(settings)) return nullptr;
        return new (std::nothrow)
            FilterInstance(kLv2Variants[Variant].channels, settings.halfPower, rate, midiEvent);
    } catch (...) {
        return nullptr;
    }
}

FilterInstance& instance(LV2_Handle handle) { return *static_cast<FilterInstance*>(handle); }

void connectPort(LV2_Handle handle, uint32_t port, void* data) {
    instance(handle).connectPort(port, data);
}
void activate(LV2_Handle handle) { instance(handle).activate(); }
void run(LV2_Handle handle, uint32_t frames) { instance(handle).run(frames); }
void cleanup(LV2_Handle handle) { delete &instance(handle); }
const void* extensionData(const char*) { return nullptr; }

const LV2_Descriptor kDescriptors[] = {
    {kLv2Variants[0].uri, instantiate<0>, connectPort, activate, run, nullptr, cleanup,
     extensionData},
    {kLv2Variants[1].uri, instantiate<1>, connectPort, activate, run, nullptr, cleanup,
     extensionData},
};
static_assert(sizeof kDescriptors / sizeof kDescriptors[0] == kLv2VariantCount);

}  // namespace

LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index) {
    return index < static_cast<uint32_t>(kLv2VariantCount) ? &kDescriptors[index] : nullptr;
}
