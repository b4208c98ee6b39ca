// The VST3 effect as a host drives it: the same samples as the VST 2 plug-in, parameter
// changes where the host put them, programs, the state through a stream that moves a few
// bytes per call, and the parameters' descriptions.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "plugin/PluginDescription.h"
#include "plugin/PluginState.h"
#include "tests/dsp/TestSignals.h"
#include "tests/vst3/Vst3HostObjects.h"
#include "vst2/FilterEffect.h"

namespace {

Buffers renderVst2(int program, const Buffers& input, std::int32_t block) {
    FilterEffect effect(nullptr, 2, false);
    effect.setProgram(program);
    Buffers in = input, out(2, static_cast<int>(input.data[0].size()));
    for (std::size_t n = 0; n < input.data[0].size(); n += block) {
        auto i = in.at(static_cast<int>(n)), o = out.at(static_cast<int>(n));
        effect.processReplacing(i.data(), o.data(), block);
    }
    return out;
}

}  // namespace

// Every program, set as the nine values at frame 0 or through the program list: the
// samples of the VST 2 plug-in, bit for bit.
TEST(Vst3Effect, RendersWhatTheVst2PluginRenders) {
    const Buffers input = noise(2, 4096, 11);
    for (int program = 0; program < kNumPrograms; ++program) {
        const Buffers expected = renderVst2(program, input, 512);
        for (bool throughProgramList : {false, true}) {
            Vst3TestInstance plugin;
            ASSERT_TRUE(plugin.activate());
            Buffers in = input, out(2, 4096);
            for (std::int32_t n = 0; n < 4096; n += 512) {
                ParameterChanges changes;
                if (n == 0 && throughProgramList)
                    changes.add(kProgramParameterId, 0, program / double(kNumPrograms - 1));
                for (int i = 0; n == 0 && !throughProgramList && i < kNumParams; ++i)
                    changes.add(parameterDescription(i).id, 0, factoryProgram(program).values[i]);
                plugin.process(in, out, n, 512, &changes);
            }
            EXPECT_EQ(firstDifference(out.data[0], expected.data[0]), -1) << program;
            EXPECT_EQ(firstDifference(out.data[1], expected.data[1]), -1) << program;
        }
    }
}

// A change at frame 300 of a 512-frame block: the same as a block cut there.
TEST(Vst3Effect, AChangeTakesEffectAtItsFrame) {
    const Buffers input = noise(2, 512, 4);
    Vst3TestInstance whole, cut;
    ASSERT_TRUE(whole.activate() && cut.activate());
    Buffers in = input, a(2, 512), b(2, 512);
    ParameterChanges changes;
    changes.add(parameterDescription(kCutoff).id, 300, 0.9);
    whole.process(in, a, 0, 512, &changes);
    cut.process(in, b, 0, 300);
    ParameterChanges atStart;
    atStart.add(parameterDescription(kCutoff).id, 0, 0.9);
    cut.process(in, b, 300, 212, &atStart);
    EXPECT_EQ(firstDifference(a.data[0], b.data[0]), -1);
    Buffers unchanged(2, 512);
    Vst3TestInstance still;
    ASSERT_TRUE(still.activate());
    still.process(in, unchanged, 0, 512);
    EXPECT_EQ(firstDifference(a.data[0], unchanged.data[0]), 300);
}

// Saved through a stream that moves three bytes per call and loaded into a new instance;
// a bad state answers false and leaves the instance as it was.
TEST(Vst3Effect, StateRoundTripsThroughATrickleStream) {
    for (int program = 0; program < kNumPrograms; ++program) {
        Vst3TestInstance source;
        ParameterChanges changes;
        // Given before the program at the same frame, Reso still wins over the program's.
        changes.add(parameterDescription(kResonance).id, 0, 0.7);
        changes.add(kProgramParameterId, 0, program / double(kNumPrograms - 1));
        Buffers in(2, 16), out(2, 16);
        ASSERT_TRUE(source.activate());
        source.process(in, out, 0, 16, &changes);
        TrickleStream saved;
        ASSERT_EQ(v3_cpp_obj(source.component)->get_state(source.component, saved.get()), V3_OK);

        Vst3TestInstance target;
        TrickleStream load(saved.bytes);
        ASSERT_EQ(v3_cpp_obj(target.component)->set_state(target.component, load.get()), V3_OK);
        TrickleStream again;
        v3_cpp_obj(target.component)->get_state(target.component, again.get());
        EXPECT_EQ(again.bytes, saved.bytes) << program;
        EXPECT_EQ(v3_cpp_obj(target.controller)->get_parameter_normalised(target.controller, parameterDescription(kResonance).id), 0.7f);
    }
    Vst3TestInstance plugin;
    TrickleStream before;
    v3_cpp_obj(plugin.component)->get_state(plugin.component, before.get());
    const std::vector<std::uint8_t> good = before.bytes;
    for (const auto& bad : {std::vector<std::uint8_t>{}, std::vector<std::uint8_t>(good.begin(), good.end() - 3),
                            std::vector<std::uint8_t>(good.size(), 0x5A)}) {
        TrickleStream stream(bad);
        EXPECT_NE(v3_cpp_obj(plugin.component)->set_state(plugin.component, stream.get()), V3_OK);
        EXPECT_NE(v3_cpp_obj(plugin.controller)->set_component_state(plugin.controller, stream.get()), V3_OK);
        TrickleStream after;
        v3_cpp_obj(plugin.component)->get_state(plugin.component, after.get());
        EXPECT_EQ(after.bytes, good);
    }
}

// A change the host gave the controller alone, with no process call after it (Ardour
// with the plug-in deactivated), is in the state the host saves.
TEST(Vst3Effect, TheStateHoldsWhatTheControllerWasToldLast) {
    const struct {
        v3_param_id id;
        double value;
        std::int32_t program;
        float cutoff;
    } cases[] = {{parameterDescription(kCutoff).id, 0.45, 0, 0.45f},
                 {kProgramParameterId, 8.0 / 15, 8, factoryProgram(8).values[kCutoff]}};
    for (const auto& t : cases) {
        Vst3TestInstance plugin;
        ASSERT_TRUE(plugin.activate());
        v3_cpp_obj(plugin.controller)->set_parameter_normalised(plugin.controller, t.id, t.value);
        TrickleStream saved;
        ASSERT_EQ(v3_cpp_obj(plugin.component)->get_state(plugin.component, saved.get()), V3_OK);
        PluginSettings settings;
        ASSERT_TRUE(readPluginState(saved.bytes.data(), saved.bytes.size(), settings));
        EXPECT_EQ(settings.program, t.program) << t.id;
        EXPECT_EQ(settings.values[kCutoff], t.cutoff) << t.id;
    }
}

// A program change, then the host's own Reso in the same block (Ardour selecting a preset,
// then a value): hosts take the last point the processor reports, which must be the host's.
TEST(Vst3Effect, TheLastReportedPointIsTheHostsOwnChange) {
    Vst3TestInstance plugin;
    ASSERT_TRUE(plugin.activate());
    ParameterChanges changes, reported;
    changes.add(kProgramParameterId, 0, 8.0 / 15);
    changes.add(parameterDescription(kResonance).id, 0, 0.7);
    Buffers in(2, 64), out(2, 64);
    plugin.process(in, out, 0, 64, &changes, &reported);
    const ParameterChanges::Queue* reso = reported.find(parameterDescription(kResonance).id);
    ASSERT_NE(reso, nullptr);
    EXPECT_EQ(reso->points.back().second, 0.7f);
    const ParameterChanges::Queue* cutoff = reported.find(parameterDescription(kCutoff).id);
    ASSERT_NE(cutoff, nullptr);
    EXPECT_EQ(cutoff->points.back().second, factoryProgram(8).values[kCutoff]);
}

// The host's view of the parameters: ids, steps, defaults and texts both ways.
TEST(Vst3Effect, ParametersDescribeThemselves) {
    Vst3TestInstance plugin;
    v3_edit_controller** c = plugin.controller;
    const struct {
        std::int32_t index;
        std::int32_t steps;
        double value;
        const char* text;
    } cases[] = {{kMode, 1, 1.0, "HPF"}, {kStages, 3, 2.0 / 3, "3 : -18"}, {kCutoff, 0, 0.25, "25.0000"},
                 {kNumParams, kNumPrograms - 1, 8.0 / 15, "Planet JX-3P"}};
    for (const auto& t : cases) {
        v3_param_info info;
        ASSERT_EQ(v3_cpp_obj(c)->get_parameter_info(c, t.index, &info), V3_OK);
        EXPECT_EQ(info.step_count, t.steps) << t.text;
        v3_str_128 text;
        ASSERT_EQ(v3_cpp_obj(c)->get_parameter_string_for_value(c, info.param_id, t.value, text), V3_OK);
        char ascii[128];
        fromUtf16(text, ascii);
        EXPECT_STREQ(ascii, t.text);
        double back = -1.0;
        ASSERT_EQ(v3_cpp_obj(c)->get_parameter_value_for_string(c, info.param_id, text, &back), V3_OK);
        EXPECT_NEAR(back, t.value, 1e-6) << t.text;
    }
    v3_param_info info;
    EXPECT_NE(v3_cpp_obj(c)->get_parameter_info(c, v3_cpp_obj(c)->get_parameter_count(c), &info), V3_OK);
    v3_cpp_obj(c)->get_parameter_info(c, kCutoff, &info);
    EXPECT_EQ(info.default_normalised_value, factoryProgram(0).values[kCutoff]);
}
