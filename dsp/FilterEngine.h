// One sample of the oversampled filter for a set of channels side by side: a cascade of
// one to four one-pole stages with limited resonance feedback, decimated by averaging,
// then the optional waveshaper. L is a lane type (see Lanes.h): every channel in it
// shares the settings but has its own state, input and coefficients.
#pragma once

#include "dsp/CutoffLaw.h"
#include "dsp/EngineSettings.h"
#include "dsp/Parameters.h"

template <typename L>
struct FilterLanes {
    L stage1, stage2, stage3, stage4, feedback, envelope;
};

// The three coefficients of one engine step: shared, or moved by the envelope.
template <typename L>
struct WorkingCoefs {
    L k, poleK, g;
};

template <typename L>
QV_ALWAYS_INLINE L filterStep(FilterLanes<L>& s, const L& x, const WorkingCoefs<L>& c,
                    const EngineSettings& e) {
    const L d(kDenormalOffset);
    const L makeup(e.resoMakeupGain);
    // The input is held across the sub-steps, not interpolated.
    const L u = narrow(x - d);
    L acc(0.0);
    for (int i = 0; i < e.oversampleFactor; ++i) {
        const L t = narrow(u - s.feedback);
        s.stage1 = narrow(t * c.k + s.stage1 * c.poleK);
        L cur = s.stage1;
        if (e.stageCount > 1) {
            s.stage2 = narrow(s.stage2 * c.poleK + c.k * cur + d);
            cur = s.stage2;
        }
        if (e.stageCount > 2) {
            s.stage3 = narrow(s.stage3 * c.poleK + c.k * cur - d);
            cur = s.stage3;
        }
        if (e.stageCount > 3) {
            s.stage4 = narrow(s.stage4 * c.poleK + c.k * cur + d);
            cur = s.stage4;
        }
        // Limited here, subtracted at the input one sub-step later.
        s.feedback = keepAbove(L(-kFeedbackLimit), keepBelow(L(kFeedbackLimit), narrow(c.g * cur)));
        const L lowPass = makeup * cur;
        acc = narrow((e.highPass ? u - lowPass : lowPass) + acc);
    }
    L y = narrow(acc / static_cast<double>(static_cast<float>(e.oversampleFactor)));
    if (e.satEnabled) {
        // No limit around it: the curve peaks at z = 0.57735 and falls through 0 at z = 1.
        const L z = narrow(y * e.satDrive);
        y = narrow(z - z * z * z);
    }
    return y;
}
