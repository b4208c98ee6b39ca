// The frame loop for the active channels side by side in one lane type D. The channel
// state stays in registers for the whole run; one loop per stage count, mode and
// envelope switch, chosen when the settings change, not per frame.
#pragma once

#include "dsp/EnvelopeFollower.h"
#include "dsp/FilterEngine.h"
#include "dsp/FrameRun.h"

template <typename D, int Stages, bool HighPass, bool Envelope>
std::int32_t runFrames(const FrameRun& run, std::int32_t first, std::int32_t last) {
    using Lane = LaneTraits<D>;
    using F = FloatLanesOf<D>;
    static_assert(Lane::kCount <= kLaneSlots, "the state rows hold every lane");
    const EngineSettings& e = *run.settings;
    FilterState<D> s;
    s.stage1 = Lane::load(run.state[kStage1]);
    s.stage2 = Lane::load(run.state[kStage2]);
    s.stage3 = Lane::load(run.state[kStage3]);
    s.stage4 = Lane::load(run.state[kStage4]);
    s.feedback = toFloat(Lane::load(run.state[kFeedback]));
    D envelope = Lane::load(run.state[kEnvelope]);

    const D gain(e.inputGain);
    const D makeup(e.resoMakeupGain);
    const D drive(e.satDrive);
    const D decimation(1.0 / e.oversampleFactor);
    const WorkingCoefs<D> fixed{D(e.cutoffCoef), D(e.poleCoef), F(e.feedbackGain)};

    std::int32_t n = first;
    for (; n < last; ++n) {
        // A change from another thread, or from the poll after the previous frame.
        if (n != first && __atomic_load_n(run.changes, __ATOMIC_RELAXED) != run.seenChanges) break;
        alignas(32) double samples[Lane::kCount] = {};
        for (int lane = 0; lane < run.laneCount; ++lane) samples[lane] = run.in[lane][n];

        const D x = narrow(Lane::load(samples) * gain);
        const WorkingCoefs<D> coefs = Envelope ? envelopeStep(envelope, x, e) : fixed;
        D y = filterStep<Stages, HighPass>(s, x, coefs, makeup, e.oversampleFactor, decimation);
        if (e.satEnabled) {
            // No limit around it: the curve peaks at z = 0.57735 and falls through 0 at z = 1.
            const D z = narrow(y * drive);
            y = narrow(z - z * z * z);
        }

        // A channel driven out of the float range (extreme settings, a NaN or infinite
        // input) would stay there until the next resume: clear it now and output silence.
        const int broken = notFiniteMask(s.stage1 + s.stage2 + s.stage3 + s.stage4 +
                                         toDouble(s.feedback) + envelope);
        if (broken != 0) {
            s.stage1 = clearWhere(broken, s.stage1);
            s.stage2 = clearWhere(broken, s.stage2);
            s.stage3 = clearWhere(broken, s.stage3);
            s.stage4 = clearWhere(broken, s.stage4);
            s.feedback = toFloat(clearWhere(broken, toDouble(s.feedback)));
            envelope = clearWhere(broken, envelope);
            y = clearWhere(broken, y);
        }

        Lane::store(y, samples);
        for (int lane = 0; lane < run.laneCount; ++lane) {
            float& out = run.out[lane][n];
            out = run.mode == OutputMode::Add ? static_cast<float>(out + samples[lane])
                                              : static_cast<float>(samples[lane]);
        }
    }

    Lane::store(s.stage1, run.state[kStage1]);
    Lane::store(s.stage2, run.state[kStage2]);
    Lane::store(s.stage3, run.state[kStage3]);
    Lane::store(s.stage4, run.state[kStage4]);
    Lane::store(toDouble(s.feedback), run.state[kFeedback]);
    Lane::store(envelope, run.state[kEnvelope]);
    return n;
}

template <typename D>
FrameRunner frameRunnerFor(const EngineSettings& e) {
#define QV_RUNNERS(stages)                                                   \
    {{runFrames<D, stages, false, false>, runFrames<D, stages, false, true>}, \
     {runFrames<D, stages, true, false>, runFrames<D, stages, true, true>}}
    static constexpr FrameRunner runners[4][2][2] = {QV_RUNNERS(1), QV_RUNNERS(2), QV_RUNNERS(3),
                                                     QV_RUNNERS(4)};
#undef QV_RUNNERS
    // Stage 1 always runs; stages beyond the fourth never do.
    const int stages = e.stageCount < 1 ? 1 : (e.stageCount > 4 ? 4 : e.stageCount);
    return runners[stages - 1][e.highPass ? 1 : 0][e.envEnabled ? 1 : 0];
}
