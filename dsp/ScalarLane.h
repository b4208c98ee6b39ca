// The engine's lane operations for a single channel held in a plain double; Lanes.h
// has the same for channels side by side.
#pragma once

#include <emmintrin.h>

#include <cmath>

// The per-sample steps are inlined into the frame loop so that the channel state stays
// in registers.
#define QV_ALWAYS_INLINE inline __attribute__((always_inline))

// The value a float variable would hold.
inline double narrow(double x) { return static_cast<float>(x); }
// "v > limit ? limit : v" and "v < floor ? floor : v"; a NaN v passes through.
inline double keepBelow(double limit, double v) { return v > limit ? limit : v; }
inline double keepAbove(double floor, double v) { return v < floor ? floor : v; }
inline double absolute(double a) { return std::fabs(a); }
inline float keepBelow(float limit, float v) { return v > limit ? limit : v; }
inline float keepAbove(float floor, float v) { return v < floor ? floor : v; }
// u - (p limited to +-limit); branches, which the processor predicts, keep the limit off
// the chain.
inline float subtractLimited(float u, float p, float limit, float negativeLimit) {
    if (p > limit) return u - limit;
    if (p < negativeLimit) return u - negativeLimit;
    return u - p;
}
inline float toFloat(double x) { return static_cast<float>(x); }
inline double toDouble(float x) { return x; }
inline double clearWhere(int laneBits, double a) { return laneBits & 1 ? 0.0 : a; }
// Masks of all ones or all zeros, chosen between by bit operations: the envelope rises
// and falls at random with noise, and a branch on it would be mispredicted every
// other sample.
inline __m128d greaterThan(double a, double b) { return _mm_cmpgt_sd(_mm_set_sd(a), _mm_set_sd(b)); }
inline double select(__m128d mask, double ifTrue, double ifFalse) {
    return _mm_cvtsd_f64(_mm_or_pd(_mm_and_pd(mask, _mm_set_sd(ifTrue)), _mm_andnot_pd(mask, _mm_set_sd(ifFalse))));
}
inline int notFiniteMask(double a) { return a - a != 0.0 ? 1 : 0; }
