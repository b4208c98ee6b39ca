// Parameters, programs and texts changed from other threads while audio is processed:
// every shared value is a relaxed atomic, so ThreadSanitizer must stay silent. The
// helper threads only record; the checks run on the test's thread once they are joined.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <random>
#include <thread>

#include "vst2/FilterEffect.h"
#include "tests/dsp/TestSignals.h"

TEST(Concurrency, ParameterChangesDuringProcessing) {
    FilterEffect effect(nullptr, 6, false);
    std::atomic<bool> running{true};
    std::atomic<int> blocks{0}, blocksNotFinite{0};

    std::thread audio([&] {
        Buffers in = noise(6, 256, 1), out(6, 256);
        while (running.load()) {
            effect.processReplacing(in.get(), out.get(), 256);
            effect.process(in.get(), out.get(), 256);
            bool finite = true;
            for (auto& channel : out.data)
                for (float s : channel) finite = finite && std::isfinite(s);
            if (!finite) blocksNotFinite.fetch_add(1);
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
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    for (int i = 0; i < 300 || (blocks.load() < 50 && std::chrono::steady_clock::now() < giveUp); ++i) {
        effect.setProgram(i % kNumPrograms);
        effect.getParameterDisplay(i % kNumParams, text);
        effect.getProgramName(text);
        effect.approxCutoffHz();
    }
    running.store(false);
    audio.join();
    automation.join();
    EXPECT_GE(blocks.load(), 50);
    EXPECT_EQ(blocksNotFinite.load(), 0);
}
