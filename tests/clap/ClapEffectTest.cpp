// The CLAP plug-ins as a host drives them: the VST 2 plug-in's samples, events at their
// frames, MIDI through the controller mapping, and the state through a stream that moves
// three bytes per call.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <cstring>
#include <string>
#include <vector>

#include "clap/ClapEffect.h"
#include "clap/ext/thread-check.h"
#include "tests/clap/ClapTestHost.h"
#include "plugin/PluginDescription.h"
#include "tests/dsp/TestSignals.h"
#include "vst2/FilterEffect.h"

namespace {

// A program's values as the host sets them: Stages as its stage count.
void setProgram(ClapTestEvents& events, int program) {
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
            ClapTestPlugin clap(channels);
            Buffers b = input, out(channels, 2048);
            for (int n = 0; n < 2048; n += 512) {
                auto i = a.at(n), o = expected.at(n);
                vst2.processReplacing(i.data(), o.data(), 512);
                ClapTestEvents events;
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
TEST(ClapEffect, ClapTestEventsTakeEffectAtTheirFrames) {
    const Buffers input = noise(2, 512, 6);
    ClapTestPlugin still(2), moved(2), controlled(2);
    Buffers in = input, a(2, 512), b(2, 512), c(2, 512);
    EXPECT_EQ(still.process(in, a, 0, 512), CLAP_PROCESS_CONTINUE);
    ClapTestEvents change;
    change.value(300, kResonance, 0.8);
    moved.process(in, b, 0, 512, &change);
    EXPECT_EQ(firstDifference(a.data[0], b.data[0]), 300);
    ClapTestEvents cc, output;
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
                              if (count > 0) std::memcpy(b, self->bytes.data() + self->position, count);
                              self->position += count;
                              return static_cast<std::int64_t>(count);
                          }};
    };
    Buffers in(2, 8), out(2, 8);
    for (int program = 0; program < kNumPrograms; ++program) {
        ClapTestPlugin source(2), target(2);
        ClapTestEvents events;
        setProgram(events, program);
        source.process(in, out, 0, 8, &events);
        Stream saved;
        ASSERT_TRUE(source.extension<clap_plugin_state_t>(CLAP_EXT_STATE)->save(source.plugin, &saved.out));
        ASSERT_TRUE(target.extension<clap_plugin_state_t>(CLAP_EXT_STATE)->load(target.plugin, &saved.in));
        Stream again;
        target.extension<clap_plugin_state_t>(CLAP_EXT_STATE)->save(target.plugin, &again.out);
        EXPECT_EQ(again.bytes, saved.bytes) << program;
    }
    ClapTestPlugin plugin(2);
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

// What the panel did leaves, in order, as the next block's first output events: the
// engine has the value already, and Stages goes out as its stage count.
TEST(ClapEffect, PanelGesturesLeaveInTheNextProcess) {
    ClapTestPlugin plugin(2);
    ClapEffect& effect = *ClapEffect::of(plugin.plugin);
    effect.beginGesture(kCutoff);
    effect.setParameterFromPanel(kCutoff, 0.7f);
    effect.setParameterFromPanel(kStages, 0.7f);  // three stages
    effect.endGesture(kCutoff);
    EXPECT_EQ(effect.parameter(kCutoff), 0.7f);
    Buffers in(2, 64), out(2, 64);
    ClapTestEvents cc, output;
    cc.midi(10, 0xB0, 11, 0);
    plugin.process(in, out, 0, 64, &cc, &output);
    struct Expected {
        std::uint16_t type;
        std::int32_t index;
        double value;
        std::uint32_t time;
    };
    const Expected expected[] = {{CLAP_EVENT_PARAM_GESTURE_BEGIN, kCutoff, 0.0, 0},
                                 {CLAP_EVENT_PARAM_VALUE, kCutoff, double(0.7f), 0},
                                 {CLAP_EVENT_PARAM_VALUE, kStages, 3.0, 0},
                                 {CLAP_EVENT_PARAM_GESTURE_END, kCutoff, 0.0, 0},
                                 {CLAP_EVENT_PARAM_VALUE, kCutoff, 0.0, 10}};
    ASSERT_EQ(output.events.size(), std::size(expected));
    for (std::uint32_t i = 0; i < std::size(expected); ++i) {
        const clap_event_header_t* event = output.at(i);
        EXPECT_EQ(event->type, expected[i].type) << i;
        EXPECT_EQ(event->time, expected[i].time) << i;
        const clap_id id = event->type == CLAP_EVENT_PARAM_VALUE
                               ? reinterpret_cast<const clap_event_param_value_t*>(event)->param_id
                               : reinterpret_cast<const clap_event_param_gesture_t*>(event)->param_id;
        EXPECT_EQ(id, parameterDescription(expected[i].index).id) << i;
        if (event->type == CLAP_EVENT_PARAM_VALUE) {
            EXPECT_EQ(reinterpret_cast<const clap_event_param_value_t*>(event)->value, expected[i].value) << i;
        }
    }
    ClapTestEvents again;
    plugin.process(in, out, 0, 64, nullptr, &again);
    EXPECT_TRUE(again.events.empty());
}

// A long drag while the host takes no events: the gesture still ends, after the last value.
TEST(ClapEffect, ALongDragTheHostDoesNotTakeStillEndsOnItsLastValue) {
    ClapTestPlugin plugin(2);
    ClapEffect& effect = *ClapEffect::of(plugin.plugin);
    effect.beginGesture(kResonance);
    for (int step = 1; step <= 1000; ++step) effect.setParameterFromPanel(kResonance, step / 1000.0f);
    effect.endGesture(kResonance);
    Buffers in(2, 64), out(2, 64);
    ClapTestEvents output;
    plugin.process(in, out, 0, 64, nullptr, &output);
    ASSERT_GE(output.events.size(), 3u);
    const std::size_t last = output.events.size() - 1;
    EXPECT_EQ(output.at(0)->type, CLAP_EVENT_PARAM_GESTURE_BEGIN);
    ASSERT_EQ(output.at(last - 1)->type, CLAP_EVENT_PARAM_VALUE);
    EXPECT_EQ(reinterpret_cast<const clap_event_param_value_t*>(output.at(last - 1))->value, 1.0);
    EXPECT_EQ(output.at(last)->type, CLAP_EVENT_PARAM_GESTURE_END);
}

// Debug builds (release builds do no such checks) catch a host that flushes on its main
// thread while it processes: flush and process would then run at once.
#ifndef NDEBUG
TEST(ClapEffectDeathTest, AFlushBesideProcessingIsCaught) {
    static const clap_host_thread_check_t mainThreadOnly = {[](const clap_host_t*) { return true; },
                                                           [](const clap_host_t*) { return false; }};
    clap_host_t host = kClapTestHost;
    host.get_extension = [](const clap_host_t*, const char* id) -> const void* {
        return std::strcmp(id, CLAP_EXT_THREAD_CHECK) == 0 ? &mainThreadOnly : nullptr;
    };
    const clap_plugin_t* plugin = clapFactory()->create_plugin(clapFactory(), &host, kClapMono.id);
    plugin->init(plugin);
    plugin->activate(plugin, 44100.0, 1, 512);
    const auto* params = static_cast<const clap_plugin_params_t*>(plugin->get_extension(plugin, CLAP_EXT_PARAMS));
    ClapTestEvents in, out;
    params->flush(plugin, &in.in, &out.out);
    plugin->start_processing(plugin);
    EXPECT_DEATH(params->flush(plugin, &in.in, &out.out), "");
    plugin->stop_processing(plugin);
    plugin->deactivate(plugin);
    plugin->destroy(plugin);
}
#endif
