// Parameters, programs and texts changed from other threads while audio is processed:
// every shared value is a relaxed atomic, so ThreadSanitizer must stay silent.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <random>
#include <thread>

#include "plugin/FilterEffect.h"
#include "tests/dsp/TestSignals.h"

TEST(Concurrency, ParameterChangesDuringProcessing) {
    FilterEffect effect(nullptr, 6, false);
    std::atomic<bool> running{true};
    std::atomic<int> blocks{0};

    std::thread audio([&] {
        Buffers in = noise(6, 256, 1), out(6, 256);
        while (running.load()) {
            effect.processReplacing(in.get(), out.get(), 256);
            effect.process(in.get(), out.get(), 256);
            for (auto& channel : out.data)
                for (float s : channel) ASSERT_TRUE(std::isfinite(s));
            blocks.fetch_add(1);
        }
    });
    std::thread automation([&] {
        std::mt19937 random(2);
        std::uniform_real_distribution<float> value(0.0f, 1.0f);
        while (running.load()) {
            effect.setParameter(static_cast<int32>(random() % kNumParams), value(random));
            effect.getParameter(static_cast<int32>(random() % kNumParams));
        }
    });

    // The user-interface thread: programs and texts.
    char text[64];
    for (int i = 0; i < 300 || blocks.load() < 50; ++i) {
        effect.setProgram(i % kNumPrograms);
        effect.getParameterDisplay(i % kNumParams, text);
        effect.getProgramName(text);
        effect.approxCutoffHz();
    }
    running.store(false);
    audio.join();
    automation.join();
    EXPECT_GE(blocks.load(), 50);
}
