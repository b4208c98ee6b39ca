#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "host/demo/DrumAndBassPattern.h"

TEST(DrumAndBassPattern, IsTheSameEveryTimeAndLastsItsBars) {
    const std::vector<float> first = synthesiseDrumAndBass(44100, 6);
    EXPECT_EQ(first, synthesiseDrumAndBass(44100, 6));
    const double seconds = first.size() / 2 / 44100.0;
    EXPECT_NEAR(seconds, 6 * 4 * 60.0 / kPatternTempo, 0.001);
    EXPECT_GT(seconds, 8.0);
}

TEST(DrumAndBassPattern, PeaksAtMinusOneDecibelInRealStereo) {
    const std::vector<float> frames = synthesiseDrumAndBass(44100, 2);
    float peak = 0.0f;
    double difference = 0.0, level = 0.0;
    for (std::size_t i = 0; i < frames.size(); i += 2) {
        peak = std::max({peak, std::fabs(frames[i]), std::fabs(frames[i + 1])});
        difference += std::fabs(frames[i] - frames[i + 1]);
        level += std::fabs(frames[i]);
    }
    EXPECT_NEAR(20.0 * std::log10(peak), -1.0, 0.01);
    EXPECT_GT(difference, level * 0.05);
}

TEST(DrumAndBassPattern, EveryBeatStartsWithSound) {
    const std::vector<float> frames = synthesiseDrumAndBass(44100, 1);
    const std::size_t beat = static_cast<std::size_t>(60.0 / kPatternTempo * 44100);
    for (int b = 0; b < 4; ++b) {
        double energy = 0.0;
        for (std::size_t i = b * beat; i < b * beat + 2000; ++i) energy += frames[2 * i] * frames[2 * i];
        EXPECT_GT(energy / 2000, 1e-3) << "beat " << b;
    }
}
