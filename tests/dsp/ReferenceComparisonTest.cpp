// Long random runs compared bit for bit with the straightforward scalar model: every
// program, random parameter moves between blocks of random length, both callbacks,
// several rates, channel counts, connection patterns and both oversampling factors.
#include <gtest/gtest.h>

#include <random>

#include "vst2/FilterEffect.h"
#include "tests/dsp/TestHost.h"
#include "tests/dsp/TestSignals.h"
#include "tests/support/ReferenceFilter.h"

namespace {

struct Scenario {
    int channels;
    bool halfPower;
    float rate;
    unsigned seed;
};

// A value as hosts and controllers send them: mostly in 0..1, sometimes at the ends
// and the centre, now and then slightly outside.
float randomValue(std::mt19937& random) {
    switch (random() % 8) {
        case 0: return 0.0f;
        case 1: return 1.0f;
        case 2: return 0.5f;
        case 3: return std::uniform_real_distribution<float>(-0.05f, 1.05f)(random);
        default: return std::uniform_real_distribution<float>(0.0f, 1.0f)(random);
    }
}

void compare(const Scenario& run) {
    TestHost::reset();
    std::mt19937 random(run.seed);
    for (int c = 0; c < run.channels; ++c) TestHost::inputDisconnected[c] = random() % 5 == 0;
    FilterEffect effect(TestHost::callback, run.channels, run.halfPower);
    ReferenceFilter reference(run.channels, run.halfPower ? 4 : 8);
    for (int c = 0; c < run.channels; ++c) reference.setConnected(c, !TestHost::inputDisconnected[c]);
    effect.setSampleRate(run.rate);
    effect.resume();

    for (int program = 0; program < kNumPrograms; ++program) {
        effect.setProgram(program);
        for (int i = 0; i < kNumParams; ++i) reference.setParameter(i, effect.getParameter(i));
        if (program % 4 == 0) {
            effect.resume();
            reference.resume(run.rate);
        }
        for (int block = 0; block < 12; ++block) {
            const int frames = 1 + static_cast<int>(random() % 700);
            const float level = block % 3 == 0 ? 0.02f : (block % 3 == 1 ? 0.5f : 1.5f);
            Buffers in = noise(run.channels, frames, static_cast<unsigned>(random()), level);
            if (block == 5)
                for (auto& channel : in.data) std::fill(channel.begin(), channel.end(), 0.0f);
            Buffers engineOut = noise(run.channels, frames, static_cast<unsigned>(random()), 0.1f);
            Buffers referenceOut = engineOut;
            const bool replacing = random() % 2 == 0;
            if (replacing)
                effect.processReplacing(in.get(), engineOut.get(), frames);
            else
                effect.process(in.get(), engineOut.get(), frames);
            reference.process(in.get(), referenceOut.get(), frames, replacing);
            for (int c = 0; c < run.channels; ++c)
                ASSERT_EQ(firstDifference(engineOut.data[c], referenceOut.data[c]), -1)
                    << "program " << program << " block " << block << " channel " << c;
            const int moves = static_cast<int>(random() % 3);
            for (int m = 0; m < moves; ++m) {
                const int index = static_cast<int>(random() % kNumParams);
                const float value = randomValue(random);
                effect.setParameter(index, value);
                reference.setParameter(index, value);
                ASSERT_EQ(effect.getParameter(index), reference.parameter(index));
            }
        }
    }
    for (int c = 0; c < run.channels; ++c) {
        const ChannelState& s = effect.filterEngine().channelState(c);
        const ReferenceChannel& r = reference.channel[c];
        EXPECT_EQ(bitsOf(s.stage4), bitsOf(r.stage4));
        EXPECT_EQ(bitsOf(s.feedback), bitsOf(r.feedback));
        EXPECT_EQ(bitsOf(s.envelope), bitsOf(r.envelope));
    }
}

// Normal mode at common rates, half-power mode, and rates below 44100 Hz under the limit.
void compareScenarios() {
    const Scenario scenarios[] = {{2, false, 44100.0f, 1}, {1, false, 48000.0f, 2}, {6, false, 96000.0f, 3},
                                  {5, false, 88200.0f, 4}, {3, true, 44100.0f, 5},  {4, true, 192000.0f, 6},
                                  {2, false, 22050.0f, 7}, {6, true, 32000.0f, 8},  {1, false, 8000.0f, 9}};
    for (const Scenario& run : scenarios) {
        SCOPED_TRACE(testing::Message() << run.channels << " channels, half power " << run.halfPower << ", "
                                        << run.rate << " Hz");
        compare(run);
    }
}

}  // namespace

TEST(ReferenceComparison, Sse2LoopsMatchBitForBit) {
    ProcessingLoop::useFusedLoops(false);
    compareScenarios();
    ProcessingLoop::useFusedLoops(true);
}

TEST(ReferenceComparison, FusedLoopsMatchBitForBit) {
    if (!ProcessingLoop::useFusedLoops(true)) GTEST_SKIP() << "no fused multiply-add loops on this build or processor";
    compareScenarios();
}
