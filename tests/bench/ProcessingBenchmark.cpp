// The processing loop against the straightforward scalar version of the same
// arithmetic, 512-frame blocks. Prints the time ratios and realtime factors, the cost of
// silent and very quiet input against noise, and checks that both give the same bits.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "vst2/FilterEffect.h"
#include "tests/support/ReferenceFilter.h"

namespace {

constexpr int kBlock = 512;

// Noise, silence, and noise in the range of denormal floats (below 1.2e-38).
enum Input { kNoise, kSilence, kQuiet, kInputCount };
const char* const kInputNames[kInputCount] = {"noise", "silence", "denormal-range noise"};

struct Signal {
    explicit Signal(int channels, Input input = kNoise)
        : data(channels, std::vector<float>(kBlock)), out(data) {
        std::mt19937 random(1);
        const float level = input == kNoise ? 0.8f : (input == kQuiet ? 1e-39f : 0.0f);
        std::uniform_real_distribution<float> dist(-level, level);
        for (auto& channel : data)
            for (float& s : channel) s = dist(random);
        for (int c = 0; c < channels; ++c) {
            in.push_back(data[c].data());
            outs.push_back(out[c].data());
        }
    }
    std::vector<std::vector<float>> data, out;
    std::vector<float*> in, outs;
};

// Four stages, resonance and waveshaper; the envelope on (Env Amt 0.2) or off (0.5).
template <typename Set>
void configure(float envAmount, Set&& set) {
    const float values[kNumParams] = {0.5f, 0.0f, 1.0f, 0.3f, 0.6f, envAmount, 0.7f, 0.96f, 0.9f};
    for (int i = 0; i < kNumParams; ++i) set(i, values[i]);
}

float envAmountFor(bool envelope) { return envelope ? 0.2f : 0.5f; }

void loopBenchmark(benchmark::State& state) {
    const int channels = static_cast<int>(state.range(0));
    const bool halfPower = state.range(1) == 4;
    FilterEffect effect(nullptr, channels, halfPower);
    configure(envAmountFor(state.range(2) != 0), [&](int i, float v) { effect.setParameter(i, v); });
    Signal s(channels, static_cast<Input>(state.range(3)));
    for (auto _ : state) {
        effect.processReplacing(s.in.data(), s.outs.data(), kBlock);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kBlock);
}

void scalarBenchmark(benchmark::State& state) {
    const int channels = static_cast<int>(state.range(0));
    ReferenceFilter reference(channels, static_cast<int>(state.range(1)));
    configure(envAmountFor(state.range(2) != 0), [&](int i, float v) { reference.setParameter(i, v); });
    reference.resume(44100.0f);
    Signal s(channels, static_cast<Input>(state.range(3)));
    for (auto _ : state) {
        reference.process(s.in.data(), s.outs.data(), kBlock, true);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kBlock);
}

constexpr int kMaxBenchChannels = 6;
const int kFactors[] = {8, 4};
const int kEnvelopes[] = {1, 0};

// Every case of the loop and of the straightforward loop; the median of five
// repetitions counts.
void registerCases() {
    auto add = [](const char* name, void (*function)(benchmark::State&), int channels, int n,
                  int envelope, int input) {
        benchmark::RegisterBenchmark(name, function)
            ->ArgNames({"channels", "N", "envelope", "input"})
            ->Args({channels, n, envelope, input})
            ->Repetitions(5)
            ->DisplayAggregatesOnly(true);
    };
    for (int channels = 1; channels <= kMaxBenchChannels; ++channels) {
        for (int n : kFactors)
            for (int envelope : kEnvelopes) {
                add("loopBenchmark", loopBenchmark, channels, n, envelope, kNoise);
                add("scalarBenchmark", scalarBenchmark, channels, n, envelope, kNoise);
            }
        for (int input : {kSilence, kQuiet}) add("loopBenchmark", loopBenchmark, channels, 8, 1, input);
    }
}

// Both versions over the same 40 blocks must agree bit for bit.
bool bitIdentical(int channels, int n, bool envelope, Input input) {
    FilterEffect effect(nullptr, channels, n == 4);
    ReferenceFilter reference(channels, n);
    configure(envAmountFor(envelope), [&](int i, float v) {
        effect.setParameter(i, v);
        reference.setParameter(i, v);
    });
    reference.resume(44100.0f);
    Signal a(channels, input), b(channels, input);
    for (int block = 0; block < 40; ++block) {
        effect.processReplacing(a.in.data(), a.outs.data(), kBlock);
        reference.process(b.in.data(), b.outs.data(), kBlock, true);
        for (int c = 0; c < channels; ++c)
            if (std::memcmp(a.out[c].data(), b.out[c].data(), kBlock * sizeof(float)) != 0) return false;
    }
    return true;
}

// Collects the processor time per block of every run, keyed by its arguments (processor
// time, because other work on the machine stretches the wall-clock time).
class CollectingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median") continue;
            const std::string name = run.run_name.str();
            const std::string::size_type slash = name.find('/');
            const std::string args = name.substr(slash, name.find("/repeats") - slash);
            const bool loop = name.rfind("loop", 0) == 0;
            (loop ? loopTimes : scalarTimes)[args] = run.GetAdjustedCPUTime() * 1e-9;
        }
    }
    std::map<std::string, double> loopTimes, scalarTimes;
};

std::string key(int channels, int n, int envelope, int input) {
    return "/channels:" + std::to_string(channels) + "/N:" + std::to_string(n) +
           "/envelope:" + std::to_string(envelope) + "/input:" + std::to_string(input);
}

}  // namespace

int main(int argc, char** argv) {
    registerCases();
    // "--sse2" times the loops that processors without fused multiply-add run.
    std::vector<char*> args(argv, argv + argc);
    bool sse2Only = false;
    for (auto it = args.begin(); it != args.end();)
        if (std::strcmp(*it, "--sse2") == 0) {
            sse2Only = true;
            it = args.erase(it);
        } else {
            ++it;
        }
    const bool fused = ProcessingLoop::useFusedLoops(!sse2Only);
    // The repetitions of all cases in random order, so that a busy moment on the machine
    // does not fall on one case alone; a flag given on the command line wins.
    char interleave[] = "--benchmark_enable_random_interleaving=true";
    args.insert(args.begin() + 1, interleave);
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    CollectingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    bool allIdentical = true;
    for (int channels = 1; channels <= kMaxBenchChannels; ++channels)
        for (int n : kFactors)
            for (int envelope : kEnvelopes)
                for (int input = 0; input < kInputCount; ++input)
                    allIdentical = bitIdentical(channels, n, envelope != 0, static_cast<Input>(input)) && allIdentical;

    auto time = [](const std::map<std::string, double>& times, const std::string& k) {
        const auto found = times.find(k);
        return found == times.end() ? 0.0 : found->second;
    };
    const double blockSeconds = kBlock / 44100.0;
    std::printf("\nTime of the processing loop (%s) / time of the straightforward loop, noise input\n",
                fused ? "fused multiply-add" : "SSE2");
    std::printf("%-9s", "channels");
    for (int n : kFactors)
        for (int envelope : kEnvelopes) std::printf("  N=%d env %-3s", n, envelope ? "on" : "off");
    std::printf("  realtime x (N=8 env on: loop, straightforward)\n");
    for (int channels = 1; channels <= kMaxBenchChannels; ++channels) {
        std::printf("%-9d", channels);
        for (int n : kFactors) {
            for (int envelope : kEnvelopes) {
                const std::string k = key(channels, n, envelope, kNoise);
                const double loop = time(reporter.loopTimes, k), scalar = time(reporter.scalarTimes, k);
                if (loop > 0 && scalar > 0)
                    std::printf("  %12.2f", loop / scalar);
                else
                    std::printf("  %12s", "-");
            }
        }
        const std::string k = key(channels, 8, 1, kNoise);
        const double loop = time(reporter.loopTimes, k), scalar = time(reporter.scalarTimes, k);
        if (loop > 0 && scalar > 0) std::printf("  %10.1f %10.1f", blockSeconds / loop, blockSeconds / scalar);
        std::printf("\n");
    }
    std::printf("\nTime of the processing loop for other input / for noise (N=8, envelope on)\n");
    std::printf("%-9s  %12s  %22s\n", "channels", kInputNames[kSilence], kInputNames[kQuiet]);
    for (int channels = 1; channels <= kMaxBenchChannels; ++channels) {
        const double noise = time(reporter.loopTimes, key(channels, 8, 1, kNoise));
        if (noise <= 0) continue;
        std::printf("%-9d  %12.2f  %22.2f\n", channels,
                    time(reporter.loopTimes, key(channels, 8, 1, kSilence)) / noise,
                    time(reporter.loopTimes, key(channels, 8, 1, kQuiet)) / noise);
    }
    std::printf("output bit-identical to the scalar version: %s\n", allIdentical ? "yes" : "NO");
    return allIdentical ? 0 : 1;
}
