// One sample of the oversampled filter for a set of channels side by side: a cascade of
// one to four one-pole stages with limited resonance feedback, decimated by averaging.
// D is a lane type (see Lanes.h): every channel in it shares the settings but has its
// own state, input and coefficients.
#pragma once

#include "dsp/Lanes.h"
#include "dsp/Parameters.h"

template <typename D>
using FloatLanesOf = typename D::Float;

template <typename D>
struct FilterState {
    D stage1, stage2, stage3, stage4;
    // g x cur of the previous sub-step, before the limit; limitedFeedback gives the
    // value the next sub-step subtracts.
    FloatLanesOf<D> feedbackProduct;
};

template <typename D>
FloatLanesOf<D> limitedFeedback(const FilterState<D>& s) {
    using F = FloatLanesOf<D>;
    return keepAbove(F(-kFeedbackLimit), keepBelow(F(kFeedbackLimit), s.feedbackProduct));
}

// The three coefficients of one engine step: shared, or moved by the envelope.
template <typename D>
struct WorkingCoefs {
    D k, poleK;
    FloatLanesOf<D> g;
};

// Stages and mode are fixed per instantiation, so the sub-step loop has no branch.
// decimation is 1 / N: N is a power of two, so the product is the quotient exactly.
// u is the trimmed input less the offset, held across the sub-steps, not interpolated.
// afterSubStep(i) runs after sub-step i: work off the chain placed between its parts.
template <int Stages, bool HighPass, typename D, typename AfterSubStep>
QV_ALWAYS_INLINE D filterStep(FilterState<D>& s, const FloatLanesOf<D>& u, const WorkingCoefs<D>& c,
                              const D& makeup, int steps, const D& decimation,
                              AfterSubStep&& afterSubStep) {
    using F = FloatLanesOf<D>;
    const D d(kDenormalOffset);
    const D uWide = toDouble(u);
    const F limit(kFeedbackLimit), negativeLimit(-kFeedbackLimit);
    D acc(0.0);
    for (int i = 0; i < steps; ++i) {
        // u - feedback and g x cur take float operands, and double has more than twice
        // float's precision: computed in float they round exactly as the double
        // operation narrowed to float does, with two conversions less on the chain that
        // runs through every stage and sub-step. The feedback is limited to +-1 and
        // subtracted at the input one sub-step later.
        const F t = subtractLimited(u, s.feedbackProduct, limit, negativeLimit);
        F top = toFloat(mulAdd(toDouble(t), c.k, s.stage1 * c.poleK));
        s.stage1 = toDouble(top);
        D cur = s.stage1;
        if (Stages > 1) {
            top = toFloat(mulAdd(c.k, cur, s.stage2 * c.poleK) + d);
            cur = s.stage2 = toDouble(top);
        }
        if (Stages > 2) {
            top = toFloat(mulAdd(c.k, cur, s.stage3 * c.poleK) - d);
            cur = s.stage3 = toDouble(top);
        }
        if (Stages > 3) {
            top = toFloat(mulAdd(c.k, cur, s.stage4 * c.poleK) + d);
            cur = s.stage4 = toDouble(top);
        }
        s.feedbackProduct = c.g * top;
        acc = narrow(HighPass ? (uWide - makeup * cur) + acc : mulAdd(makeup, cur, acc));
        afterSubStep(i);
    }
    return narrow(acc * decimation);
}
