// The filter heard through the built library, as a host drives it.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "tests/support/HostHarness.h"

namespace {

constexpr int kFrames = 8820;

// Peak level of the second half of a sine through the plug-in.
float peakOfSine(LoadedPlugin& plugin, AEffect* e, double hz, bool replacing) {
    std::vector<float> in(kFrames), out0(kFrames, 0.0f), out1(kFrames, 0.0f);
    for (int n = 0; n < kFrames; ++n) in[n] = static_cast<float>(0.5 * std::sin(2 * M_PI * hz * n / 44100.0));
    std::vector<float> in1 = in;
    float* inputs[] = {in.data(), in1.data()};
    float* outputs[] = {out0.data(), out1.data()};
    plugin.dispatch(e, effMainsChanged, 0, 1);
    if (replacing)
        e->processReplacing(e, inputs, outputs, kFrames);
    else
        e->process(e, inputs, outputs, kFrames);
    float peak = 0;
    for (int n = kFrames / 2; n < kFrames; ++n) peak = std::max(peak, std::fabs(out0[n]));
    EXPECT_EQ(out0, out1) << "both channels get the same filter";
    return peak;
}

}  // namespace

TEST(FilterHost, LowPassProgramPassesLowsAndCutsHighsInBothCallbacks) {
    RecordingHost host;
    LoadedPlugin plugin;
    AEffect* e = plugin.instantiate();
    ASSERT_NE(e, nullptr);
    ASSERT_EQ(e->numInputs, 2);
    // Program 0, "LPF": four stages, Cutoff 0.2 (each stage has its corner near 450 Hz).
    for (bool replacing : {true, false}) {
        const float low = peakOfSine(plugin, e, 50.0, replacing);
        const float high = peakOfSine(plugin, e, 15000.0, replacing);
        EXPECT_NEAR(low, 0.5f, 0.05f) << replacing;
        EXPECT_LT(high, 0.005f) << replacing;
    }
    plugin.dispatch(e, effClose);
}

TEST(FilterHost, ProgramsAndParametersThroughTheRecord) {
    RecordingHost host;
    LoadedPlugin plugin;
    AEffect* e = plugin.instantiate();
    ASSERT_NE(e, nullptr);
    host.clear();
    plugin.dispatch(e, effSetProgram, 0, 1);
    EXPECT_EQ(host.callsWith(audioMasterAutomate).size(), 9u);
    char text[64] = {};
    plugin.dispatch(e, effGetProgramName, 0, 0, text);
    EXPECT_STREQ(text, "HPF");
    plugin.dispatch(e, effGetParamDisplay, 2, 0, text);
    EXPECT_STREQ(text, "1 : -6");
    // High-pass at Cutoff 0.5: the low tone is gone, the high one passes.
    EXPECT_LT(peakOfSine(plugin, e, 50.0, true), 0.01f);
    EXPECT_GT(peakOfSine(plugin, e, 15000.0, true), 0.3f);

    host.clear();
    e->setParameter(e, 3, 0.8f);
    EXPECT_EQ(e->getParameter(e, 3), 0.8f);
    EXPECT_TRUE(host.callsWith(audioMasterAutomate).empty()) << "host changes are not echoed";
    EXPECT_EQ(plugin.dispatch(e, effGetProgramNameIndexed, 16, 0, text), 0);
    EXPECT_EQ(plugin.dispatch(e, effGetProgramNameIndexed, 2, 0, text), 1);
    EXPECT_STREQ(text, "Toasty Tubes");
    plugin.dispatch(e, effClose);
}
