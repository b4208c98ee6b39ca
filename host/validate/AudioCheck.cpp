// Check 3: audio at every common rate and block size, after the plug-in has been
// suspended and resumed, with signals that find unstable filters and denormal stalls.
#include <algorithm>
#include <chrono>
#include <cstdio>

#include "host/PluginInstance.h"
#include "host/platform/IsolatedRun.h"
#include "host/validate/AudioBench.h"
#include "host/validate/Checks.h"

namespace {

const double kRates[] = {22050.0, 44100.0, 48000.0, 96000.0, 192000.0};
const int kBlocks[] = {1, 7, 64, 512, 4096};
const TestSignal kSignals[] = {TestSignal::Noise, TestSignal::Silence, TestSignal::Impulses, TestSignal::Square};

// Silence after noise lets a filter's state decay into denormal numbers, which some
// processors handle many times slower; a cost above this many times the noise's fails.
constexpr int kCostBlock = 512;
constexpr double kSilenceCostLimit = 2.5;
// Below this, timings are too short to compare.
constexpr double kShortestComparedSeconds = 0.002;
constexpr int kAnnouncedBlock = 512;
constexpr int kOversizeFactor = 8;

// Seconds of each signal per rate and block size: longer at higher levels.
double signalSeconds(int level) {
    const double seconds[] = {0.02, 0.05, 0.2, 1.0, 3.0};
    return seconds[level - 1];
}

std::string where(double rate, int block, TestSignal signal) {
    return std::to_string(static_cast<int>(rate)) + " Hz, block " + std::to_string(block) + ", " +
           testSignalName(signal);
}

// Processes the signal; answers the seconds spent in the plug-in.
double run(AudioBench& bench, TestSignal signal, double rate, int block, std::int64_t frames, std::string& problem) {
    std::chrono::duration<double> spent(0);
    for (std::int64_t done = 0; done < frames && problem.empty(); done += block) {
        bench.fill(signal, block, rate);
        const auto start = std::chrono::steady_clock::now();
        bench.process(block);
        spent += std::chrono::steady_clock::now() - start;
        problem = bench.outputProblem(block);
    }
    return spent.count();
}

void restart(PluginInstance& plugin, double rate, int announcedBlock) {
    plugin.stop();
    plugin.configure(static_cast<float>(rate), announcedBlock);
    plugin.start();
    plugin.stop();
    plugin.start();
}

}  // namespace

void checkAudio(const ValidationSettings& settings, CheckLog& log) {
    PluginInstance plugin(settings.pluginPath);
    AudioBench bench(plugin, kAnnouncedBlock * kOversizeFactor, settings.seed);
    int combinations = 0;
    for (double rate : kRates) {
        for (int block : kBlocks) {
            markProgress(std::to_string(static_cast<int>(rate)) + " Hz, block " + std::to_string(block));
            restart(plugin, rate, block);
            const std::int64_t frames = std::max<std::int64_t>(block, static_cast<std::int64_t>(signalSeconds(settings.level) * rate));
            double noiseSeconds = 0.0;
            for (TestSignal signal : kSignals) {
                std::string problem;
                const double seconds = run(bench, signal, rate, block, frames, problem);
                if (!problem.empty()) log.fail(where(rate, block, signal) + ": " + problem);
                if (block != kCostBlock) continue;
                if (signal == TestSignal::Noise) noiseSeconds = seconds;
                if (signal == TestSignal::Silence && noiseSeconds > kShortestComparedSeconds &&
                    seconds > kSilenceCostLimit * noiseSeconds)
                    log.fail(where(rate, block, signal) + " costs " + std::to_string(seconds / noiseSeconds) +
                             " times as much as noise (denormal numbers?)");
            }
            ++combinations;
        }
        // A host may hand over more than it announced; the plug-in must survive it.
        markProgress(std::to_string(static_cast<int>(rate)) + " Hz, a block 8 times the announced size");
        restart(plugin, rate, kAnnouncedBlock);
        std::string problem;
        run(bench, TestSignal::Noise, rate, kAnnouncedBlock * kOversizeFactor, kAnnouncedBlock * kOversizeFactor, problem);
        if (!problem.empty())
            log.fail(std::to_string(static_cast<int>(rate)) + " Hz, a block 8 times the announced size: " + problem);
    }
    plugin.stop();
    char summary[96];
    std::snprintf(summary, sizeof summary, "%d rate and block combinations, %g s of each signal", combinations,
                  signalSeconds(settings.level));
    log.note(summary);
}
