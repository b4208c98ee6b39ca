// The frame loop for the active channels side by side in one lane type D. The channel
// state stays in registers for the whole run; one loop per stage count, mode and
// envelope switch, chosen when the settings change, not per frame.
//
// The filter is one long chain of dependent operations through every stage, sub-step
// and frame. The work off that chain (reading and trimming the input, the envelope and
// the coefficients it moves) is done one frame ahead, and the waveshaper and the output
// follow the chain, so the processor runs them beside it.
#pragma once

#include "dsp/EnvelopeFollower.h"
#include "dsp/FilterEngine.h"
#include "dsp/FrameRun.h"

// One frame's input to the chain: the held input and, with the envelope on, the
// coefficients and the level after the envelope step.
template <typename D>
struct PreparedFrame {
    FloatLanesOf<D> u;
    WorkingCoefs<D> coefs;
    D level;
};

template <typename D, int Stages, bool HighPass, bool Envelope>
std::int32_t runFrames(const FrameRun& run, std::int32_t first, std::int32_t last) {
    using F = FloatLanesOf<D>;
    static_assert(D::kCount <= kMaxChannels, "the state rows hold every lane");
    const EngineSettings& e = *run.settings;
    FilterState<D> s;
    s.stage1 = D::load(run.state[kStage1]);
    s.stage2 = D::load(run.state[kStage2]);
    s.stage3 = D::load(run.state[kStage3]);
    s.stage4 = D::load(run.state[kStage4]);
    s.feedbackProduct = toFloat(D::load(run.state[kFeedback]));
    D envelope = D::load(run.state[kEnvelope]);

    const D d(kDenormalOffset);
    const D gain(e.inputGain);
    const D makeup(e.resoMakeupGain);
    const D drive(e.satDrive);
    const D decimation(1.0 / e.oversampleFactor);
    const WorkingCoefs<D> fixed{D(e.cutoffCoef), D(e.poleCoef), F(e.feedbackGain)};

    // A frame's preparation in parts: run together they would form one long
    // computation that fills the processor's window while it waits, and the chain
    // would stall behind it. Part 0 reads and trims the input and moves the envelope;
    // parts 1 and 2 derive the coefficients.
    constexpr int kParts = Envelope ? 3 : 1;
    auto preparePart = [&](int part, std::int32_t n, PreparedFrame<D>& frame) __attribute__((always_inline)) {
        if (part == 0) {
            const D x = narrow(D::gather(run.in, n) * gain);
            frame.u = toFloat(x - d);
            if (Envelope) {
                envelopeLevelStep(envelope, x, e);
                frame.level = envelope;
            }
        } else if (Envelope && part == 1) {
            frame.coefs.k = envelopeCutoffCoef(frame.level, e);
        } else if (Envelope && part == 2) {
            envelopeCoefsFromK(frame.coefs, e);
        }
    };
    auto prepare = [&](std::int32_t n, PreparedFrame<D>& frame) {
        for (int part = 0; part < kParts; ++part) preparePart(part, n, frame);
    };

    D levelBefore = envelope;  // the level before the current frame
    const int usedLanes = (1 << run.laneCount) - 1;
    std::int32_t n = first;
    // One frame, given its prepared input; prepares the next one. False when the run
    // ends. Two frames alternate between two buffers, so nothing is copied.
    auto frame = [&](const PreparedFrame<D>& current, PreparedFrame<D>& next)
                     __attribute__((always_inline)) -> bool {
        if (n >= last) return false;
        // A change from another thread, or from the poll after the previous frame.
        if (n != first && run.changes->load(std::memory_order_relaxed) != run.seenChanges) {
            envelope = levelBefore;
            return false;
        }
        // The next frame is prepared beside this one's sub-steps.
        const bool hasNext = n + 1 < last;
        D y = filterStep<Stages, HighPass>(s, current.u, Envelope ? current.coefs : fixed, makeup,
                                           e.oversampleFactor, decimation,
                                           [&](int i) __attribute__((always_inline)) {
                                               if (hasNext && i < kParts) preparePart(i, n + 1, next);
                                           });
        if (hasNext)
            for (int part = e.oversampleFactor; part < kParts; ++part) preparePart(part, n + 1, next);

        // A channel driven out of the float range (extreme settings, a NaN or infinite
        // input) would stay there until the next resume: clear it now and output silence.
        // The level is cleared too, so the run ends after this frame.
        const D level = Envelope ? current.level : envelope;
        const int broken = usedLanes & notFiniteMask(s.stage1 + s.stage2 + s.stage3 + s.stage4 +
                                                     toDouble(limitedFeedback(s)) + level);
        if (broken != 0) {
            s.stage1 = clearWhere(broken, s.stage1);
            s.stage2 = clearWhere(broken, s.stage2);
            s.stage3 = clearWhere(broken, s.stage3);
            s.stage4 = clearWhere(broken, s.stage4);
            s.feedbackProduct = toFloat(clearWhere(broken, toDouble(s.feedbackProduct)));
            envelope = clearWhere(broken, level);
            y = clearWhere(broken, y);
        }

        if (e.satEnabled) {
            // No limit around it: the curve peaks at z = 0.57735 and falls through 0 at
            // z = 1. A cleared channel's 0 stays 0.
            const D z = narrow(y * drive);
            y = narrow(z - z * z * z);
        }
        alignas(16) double samples[D::kCount];
        y.store(samples);
        for (int lane = 0; lane < run.laneCount; ++lane) {
            float& target = run.out[lane][n];
            target = run.mode == OutputMode::Add ? static_cast<float>(target + samples[lane])
                                                 : static_cast<float>(samples[lane]);
        }
        ++n;
        if (broken != 0) return false;
        levelBefore = level;
        return true;
    };
    // Zeroed only to quiet the compiler: every part is written before it is read.
    PreparedFrame<D> a{}, b{};
    prepare(first, a);
    while (frame(a, b) && frame(b, a)) {
    }

    s.stage1.store(run.state[kStage1]);
    s.stage2.store(run.state[kStage2]);
    s.stage3.store(run.state[kStage3]);
    s.stage4.store(run.state[kStage4]);
    toDouble(limitedFeedback(s)).store(run.state[kFeedback]);
    envelope.store(run.state[kEnvelope]);
    return n;
}

template <typename D>
FrameRunner frameRunnerForLanes(const EngineSettings& e) {
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

// The runner for laneCount channels, two to a register.
template <bool Fused>
FrameRunner frameRunnerFor(int laneCount, const EngineSettings& e) {
    if (laneCount <= 2) return frameRunnerForLanes<Lanes<1, Fused>>(e);
    if (laneCount <= 4) return frameRunnerForLanes<Lanes<2, Fused>>(e);
    return frameRunnerForLanes<Lanes<3, Fused>>(e);
}
