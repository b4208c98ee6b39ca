#include "host/clap/ClapPlugin.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <sstream>

#include "host/ExitCode.h"
#include "host/platform/SharedLibrary.h"

namespace {

constexpr std::size_t kEventCapacity = 1024;
constexpr int32 kMaxBlock = 65536;

const void* CLAP_ABI noExtension(const clap_host_t*, const char*) { return nullptr; }
void CLAP_ABI ignoreRequest(const clap_host_t*) {}

uint32_t CLAP_ABI listSize(const clap_input_events_t* list) {
    return *static_cast<const uint32_t*>(list->ctx);
}

// The list's context is the object; the count and the pointers live in it.
struct EventView {
    uint32_t count;
    const clap_event_header_t* const* events;
};

const clap_event_header_t* CLAP_ABI eventAt(const clap_input_events_t* list, uint32_t index) {
    const EventView& view = *static_cast<const EventView*>(list->ctx);
    return index < view.count ? view.events[index] : nullptr;
}

bool CLAP_ABI dropEvent(const clap_output_events_t*, const clap_event_header_t*) { return true; }

clap_event_param_value_t parameterEvent(clap_id id, double value) {
    clap_event_param_value_t event = {};
    event.header.size = sizeof event;
    event.header.space_id = CLAP_CORE_EVENT_SPACE_ID;
    event.header.type = CLAP_EVENT_PARAM_VALUE;
    event.param_id = id;
    event.note_id = -1;
    event.port_index = -1;
    event.channel = -1;
    event.key = -1;
    event.value = value;
    return event;
}

}  // namespace

ClapPlugin::ClapPlugin(const std::string& file, const std::string& id, int inputChannels)
    : filePath(file), parameterEvents(kEventCapacity), midiEvents(kEventCapacity), events(2 * kEventCapacity) {
    host = {};
    host.clap_version = CLAP_VERSION;
    host.host_data = this;
    host.name = "quorvane-render";
    host.vendor = "Quorvane";
    host.url = "";
    host.version = "0.6";
    host.get_extension = noExtension;
    host.request_restart = ignoreRequest;
    host.request_process = ignoreRequest;
    host.request_callback = ignoreRequest;
    outputEvents = {this, dropEvent};

    std::string reason;
    library = openSharedLibrary(file, reason);
    if (!library) throw HostError(ExitCode::PluginNotLoadable, "cannot load " + file + ": " + reason);
    try {
        entry = static_cast<const clap_plugin_entry_t*>(findLibrarySymbol(library, "clap_entry"));
        if (!entry) throw HostError(ExitCode::NoEntryPoint, "not a CLAP plug-in: " + file + " exports no clap_entry");
        if (!clap_version_is_compatible(entry->clap_version) || !entry->init(file.c_str())) {
            entry = nullptr;
            throw HostError(ExitCode::NoInstance, "not a CLAP plug-in: the entry of " + file + " refused to start");
        }
        factory = static_cast<const clap_plugin_factory_t*>(entry->get_factory(CLAP_PLUGIN_FACTORY_ID));
        const uint32_t count = factory ? factory->get_plugin_count(factory) : 0;
        if (count == 0) throw HostError(ExitCode::NoInstance, "no plug-in in " + file);
        if (!id.empty()) {
            for (uint32_t i = 0; i < count && !plugin; ++i)
                if (const clap_plugin_descriptor_t* descriptor = factory->get_plugin_descriptor(factory, i))
                    if (id == descriptor->id) plugin = create(descriptor->id);
            if (!plugin)
                throw HostError(ExitCode::NoInstance, "no plug-in with id '" + id + "' in " + file + "; it holds:\n" +
                                                          catalogue());
        } else {
            for (uint32_t i = 0; i < count && !plugin && inputChannels > 0 && count > 1; ++i) {
                const clap_plugin_t* candidate = create(factory->get_plugin_descriptor(factory, i)->id);
                if (candidate && mainInputChannels(candidate) == inputChannels) plugin = candidate;
                else if (candidate) candidate->destroy(candidate);
            }
            if (!plugin) plugin = create(factory->get_plugin_descriptor(factory, 0)->id);
        }
        if (!plugin) throw HostError(ExitCode::NoInstance, "the CLAP plug-in in " + file + " made no instance");

        params = static_cast<const clap_plugin_params_t*>(plugin->get_extension(plugin, CLAP_EXT_PARAMS));
        latencyExtension = static_cast<const clap_plugin_latency_t*>(plugin->get_extension(plugin, CLAP_EXT_LATENCY));
        for (uint32_t i = 0, n = params ? params->count(plugin) : 0; i < n; ++i) {
            clap_param_info_t info = {};
            if (params->get_info(plugin, i, &info))
                parameters.push_back({info.id, info.name, info.min_value, info.max_value});
        }
        setUpPorts(true);
        setUpPorts(false);
    } catch (...) {
        unload();
        throw;
    }
}

ClapPlugin::~ClapPlugin() {
    stop();
    unload();
}

const clap_plugin_t* ClapPlugin::create(const char* id) {
    const clap_plugin_t* made = factory->create_plugin(factory, &host, id);
    if (made && !made->init(made)) {
        made->destroy(made);
        return nullptr;
    }
    return made;
}

int ClapPlugin::mainInputChannels(const clap_plugin_t* candidate) const {
    const auto* audioPorts =
        static_cast<const clap_plugin_audio_ports_t*>(candidate->get_extension(candidate, CLAP_EXT_AUDIO_PORTS));
    clap_audio_port_info_t info = {};
    if (!audioPorts || audioPorts->count(candidate, true) == 0 || !audioPorts->get(candidate, 0, true, &info)) return 0;
    return static_cast<int>(info.channel_count);
}

std::string ClapPlugin::catalogue() const {
    std::string text;
    for (uint32_t i = 0, n = factory ? factory->get_plugin_count(factory) : 0; i < n; ++i)
        if (const clap_plugin_descriptor_t* descriptor = factory->get_plugin_descriptor(factory, i))
            text += std::string("  ") + descriptor->id + "  " + (descriptor->name ? descriptor->name : "") + "\n";
    return text;
}

// Every port takes part; the first, the main one, carries the file's channels and the
// others (side chains, extra outputs) get silence or are dropped.
void ClapPlugin::setUpPorts(bool input) {
    const auto* audioPorts =
        static_cast<const clap_plugin_audio_ports_t*>(plugin->get_extension(plugin, CLAP_EXT_AUDIO_PORTS));
    Ports& side = ports[input];
    const uint32_t count = audioPorts ? audioPorts->count(plugin, input) : 0;
    side.pointers.resize(count);
    for (uint32_t index = 0; index < count; ++index) {
        clap_audio_port_info_t info = {};
        audioPorts->get(plugin, index, input, &info);
        if (index == 0) {
            mainChannels[input] = static_cast<int32>(info.channel_count);
        } else {
            for (uint32_t channel = 0; channel < info.channel_count; ++channel) {
                side.scratch.emplace_back(kMaxBlock);
                side.pointers[index].push_back(side.scratch.back().data());
            }
        }
        clap_audio_buffer_t buffer = {};
        buffer.channel_count = info.channel_count;
        side.buffers.push_back(buffer);
    }
    for (uint32_t index = 1; index < count; ++index) side.buffers[index].data32 = side.pointers[index].data();
}

void ClapPlugin::unload() {
    if (plugin) plugin->destroy(plugin);
    plugin = nullptr;
    if (entry) entry->deinit();
    entry = nullptr;
    if (library) closeSharedLibrary(library);
    library = nullptr;
}

std::string ClapPlugin::identityLines() {
    const clap_plugin_descriptor_t& descriptor = *plugin->desc;
    std::ostringstream out;
    out << "  file:      " << filePath << "\n";
    out << "  vendor:    " << (descriptor.vendor ? descriptor.vendor : "") << "\n";
    out << "  format:    CLAP " << descriptor.id
        << (descriptor.version && descriptor.version[0] ? std::string(", version ") + descriptor.version : "") << "\n";
    out << "  channels:  " << inputCount() << " in, " << outputCount() << " out\n";
    out << "  latency:   " << latency() << " frames\n";
    if (factory->get_plugin_count(factory) > 1) out << "  the file holds (see --plugin-id):\n" << catalogue();
    return out.str();
}

// The plug-in tells its latency only while active; afterwards the last answer stands.
int32 ClapPlugin::latency() {
    if (latencyExtension && active) lastLatency = static_cast<int32>(latencyExtension->get(plugin));
    return lastLatency;
}

double ClapPlugin::plain(int32 index, float value) const {
    const Parameter& parameter = parameters[index];
    // Plain values outside the declared range are not the format's.
    return parameter.minimum + std::clamp(value, 0.0f, 1.0f) * (parameter.maximum - parameter.minimum);
}

std::string ClapPlugin::parameterDisplay(int32 index) {
    double value = 0.0;
    char text[256] = "";
    if (!params->get_value(plugin, parameters[index].id, &value) ||
        !params->value_to_text(plugin, parameters[index].id, value, text, sizeof text))
        return "";
    return text;
}

float ClapPlugin::parameter(int32 index) const {
    const Parameter& parameter = parameters[index];
    double value = parameter.minimum;
    params->get_value(plugin, parameter.id, &value);
    const double range = parameter.maximum - parameter.minimum;
    return range > 0.0 ? static_cast<float>((value - parameter.minimum) / range) : 0.0f;
}

void ClapPlugin::setParameter(int32 index, float value) {
    if (active) {
        pending.push({index, value});
        return;
    }
    const clap_event_param_value_t event = parameterEvent(parameters[index].id, plain(index, value));
    const clap_event_header_t* list[] = {&event.header};
    EventView view = {1, list};
    const clap_input_events_t in = {&view, listSize, eventAt};
    params->flush(plugin, &in, &outputEvents);
}

void ClapPlugin::configure(float sampleRate, int32 blockSize) {
    rate = sampleRate;
    maxBlock = std::min(blockSize, kMaxBlock);
}

void ClapPlugin::start() {
    if (active) return;
    if (!plugin->activate(plugin, rate, 1, static_cast<uint32_t>(maxBlock)))
        throw HostError(ExitCode::NoInstance, "the CLAP plug-in " + effectName() + " refused to activate");
    active = true;
    audio.run([](void* self) {
        const clap_plugin_t* plugin = static_cast<ClapPlugin*>(self)->plugin;
        plugin->start_processing(plugin);
    }, this);
}

void ClapPlugin::stop() {
    if (!active) return;
    audio.run([](void* self) {
        const clap_plugin_t* plugin = static_cast<ClapPlugin*>(self)->plugin;
        plugin->stop_processing(plugin);
    }, this);
    latency();
    plugin->deactivate(plugin);
    active = false;
}

void ClapPlugin::sendMidi(VstEvents* list) {
    midiCount = 0;
    VstEvent* const* entries = reinterpret_cast<VstEvent* const*>(reinterpret_cast<const char*>(list) +
                                                                  offsetof(VstEvents, events));
    for (int32 i = 0; i < list->numEvents && midiCount < midiEvents.size(); ++i) {
        if (entries[i]->type != kVstMidiType) continue;
        const VstMidiEvent& midi = *reinterpret_cast<const VstMidiEvent*>(entries[i]);
        clap_event_midi_t& event = midiEvents[midiCount++];
        event = {};
        event.header.size = sizeof event;
        event.header.time = static_cast<uint32_t>(midi.deltaFrames);
        event.header.space_id = CLAP_CORE_EVENT_SPACE_ID;
        event.header.type = CLAP_EVENT_MIDI;
        for (int k = 0; k < 3; ++k) event.data[k] = static_cast<uint8_t>(midi.midiData[k]);
    }
}

void ClapPlugin::process(float** inputs, float** outputs, int32 frames) {
    blockInputs = inputs;
    blockOutputs = outputs;
    blockFrames = frames;
    audio.run([](void* self) { static_cast<ClapPlugin*>(self)->processOnAudioThread(); }, this);
    midiCount = 0;
}

void ClapPlugin::processWatched(float** inputs, float** outputs, int32 frames) {
    watchBlock = true;
    process(inputs, outputs, frames);
    watchBlock = false;
}

void ClapPlugin::processOnAudioThread() {
    // Changes made since the last block come first, at its first frame; MIDI follows in
    // time order (the schedule hands it sorted).
    std::size_t count = 0;
    ParameterChange change;
    while (count < parameterEvents.size() && pending.pop(change)) {
        parameterEvents[count] = parameterEvent(parameters[change.index].id, plain(change.index, change.value));
        events[count] = &parameterEvents[count].header;
        ++count;
    }
    for (std::size_t i = 0; i < midiCount; ++i) events[count++] = &midiEvents[i].header;
    EventView view = {static_cast<uint32_t>(count), events.data()};
    inputEvents = {&view, listSize, eventAt};

    if (!ports[true].buffers.empty()) ports[true].buffers[0].data32 = blockInputs;
    if (!ports[false].buffers.empty()) ports[false].buffers[0].data32 = blockOutputs;
    clap_process_t data = {};
    data.steady_time = steadyTime;
    data.frames_count = static_cast<uint32_t>(blockFrames);
    data.audio_inputs = ports[true].buffers.data();
    data.audio_inputs_count = static_cast<uint32_t>(ports[true].buffers.size());
    data.audio_outputs = ports[false].buffers.data();
    data.audio_outputs_count = static_cast<uint32_t>(ports[false].buffers.size());
    data.in_events = &inputEvents;
    data.out_events = &outputEvents;
    if (watchBlock) watchThisThread(true);
    plugin->process(plugin, &data);
    if (watchBlock) watchThisThread(false);
    steadyTime += blockFrames;
}
