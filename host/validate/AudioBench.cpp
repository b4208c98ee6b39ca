#include "host/validate/AudioBench.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>

#include "host/PluginInstance.h"
#include "host/validate/CheckLog.h"

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

AudioBench::AudioBench(HostedPlugin& instance, int maxFrames, std::uint32_t seed)
    : plugin(instance), random(seed) {
    // Pointer arrays are never empty, for plug-ins that look at a channel they lack.
    const int inputCount = std::max(instance.inputCount(), 1);
    const int outputCount = std::max(instance.outputCount(), 1);
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
    if (watchCalls) plugin.processWatched(inputPointers.data(), outputPointers.data(), frames);
    else plugin.process(inputPointers.data(), outputPointers.data(), frames);
}

OutputVerdict AudioBench::inspect(int frames) const {
    OutputVerdict verdict;
    const auto where = [&](int channel, int i) {
        return " in output " + std::to_string(channel + 1) + " at frame " + std::to_string(position - frames + i);
    };
    const int outputCount = plugin.outputCount();
    for (int channel = 0; channel < outputCount; ++channel) {
        for (int i = 0; i < frames; ++i) {
            const float sample = outputs[channel][i];
            if (!std::isfinite(sample)) {
                verdict.nonFinite = (std::isnan(sample) ? "NaN" : "infinity") + where(channel, i);
                return verdict;
            }
            if (std::fabs(sample) <= kLoudLevel || !verdict.loud.empty()) continue;
            char text[40];
            std::snprintf(text, sizeof text, "%+.1f dBFS", 20.0 * std::log10(std::fabs(sample)));
            verdict.loud = text + where(channel, i) + " with";
            for (int32 index = 0; index < plugin.parameterCount(); ++index) {
                std::snprintf(text, sizeof text, " --param %d=%g", index, static_cast<double>(plugin.parameter(index)));
                verdict.loud += text;
            }
        }
    }
    return verdict;
}

double AudioBench::energy(int frames) const {
    const int outputCount = plugin.outputCount();
    double sum = 0.0;
    for (int channel = 0; channel < outputCount; ++channel)
        for (int i = 0; i < frames; ++i) sum += static_cast<double>(outputs[channel][i]) * outputs[channel][i];
    return outputCount > 0 ? sum / outputCount : 0.0;
}

void OutputVerdict::report(const std::string& context, CheckLog& log) const {
    if (!nonFinite.empty()) log.fail(context + nonFinite);
    if (!loud.empty()) log.warn(context + "very loud output, " + loud);
}

BackgroundLoad::BackgroundLoad(HostedPlugin& instance, const Plan& chosen)
    : plugin(instance), plan(chosen), bench(instance, chosen.blockSize, chosen.seed), granted(chosen.frames),
      finishing(chosen.frames > 0) {
    // Notices arrive from both threads; the vector that records them is not shared safely.
    if (auto* vst2 = dynamic_cast<PluginInstance*>(&plugin)) vst2->host().recordAutomation = false;
    audio = std::thread([this] { runAudio(); });
    automation = std::thread([this] { runAutomation(); });
}

BackgroundLoad::~BackgroundLoad() {
    stopping = true;
    end();
}

OutputVerdict BackgroundLoad::finish() {
    finishing = true;
    end();
    return verdict;
}

void BackgroundLoad::end() {
    if (audio.joinable()) audio.join();
    if (automation.joinable()) automation.join();
}

void BackgroundLoad::runAudio() {
    while (!stopping) {
        const std::int64_t done = processed.load();
        if (done >= granted.load()) {
            if (finishing) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            continue;
        }
        // A fast plug-in would otherwise finish before the other thread gets going.
        while (!stopping && changes < done / kFramesPerChange && automationCanChange) std::this_thread::yield();
        bench.fill(TestSignal::Noise, plan.blockSize, plan.sampleRate);
        bench.process(plan.blockSize, plan.watchCalls);
        if (verdict.nonFinite.empty() || verdict.loud.empty()) {
            const OutputVerdict found = bench.inspect(plan.blockSize);
            if (verdict.nonFinite.empty()) verdict.nonFinite = found.nonFinite;
            if (verdict.loud.empty()) verdict.loud = found.loud;
        }
        processed += plan.blockSize;
    }
    audioDone = true;
}

void BackgroundLoad::runAutomation() {
    std::mt19937 random(plan.seed + 1);
    std::uniform_real_distribution<float> value(0.0f, 1.0f);
    automationCanChange = plugin.parameterCount() > 0 || plugin.programCount() > 1;
    while (!stopping && automationCanChange) {
        // Read before the count, so the changes owed for the last block are still made.
        const bool audioEnded = audioDone;
        if (changes >= processed / kFramesPerChange) {
            if (audioEnded) break;
            std::this_thread::yield();
            continue;
        }
        // One change in ten is a program change, where there are programs.
        if (plugin.programCount() > 1 && (plugin.parameterCount() == 0 || random() % 10 == 0))
            plugin.setProgram(static_cast<int32>(random() % plugin.programCount()));
        else
            plugin.setParameter(static_cast<int32>(random() % plugin.parameterCount()), value(random));
        ++changes;
    }
}
