// The host's side of the CLAP calls the tests and the benchmark make: a host without
// extensions, event lists, and one plug-in made through the factory and activated.
#pragma once

#include <cstring>
#include <vector>

#include "clap/ClapEffect.h"
#include "clap/ClapFactory.h"
#include "plugin/PluginDescription.h"
#include "tests/dsp/TestSignals.h"

inline const clap_host_t kClapTestHost = {CLAP_VERSION_INIT, nullptr, "test", "Quorvane", "", "1",
                           [](const clap_host_t*, const char*) -> const void* { return nullptr; },
                           [](const clap_host_t*) {}, [](const clap_host_t*) {}, [](const clap_host_t*) {}};

// An event list the host builds; the output side keeps what the plug-in pushes.
struct ClapTestEvents {
    std::vector<std::vector<std::uint8_t>> events;

    void value(std::uint32_t time, std::int32_t index, double value) {
        clap_event_param_value_t e{};
        e.header = {sizeof e, time, CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_PARAM_VALUE, 0};
        e.param_id = parameterDescription(index).id;
        e.value = value;
        add(&e.header);
    }
    void midi(std::uint32_t time, std::uint8_t status, std::uint8_t d1, std::uint8_t d2) {
        clap_event_midi_t e{};
        e.header = {sizeof e, time, CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_MIDI, 0};
        e.data[0] = status;
        e.data[1] = d1;
        e.data[2] = d2;
        add(&e.header);
    }
    void add(const clap_event_header_t* h) {
        const auto* b = reinterpret_cast<const std::uint8_t*>(h);
        events.emplace_back(b, b + h->size);
    }
    const clap_event_header_t* at(std::uint32_t i) const {
        return reinterpret_cast<const clap_event_header_t*>(events[i].data());
    }

    clap_input_events_t in{this, [](const clap_input_events_t* l) {
                               return static_cast<std::uint32_t>(static_cast<const ClapTestEvents*>(l->ctx)->events.size());
                           },
                           [](const clap_input_events_t* l, std::uint32_t i) {
                               return static_cast<const ClapTestEvents*>(l->ctx)->at(i);
                           }};
    clap_output_events_t out{this, [](const clap_output_events_t* l, const clap_event_header_t* h) {
                                 static_cast<ClapTestEvents*>(l->ctx)->add(h);
                                 return true;
                             }};
};

struct ClapTestPlugin {
    explicit ClapTestPlugin(int channels)
        : plugin(clapFactory()->create_plugin(clapFactory(), &kClapTestHost,
                                              channels == 1 ? kClapMono.id : kClapStereo.id)) {
        plugin->init(plugin);
        plugin->activate(plugin, 44100.0, 1, 4096);
        plugin->start_processing(plugin);
    }
    ~ClapTestPlugin() {
        plugin->stop_processing(plugin);
        plugin->deactivate(plugin);
        plugin->destroy(plugin);
    }
    clap_process_status process(Buffers& in, Buffers& out, int first, std::uint32_t frames, ClapTestEvents* events = nullptr,
                 ClapTestEvents* output = nullptr) {
        std::vector<float*> i = in.at(first), o = out.at(first);
        clap_audio_buffer_t inBus{i.data(), nullptr, static_cast<std::uint32_t>(i.size()), 0, 0};
        clap_audio_buffer_t outBus{o.data(), nullptr, static_cast<std::uint32_t>(o.size()), 0, 0};
        ClapTestEvents none;
        clap_process_t p{};
        p.frames_count = frames;
        p.audio_inputs = &inBus;
        p.audio_outputs = &outBus;
        p.audio_inputs_count = p.audio_outputs_count = 1;
        p.in_events = &(events ? events : &none)->in;
        p.out_events = &(output ? output : &none)->out;
        return plugin->process(plugin, &p);
    }
    template <typename T>
    const T* extension(const char* id) { return static_cast<const T*>(plugin->get_extension(plugin, id)); }

    const clap_plugin_t* plugin;
};

