// Check 3: audio at every common rate and block size, after the plug-in has been
// suspended and resumed, with signals that find unstable filters and denormal stalls.
#include <algorithm>
#include <ctime>
#include <cstdio>

#include "host/OpenPlugin.h"
#include "host/platform/IsolatedRun.h"
#include "host/validate/AudioBench.h"
#include "host/validate/Checks.h"

namespace {

const double kRates[] = {22050.0, 44100.0, 48000.0, 96000.0, 192000.0};
const int kBlocks[] = {1, 7, 64, 512, 4096};
const TestSignal kSignals[] = {TestSignal::Noise, TestSignal::Silence, TestSignal::Impulses, TestSignal::Square};

// Silence after noise lets a filter's state decay into denormal numbers, which some
// processors handle many times slower. Processor time is compared, which a busy machine
// does not inflate: silence may cost at most this many times noise. Blocks are added
// until noise takes long enough to measure.
constexpr int kCostBlock = 512;
constexpr int kFirstCostBlocks = 32;
constexpr int kMostCostBlocks = 4096;
constexpr double kMeasurableSeconds = 0.005;
constexpr double kDecaySeconds = 2.0;
constexpr double kSilenceCostLimit = 2.5;
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

OutputVerdict run(AudioBench& bench, TestSignal signal, double rate, int block, std::int64_t frames) {
    OutputVerdict verdict;
    for (std::int64_t done = 0; done < frames && verdict.clean(); done += block) {
        bench.fill(signal, block, rate);
        bench.process(block);
        verdict = bench.inspect(block);
    }
    return verdict;
}

void restart(HostedPlugin& plugin, double rate, int announcedBlock) {
    plugin.stop();
    plugin.configure(static_cast<float>(rate), announcedBlock);
    plugin.start();
    plugin.stop();
    plugin.start();
}

double processorSeconds(AudioBench& bench, TestSignal signal, double rate, int blocks) {
    double seconds = 0.0;
    for (int block = 0; block < blocks; ++block) {
        bench.fill(signal, kCostBlock, rate);
        const std::clock_t start = std::clock();
        bench.process(kCostBlock);
        seconds += static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
    }
    return seconds;
}

// Answers how many times noise silence costs, 0 when the plug-in is too fast to tell.
double compareSilenceWithNoise(HostedPlugin& plugin, AudioBench& bench, double rate, CheckLog& log) {
    restart(plugin, rate, kCostBlock);
    int blocks = kFirstCostBlocks;
    double noise = processorSeconds(bench, TestSignal::Noise, rate, blocks);
    while (noise < kMeasurableSeconds && blocks < kMostCostBlocks) {
        blocks *= 2;
        noise = processorSeconds(bench, TestSignal::Noise, rate, blocks);
    }
    if (noise < kMeasurableSeconds) return 0.0;
    run(bench, TestSignal::Silence, rate, kCostBlock, static_cast<std::int64_t>(kDecaySeconds * rate));
    const double cost = processorSeconds(bench, TestSignal::Silence, rate, blocks) / noise;
    if (cost > kSilenceCostLimit)
        log.fail(std::to_string(static_cast<int>(rate)) + " Hz: silence after noise costs " + std::to_string(cost) +
                 " times as much as noise (denormal numbers?)");
    return cost;
}

}  // namespace

void checkAudio(const ValidationSettings& settings, CheckLog& log) {
    const std::unique_ptr<HostedPlugin> loaded = openPlugin(settings.pluginPath, {settings.pluginId, 0});
    HostedPlugin& plugin = *loaded;
    AudioBench bench(plugin, kAnnouncedBlock * kOversizeFactor, settings.seed);
    int combinations = 0;
    double worstSilenceCost = 0.0;
    for (double rate : kRates) {
        for (int block : kBlocks) {
            markProgress(std::to_string(static_cast<int>(rate)) + " Hz, block " + std::to_string(block));
            restart(plugin, rate, block);
            const std::int64_t frames = std::max<std::int64_t>(block, static_cast<std::int64_t>(signalSeconds(settings.level) * rate));
            for (TestSignal signal : kSignals)
                run(bench, signal, rate, block, frames).report(where(rate, block, signal) + ": ", log);
            ++combinations;
        }
        markProgress(std::to_string(static_cast<int>(rate)) + " Hz, the cost of silence");
        worstSilenceCost = std::max(worstSilenceCost, compareSilenceWithNoise(plugin, bench, rate, log));
        // A host may hand over more than it announced; the plug-in must survive it.
        markProgress(std::to_string(static_cast<int>(rate)) + " Hz, a block 8 times the announced size");
        restart(plugin, rate, kAnnouncedBlock);
        run(bench, TestSignal::Noise, rate, kAnnouncedBlock * kOversizeFactor, kAnnouncedBlock * kOversizeFactor)
            .report(std::to_string(static_cast<int>(rate)) + " Hz, a block 8 times the announced size: ", log);
    }
    plugin.stop();
    char summary[96];
    std::snprintf(summary, sizeof summary, "%d rate and block combinations, %g s of each signal", combinations,
                  signalSeconds(settings.level));
    log.note(summary);
    if (worstSilenceCost > 0.0) {
        std::snprintf(summary, sizeof summary, "silence after noise costs at most %.2f times noise", worstSilenceCost);
        log.note(summary);
    } else {
        log.note("too fast to compare the cost of silence with noise");
    }
}
