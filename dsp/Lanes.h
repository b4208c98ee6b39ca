// The engine's lane type: Lanes<R, Fused>, R SSE2 registers of two doubles each, up to
// 2R channels computed side by side (a single channel leaves one lane idle, which costs
// nothing on a chain that waits anyway). Every operation is the IEEE double operation a
// scalar build performs, lane by lane, so the results are bit-identical to plain double
// arithmetic. The loops over R unroll and interleave the channels' independent
// dependency chains. FloatLanes<R, Fused> holds the same channels as floats, for the
// steps whose double result is narrowed at once anyway (see FilterEngine.h).
//
// Fused lanes are the same lanes for code compiled for processors with fused
// multiply-add (FusedFrameLoops.cpp): there mulAdd is one instruction. Being distinct
// types, they give every function instantiated for them a name of its own, so the linker
// never hands that code to a caller compiled for plain SSE2.
#pragma once

#include <immintrin.h>

#include <cstdint>

#include "dsp/ScalarLane.h"

// The per-sample steps are inlined into the frame loop so that the channel state stays
// in registers.
#define QV_ALWAYS_INLINE inline __attribute__((always_inline))

template <int R, bool Fused = false>
struct FloatLanes;

template <int R, bool Fused = false>
struct Lanes {
    static constexpr int kCount = 2 * R;
    using Float = FloatLanes<R, Fused>;
    __m128d v[R];

    Lanes() = default;
    // Broadcasts a constant; implicit so that the shared laws read like scalar code.
    Lanes(double x) {
        for (int r = 0; r < R; ++r) v[r] = _mm_set1_pd(x);
    }

    static Lanes load(const double* p) {
        Lanes a;
        for (int r = 0; r < R; ++r) a.v[r] = _mm_load_pd(p + 2 * r);
        return a;
    }
    void store(double* p) const {
        for (int r = 0; r < R; ++r) _mm_store_pd(p + 2 * r, v[r]);
    }
    // Sample n of each lane's buffer, widened exactly.
    static Lanes gather(const float* const* lanes, std::int32_t n) {
        Lanes a;
        for (int r = 0; r < R; ++r)
            a.v[r] = _mm_cvtps_pd(_mm_unpacklo_ps(_mm_load_ss(lanes[2 * r] + n), _mm_load_ss(lanes[2 * r + 1] + n)));
        return a;
    }
};

#define QV_LANES_BINARY(op, intrinsic)                                                                         \
    template <int R, bool Fused>                                                                               \
    inline Lanes<R, Fused> operator op(const Lanes<R, Fused>& a, const Lanes<R, Fused>& b) {                   \
        Lanes<R, Fused> c;                                                                                     \
        for (int r = 0; r < R; ++r) c.v[r] = intrinsic(a.v[r], b.v[r]);                                        \
        return c;                                                                                              \
    }                                                                                                          \
    template <int R, bool Fused>                                                                               \
    inline Lanes<R, Fused> operator op(const Lanes<R, Fused>& a, double b) { return a op Lanes<R, Fused>(b); } \
    template <int R, bool Fused>                                                                               \
    inline Lanes<R, Fused> operator op(double a, const Lanes<R, Fused>& b) { return Lanes<R, Fused>(a) op b; }

QV_LANES_BINARY(+, _mm_add_pd)
QV_LANES_BINARY(-, _mm_sub_pd)
QV_LANES_BINARY(*, _mm_mul_pd)
QV_LANES_BINARY(/, _mm_div_pd)
#undef QV_LANES_BINARY

// a x b + c. The engine multiplies only values that are floats, whose product a double
// holds exactly, so the fused operation rounds once, like the separate add.
template <int R, bool Fused>
inline Lanes<R, Fused> mulAdd(const Lanes<R, Fused>& a, const Lanes<R, Fused>& b, const Lanes<R, Fused>& c) {
    Lanes<R, Fused> d;
    for (int r = 0; r < R; ++r) {
        if constexpr (Fused)
            d.v[r] = _mm_fmadd_pd(a.v[r], b.v[r], c.v[r]);
        else
            d.v[r] = _mm_add_pd(_mm_mul_pd(a.v[r], b.v[r]), c.v[r]);
    }
    return d;
}

// Rounds every lane to float and back: the value a float variable would hold.
template <int R, bool Fused>
inline Lanes<R, Fused> narrow(const Lanes<R, Fused>& a) {
    Lanes<R, Fused> c;
    for (int r = 0; r < R; ++r) c.v[r] = _mm_cvtps_pd(_mm_cvtpd_ps(a.v[r]));
    return c;
}

// "v > limit ? limit : v": minpd answers its second operand when unordered, as the
// scalar comparison does for a NaN v.
template <int R, bool Fused>
inline Lanes<R, Fused> keepBelow(const Lanes<R, Fused>& limit, const Lanes<R, Fused>& v) {
    Lanes<R, Fused> c;
    for (int r = 0; r < R; ++r) c.v[r] = _mm_min_pd(limit.v[r], v.v[r]);
    return c;
}

// "v < floor ? floor : v".
template <int R, bool Fused>
inline Lanes<R, Fused> keepAbove(const Lanes<R, Fused>& floor, const Lanes<R, Fused>& v) {
    Lanes<R, Fused> c;
    for (int r = 0; r < R; ++r) c.v[r] = _mm_max_pd(floor.v[r], v.v[r]);
    return c;
}

template <int R, bool Fused>
inline Lanes<R, Fused> absolute(const Lanes<R, Fused>& a) {
    const __m128d magnitude = _mm_castsi128_pd(_mm_set1_epi64x(0x7fffffffffffffffLL));
    Lanes<R, Fused> c;
    for (int r = 0; r < R; ++r) c.v[r] = _mm_and_pd(a.v[r], magnitude);
    return c;
}

// All-ones lanes where a > b. Masks chosen between by bit operations: the envelope
// rises and falls at random with noise, and a branch on it would be mispredicted every
// other sample.
template <int R, bool Fused>
inline Lanes<R, Fused> greaterThan(const Lanes<R, Fused>& a, const Lanes<R, Fused>& b) {
    Lanes<R, Fused> c;
    for (int r = 0; r < R; ++r) c.v[r] = _mm_cmpgt_pd(a.v[r], b.v[r]);
    return c;
}

template <int R, bool Fused>
inline Lanes<R, Fused> select(const Lanes<R, Fused>& mask, const Lanes<R, Fused>& ifTrue, const Lanes<R, Fused>& ifFalse) {
    Lanes<R, Fused> c;
    for (int r = 0; r < R; ++r)
        c.v[r] = _mm_or_pd(_mm_and_pd(mask.v[r], ifTrue.v[r]), _mm_andnot_pd(mask.v[r], ifFalse.v[r]));
    return c;
}

// One bit per lane, set where the lane holds an infinity or a NaN.
template <int R, bool Fused>
inline int notFiniteMask(const Lanes<R, Fused>& a) {
    int bits = 0;
    for (int r = 0; r < R; ++r) {
        const __m128d difference = _mm_sub_pd(a.v[r], a.v[r]);
        bits |= _mm_movemask_pd(_mm_cmpneq_pd(difference, _mm_setzero_pd())) << (2 * r);
    }
    return bits;
}

template <int R, bool Fused>
struct FloatLanes {
    __m128 v[R];  // two floats each, in the low half

    FloatLanes() = default;
    FloatLanes(float x) {
        for (int r = 0; r < R; ++r) v[r] = _mm_set1_ps(x);
    }
};

#define QV_FLOAT_LANES_BINARY(function, intrinsic)                                                       \
    template <int R, bool Fused>                                                                         \
    inline FloatLanes<R, Fused> function(const FloatLanes<R, Fused>& a, const FloatLanes<R, Fused>& b) { \
        FloatLanes<R, Fused> c;                                                                          \
        for (int r = 0; r < R; ++r) c.v[r] = intrinsic(a.v[r], b.v[r]);                                  \
        return c;                                                                                        \
    }

QV_FLOAT_LANES_BINARY(operator-, _mm_sub_ps)
QV_FLOAT_LANES_BINARY(operator*, _mm_mul_ps)
// The same operand order as for Lanes: a NaN v passes through.
QV_FLOAT_LANES_BINARY(keepBelow, _mm_min_ps)
QV_FLOAT_LANES_BINARY(keepAbove, _mm_max_ps)
#undef QV_FLOAT_LANES_BINARY

// u - (p limited to +-limit). Where p lies within the limit (nearly always) that is
// u - p: a predicted branch keeps the limit off the chain, and the rare path limits p
// first. A NaN p fails the comparison and gives u - p, a NaN, as the limit would.
template <int R, bool Fused>
inline FloatLanes<R, Fused> subtractLimited(const FloatLanes<R, Fused>& u, const FloatLanes<R, Fused>& p, const FloatLanes<R, Fused>& limit,
                                     const FloatLanes<R, Fused>& negativeLimit) {
    const __m128 magnitude = _mm_castsi128_ps(_mm_set1_epi32(0x7fffffff));
    FloatLanes<R, Fused> c;
    __m128 outside = _mm_setzero_ps();
    for (int r = 0; r < R; ++r) {
        c.v[r] = _mm_sub_ps(u.v[r], p.v[r]);
        outside = _mm_or_ps(outside, _mm_cmplt_ps(limit.v[r], _mm_and_ps(p.v[r], magnitude)));
    }
    if (__builtin_expect(_mm_movemask_ps(outside) != 0, 0)) {
        for (int r = 0; r < R; ++r)
            c.v[r] = _mm_sub_ps(u.v[r], _mm_max_ps(negativeLimit.v[r], _mm_min_ps(limit.v[r], p.v[r])));
    }
    return c;
}

template <int R, bool Fused>
inline FloatLanes<R, Fused> toFloat(const Lanes<R, Fused>& a) {
    FloatLanes<R, Fused> c;
    for (int r = 0; r < R; ++r) c.v[r] = _mm_cvtpd_ps(a.v[r]);
    return c;
}

template <int R, bool Fused>
inline Lanes<R, Fused> toDouble(const FloatLanes<R, Fused>& a) {
    Lanes<R, Fused> c;
    for (int r = 0; r < R; ++r) c.v[r] = _mm_cvtps_pd(a.v[r]);
    return c;
}

// Zero in the lanes whose bit is set.
template <int R, bool Fused>
inline Lanes<R, Fused> clearWhere(int laneBits, const Lanes<R, Fused>& a) {
    Lanes<R, Fused> c;
    for (int r = 0; r < R; ++r) {
        const int bits = laneBits >> (2 * r);
        const __m128d keep = _mm_castsi128_pd(_mm_set_epi64x(bits & 2 ? 0 : -1, bits & 1 ? 0 : -1));
        c.v[r] = _mm_and_pd(a.v[r], keep);
    }
    return c;
}
