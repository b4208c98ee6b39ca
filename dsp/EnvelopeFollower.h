// The envelope step: each channel's input level moves its own cutoff for this sample.
// Runs before the filter step, only while the envelope is enabled.
#pragma once

#include "dsp/CutoffLaw.h"
#include "dsp/EngineSettings.h"
#include "dsp/FilterEngine.h"

// The step in three parts, each short enough to run beside the filter's chain: the
// level, then the coefficient k, then the coefficients that follow from k.
template <typename L>
QV_ALWAYS_INLINE void envelopeLevelStep(L& envelope, const L& x, const EngineSettings& e) {
    const L level = absolute(x);
    // A level equal to the envelope counts as falling.
    const auto rising = greaterThan(level, envelope);
    const L coef = select(rising, L(e.attackCoef), L(e.releaseCoef));
    const L complement = select(rising, L(e.attackComplement), L(e.releaseComplement));
    envelope = narrow(mulAdd(level, complement, coef * envelope));
}

template <typename L>
QV_ALWAYS_INLINE L envelopeCutoffCoef(const L& envelope, const EngineSettings& e) {
    // The envelope shifts the normalised Cutoff before the cube law.
    const L c = keepAbove(L(0.0), keepBelow(L(1.0), narrow(mulAdd(L(e.envDepth), envelope, L(e.cutoff)))));
    return cutoffCoefFor(c, L(e.referenceRate), L(e.oversampledRate), L(e.cutoffCoefLimit));
}

template <typename L>
QV_ALWAYS_INLINE void envelopeCoefsFromK(WorkingCoefs<L>& w, const EngineSettings& e) {
    w.poleK = narrow(1.0 - w.k);
    w.g = toFloat(feedbackGainFor(w.k, L(e.resonance)));
}
