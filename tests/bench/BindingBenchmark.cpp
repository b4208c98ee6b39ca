// What the format bindings add to the engine's cost: 512-frame blocks through the VST 2,
// VST3 and CLAP plug-ins, without parameter changes and with eight changes per block at
// spread frames, and CLAP in 32-frame blocks. Prints the ratios of one run and fails when
// one is over its limit. The fastest of the repetitions counts: the machines are shared,
// and other work only ever makes a run slower.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "clap/ClapEffect.h"
#include "clap/ClapFactory.h"
#include "plugin/PluginDescription.h"
#include "tests/clap/ClapTestHost.h"
#include "tests/dsp/TestSignals.h"
#include "tests/vst3/Vst3HostObjects.h"
#include "vst2/FilterEffect.h"

namespace {

constexpr int kBlock = 512;
constexpr int kFrames = 8192;  // per iteration, in blocks of the case's size
constexpr int kProgram = 8;

// Eight changes per block, to parameters that re-derive the most, spread over the block.
template <typename Add>
void changesFor(int block, Add add) {
    for (int i = 0; i < 8; ++i) add(i * block / 8, i % 2 ? kResonance : kCutoff, 0.2 + 0.05 * i);
}

void vst2(benchmark::State& state) {
    FilterEffect effect(nullptr, 2, false);
    effect.setProgram(kProgram);
    Buffers in = noise(2, kFrames, 1), out(2, kFrames);
    for (auto _ : state)
        for (int n = 0; n < kFrames; n += kBlock) {
            auto i = in.at(n), o = out.at(n);
            effect.processReplacing(i.data(), o.data(), kBlock);
        }
}

void vst3(benchmark::State& state) {
    const bool withChanges = state.range(0) != 0;
    Vst3TestInstance plugin;
    plugin.activate();
    ParameterChanges program, changes, none;
    program.add(kProgramParameterId, 0, kProgram / 15.0);
    changesFor(kBlock, [&](int at, int index, double v) { changes.add(parameterDescription(index).id, at, v); });
    Buffers in = noise(2, kFrames, 1), out(2, kFrames);
    plugin.process(in, out, 0, kBlock, &program);
    for (auto _ : state)
        for (int n = 0; n < kFrames; n += kBlock) plugin.process(in, out, n, kBlock, withChanges ? &changes : &none);
}

void clap(benchmark::State& state) {
    const int block = static_cast<int>(state.range(0));
    const bool withEvents = state.range(1) != 0;
    ClapTestPlugin plugin(2);
    ClapTestEvents program, events, none;
    for (int i = 0; i < kNumParams; ++i) {
        const float v = factoryProgram(kProgram).values[i];
        program.value(0, i, i == kStages ? std::min(4, int(v * 3.999f + 1.0)) : v);
    }
    changesFor(block, [&](int at, int index, double v) { events.value(static_cast<std::uint32_t>(at), index, v); });
    Buffers in = noise(2, kFrames, 1), out(2, kFrames);
    plugin.process(in, out, 0, static_cast<std::uint32_t>(block), &program);
    for (auto _ : state)
        for (int n = 0; n < kFrames; n += block)
            plugin.process(in, out, n, static_cast<std::uint32_t>(block), withEvents ? &events : &none);
}

double fastest(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }

class Collecting : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "fastest")
                seconds[run.run_name.str().substr(0, run.run_name.str().find("/repeats"))] =
                    run.GetAdjustedCPUTime() * 1e-9;
    }
    std::map<std::string, double> seconds;
};

}  // namespace

int main(int argc, char** argv) {
    auto add = [](const char* name, void (*f)(benchmark::State&)) {
        return benchmark::RegisterBenchmark(name, f)
            ->Repetitions(15)
            ->ComputeStatistics("fastest", fastest)
            ->DisplayAggregatesOnly(true);
    };
    add("vst2", vst2);
    add("vst3", vst3)->Arg(0)->Arg(1);
    add("clap", clap)->Args({512, 0})->Args({512, 1})->Args({32, 0});
    std::vector<char*> args(argv, argv + argc);
    char interleave[] = "--benchmark_enable_random_interleaving=true";
    args.insert(args.begin() + 1, interleave);
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    Collecting reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    const struct {
        const char* what;
        const char* measured;
        const char* baseline;
        double limit;
    } ratios[] = {
        {"VST3, no changes / VST 2", "vst3/0", "vst2", 1.02},
        {"VST3, 8 changes a block / no changes", "vst3/1", "vst3/0", 1.15},
        {"CLAP, 8 events a block / no events", "clap/512/1", "clap/512/0", 1.15},
        {"CLAP, 32-frame blocks / 512-frame blocks", "clap/32/0", "clap/512/0", 1.3},
    };
    bool within = true;
    std::printf("\nCost ratios, 512-frame blocks unless said (the fastest of 15 runs each)\n");
    for (const auto& r : ratios) {
        const double a = reporter.seconds[r.measured], b = reporter.seconds[r.baseline];
        const double ratio = b > 0 ? a / b : 0.0;
        const bool ok = a > 0 && b > 0 && ratio <= r.limit;
        within = within && ok;
        std::printf("  %-42s %5.3f (at most %.2f)%s\n", r.what, ratio, r.limit, ok ? "" : "  OVER");
    }
    return within ? 0 : 1;
}
