// The CLAP plug-ins as a host drives them: the VST 2 plug-in's samples, events at their
// frames, MIDI through the controller mapping, and the state through a stream that moves
// three bytes per call.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "clap/ClapEffect.h"
#include "clap/ClapFactory.h"
#include "plugin/PluginDescription.h"
#include "tests/dsp/TestSignals.h"
#include "vst2/FilterEffect.h"

namespace {

const clap_host_t kHost = {CLAP_VERSION_INIT, nullptr, "test", "Quorvane", "", "1",
                           [](const clap_host_t*, const char*) -> const void* { return nullptr; },
                           [](const clap_host_t*) {}, [](const clap_host_t*) {}, [](const clap_host_t*) {}};

// An event list the host builds; the output side keeps what the plug-in pushes.
struct Events {
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
                               return static_cast<std::uint32_t>(static_cast<const Events*>(l->ctx)->events.size());
                           },
                           [](const clap_input_events_t* l, std::uint32_t i) {
                               return static_cast<const Events*>(l->ctx)->at(i);
                           }};
    clap_output_events_t out{this, [](const clap_output_events_t* l, const clap_event_header_t* h) {
                                 static_cast<Events*>(l->ctx)->add(h);
                                 return true;
                             }};
};

struct Plugin {
    explicit Plugin(int channels)
        : plugin(clapFactory()->create_plugin(clapFactory(), &kHost,
                                              channels == 1 ? kClapMono.id : kClapStereo.id)) {
        plugin->init(plugin);
        plugin->activate(plugin, 44100.0, 1, 4096);
        plugin->start_processing(plugin);
    }
    ~Plugin() {
        plugin->stop_processing(plugin);
        plugin->deactivate(plugin);
        plugin->destroy(plugin);
    }
    void process(Buffers& in, Buffers& out, int first, std::uint32_t frames, Events* events = nullptr,
                 Events* output = nullptr) {
        std::vector<float*> i = in.at(first), o = out.at(first);
        clap_audio_buffer_t inBus{i.data(), nullptr, static_cast<std::uint32_t>(i.size()), 0, 0};
        clap_audio_buffer_t outBus{o.data(), nullptr, static_cast<std::uint32_t>(o.size()), 0, 0};
        Events none;
        clap_process_t p{};
        p.frames_count = frames;
        p.audio_inputs = &inBus;
        p.audio_outputs = &outBus;
        p.audio_inputs_count = p.audio_outputs_count = 1;
        p.in_events = &(events ? events : &none)->in;
        p.out_events = &(output ? output : &none)->out;
        EXPECT_EQ(plugin->process(plugin, &p), CLAP_PROCESS_CONTINUE);
    }
    template <typename T>
    const T* extension(const char* id) { return static_cast<const T*>(plugin->get_extension(plugin, id)); }

    const clap_plugin_t* plugin;
};

// A program's values as the host sets them: Stages as its stage count.
void setProgram(Events& events, int program) {
    for (int i = 0; i < kNumParams; ++i) {
        const float v = factoryProgram(program).values[i];
        events.value(0, i, i == kStages ? std::min(4, int(v * 3.999f + 1.0)) : v);
    }
}

}  // namespace

TEST(ClapEffect, RendersWhatTheVst2PluginRenders) {
    for (int channels : {1, 2}) {
        const Buffers input = noise(channels, 2048, 21);
        for (int program = 0; program < kNumPrograms; ++program) {
            FilterEffect vst2(nullptr, channels, false);
            vst2.setProgram(program);
            Buffers a = input, expected(channels, 2048);
            Plugin clap(channels);
            Buffers b = input, out(channels, 2048);
            for (int n = 0; n < 2048; n += 512) {
                auto i = a.at(n), o = expected.at(n);
                vst2.processReplacing(i.data(), o.data(), 512);
                Events events;
                if (n == 0) setProgram(events, program);
                clap.process(b, out, n, 512, &events);
            }
            for (int c = 0; c < channels; ++c)
                EXPECT_EQ(firstDifference(out.data[c], expected.data[c]), -1) << program << " " << channels;
        }
    }
}

// A value at frame 300 and a mapped controller (CC 11 drives Cutoff) at frame 100 take
// effect there; the controller's move comes back as a value event at its frame.
TEST(ClapEffect, EventsTakeEffectAtTheirFrames) {
    const Buffers input = noise(2, 512, 6);
    Plugin still(2), moved(2), controlled(2);
    Buffers in = input, a(2, 512), b(2, 512), c(2, 512);
    still.process(in, a, 0, 512);
    Events change;
    change.value(300, kResonance, 0.8);
    moved.process(in, b, 0, 512, &change);
    EXPECT_EQ(firstDifference(a.data[0], b.data[0]), 300);
    Events cc, output;
    cc.midi(100, 0xB0, 11, 127);
    controlled.process(in, c, 0, 512, &cc, &output);
    EXPECT_EQ(firstDifference(a.data[0], c.data[0]), 100);
    ASSERT_EQ(output.events.size(), 1u);
    const auto* reported = reinterpret_cast<const clap_event_param_value_t*>(output.at(0));
    EXPECT_EQ(reported->header.time, 100u);
    EXPECT_EQ(reported->param_id, parameterDescription(kCutoff).id);
    EXPECT_EQ(reported->value, 0.5);
}

TEST(ClapEffect, StateMovesThroughAStreamThreeBytesAtATime) {
    struct Stream {
        std::vector<std::uint8_t> bytes;
        std::size_t position = 0;
        clap_ostream_t out{this, [](const clap_ostream_t* s, const void* b, std::uint64_t n) -> std::int64_t {
                               auto* self = static_cast<Stream*>(s->ctx);
                               const auto count = std::min<std::uint64_t>(n, 3);
                               self->bytes.insert(self->bytes.end(), static_cast<const std::uint8_t*>(b),
                                                  static_cast<const std::uint8_t*>(b) + count);
                               return static_cast<std::int64_t>(count);
                           }};
        clap_istream_t in{this, [](const clap_istream_t* s, void* b, std::uint64_t n) -> std::int64_t {
                              auto* self = static_cast<Stream*>(s->ctx);
                              const auto count = std::min<std::uint64_t>({n, 3, self->bytes.size() - self->position});
                              std::memcpy(b, self->bytes.data() + self->position, count);
                              self->position += count;
                              return static_cast<std::int64_t>(count);
                          }};
    };
    Buffers in(2, 8), out(2, 8);
    for (int program = 0; program < kNumPrograms; ++program) {
        Plugin source(2), target(2);
        Events events;
        setProgram(events, program);
        source.process(in, out, 0, 8, &events);
        Stream saved;
        ASSERT_TRUE(source.extension<clap_plugin_state_t>(CLAP_EXT_STATE)->save(source.plugin, &saved.out));
        ASSERT_TRUE(target.extension<clap_plugin_state_t>(CLAP_EXT_STATE)->load(target.plugin, &saved.in));
        Stream again;
        target.extension<clap_plugin_state_t>(CLAP_EXT_STATE)->save(target.plugin, &again.out);
        EXPECT_EQ(again.bytes, saved.bytes) << program;
    }
    Plugin plugin(2);
    const auto* state = plugin.extension<clap_plugin_state_t>(CLAP_EXT_STATE);
    Stream before;
    state->save(plugin.plugin, &before.out);
    for (const auto& bad : {std::vector<std::uint8_t>{}, std::vector<std::uint8_t>(before.bytes.begin(), before.bytes.begin() + 5),
                            std::vector<std::uint8_t>(before.bytes.begin(), before.bytes.end() - 1),
                            std::vector<std::uint8_t>(before.bytes.size(), 0xC3)}) {
        Stream stream;
        stream.bytes = bad;
        EXPECT_FALSE(state->load(plugin.plugin, &stream.in));
        Stream after;
        state->save(plugin.plugin, &after.out);
        EXPECT_EQ(after.bytes, before.bytes);
    }
}
