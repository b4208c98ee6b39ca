// Lane types for the engine: plain double for one channel, and Lanes<R>, R SSE2
// registers of two doubles each: 2R channels computed side by side. Every
// operation is the IEEE double operation a scalar build performs, lane by lane, so
// the results are bit-identical to plain double arithmetic. The loops over R unroll
// and interleave the channels' independent dependency chains. FloatLanes<R> holds the
// same channels as floats, for the steps whose double result is narrowed at once
// anyway (see FilterEngine.h).
#pragma once

#include <emmintrin.h>

#include <cstdint>

#include "dsp/ScalarLane.h"

template <int R>
struct FloatLanes;

template <int R>
struct Lanes {
    static constexpr int kCount = 2 * R;
    using Float = FloatLanes<R>;
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

#define QV_LANES_BINARY(op, intrinsic)                          \
    template <int R>                                            \
    inline Lanes<R> operator op(const Lanes<R>& a, const Lanes<R>& b) { \
        Lanes<R> c;                                             \
        for (int r = 0; r < R; ++r) c.v[r] = intrinsic(a.v[r], b.v[r]); \
        return c;                                               \
    }                                                           \
    template <int R>                                            \
    inline Lanes<R> operator op(const Lanes<R>& a, double b) { return a op Lanes<R>(b); } \
    template <int R>                                            \
    inline Lanes<R> operator op(double a, const Lanes<R>& b) { return Lanes<R>(a) op b; }

QV_LANES_BINARY(+, _mm_add_pd)
QV_LANES_BINARY(-, _mm_sub_pd)
QV_LANES_BINARY(*, _mm_mul_pd)
QV_LANES_BINARY(/, _mm_div_pd)
#undef QV_LANES_BINARY

// Rounds every lane to float and back: the value a float variable would hold.
template <int R>
inline Lanes<R> narrow(const Lanes<R>& a) {
    Lanes<R> c;
    for (int r = 0; r < R; ++r) c.v[r] = _mm_cvtps_pd(_mm_cvtpd_ps(a.v[r]));
    return c;
}

// "v > limit ? limit : v": minpd answers its second operand when unordered, as the
// scalar comparison does for a NaN v.
template <int R>
inline Lanes<R> keepBelow(const Lanes<R>& limit, const Lanes<R>& v) {
    Lanes<R> c;
    for (int r = 0; r < R; ++r) c.v[r] = _mm_min_pd(limit.v[r], v.v[r]);
    return c;
}

// "v < floor ? floor : v".
template <int R>
inline Lanes<R> keepAbove(const Lanes<R>& floor, const Lanes<R>& v) {
    Lanes<R> c;
    for (int r = 0; r < R; ++r) c.v[r] = _mm_max_pd(floor.v[r], v.v[r]);
    return c;
}

template <int R>
inline Lanes<R> absolute(const Lanes<R>& a) {
    const __m128d magnitude = _mm_castsi128_pd(_mm_set1_epi64x(0x7fffffffffffffffLL));
    Lanes<R> c;
    for (int r = 0; r < R; ++r) c.v[r] = _mm_and_pd(a.v[r], magnitude);
    return c;
}

// All-ones lanes where a > b.
template <int R>
inline Lanes<R> greaterThan(const Lanes<R>& a, const Lanes<R>& b) {
    Lanes<R> c;
    for (int r = 0; r < R; ++r) c.v[r] = _mm_cmpgt_pd(a.v[r], b.v[r]);
    return c;
}

template <int R>
inline Lanes<R> select(const Lanes<R>& mask, const Lanes<R>& ifTrue, const Lanes<R>& ifFalse) {
    Lanes<R> c;
    for (int r = 0; r < R; ++r)
        c.v[r] = _mm_or_pd(_mm_and_pd(mask.v[r], ifTrue.v[r]), _mm_andnot_pd(mask.v[r], ifFalse.v[r]));
    return c;
}

// One bit per lane, set where the lane holds an infinity or a NaN.
template <int R>
inline int notFiniteMask(const Lanes<R>& a) {
    int bits = 0;
    for (int r = 0; r < R; ++r) {
        const __m128d difference = _mm_sub_pd(a.v[r], a.v[r]);
        bits |= _mm_movemask_pd(_mm_cmpneq_pd(difference, _mm_setzero_pd())) << (2 * r);
    }
    return bits;
}

template <int R>
struct FloatLanes {
    __m128 v[R];  // two floats each, in the low half

    FloatLanes() = default;
    FloatLanes(float x) {
        for (int r = 0; r < R; ++r) v[r] = _mm_set1_ps(x);
    }
};

#define QV_FLOAT_LANES_BINARY(function, intrinsic)                                \
    template <int R>                                                              \
    inline FloatLanes<R> function(const FloatLanes<R>& a, const FloatLanes<R>& b) {   \
        FloatLanes<R> c;                                                          \
        for (int r = 0; r < R; ++r) c.v[r] = intrinsic(a.v[r], b.v[r]);           \
        return c;                                                                 \
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
template <int R>
inline FloatLanes<R> subtractLimited(const FloatLanes<R>& u, const FloatLanes<R>& p, const FloatLanes<R>& limit,
                                     const FloatLanes<R>& negativeLimit) {
    const __m128 magnitude = _mm_castsi128_ps(_mm_set1_epi32(0x7fffffff));
    FloatLanes<R> c;
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

template <int R>
inline FloatLanes<R> toFloat(const Lanes<R>& a) {
    FloatLanes<R> c;
    for (int r = 0; r < R; ++r) c.v[r] = _mm_cvtpd_ps(a.v[r]);
    return c;
}

template <int R>
inline Lanes<R> toDouble(const FloatLanes<R>& a) {
    Lanes<R> c;
    for (int r = 0; r < R; ++r) c.v[r] = _mm_cvtps_pd(a.v[r]);
    return c;
}

// Zero in the lanes whose bit is set.
template <int R>
inline Lanes<R> clearWhere(int laneBits, const Lanes<R>& a) {
    Lanes<R> c;
    for (int r = 0; r < R; ++r) {
        const int bits = laneBits >> (2 * r);
        const __m128d keep = _mm_castsi128_pd(_mm_set_epi64x(bits & 2 ? 0 : -1, bits & 1 ? 0 : -1));
        c.v[r] = _mm_and_pd(a.v[r], keep);
    }
    return c;
}

template <typename L>
struct LaneTraits {
    static constexpr int kCount = L::kCount;
    using Float = typename L::Float;
    static L load(const double* p) { return L::load(p); }
    static void store(const L& a, double* p) { a.store(p); }
    static L gather(const float* const* lanes, std::int32_t n) { return L::gather(lanes, n); }
};

template <>
struct LaneTraits<double> {
    static constexpr int kCount = 1;
    using Float = float;
    static double load(const double* p) { return *p; }
    static void store(double a, double* p) { *p = a; }
    static double gather(const float* const* lanes, std::int32_t n) { return lanes[0][n]; }
};
