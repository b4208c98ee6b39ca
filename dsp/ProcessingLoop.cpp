#include "dsp/ProcessingLoop.h"

#include <atomic>

#include "dsp/FrameLoop.h"
#include "dsp/FusedFrameLoops.h"

namespace {

bool processorHasFusedMultiplyAdd() {
#if defined(__x86_64__)
    // Also answers whether the system saves the AVX registers, which these need.
    __builtin_cpu_init();
    return __builtin_cpu_supports("fma");
#else
    return false;
#endif
}

// Found when the library loads, so the audio thread never waits on a first-use guard.
const bool fusedLoopsSupported = fusedFrameLoopsBuilt && processorHasFusedMultiplyAdd();
std::atomic<bool> fusedLoopsOn{fusedLoopsSupported};

}  // namespace

bool ProcessingLoop::useFusedLoops(bool wanted) {
    const bool on = wanted && fusedLoopsSupported;
    fusedLoopsOn.store(on, std::memory_order_relaxed);
    return on;
}

void ProcessingLoop::setActiveChannels(const bool* active, std::int32_t channelCount) {
    activeCount = 0;
    for (std::int32_t c = 0; c < channelCount && c < kMaxChannels; ++c)
        if (active[c]) channelOfLane[activeCount++] = c;
}

FrameRunner ProcessingLoop::runnerFor(const EngineSettings& settings) const {
    if (fusedLoopsOn.load(std::memory_order_relaxed))
        return fusedFrameRunnerFor(activeCount, settings);
    return frameRunnerFor<false>(activeCount, settings);
}

void ProcessingLoop::run(ChannelState* channels, float* const* inputs, float* const* outputs,
                         std::int32_t first, std::int32_t last, OutputMode mode,
                         const ParameterModel& parameters) {
    if (activeCount == 0 || first >= last) return;
    alignas(16) double state[kFieldCount][kMaxChannels] = {};
    FrameRun r;
    for (int lane = 0; lane < activeCount; ++lane) {
        const std::int32_t c = channelOfLane[lane];
        r.in[lane] = inputs[c];
        r.out[lane] = outputs[c];
        const ChannelState& s = channels[c];
        state[kStage1][lane] = s.stage1;
        state[kStage2][lane] = s.stage2;
        state[kStage3][lane] = s.stage3;
        state[kStage4][lane] = s.stage4;
        state[kFeedback][lane] = s.feedback;
        state[kEnvelope][lane] = s.envelope;
    }
    for (int lane = activeCount; lane < kMaxChannels; ++lane) r.in[lane] = inputs[channelOfLane[0]];
    r.laneCount = activeCount;
    r.mode = mode;
    r.changes = parameters.changeCounter();
    r.state = state;

    r.settings = &settings;
    while (first < last) {
        r.seenChanges = parameters.changeCount();
        // Derived again only after a change: the derivation costs two pow calls.
        if (!settingsCurrent || r.seenChanges != settingsChangeCount) {
            settings = parameters.settings();
            settingsChangeCount = r.seenChanges;
            settingsCurrent = true;
        }
        first = runnerFor(settings)(r, first, last);
    }

    for (int lane = 0; lane < activeCount; ++lane) {
        ChannelState& s = channels[channelOfLane[lane]];
        s.stage1 = static_cast<float>(state[kStage1][lane]);
        s.stage2 = static_cast<float>(state[kStage2][lane]);
        s.stage3 = static_cast<float>(state[kStage3][lane]);
        s.stage4 = static_cast<float>(state[kStage4][lane]);
        s.feedback = static_cast<float>(state[kFeedback][lane]);
        s.envelope = static_cast<float>(state[kEnvelope][lane]);
    }
}
