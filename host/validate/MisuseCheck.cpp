// Check 8: what careless hosts do. Indices past the counts, absurd sample rates and block
// sizes, non-finite parameter values, odd block lengths, a close without a suspend and an
// editor without a parent. The plug-in must survive all of it and, once a sane state is
// restored, render as a fresh instance does.
#include <cmath>
#include <cstdio>
#include <limits>
#include <vector>

#include "host/PluginInstance.h"
#include "host/platform/EditorParentWindow.h"
#include "host/platform/IsolatedRun.h"
#include "host/validate/AudioBench.h"
#include "host/validate/Checks.h"

namespace {

constexpr float kRate = 44100.0f;
constexpr int kBlock = 512;
constexpr int kLongBlock = 4096;
constexpr int kCompareBlocks = 16;
// Output levels of the misused and a fresh instance may differ this much (time-varying
// effects differ a little between runs).
constexpr double kLevelToleranceDecibels = 3.0;

// Roomy enough for any properties record a plug-in may fill in.
struct Scratch {
    alignas(16) char bytes[4096] = {};
};

void askPastTheCounts(PluginInstance& plugin) {
    const AEffect& record = plugin.record();
    Scratch scratch;
    for (int32 index : {record.numParams, record.numParams + 1000, -1}) {
        markProgress("parameter " + std::to_string(index) + ", past the count");
        for (int32 opcode : {effGetParamName, effGetParamLabel, effGetParamDisplay, effCanBeAutomated})
            plugin.dispatch(opcode, index, 0, scratch.bytes);
        plugin.setParameter(index, 0.5f);
        plugin.parameter(index);
    }
    for (int32 index : {record.numPrograms, record.numPrograms + 1000, -1}) {
        markProgress("program " + std::to_string(index) + ", past the count");
        plugin.dispatch(effGetProgramNameIndexed, index, 0, scratch.bytes);
        plugin.dispatch(effSetProgram, 0, index);
        plugin.dispatch(effGetProgramName, 0, 0, scratch.bytes);
    }
    for (int32 index : {record.numInputs, record.numInputs + 1000, -1}) {
        markProgress("input " + std::to_string(index) + ", past the count");
        plugin.dispatch(effGetInputProperties, index, 0, scratch.bytes);
    }
    for (int32 index : {record.numOutputs, record.numOutputs + 1000, -1}) {
        markProgress("output " + std::to_string(index) + ", past the count");
        plugin.dispatch(effGetOutputProperties, index, 0, scratch.bytes);
    }
}

void processNoise(AudioBench& bench, int frames) {
    bench.fill(TestSignal::Noise, frames, kRate);
    bench.process(frames);
}

void configureBadly(PluginInstance& plugin, AudioBench& bench) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (float rate : {0.0f, -44100.0f, nan, 1e7f}) {
        char step[64];
        std::snprintf(step, sizeof step, "sample rate %g", static_cast<double>(rate));
        markProgress(step);
        plugin.configure(rate, kBlock);
        plugin.start();
        processNoise(bench, kBlock);
        plugin.stop();
    }
    for (int32 block : {0, 1 << 20}) {
        markProgress("block size " + std::to_string(block));
        plugin.configure(kRate, block);
        plugin.start();
        processNoise(bench, kBlock);
        plugin.stop();
    }
    markProgress("0 frames, then a block longer than announced");
    plugin.configure(kRate, 64);
    plugin.start();
    processNoise(bench, 0);
    processNoise(bench, kLongBlock);
    markProgress("parameter values that are not numbers in 0..1");
    for (float value : {nan, std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(), 1e30f,
                        -1e30f}) {
        for (int32 index = 0; index < plugin.record().numParams; ++index) plugin.setParameter(index, value);
        processNoise(bench, kBlock);
    }
    plugin.stop();
}

void openEditorWithoutParent(PluginInstance& plugin, CheckLog& log) {
    if (!(plugin.record().flags & effFlagsHasEditor)) return;
    // Only where a display exists: without one the editor has nothing to open on.
    if (!EditorParentWindow::open(1, 1)) return log.note("no display: the editor was not opened without a parent");
    markProgress("the editor opened without a parent");
    plugin.dispatch(effEditOpen, 0, 0, nullptr);
    plugin.dispatch(effEditIdle);
    markProgress("the editor closed after opening without a parent");
    plugin.dispatch(effEditClose);
}

// The output's RMS after the plug-in is configured sanely with the given values.
double saneLevel(PluginInstance& plugin, const std::vector<float>& values, std::uint32_t seed, CheckLog& log,
                 const char* which) {
    plugin.stop();
    for (int32 index = 0; index < plugin.record().numParams; ++index) plugin.setParameter(index, values[index]);
    plugin.configure(kRate, kBlock);
    plugin.start();
    AudioBench bench(plugin, kBlock, seed);
    double sum = 0.0;
    for (int block = 0; block < kCompareBlocks; ++block) {
        processNoise(bench, kBlock);
        const OutputVerdict verdict = bench.inspect(kBlock);
        if (!verdict.nonFinite.empty()) {
            log.fail(std::string(which) + ", restored to 44100 Hz and its first values: " + verdict.nonFinite);
            return -1.0;
        }
        sum += bench.energy(kBlock);
    }
    plugin.stop();
    return std::sqrt(sum / (kCompareBlocks * kBlock));
}

}  // namespace

void checkHostMisuse(const ValidationSettings& settings, CheckLog& log) {
    if (skippedForOtherFormats(settings, log)) return;
    std::vector<float> initial;
    double freshLevel = 0.0;
    {
        PluginInstance fresh(settings.pluginPath);
        for (int32 index = 0; index < fresh.record().numParams; ++index) initial.push_back(fresh.parameter(index));
        freshLevel = saneLevel(fresh, initial, settings.seed, log, "a fresh instance");
    }

    PluginInstance plugin(settings.pluginPath);
    askPastTheCounts(plugin);
    AudioBench bench(plugin, kLongBlock, settings.seed);
    configureBadly(plugin, bench);
    openEditorWithoutParent(plugin, log);
    markProgress("rendering after the misuse");
    const double level = saneLevel(plugin, initial, settings.seed, log, "after the misuse");
    if (level >= 0.0 && freshLevel >= 0.0) {
        const double difference = 20.0 * std::log10((level + 1e-9) / (freshLevel + 1e-9));
        if (std::fabs(difference) > kLevelToleranceDecibels) {
            char text[160];
            std::snprintf(text, sizeof text, "after the misuse the output is %+.1f dB from a fresh instance's", difference);
            log.fail(text);
        }
    }

    // Left running: the close comes without a suspend first.
    markProgress("closed without a suspend");
    {
        PluginInstance careless(settings.pluginPath);
        careless.configure(kRate, kBlock);
        careless.dispatch(effMainsChanged, 0, 1);
    }
    log.note("indices past the counts, 4 bad sample rates, 2 bad block sizes, 5 bad values on every parameter");
}
