// The processing loop against the straightforward scalar version of the same
// arithmetic, 512-frame blocks. Prints the speed-up and the realtime factor, and checks
// that both give the same bits.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "plugin/FilterEffect.h"
#include "tests/support/ReferenceFilter.h"

namespace {

constexpr int kBlock = 512;

struct Signal {
    explicit Signal(int channels) : data(channels, std::vector<float>(kBlock)), out(data) {
        std::mt19937 random(1);
        std::uniform_real_distribution<float> dist(-0.8f, 0.8f);
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
    Signal s(channels);
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
    Signal s(channels);
    for (auto _ : state) {
        reference.process(s.in.data(), s.outs.data(), kBlock, true);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kBlock);
}

void arguments(benchmark::internal::Benchmark* b) {
    b->ArgNames({"channels", "N", "envelope"});
    for (int channels : {1, 2, 6})
        for (int n : {8, 4})
            for (int envelope : {1, 0}) b->Args({channels, n, envelope});
}

BENCHMARK(loopBenchmark)->Apply(arguments);
BENCHMARK(scalarBenchmark)->Apply(arguments);

// Both versions over the same 40 blocks must agree bit for bit.
bool bitIdentical(int channels, int n, bool envelope) {
    FilterEffect effect(nullptr, channels, n == 4);
    ReferenceFilter reference(channels, n);
    configure(envAmountFor(envelope), [&](int i, float v) {
        effect.setParameter(i, v);
        reference.setParameter(i, v);
    });
    reference.resume(44100.0f);
    Signal a(channels), b(channels);
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
            const std::string name = run.benchmark_name();
            const std::string::size_type slash = name.find('/');
            const bool loop = name.rfind("loop", 0) == 0;
            (loop ? loopTimes : scalarTimes)[name.substr(slash)] =
                run.cpu_accumulated_time / static_cast<double>(run.iterations);
        }
    }
    std::map<std::string, double> loopTimes, scalarTimes;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    CollectingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    bool allIdentical = true;
    for (int channels : {1, 2, 6})
        for (int n : {8, 4})
            for (bool envelope : {true, false}) allIdentical = bitIdentical(channels, n, envelope) && allIdentical;

    std::printf("\n%-36s %10s %12s %12s\n", "arguments", "speed-up", "realtime x", "scalar rt x");
    for (const auto& [args, loopTime] : reporter.loopTimes) {
        const auto scalar = reporter.scalarTimes.find(args);
        if (scalar == reporter.scalarTimes.end()) continue;
        const double blockSeconds = kBlock / 44100.0;
        std::printf("%-36s %9.2fx %11.1fx %11.1fx\n", args.c_str(), scalar->second / loopTime,
                    blockSeconds / loopTime, blockSeconds / scalar->second);
    }
    std::printf("output bit-identical to the scalar version: %s\n", allIdentical ? "yes" : "NO");
    return allIdentical ? 0 : 1;
}
