// The tests' LV2 host, through lilv: renders an audio file through an LV2 plug-in the way
// quorvane-render does through a VST 2 one (the same blocks; MIDI messages in the block
// holding their time, here through the atom port), so the two outputs can be compared
// bit for bit. --program NAME loads the plug-in's preset of that name as hosts do.
// With the rt monitor preloaded and --rt, it fails when run() allocates or locks.
//   quorvane-lv2-host [--program NAME] [--param SYMBOL=V] [--cc T:CC=V] [--bend T:V]
//                     [--block N] [--rt] PLUGIN_URI INPUT OUTPUT
#include <dlfcn.h>
#include <lilv/lilv.h>
#include <lv2/atom/atom.h>
#include <lv2/midi/midi.h>
#include <lv2/presets/presets.h>
#include <lv2/urid/urid.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "host/AudioFile.h"
#include "host/ExitCode.h"
#include "host/MidiSchedule.h"
#include "host/RenderOptions.h"
#include "host/platform/linux/monitor/MonitorInterface.h"

namespace {

struct UridMap {
    std::map<std::string, LV2_URID> ids;
    static LV2_URID map(LV2_URID_Map_Handle handle, const char* uri) {
        auto& ids = static_cast<UridMap*>(handle)->ids;
        auto found = ids.find(uri);
        if (found != ids.end()) return found->second;
        const auto id = static_cast<LV2_URID>(ids.size() + 1);
        ids.emplace(uri, id);
        return id;
    }
};

struct Port {
    std::string symbol;
    enum { Control, AudioIn, AudioOut, Atom } kind;
    float value = 0.0f;
};

struct Ports {
    std::vector<Port> list;
    Port* bySymbol(const std::string& symbol) {
        for (Port& port : list)
            if (port.symbol == symbol) return &port;
        return nullptr;
    }
};

void setPresetValue(const char* symbol, void* data, const void* value, uint32_t size,
                    uint32_t) {
    Port* port = static_cast<Ports*>(data)->bySymbol(symbol);
    if (port && size == sizeof(float)) std::memcpy(&port->value, value, sizeof(float));
}

// A sequence buffer the size of an ample block's worth of MIDI messages.
struct alignas(8) SequenceBuffer {
    LV2_Atom_Sequence sequence;
    unsigned char room[8192];
};

void fillSequence(SequenceBuffer& buffer, LV2_URID sequenceType, LV2_URID midiType,
                  const VstEvents* events) {
    buffer.sequence.atom.type = sequenceType;
    buffer.sequence.body.unit = 0;
    buffer.sequence.body.pad = 0;
    std::uint32_t used = sizeof(LV2_Atom_Sequence_Body);
    for (int i = 0; events && i < events->numEvents; ++i) {
        const auto* midi = reinterpret_cast<const VstMidiEvent*>(events->events[i]);
        if (used + sizeof(LV2_Atom_Event) + 8 > sizeof buffer.room) break;
        auto* event = reinterpret_cast<LV2_Atom_Event*>(
            reinterpret_cast<unsigned char*>(&buffer.sequence.body) + used);
        event->time.frames = midi->deltaFrames;
        event->body.type = midiType;
        event->body.size = 3;
        std::memcpy(&event->body + 1, midi->midiData, 3);
        used += sizeof(LV2_Atom_Event) + 8;
    }
    buffer.sequence.atom.size = used;
}

int render(const RenderOptions& options, bool rtCheck) {
    QvMonitorWatch watch = nullptr;
    QvMonitorTake take = nullptr;
    if (rtCheck) {
        watch = reinterpret_cast<QvMonitorWatch>(dlsym(RTLD_DEFAULT, "quorvaneMonitorWatch"));
        take = reinterpret_cast<QvMonitorTake>(dlsym(RTLD_DEFAULT, "quorvaneMonitorTake"));
        if (!watch || !take) throw HostError(ExitCode::Failure, "--rt needs the rt monitor preloaded");
    }

    LilvWorld* world = lilv_world_new();
    lilv_world_load_all(world);
    LilvNode* uri = lilv_new_uri(world, options.pluginPath.c_str());
    const LilvPlugin* plugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world), uri);
    if (!plugin) throw HostError(ExitCode::PluginNotFound, "no LV2 plug-in " + options.pluginPath);

    UridMap uridMap;
    LV2_URID_Map map{&uridMap, UridMap::map};
    const LV2_Feature mapFeature{LV2_URID__map, &map};
    const LV2_Feature* features[] = {&mapFeature, nullptr};

    Ports ports;
    LilvNode* controlClass = lilv_new_uri(world, LV2_CORE__ControlPort);
    LilvNode* audioClass = lilv_new_uri(world, LV2_CORE__AudioPort);
    LilvNode* inputClass = lilv_new_uri(world, LV2_CORE__InputPort);
    const std::uint32_t portCount = lilv_plugin_get_num_ports(plugin);
    std::vector<float> defaults(portCount);
    lilv_plugin_get_port_ranges_float(plugin, nullptr, nullptr, defaults.data());
    for (std::uint32_t i = 0; i < portCount; ++i) {
        const LilvPort* port = lilv_plugin_get_port_by_index(plugin, i);
        Port entry;
        entry.symbol = lilv_node_as_string(lilv_port_get_symbol(plugin, port));
        const bool input = lilv_port_is_a(plugin, port, inputClass);
        entry.kind = lilv_port_is_a(plugin, port, controlClass) ? Port::Control
                     : lilv_port_is_a(plugin, port, audioClass) ? (input ? Port::AudioIn : Port::AudioOut)
                                                                : Port::Atom;
        entry.value = defaults[i];
        ports.list.push_back(entry);
    }

    if (options.program) {
        LilvNode* presetClass = lilv_new_uri(world, LV2_PRESETS__Preset);
        LilvNode* labelProperty = lilv_new_uri(world, LILV_NS_RDFS "label");
        LilvNodes* presets = lilv_plugin_get_related(plugin, presetClass);
        LilvState* state = nullptr;
        LILV_FOREACH(nodes, i, presets) {
            const LilvNode* preset = lilv_nodes_get(presets, i);
            lilv_world_load_resource(world, preset);
            LilvNode* label = lilv_world_get(world, preset, labelProperty, nullptr);
            if (label && *options.program == lilv_node_as_string(label))
                state = lilv_state_new_from_world(world, &map, preset);
            lilv_node_free(label);
        }
        if (!state) throw HostError(ExitCode::UnknownProgram, "no preset " + *options.program);
        lilv_state_restore(state, nullptr, setPresetValue, &ports, 0, nullptr);
        lilv_state_free(state);
        lilv_nodes_free(presets);
    }
    for (const ParameterSetting& setting : options.parameters) {
        Port* port = ports.bySymbol(setting.parameter);
        if (!port || port->kind != Port::Control)
            throw HostError(ExitCode::UnknownParameter, "no control port " + setting.parameter);
        port->value = setting.value;
    }

    AudioReader reader(options.inputPath);
    const AudioFormat format = reader.format();
    int inputs = 0, outputs = 0;
    for (const Port& port : ports.list) {
        inputs += port.kind == Port::AudioIn;
        outputs += port.kind == Port::AudioOut;
    }
    if (format.channels != inputs)
        throw HostError(ExitCode::ChannelMismatch, "the file's channels differ from the plug-in's inputs");

    LilvInstance* instance = lilv_plugin_instantiate(plugin, format.sampleRate, features);
    if (!instance) throw HostError(ExitCode::NoInstance, "instantiation failed");
    const int block = options.blockSize;
    std::vector<std::vector<float>> audio(ports.list.size());
    SequenceBuffer midi{};
    const LV2_URID sequenceType = UridMap::map(&uridMap, LV2_ATOM__Sequence);
    const LV2_URID midiType = UridMap::map(&uridMap, LV2_MIDI__MidiEvent);
    for (std::uint32_t i = 0; i < portCount; ++i) {
        Port& port = ports.list[i];
        if (port.kind == Port::Control) {
            lilv_instance_connect_port(instance, i, &port.value);
        } else if (port.kind == Port::Atom) {
            lilv_instance_connect_port(instance, i, &midi);
        } else {
            audio[i].resize(block);
            lilv_instance_connect_port(instance, i, audio[i].data());
        }
    }

    MidiSchedule schedule(options.midi, format.sampleRate);
    AudioWriter writer(options.outputPath, format.sampleRate, outputs,
                       options.encoding.value_or(SampleEncoding::Float));
    std::vector<float> interleaved(static_cast<std::size_t>(block) * (inputs > outputs ? inputs : outputs));
    lilv_instance_activate(instance);
    std::int64_t position = 0;
    for (std::int64_t frames; (frames = reader.read(interleaved.data(), block)) > 0; position += frames) {
        for (int c = 0, i = 0; i < static_cast<int>(portCount); ++i)
            if (ports.list[i].kind == Port::AudioIn) {
                for (std::int64_t f = 0; f < frames; ++f) audio[i][f] = interleaved[f * inputs + c];
                ++c;
            }
        fillSequence(midi, sequenceType, midiType, schedule.eventsFor(position, static_cast<std::int32_t>(frames)));
        if (watch) watch(1);
        lilv_instance_run(instance, static_cast<std::uint32_t>(frames));
        if (watch) watch(0);
        for (int c = 0, i = 0; i < static_cast<int>(portCount); ++i)
            if (ports.list[i].kind == Port::AudioOut) {
                for (std::int64_t f = 0; f < frames; ++f) interleaved[f * outputs + c] = audio[i][f];
                ++c;
            }
        writer.write(interleaved.data(), frames);
    }
    lilv_instance_deactivate(instance);
    lilv_instance_free(instance);
    writer.commit();

    if (take) {
        QvMonitorCounts counts{};
        take(&counts);
        long total = 0;
        for (long calls : counts.calls) total += calls;
        if (total > 0) {
            std::fprintf(stderr, "run() made %ld allocation or lock calls\n", total);
            return 1;
        }
    }
    lilv_node_free(inputClass);
    lilv_node_free(audioClass);
    lilv_node_free(controlClass);
    lilv_node_free(uri);
    lilv_world_free(world);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> arguments;
    bool rtCheck = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--rt") == 0)
            rtCheck = true;
        else
            arguments.push_back(argv[i]);
    }
    try {
        return render(parseCommandLine(arguments), rtCheck);
    } catch (const HostError& error) {
        std::fprintf(stderr, "quorvane-lv2-host: %s\n", error.what());
        return static_cast<int>(error.code);
    }
}
