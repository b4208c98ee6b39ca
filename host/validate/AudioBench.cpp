#include "host/validate/AudioBench.h"

#include <algorithm>
#include <chrono>
#include <cmath>

#include "host/platform/CallMonitor.h"

namespace {

constexpr int kFramesPerChange = 32;
constexpr int kImpulseSpacing = 1000;
constexpr double kSquareFrequency = 440.0;

}  // namespace

const char* testSignalName(TestSignal signal) {
    switch (signal) {
        case TestSignal::Noise: return "noise";
        case TestSignal::Silence: return "silence";
        case TestSignal::Impulses: return "impulses";
        case TestSignal::Square: return "full-scale square";
    }
    return "";
}

AudioBench::AudioBench(PluginInstance& instance, int maxFrames, std::uint32_t seed)
    : plugin(instance), random(seed) {
    // Pointer arrays are never empty, for plug-ins that look at a channel they lack.
    const int inputCount = std::max(instance.record().numInputs, 1);
    const int outputCount = std::max(instance.record().numOutputs, 1);
    inputs.assign(inputCount, std::vector<float>(maxFrames, 0.0f));
    outputs.assign(outputCount, std::vector<float>(maxFrames, 0.0f));
    for (auto& channel : inputs) inputPointers.push_back(channel.data());
    for (auto& channel : outputs) outputPointers.push_back(channel.data());
}

void AudioBench::fill(TestSignal signal, int frames, double sampleRate) {
    std::uniform_real_distribution<float> noise(-1.0f, 1.0f);
    const double halfPeriod = sampleRate / kSquareFrequency / 2.0;
    for (auto& channel : inputs) {
        for (int i = 0; i < frames; ++i) {
            const std::int64_t frame = position + i;
            float& sample = channel[i];
            switch (signal) {
                case TestSignal::Noise: sample = noise(random) * 0.5f; break;
                case TestSignal::Silence: sample = 0.0f; break;
                case TestSignal::Impulses: sample = frame % kImpulseSpacing == 0 ? 1.0f : 0.0f; break;
                case TestSignal::Square:
                    sample = static_cast<std::int64_t>(frame / halfPeriod) % 2 ? -1.0f : 1.0f;
                    break;
            }
        }
    }
    position += frames;
}

void AudioBench::process(int frames, bool watchCalls) {
    if (watchCalls) watchThisThread(true);
    plugin.process(inputPointers.data(), outputPointers.data(), frames);
    if (watchCalls) watchThisThread(false);
}

std::string AudioBench::outputProblem(int frames) const {
    const int outputCount = plugin.record().numOutputs;
    for (int channel = 0; channel < outputCount; ++channel) {
        for (int i = 0; i < frames; ++i) {
            const float sample = outputs[channel][i];
            const char* what = std::isnan(sample)         ? "NaN"
                               : std::isinf(sample)       ? "infinity"
                               : std::fabs(sample) > kRunawayLevel ? "a value above +60 dBFS"
                                                                   : nullptr;
            if (what)
                return std::string(what) + " in output " + std::to_string(channel + 1) + " at frame " +
                       std::to_string(position - frames + i);
        }
    }
    return "";
}

BackgroundLoad::BackgroundLoad(PluginInstance& instance, const Plan& chosen)
    : plugin(instance), plan(chosen), bench(instance, chosen.blockSize, chosen.seed) {
    // Notices arrive from both threads; the vector that records them is not shared safely.
    plugin.host().recordAutomation = false;
    audio = std::thread([this] { runAudio(); });
    automation = std::thread([this] { runAutomation(); });
}

BackgroundLoad::~BackgroundLoad() { stop(); }

std::string BackgroundLoad::finish() {
    if (audio.joinable()) audio.join();
    return stop();
}

std::string BackgroundLoad::stop() {
    stopping = true;
    if (audio.joinable()) audio.join();
    if (automation.joinable()) automation.join();
    return problem;
}

void BackgroundLoad::runAudio() {
    const auto blockTime = std::chrono::duration<double>(plan.blockSize / plan.sampleRate);
    auto due = std::chrono::steady_clock::now();
    while (!stopping && (plan.frames == 0 || processed < plan.frames)) {
        // A fast plug-in would otherwise finish before the other thread gets going.
        while (!stopping && changes < processed / kFramesPerChange && automationCanChange) std::this_thread::yield();
        bench.fill(TestSignal::Noise, plan.blockSize, plan.sampleRate);
        bench.process(plan.blockSize, plan.watchCalls);
        if (problem.empty()) problem = bench.outputProblem(plan.blockSize);
        processed += plan.blockSize;
        if (plan.paced) {
            due += std::chrono::duration_cast<std::chrono::steady_clock::duration>(blockTime);
            std::this_thread::sleep_until(due);
        }
    }
    audioDone = true;
}

void BackgroundLoad::runAutomation() {
    std::mt19937 random(plan.seed + 1);
    const AEffect& record = plugin.record();
    std::uniform_real_distribution<float> value(0.0f, 1.0f);
    automationCanChange = record.numParams > 0 || record.numPrograms > 1;
    while (!stopping && !audioDone && automationCanChange) {
        if (changes >= processed / kFramesPerChange) {
            std::this_thread::yield();
            continue;
        }
        // One change in ten is a program change, where there are programs.
        if (record.numPrograms > 1 && (record.numParams == 0 || random() % 10 == 0))
            plugin.setProgram(static_cast<int32>(random() % record.numPrograms));
        else
            plugin.setParameter(static_cast<int32>(random() % record.numParams), value(random));
        ++changes;
    }
}
