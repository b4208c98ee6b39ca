// A .clap file holding two gain plug-ins, mono and stereo, for the render tool's tests
// (Linux, and Windows under Wine).
// Its output tells what the host did: silence when the host broke the threading rules
// (init and activate on one thread, start and process on another); otherwise the input
// times the "Gain" parameter (0..2), which a MIDI control change 7 also sets, from its
// event time on.
#include <atomic>
#include <cstdio>
#include <cstring>
#include <thread>

#include "clap/entry.h"
#include "clap/ext/audio-ports.h"
#include "clap/ext/params.h"
#include "clap/plugin-factory.h"
#include "clap/plugin.h"

namespace {

struct Fake {
    clap_plugin_t plugin;
    uint32_t channels;
    double gain = 1.0;
    std::thread::id mainThread, audioThread;
    bool threadsRight = true;
};

Fake& fake(const clap_plugin_t* plugin) { return *static_cast<Fake*>(plugin->plugin_data); }

void onMain(const clap_plugin_t* plugin) {
    if (std::this_thread::get_id() != fake(plugin).mainThread) fake(plugin).threadsRight = false;
}

void onAudio(const clap_plugin_t* plugin) {
    Fake& f = fake(plugin);
    if (f.audioThread == std::thread::id()) f.audioThread = std::this_thread::get_id();
    if (std::this_thread::get_id() != f.audioThread || f.audioThread == f.mainThread) f.threadsRight = false;
}

void applyEvent(Fake& f, const clap_event_header_t* event) {
    if (event->space_id != CLAP_CORE_EVENT_SPACE_ID) return;
    if (event->type == CLAP_EVENT_PARAM_VALUE)
        f.gain = reinterpret_cast<const clap_event_param_value_t*>(event)->value;
    const auto* midi = reinterpret_cast<const clap_event_midi_t*>(event);
    if (event->type == CLAP_EVENT_MIDI && (midi->data[0] & 0xF0) == 0xB0 && midi->data[1] == 7)
        f.gain = midi->data[2] * 2.0 / 127.0;
}

uint32_t paramCount(const clap_plugin_t*) { return 1; }
bool paramInfo(const clap_plugin_t*, uint32_t index, clap_param_info_t* info) {
    if (index != 0) return false;
    std::memset(info, 0, sizeof *info);
    info->flags = CLAP_PARAM_IS_AUTOMATABLE;
    std::strcpy(info->name, "Gain");
    info->max_value = 2.0;
    info->default_value = 1.0;
    return true;
}
bool paramValue(const clap_plugin_t* plugin, clap_id id, double* value) {
    *value = fake(plugin).gain;
    return id == 0;
}
bool paramText(const clap_plugin_t*, clap_id, double value, char* text, uint32_t size) {
    std::snprintf(text, size, "%.2f x", value);
    return true;
}
bool paramFromText(const clap_plugin_t*, clap_id, const char*, double*) { return false; }
void paramFlush(const clap_plugin_t* plugin, const clap_input_events_t* in, const clap_output_events_t*) {
    onMain(plugin);
    for (uint32_t i = 0; i < in->size(in); ++i) applyEvent(fake(plugin), in->get(in, i));
}
const clap_plugin_params_t kParams = {paramCount, paramInfo, paramValue, paramText, paramFromText, paramFlush};

uint32_t portCount(const clap_plugin_t*, bool) { return 1; }
bool portInfo(const clap_plugin_t* plugin, uint32_t index, bool, clap_audio_port_info_t* info) {
    if (index != 0) return false;
    std::memset(info, 0, sizeof *info);
    info->flags = CLAP_AUDIO_PORT_IS_MAIN;
    info->channel_count = fake(plugin).channels;
    info->port_type = fake(plugin).channels == 1 ? CLAP_PORT_MONO : CLAP_PORT_STEREO;
    info->in_place_pair = CLAP_INVALID_ID;
    return true;
}
const clap_plugin_audio_ports_t kPorts = {portCount, portInfo};

bool init(const clap_plugin_t* plugin) {
    fake(plugin).mainThread = std::this_thread::get_id();
    return true;
}
void destroy(const clap_plugin_t* plugin) { delete &fake(plugin); }
bool activate(const clap_plugin_t* plugin, double, uint32_t, uint32_t) {
    onMain(plugin);
    return true;
}
void deactivate(const clap_plugin_t* plugin) { onMain(plugin); }
bool startProcessing(const clap_plugin_t* plugin) {
    onAudio(plugin);
    return true;
}
void stopProcessing(const clap_plugin_t* plugin) { onAudio(plugin); }
void reset(const clap_plugin_t*) {}

clap_process_status process(const clap_plugin_t* plugin, const clap_process_t* data) {
    onAudio(plugin);
    Fake& f = fake(plugin);
    uint32_t next = 0;
    const uint32_t events = data->in_events->size(data->in_events);
    for (uint32_t frame = 0; frame < data->frames_count; ++frame) {
        for (; next < events; ++next) {
            const clap_event_header_t* event = data->in_events->get(data->in_events, next);
            if (event->time > frame) break;
            applyEvent(f, event);
        }
        for (uint32_t c = 0; c < f.channels; ++c)
            data->audio_outputs[0].data32[c][frame] =
                f.threadsRight ? static_cast<float>(data->audio_inputs[0].data32[c][frame] * f.gain) : 0.0f;
    }
    return CLAP_PROCESS_CONTINUE;
}

const void* extension(const clap_plugin_t*, const char* id) {
    if (!std::strcmp(id, CLAP_EXT_PARAMS)) return &kParams;
    if (!std::strcmp(id, CLAP_EXT_AUDIO_PORTS)) return &kPorts;
    return nullptr;
}
void onMainThread(const clap_plugin_t*) {}

const char* kFeatures[] = {CLAP_PLUGIN_FEATURE_AUDIO_EFFECT, nullptr};
const clap_plugin_descriptor_t kDescriptors[] = {
    {CLAP_VERSION, "quorvane.fake.mono", "Fake Mono", "Quorvane", "", "", "", "1.0", "", kFeatures},
    {CLAP_VERSION, "quorvane.fake.stereo", "Fake Stereo", "Quorvane", "", "", "", "1.0", "", kFeatures},
};

uint32_t pluginCount(const clap_plugin_factory_t*) { return 2; }
const clap_plugin_descriptor_t* descriptor(const clap_plugin_factory_t*, uint32_t index) {
    return index < 2 ? &kDescriptors[index] : nullptr;
}
const clap_plugin_t* create(const clap_plugin_factory_t*, const clap_host_t*, const char* id) {
    for (uint32_t i = 0; i < 2; ++i) {
        if (std::strcmp(id, kDescriptors[i].id) != 0) continue;
        Fake* f = new Fake{};
        f->channels = i + 1;
        f->plugin = {&kDescriptors[i], f, init, destroy, activate, deactivate, startProcessing, stopProcessing,
                     reset, process, extension, onMainThread};
        return &f->plugin;
    }
    return nullptr;
}
const clap_plugin_factory_t kFactory = {pluginCount, descriptor, create};

bool entryInit(const char*) { return true; }
void entryDeinit() {}
const void* factory(const char* id) { return std::strcmp(id, CLAP_PLUGIN_FACTORY_ID) ? nullptr : &kFactory; }

}  // namespace

extern "C" CLAP_EXPORT const clap_plugin_entry_t clap_entry = {CLAP_VERSION, entryInit, entryDeinit, factory};
