#include "dsp/ProcessingLoop.h"

#include "dsp/FrameLoop.h"

void ProcessingLoop::setActiveChannels(const bool* active, std::int32_t channelCount) {
    activeCount = 0;
    for (std::int32_t c = 0; c < channelCount && c < kMaxChannels; ++c)
        if (active[c]) channelOfLane[activeCount++] = c;
}

FrameRunner ProcessingLoop::runnerFor(const EngineSettings& settings) const {
    // One channel runs in plain doubles: a half-empty register only adds work.
    switch (activeCount) {
        case 1: return frameRunnerFor<double>(settings);
        case 2: return frameRunnerFor<Lanes<1>>(settings);
        case 3:
        case 4: return frameRunnerFor<Lanes<2>>(settings);
        default: return frameRunnerFor<Lanes<3>>(settings);
    }
}

void ProcessingLoop::run(ChannelState* channels, float* const* inputs, float* const* outputs,
                         std::int32_t first, std::int32_t last, OutputMode mode,
                         const ParameterModel& parameters) const {
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

    EngineSettings settings;
    r.settings = &settings;
    while (first < last) {
        r.seenChanges = parameters.changeCount();
        settings = parameters.settings();
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
