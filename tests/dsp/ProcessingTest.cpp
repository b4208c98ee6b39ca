// The audio callbacks and the processing state: add versus replace, block lengths,
// channel independence, connections, resume, the frame counter and the guards.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "vst2/FilterEffect.h"
#include "tests/dsp/TestHost.h"
#include "tests/dsp/TestSignals.h"

namespace {

// Planet JX-3P: envelope, resonance and waveshaper all at work.
const float kBusy[kNumParams] = {0.5f, 0.0f, 1.0f, 0.3f, 0.6f, 0.1812f, 0.6979f, 0.9664f, 0.919462f};

struct Effect : FilterEffect {
    explicit Effect(int channels, bool halfPower = false)
        : FilterEffect(TestHost::callback, channels, halfPower) {
        setAll(*this, kBusy);
    }
    Buffers replacing(Buffers in) {
        Buffers out(getChannelCount(), static_cast<int>(in.data[0].size()));
        processReplacing(in.get(), out.get(), static_cast<int>(in.data[0].size()));
        return out;
    }
};

class Processing : public ::testing::Test {
protected:
    void SetUp() override { TestHost::reset(); }
    void TearDown() override { TestHost::reset(); }
};

}  // namespace

TEST_F(Processing, EmptyAndNegativeBlocksChangeNothing) {
    Effect e(2);
    Buffers in = noise(2, 8, 1), out(2, 8, 0.25f);
    for (int frames : {0, -5}) {
        e.processReplacing(in.get(), out.get(), frames);
        e.process(in.get(), out.get(), frames);
    }
    EXPECT_EQ(e.filterEngine().frameCounter(), 0u);
    for (auto& channel : out.data)
        for (float s : channel) EXPECT_EQ(s, 0.25f);
}

TEST_F(Processing, ProcessAddsWhereProcessReplacingOverwrites) {
    Effect adding(2), replacing(2), intoZero(2);
    Buffers in = noise(2, 3000, 2);
    Buffers existing = noise(2, 3000, 3, 0.5f);
    Buffers added = existing, zeroed(2, 3000);
    adding.process(in.get(), added.get(), 3000);
    intoZero.process(in.get(), zeroed.get(), 3000);
    const Buffers replaced = replacing.replacing(in);
    for (int c = 0; c < 2; ++c) {
        EXPECT_EQ(firstDifference(zeroed.data[c], replaced.data[c]), -1);
        for (int n = 0; n < 3000; ++n)
            ASSERT_EQ(bitsOf(added.data[c][n]),
                      bitsOf(static_cast<float>(static_cast<double>(existing.data[c][n]) +
                                                replaced.data[c][n])));
    }
}

TEST_F(Processing, BlockLengthDoesNotMatter) {
    for (int channels : {1, 3, 6}) {
        Effect whole(channels), pieces(channels);
        Buffers in = noise(channels, 5000, 4), a(channels, 5000), b(channels, 5000);
        whole.processReplacing(in.get(), a.get(), 5000);
        std::mt19937 random(9);
        for (int offset = 0; offset < 5000;) {
            const int length = std::min(5000 - offset, 1 + static_cast<int>(random() % 300));
            std::vector<float*> i = in.at(offset), o = b.at(offset);
            pieces.processReplacing(i.data(), o.data(), length);
            offset += length;
        }
        for (int c = 0; c < channels; ++c) EXPECT_EQ(firstDifference(a.data[c], b.data[c]), -1);
    }
}

TEST_F(Processing, InPlaceBuffersGiveTheSameOutput) {
    Effect separate(3), inPlace(3);
    Buffers in = noise(3, 2000, 5);
    const Buffers expected = separate.replacing(in);
    inPlace.processReplacing(in.get(), in.get(), 2000);
    for (int c = 0; c < 3; ++c) EXPECT_EQ(firstDifference(in.data[c], expected.data[c]), -1);
}

TEST_F(Processing, ChannelsAreIndependent) {
    // Each of six outputs equals what a one-channel instance makes of that input alone.
    Effect six(6);
    Buffers in = noise(6, 4000, 6);
    for (int c = 0; c < 6; ++c)
        for (float& s : in.data[c]) s *= 0.2f * (c + 1);
    const Buffers out = six.replacing(in);
    for (int c = 0; c < 6; ++c) {
        Effect one(1);
        Buffers single(1, 4000);
        single.data[0] = in.data[c];
        EXPECT_EQ(firstDifference(one.replacing(single).data[0], out.data[c]), -1) << c;
    }
}

TEST_F(Processing, DisconnectedChannelsAreLeftAlone) {
    TestHost::inputDisconnected[1] = true;
    TestHost::inputDisconnected[3] = true;
    Effect partial(4);
    TestHost::reset();
    Effect full(4);
    Buffers in = noise(4, 1000, 7);
    Buffers added(4, 1000, 0.5f), replaced(4, 1000, 0.5f), reference(4, 1000);
    partial.process(in.get(), added.get(), 1000);
    // The connections are asked again at every resume.
    partial.resume();
    EXPECT_TRUE(partial.filterEngine().isChannelProcessed(1));
    TestHost::inputDisconnected[1] = TestHost::inputDisconnected[3] = true;
    partial.resume();
    EXPECT_FALSE(partial.filterEngine().isChannelProcessed(1));
    EXPECT_TRUE(partial.filterEngine().isChannelProcessed(2));
    partial.processReplacing(in.get(), replaced.get(), 1000);
    full.processReplacing(in.get(), reference.get(), 1000);
    for (int c : {1, 3}) {
        for (float s : added.data[c]) ASSERT_EQ(s, 0.5f);
        for (float s : replaced.data[c]) ASSERT_EQ(s, 0.5f);
    }
    for (int c : {0, 2}) EXPECT_EQ(firstDifference(replaced.data[c], reference.data[c]), -1);
}

TEST_F(Processing, ResumeClearsTheStateAndTakesTheRate) {
    Effect used(2), fresh(2);
    Buffers warmUp = noise(2, 3000, 8), in = noise(2, 3000, 9);
    used.replacing(warmUp);
    used.resume();
    used.resume();
    EXPECT_EQ(used.filterEngine().channelState(0).envelope, 0.0f);
    const Buffers a = used.replacing(in), b = fresh.replacing(in);
    for (int c = 0; c < 2; ++c) EXPECT_EQ(firstDifference(a.data[c], b.data[c]), -1);

    // The rate counts only from the next resume.
    Effect later(1), at44100(1);
    later.setSampleRate(88200.0f);
    Buffers mono = noise(1, 2000, 10);
    EXPECT_EQ(firstDifference(later.replacing(mono).data[0], at44100.replacing(mono).data[0]), -1);
    later.resume();
    at44100.resume();
    EXPECT_NE(firstDifference(later.replacing(mono).data[0], at44100.replacing(mono).data[0]), -1);
}

TEST_F(Processing, SuspendChangesNothing) {
    Effect a(1), b(1);
    Buffers in = noise(1, 1000, 11);
    a.replacing(in);
    b.replacing(in);
    a.suspend();
    EXPECT_EQ(firstDifference(a.replacing(in).data[0], b.replacing(in).data[0]), -1);
    EXPECT_EQ(a.filterEngine().frameCounter(), 2000u);
}

TEST_F(Processing, FrameCounterCountsFramesNotChannels) {
    for (int channels : {1, 6}) {
        Effect e(channels);
        Buffers in = noise(channels, 700, 12), out(channels, 700);
        e.processReplacing(in.get(), out.get(), 700);
        e.process(in.get(), out.get(), 300);
        e.resume();
        e.processReplacing(in.get(), out.get(), 1);
        EXPECT_EQ(e.filterEngine().frameCounter(), 1001u);
    }
}

TEST_F(Processing, PollIntervalFollowsTheRateAndStopsBelow60Hz) {
    Effect e(1);
    const std::pair<float, int> cases[] = {{44100.0f, 735}, {48000.0f, 800}, {96000.0f, 1600},
                                           {60.0f, 1},      {59.9f, 0},      {0.0f, 735},
                                           {std::numeric_limits<float>::quiet_NaN(), 735}};
    for (auto [rate, interval] : cases) {
        e.setSampleRate(rate);
        e.resume();
        EXPECT_EQ(e.filterEngine().pollInterval(), interval) << rate;
    }
    Buffers in = noise(1, 100, 13), out(1, 100);
    e.setSampleRate(30.0f);
    e.resume();
    e.processReplacing(in.get(), out.get(), 100);
    for (float s : out.data[0]) EXPECT_TRUE(std::isfinite(s));
}

TEST_F(Processing, LowRatesDoNotRunAway) {
    // Cutoff 1 at 22050 Hz would give k = 2; the limit keeps k at 1.
    Effect e(1);
    setAll(e, {1.0f, 0.0f, 1.0f, 1.0f, 1.0f, 0.5f, 0.9f, 0.9f, 0.0f});
    e.setSampleRate(22050.0f);
    e.resume();
    Buffers in = noise(1, 20000, 14);
    const Buffers out = e.replacing(in);
    for (int n = 0; n < 20000; ++n) ASSERT_NEAR(out.data[0][n], 2 * in.data[0][n], 1e-6) << n;
}

TEST_F(Processing, NonFiniteParameterValuesAreIgnored) {
    Effect poked(1), untouched(1);
    for (float bad : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                      -std::numeric_limits<float>::infinity()}) {
        for (int i = 0; i < kNumParams; ++i) {
            poked.setParameter(i, bad);
            EXPECT_EQ(poked.getParameter(i), untouched.getParameter(i));
        }
    }
    Buffers in = noise(1, 2000, 15);
    EXPECT_EQ(firstDifference(poked.replacing(in).data[0], untouched.replacing(in).data[0]), -1);
}

TEST_F(Processing, ABrokenChannelIsClearedAndRecovers) {
    // A NaN input sample, and a gain so large that the state overflows: each broken
    // step outputs 0 and clears the channel, which then goes on like a fresh one.
    Effect e(2), fresh(2);
    Buffers in = noise(2, 1000, 16);
    in.data[0][500] = std::numeric_limits<float>::quiet_NaN();
    const Buffers out = e.replacing(in);
    EXPECT_EQ(out.data[0][500], 0.0f);
    for (float s : out.data[0]) ASSERT_TRUE(std::isfinite(s));
    Buffers rest(2, 499);
    for (int c = 0; c < 2; ++c) rest.data[c].assign(in.data[c].begin() + 501, in.data[c].end());
    const Buffers restOut = fresh.replacing(rest);
    EXPECT_EQ(firstDifference(std::vector<float>(out.data[0].begin() + 501, out.data[0].end()),
                              restOut.data[0]),
              -1);

    Effect loud(1), reference(1);
    loud.setParameter(kEnvAmount, 0.5f);
    loud.setParameter(kCutoff, 1e12f);
    Buffers burst = noise(1, 100, 17);
    const Buffers silenced = loud.replacing(burst);
    for (float s : silenced.data[0]) EXPECT_EQ(s, 0.0f);
    loud.setParameter(kCutoff, kBusy[kCutoff]);
    loud.setParameter(kEnvAmount, kBusy[kEnvAmount]);
    EXPECT_EQ(firstDifference(loud.replacing(burst).data[0], reference.replacing(burst).data[0]), -1);
}
