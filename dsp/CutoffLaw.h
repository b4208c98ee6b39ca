// The cutoff and resonance laws, shared by the parameter derivation (plain doubles) and
// the envelope step (lanes of doubles), so both round exactly alike. Arithmetic is in
// double; every stored result is narrowed to float.
#pragma once

#include "dsp/ScalarLane.h"

// k = c^3 x referenceRate / oversampledRate: N cancels, so at 44100 Hz k equals c^3.
template <typename L>
inline L cutoffCoefFor(L c, L referenceRate, L oversampledRate, L limit) {
    return keepBelow(limit, narrow(c * referenceRate * c * c / oversampledRate));
}

// g = (1 - k^6) x (1.45 k + 1.2) x Reso x 4: the feedback fades out as k approaches 1.
template <typename L>
inline L feedbackGainFor(L k, L resonance) {
    const L k6 = k * k * k * k * k * k;
    return narrow((L(1.0) - k6) * ((k * 1.45f + 1.2f) * resonance * 4.0f));
}
