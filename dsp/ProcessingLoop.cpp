#include "dsp/ProcessingLoop.h"

#include "dsp/EnvelopeFollower.h"
#include "dsp/FilterEngine.h"
#include "dsp/Lanes.h"

void ProcessingLoop::setActiveChannels(const bool* active, std::int32_t channelCount) {
    activeCount = 0;
    for (std::int32_t c = 0; c < channelCount && c < kMaxChannels; ++c)
        if (active[c]) channelOfLane[activeCount++] = c;
}

void ProcessingLoop::beginBlock(const ChannelState* channels) {
    for (int lane = 0; lane < kMaxChannels; ++lane) {
        if (lane >= activeCount) {
            clearLane(lane);
            continue;
        }
        const ChannelState& s = channels[channelOfLane[lane]];
        lanes[kStage1][lane] = s.stage1;
        lanes[kStage2][lane] = s.stage2;
        lanes[kStage3][lane] = s.stage3;
        lanes[kStage4][lane] = s.stage4;
        lanes[kFeedback][lane] = s.feedback;
        lanes[kEnvelope][lane] = s.envelope;
    }
}

void ProcessingLoop::endBlock(ChannelState* channels) const {
    for (int lane = 0; lane < activeCount; ++lane) {
        ChannelState& s = channels[channelOfLane[lane]];
        s.stage1 = static_cast<float>(lanes[kStage1][lane]);
        s.stage2 = static_cast<float>(lanes[kStage2][lane]);
        s.stage3 = static_cast<float>(lanes[kStage3][lane]);
        s.stage4 = static_cast<float>(lanes[kStage4][lane]);
        s.feedback = static_cast<float>(lanes[kFeedback][lane]);
        s.envelope = static_cast<float>(lanes[kEnvelope][lane]);
    }
}

void ProcessingLoop::clearLane(int lane) {
    for (auto& field : lanes) field[lane] = 0.0;
}

void ProcessingLoop::processFrame(float* const* inputs, float* const* outputs, std::int32_t n,
                                  OutputMode mode, const EngineSettings& settings) {
    // One channel runs in plain doubles: a half-empty register only adds work.
    switch (activeCount) {
        case 0: break;
        case 1: processFrameWith<double>(inputs, outputs, n, mode, settings); break;
        case 2: processFrameWith<Lanes<1>>(inputs, outputs, n, mode, settings); break;
        case 3:
        case 4: processFrameWith<Lanes<2>>(inputs, outputs, n, mode, settings); break;
        default: processFrameWith<Lanes<3>>(inputs, outputs, n, mode, settings); break;
    }
}

template <typename L>
void ProcessingLoop::processFrameWith(float* const* inputs, float* const* outputs,
                                      std::int32_t n, OutputMode mode,
                                      const EngineSettings& settings) {
    using Lane = LaneTraits<L>;
    alignas(16) double samples[Lane::kCount] = {};
    for (int lane = 0; lane < activeCount; ++lane) samples[lane] = inputs[channelOfLane[lane]][n];

    FilterLanes<L> s;
    s.stage1 = Lane::load(lanes[kStage1]);
    s.stage2 = Lane::load(lanes[kStage2]);
    s.stage3 = Lane::load(lanes[kStage3]);
    s.stage4 = Lane::load(lanes[kStage4]);
    s.feedback = Lane::load(lanes[kFeedback]);
    s.envelope = Lane::load(lanes[kEnvelope]);

    const L x = narrow(Lane::load(samples) * settings.inputGain);
    WorkingCoefs<L> coefs{L(settings.cutoffCoef), L(settings.poleCoef), L(settings.feedbackGain)};
    if (settings.envEnabled) coefs = envelopeStep(s.envelope, x, settings);
    const L y = filterStep(s, x, coefs, settings);

    Lane::store(s.stage1, lanes[kStage1]);
    Lane::store(s.stage2, lanes[kStage2]);
    Lane::store(s.stage3, lanes[kStage3]);
    Lane::store(s.stage4, lanes[kStage4]);
    Lane::store(s.feedback, lanes[kFeedback]);
    Lane::store(s.envelope, lanes[kEnvelope]);
    Lane::store(y, samples);

    // A channel driven out of the float range (extreme settings, a NaN or infinite
    // input) would stay there until the next resume: clear it now and output silence.
    const int broken = notFiniteMask(s.stage1 + s.stage2 + s.stage3 + s.stage4 + s.feedback + s.envelope);
    if (broken != 0) {
        for (int lane = 0; lane < Lane::kCount; ++lane) {
            if (broken & (1 << lane)) {
                clearLane(lane);
                samples[lane] = 0.0;
            }
        }
    }

    for (int lane = 0; lane < activeCount; ++lane) {
        float& out = outputs[channelOfLane[lane]][n];
        out = mode == OutputMode::Add ? static_cast<float>(out + samples[lane])
                                      : static_cast<float>(samples[lane]);
    }
}
