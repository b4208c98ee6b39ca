// One sample of the oversampled filter for a set of channels side by side: a cascade of
// one to four one-pole stages with limited resonance feedback, decimated by averaging.
// D is a lane type (see Lanes.h): every channel in it shares the settings but has its
// own state, input and coefficients.
#pragma once

#include "dsp/Lanes.h"
#include "dsp/Parameters.h"

template <typename D>
using FloatLanesOf = typename LaneTraits<D>::Float;

template <typename D>
struct FilterState {
    D stage1, stage2, stage3, stage4;
    FloatLanesOf<D> feedback;  // limited
};

// The three coefficients of one engine step: shared, or moved by the envelope.
template <typename D>
struct WorkingCoefs {
    D k, poleK;
    FloatLanesOf<D> g;
};

// Stages and mode are fixed per instantiation, so the sub-step loop has no branch.
// decimation is 1 / N: N is a power of two, so the product is the quotient exactly.
template <int Stages, bool HighPass, typename D>
QV_ALWAYS_INLINE D filterStep(FilterState<D>& s, const D& x, const WorkingCoefs<D>& c,
                              const D& makeup, int steps, const D& decimation) {
    using F = FloatLanesOf<D>;
    const D d(kDenormalOffset);
    // The input is held across the sub-steps, not interpolated.
    const F u = toFloat(x - d);
    const D uWide = toDouble(u);
    D acc(0.0);
    for (int i = 0; i < steps; ++i) {
        // u - feedback and g x cur take float operands, and double has more than twice
        // float's precision: computed in float they round exactly as the double
        // operation narrowed to float does, with two conversions less on the chain that
        // runs through every stage and sub-step.
        F top = toFloat(toDouble(u - s.feedback) * c.k + s.stage1 * c.poleK);
        s.stage1 = toDouble(top);
        D cur = s.stage1;
        if (Stages > 1) {
            top = toFloat(s.stage2 * c.poleK + c.k * cur + d);
            cur = s.stage2 = toDouble(top);
        }
        if (Stages > 2) {
            top = toFloat(s.stage3 * c.poleK + c.k * cur - d);
            cur = s.stage3 = toDouble(top);
        }
        if (Stages > 3) {
            top = toFloat(s.stage4 * c.poleK + c.k * cur + d);
            cur = s.stage4 = toDouble(top);
        }
        // Limited here, subtracted at the input one sub-step later.
        s.feedback = keepAbove(F(-kFeedbackLimit), keepBelow(F(kFeedbackLimit), c.g * top));
        const D lowPass = makeup * cur;
        acc = narrow((HighPass ? uWide - lowPass : lowPass) + acc);
    }
    return narrow(acc * decimation);
}
