// The filter engine and the envelope follower, observed through the engine: settled
// values and offsets, the extremes of the cutoff law, the feedback limit, the waveshaper.
#include <gtest/gtest.h>

#include <cmath>

#include "plugin/PluginEngine.h"
#include "tests/dsp/TestSignals.h"

namespace {

const double d = kDenormalOffset;

// In Trim 0.5 (unity), low-pass, Reso 0, envelope and waveshaper off.
void setAll(PluginEngine& engine, const float (&values)[kNumParams]) {
    for (int i = 0; i < kNumParams; ++i) engine.setParameter(i, values[i]);
}

struct Engine : PluginEngine {
    Engine(float cutoff, float stages, int channels = 1) : PluginEngine(channels, false, nullptr) {
        setAll(*this, {0.5f, 0.0f, stages, cutoff, 0.0f, 0.5f, 0.9f, 0.9f, 0.0f});
    }
    // Runs a constant input and answers the last output sample.
    float run(float input, int frames) {
        Buffers in(channelCount(), frames, input), out(channelCount(), frames);
        process(in.get(), out.get(), frames);
        return out.data[0].back();
    }
    float step(float input) { return run(input, 1); }
};

float stagesValue(int count) { return (count - 1) / 3.0f; }

}  // namespace

TEST(FilterEngine, SilenceSettlesOnTheOffsetsNeverOnDenormals) {
    for (int stages = 1; stages <= 4; ++stages) {
        Engine e(0.3f, stagesValue(stages));
        const float y = e.run(0.0f, 20000);
        const ChannelState& s = e.channelState(0);
        const double k = 0.3 * 0.3 * 0.3;
        const float expected[] = {float(-d), float(-d + d / k), float(-d), float(-d + d / k)};
        const float actual[] = {s.stage1, s.stage2, s.stage3, s.stage4};
        for (int i = 0; i < stages; ++i) {
            EXPECT_NEAR(actual[i], expected[i], 1e-3 * std::fabs(expected[i])) << stages << " " << i;
            EXPECT_EQ(std::fpclassify(actual[i]), FP_NORMAL);
        }
        EXPECT_NEAR(y, actual[stages - 1], 1e-3 * std::fabs(actual[stages - 1]));
    }
}

TEST(FilterEngine, CutoffOnePassesTheInputThrough) {
    Engine lowPass(1.0f, 1.0f);
    Engine highPass(1.0f, 1.0f);
    highPass.setParameter(kMode, 1.0f);
    const Buffers in = noise(1, 500, 7);
    for (float x : in.data[0]) {
        EXPECT_NEAR(lowPass.step(x), x, 2e-7 * std::fabs(x) + 1e-10) << "the offsets and the rounding of the average";
        const float y = highPass.step(x);
        EXPECT_LT(std::fabs(y), 1e-10) << "0 or -d, up to the rounding of tiny inputs";
    }
}

TEST(FilterEngine, CutoffZeroFreezesStageOneAndDriftsTheOthersByTheOffsets) {
    Engine e(0.0f, 1.0f);
    e.step(0.8f);
    const ChannelState& s = e.channelState(0);
    EXPECT_EQ(s.stage1, 0.0f);
    EXPECT_NEAR(s.stage2, 8 * d, 1e-16);
    EXPECT_NEAR(s.stage3, -8 * d, 1e-16);
    EXPECT_NEAR(s.stage4, 8 * d, 1e-16);
    e.step(-0.3f);
    EXPECT_EQ(s.stage1, 0.0f);
    EXPECT_NEAR(s.stage2, 16 * d, 1e-16);
}

TEST(FilterEngine, ConstantInputSettlesWithTheMakeupGain) {
    const float x = 0.4f;
    for (int stages = 1; stages <= 4; ++stages) {
        Engine e(0.5f, stagesValue(stages));
        e.setParameter(kResonance, 0.0f);
        const double k = 0.125;
        const double expected = stages % 2 ? x - d : x - d + d / k;
        EXPECT_NEAR(e.run(x, 4000), expected, 1e-6) << stages;
    }
}

// Four stages, Cutoff 0.3, one impulse: the filter rings on from between Reso 0.8 and
// 0.85, and the limit holds the feedback, and so the output, in bounds.
TEST(FilterEngine, SelfOscillationIsBoundedByTheFeedbackLimit) {
    struct Case {
        float reso;
        bool rings;
    };
    for (Case c : {Case{0.7f, false}, Case{0.8f, false}, Case{0.85f, true}, Case{0.9f, true},
                   Case{1.0f, true}}) {
        Engine e(0.3f, 1.0f);
        e.setParameter(kResonance, c.reso);
        float peakFeedback = 0, peakOutput = 0, lateOutput = 0;
        for (int n = 0; n < 88200; ++n) {
            const float y = e.step(n == 0 ? 1.0f : 0.0f);
            peakFeedback = std::max(peakFeedback, std::fabs(e.channelState(0).feedback));
            peakOutput = std::max(peakOutput, std::fabs(y));
            if (n > 80000) lateOutput = std::max(lateOutput, std::fabs(y));
        }
        EXPECT_LE(peakFeedback, 1.0f) << c.reso;
        EXPECT_LT(peakOutput, 2.0f) << c.reso;
        if (c.rings) {
            EXPECT_EQ(peakFeedback, 1.0f) << c.reso;
            EXPECT_GT(lateOutput, 0.1f) << c.reso;
        } else {
            EXPECT_LT(lateOutput, 1e-6f) << c.reso;
        }
    }
}

TEST(FilterEngine, WaveshaperCurve) {
    // Cutoff 1, one stage: the settled output equals the input exactly.
    Engine e(1.0f, 0.0f);
    e.setParameter(kOutSat, 1.0f);
    EXPECT_EQ(e.run(1.0f, 10), 0.0f);
    e.setParameter(kOutSat, 0.5f);
    EXPECT_EQ(e.run(1.0f, 10), 0.375f);
    e.setParameter(kOutSat, 1.0f);
    EXPECT_NEAR(e.run(0.57735f, 10), 0.3849f, 1e-4);
    EXPECT_LT(e.run(2.0f, 10), -5.9f) << "no limit beyond the fold";
}

TEST(FilterEngine, HalfPowerModeLowersTheCorner) {
    // A tone well above both corners: the lower corner attenuates it more.
    auto level = [](bool halfPower) {
        PluginEngine e(1, halfPower, nullptr);
        setAll(e, {0.5f, 0.0f, 0.0f, 0.3f, 0.0f, 0.5f, 0.9f, 0.9f, 0.0f});
        Buffers in(1, 4410), out(1, 4410);
        for (int n = 0; n < 4410; ++n) in.data[0][n] = std::sin(2 * M_PI * 5000 * n / 44100.0);
        e.process(in.get(), out.get(), 4410);
        float peak = 0;
        for (int n = 2000; n < 4410; ++n) peak = std::max(peak, std::fabs(out.data[0][n]));
        return peak;
    };
    EXPECT_LT(level(true), 0.7f * level(false));
}

TEST(EnvelopeFollower, OffLeavesTheStaticFilterAndTheLevelAlone) {
    Engine off(0.3f, 1.0f), withAttackOne(0.3f, 1.0f);
    withAttackOne.setParameter(kEnvAmount, 1.0f);
    withAttackOne.setParameter(kEnvAttack, 1.0f);
    const Buffers in = noise(1, 2000, 3);
    Buffers a(1, 2000), b(1, 2000);
    off.process(const_cast<Buffers&>(in).get(), a.get(), 2000);
    withAttackOne.process(const_cast<Buffers&>(in).get(), b.get(), 2000);
    EXPECT_EQ(off.channelState(0).envelope, 0.0f);
    EXPECT_EQ(withAttackOne.channelState(0).envelope, 0.0f) << "Attack 1 never rises";
    EXPECT_EQ(firstDifference(a.data[0], b.data[0]), -1);
}

TEST(EnvelopeFollower, ZeroLagsFollowTheLevelAtOnce) {
    Engine e(0.3f, 1.0f);
    e.setParameter(kEnvAmount, 0.8f);
    e.setParameter(kEnvAttack, 0.0f);
    e.setParameter(kEnvRelease, 0.0f);
    const Buffers in = noise(1, 300, 5);
    for (float x : in.data[0]) {
        e.step(x);
        EXPECT_EQ(e.channelState(0).envelope, std::fabs(x));
    }
}

TEST(EnvelopeFollower, RisesWithAttackAndFallsWithRelease) {
    Engine e(0.3f, 1.0f);
    setAll(e, {0.5f, 0.0f, 1.0f, 0.3f, 0.0f, 0.9f, 0.5f, 0.9f, 0.0f});
    const double attack = std::pow(0.5, 0.005), release = std::pow(0.9f, 0.005);
    e.step(0.5f);
    EXPECT_NEAR(e.channelState(0).envelope, 0.5 * (1 - attack), 1e-6);
    e.run(0.5f, 20000);
    const float top = e.channelState(0).envelope;
    EXPECT_NEAR(top, 0.5f, 1e-4);
    e.step(0.0f);
    EXPECT_NEAR(e.channelState(0).envelope, top * release, 1e-6);
}

TEST(EnvelopeFollower, DepthMovesTheCutoffWithinItsRange) {
    // Alternating input keeps the level steady while the filter sees a tone at Nyquist.
    auto settle = [](PluginEngine& e, float level) {
        Buffers in(1, 2000), out(1, 2000);
        for (int n = 0; n < 2000; ++n) in.data[0][n] = n % 2 ? level : -level;
        e.process(in.get(), out.get(), 2000);
        return out.data[0];
    };
    // Depth +3.99984 from Cutoff 0: at level 0.3 the cutoff is held at 1 (pass-through).
    PluginEngine open(1, false, nullptr);
    setAll(open, {0.5f, 0.0f, 1.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f});
    const std::vector<float> passed = settle(open, 0.3f);
    EXPECT_NEAR(std::fabs(passed.back()), 0.3f, 1e-6);

    // At level 0.125 it settles near 0.5: the same as the static filter there.
    PluginEngine moved(1, false, nullptr), still(1, false, nullptr);
    setAll(moved, {0.5f, 0.0f, 1.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f});
    const float c = static_cast<float>(static_cast<double>(static_cast<float>(3.99984)) * 0.125);
    setAll(still, {0.5f, 0.0f, 1.0f, c, 0.0f, 0.5f, 0.0f, 0.0f, 0.0f});
    EXPECT_NEAR(c, 0.5f, 1e-4);
    const std::vector<float> a = settle(moved, 0.125f), b = settle(still, 0.125f);
    EXPECT_NEAR(a.back(), b.back(), 1e-6);

    // Depth -3.99984 from Cutoff 1: loud input closes the filter to 0, not beyond.
    PluginEngine closed(1, false, nullptr);
    setAll(closed, {0.5f, 0.0f, 1.0f, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f});
    const std::vector<float> shut = settle(closed, 0.5f);
    for (float y : shut) EXPECT_LT(std::fabs(y), 1e-6f);
}

TEST(EnvelopeFollower, ChannelsFollowTheirOwnLevels) {
    PluginEngine e(2, false, nullptr);
    setAll(e, {0.5f, 0.0f, 1.0f, 0.1f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f});
    Buffers in(2, 100), out(2, 100);
    for (int n = 0; n < 100; ++n) {
        in.data[0][n] = 0.05f;
        in.data[1][n] = 0.2f;
    }
    e.process(in.get(), out.get(), 100);
    EXPECT_EQ(e.channelState(0).envelope, 0.05f);
    EXPECT_EQ(e.channelState(1).envelope, 0.2f);
    EXPECT_NE(e.channelState(0).stage1, e.channelState(1).stage1);
}
