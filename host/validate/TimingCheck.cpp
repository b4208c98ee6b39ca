// Check 5: how much of the time a block may take the plug-in needs, at each rate. The
// figures depend on the machine and on what else runs on it (a sanitizer build, a busy
// build server), so falling behind is a warning; only bad output fails the check.
#include <algorithm>
#include <chrono>
#include <cstdio>

#include "host/OpenPlugin.h"
#include "host/platform/IsolatedRun.h"
#include "host/validate/AudioBench.h"
#include "host/validate/Checks.h"

namespace {

const double kRates[] = {22050.0, 44100.0, 48000.0, 96000.0, 192000.0};
constexpr int kBlock = 512;
constexpr int kWarmUpBlocks = 8;

double measuredSeconds(int level) {
    const double seconds[] = {0.5, 1.0, 3.0, 10.0, 30.0};
    return seconds[level - 1];
}

}  // namespace

void checkRealtimeMargin(const ValidationSettings& settings, CheckLog& log) {
    const std::unique_ptr<HostedPlugin> loaded = openPlugin(settings.pluginPath, {settings.pluginId, 0});
    HostedPlugin& plugin = *loaded;
    AudioBench bench(plugin, kBlock, settings.seed);
    for (double rate : kRates) {
        markProgress(std::to_string(static_cast<int>(rate)) + " Hz");
        plugin.stop();
        plugin.configure(static_cast<float>(rate), kBlock);
        plugin.start();
        const int blocks = std::max(1, static_cast<int>(measuredSeconds(settings.level) * rate / kBlock));
        double total = 0.0, worst = 0.0;
        OutputVerdict verdict;
        for (int block = -kWarmUpBlocks; block < blocks; ++block) {
            bench.fill(TestSignal::Noise, kBlock, rate);
            const auto start = std::chrono::steady_clock::now();
            bench.process(kBlock);
            const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            if (verdict.clean()) verdict = bench.inspect(kBlock);
            if (block < 0) continue;
            total += seconds;
            worst = std::max(worst, seconds);
        }
        const double blockSeconds = kBlock / rate;
        const double mean = total / blocks;
        const double factor = blockSeconds / mean;
        char line[160];
        std::snprintf(line, sizeof line, "%6d Hz: %.1fx realtime, worst block %.3f ms (%.1f times the mean)",
                      static_cast<int>(rate), factor, worst * 1e3, worst / mean);
        log.note(line);
        verdict.report(std::to_string(static_cast<int>(rate)) + " Hz: ", log);
        if (factor < 1.0) log.warn(std::to_string(static_cast<int>(rate)) + " Hz: slower than real time here");
        else if (worst > blockSeconds)
            log.warn(std::to_string(static_cast<int>(rate)) + " Hz: the worst block took longer than its " +
                     std::to_string(blockSeconds * 1e3) + " ms of audio");
    }
    plugin.stop();
}
