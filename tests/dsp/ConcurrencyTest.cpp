// Parameters, programs and texts changed from other threads while audio is processed:
// every shared value is a relaxed atomic, so ThreadSanitizer must stay silent. The
// helper threads only record; the checks run on the test's thread once they are joined.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <random>
#include <thread>

#include "plugin/PluginEngine.h"
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

// Cutoff from the host's thread, Reso by MIDI on the audio thread: once both stop and one
// more block has run, the engine processes with exactly what a fresh engine derives from
// the same final settings, whichever write came last.
TEST(Concurrency, DerivedQuantitiesBelongToOneSetOfSettings) {
    ControllerMap map;
    map.entries[kResonance].set(20, 0.0f, 1.0f);
    PluginEngine engine(2, false, nullptr, map);
    std::atomic<bool> running{true};
    Buffers in = noise(2, 64, 3), out(2, 64);

    std::thread audio([&] {
        unsigned char reso = 0;
        while (running.load()) {
            const TimedMidiMessage midi[] = {{0, 0xB0, 20, reso}, {32, 0xB0, 20, static_cast<unsigned char>(reso ^ 0x55)}};
            engine.process(in.get(), out.get(), 64, OutputMode::Replace, midi, 2);
            reso = static_cast<unsigned char>((reso + 13) & 0x7F);
        }
    });
    std::mt19937 random(5);
    std::uniform_real_distribution<float> value(0.0f, 1.0f);
    for (int i = 0; i < 20000; ++i) engine.setParameter(kCutoff, value(random));
    running.store(false);
    audio.join();
    engine.process(in.get(), out.get(), 64);

    PluginEngine fresh(2, false, nullptr, map);
    for (int i = 0; i < kNumParams; ++i) fresh.setParameter(i, engine.parameter(i));
    fresh.process(in.get(), out.get(), 64);
    const EngineSettings& a = engine.settingsInUse();
    const EngineSettings& b = fresh.settingsInUse();
    const std::pair<float, float> derived[] = {
        {a.cutoffCoef, b.cutoffCoef},         {a.poleCoef, b.poleCoef},
        {a.feedbackGain, b.feedbackGain},     {a.resoMakeupGain, b.resoMakeupGain},
        {a.envDepth, b.envDepth},             {a.attackCoef, b.attackCoef},
        {a.releaseCoef, b.releaseCoef},       {a.inputGain, b.inputGain},
        {a.cutoff, b.cutoff},                 {a.resonance, b.resonance}};
    for (const auto& [got, expected] : derived) EXPECT_EQ(got, expected);
    EXPECT_EQ(a.stageCount, b.stageCount);
}
