// Check 8: what careless hosts do, and what no host does. Indices past the counts, odd
// sample rates and block sizes, non-finite parameter values, a close without a suspend and
// an editor without a parent. What real hosts do must neither crash nor spoil the output,
// here or once a sane state is restored; what no host does only warns when it does.
#include <cmath>
#include <cstdio>
#include <iterator>
#include <limits>
#include <string>
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
// Each case that no host sends runs in a process of its own, for at most this long: one
// load and 17 blocks take well under a second, and all of them hung must still leave the
// check within its own time limit.
constexpr double kCaseSeconds = 8.0;

// Roomy enough for any properties record a plug-in may fill in.
struct Scratch {
    alignas(16) char bytes[4096] = {};
};

// One stretch of audio: the rate and block size announced after a suspend, then blocks,
// with every parameter set to one value first where asked.
struct Stream {
    const char* what;
    float rate;
    int32 announced;
    std::vector<int> blocks;
    bool setsParameters = false;
    float parameterValue = 0.0f;
};

const float kNaN = std::numeric_limits<float>::quiet_NaN();
const float kInfinity = std::numeric_limits<float>::infinity();

// In this order on one instance, each after a suspend: so the rate also changes between
// suspend and resume, as real hosts do.
const Stream kHostStreams[] = {
    {"a block of 0 frames", kRate, kBlock, {0, kBlock, 0}},
    {"96000 Hz after 44100 Hz", 96000.0f, kBlock, {kBlock}},
    {"blocks that are not powers of two", 48000.0f, 1000, {1000, 999, 37}},
    {"the largest block announced, then smaller ones", kRate, kLongBlock, {kLongBlock, kBlock, 1}},
    {"block size 2^20 announced", kRate, 1 << 20, {kBlock}},
    {"a block longer than announced", kRate, 64, {kLongBlock}},
};

// No host sends these; each on a fresh instance.
const Stream kNoHostStreams[] = {
    {"sample rate 0", 0.0f, kBlock, {kBlock}},
    {"sample rate -44100", -44100.0f, kBlock, {kBlock}},
    {"sample rate NaN", kNaN, kBlock, {kBlock}},
    {"sample rate 10 MHz", 1e7f, kBlock, {kBlock}},
    {"block size 0 announced", kRate, 0, {kBlock}},
    {"block size -512 announced", kRate, -kBlock, {kBlock}},
    {"every parameter NaN", kRate, kBlock, {kBlock}, true, kNaN},
    {"every parameter +infinity", kRate, kBlock, {kBlock}, true, kInfinity},
    {"every parameter -infinity", kRate, kBlock, {kBlock}, true, -kInfinity},
    {"every parameter 1e30", kRate, kBlock, {kBlock}, true, 1e30f},
    {"every parameter -1e30", kRate, kBlock, {kBlock}, true, -1e30f},
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

// Answers the first non-finite output, or "".
std::string play(PluginInstance& plugin, AudioBench& bench, const Stream& stream) {
    markProgress(stream.what);
    std::string nonFinite;
    plugin.configure(stream.rate, stream.announced);
    plugin.start();
    if (stream.setsParameters)
        for (int32 index = 0; index < plugin.record().numParams; ++index) plugin.setParameter(index, stream.parameterValue);
    for (int frames : stream.blocks) {
        processNoise(bench, frames);
        const OutputVerdict verdict = bench.inspect(frames);
        if (nonFinite.empty() && !verdict.nonFinite.empty()) nonFinite = verdict.nonFinite;
    }
    plugin.stop();
    return nonFinite;
}

void misuseAsHostsDo(PluginInstance& plugin, AudioBench& bench, CheckLog& log) {
    for (const Stream& stream : kHostStreams) {
        const std::string nonFinite = play(plugin, bench, stream);
        if (!nonFinite.empty()) log.fail(std::string(stream.what) + ": " + nonFinite);
    }
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

// Each in a process of its own on a fresh instance: a crash, or non-finite output once
// restored to 44100 Hz and its first values, is a warning. What comes out meanwhile is
// not judged: nonsense in may give nonsense out.
void misuseAsNoHostDoes(const ValidationSettings& settings, const std::vector<float>& initial, CheckLog& log) {
    for (const Stream& stream : kNoHostStreams) {
        const IsolatedRun run = runIsolated(
            [&] {
                PluginInstance plugin(settings.pluginPath);
                AudioBench bench(plugin, kBlock, settings.seed);
                play(plugin, bench, stream);
                CheckLog restored;
                saneLevel(plugin, initial, settings.seed, restored, "afterwards");
                return restored.failed() ? restored.failures.front() : std::string();
            },
            kCaseSeconds);
        // Told as the check's own output, which counts it.
        std::fwrite(run.printed.data(), 1, run.printed.size(), stdout);
        const std::string found = run.finished ? run.output : run.failure;
        if (!found.empty()) log.warn(std::string(stream.what) + " (no host sends it): " + found);
    }
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
    misuseAsNoHostDoes(settings, initial, log);

    PluginInstance plugin(settings.pluginPath);
    askPastTheCounts(plugin);
    AudioBench bench(plugin, kLongBlock, settings.seed);
    misuseAsHostsDo(plugin, bench, log);
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
    log.note("indices past the counts, " + std::to_string(std::size(kHostStreams)) + " streams as hosts play them; " +
             std::to_string(std::size(kNoHostStreams)) + " settings no host sends, each on a fresh instance");
}
