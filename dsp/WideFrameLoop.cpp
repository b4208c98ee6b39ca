// The AVX lane type and its frame loops. Everything here has internal linkage: code
// built with AVX must not stand in for an inline function of the other files.
#include "dsp/WideFrameLoop.h"

#if defined(__x86_64__)

#if !defined(__AVX__)
#error "this file is built with -mavx on x86_64 (dsp/CMakeLists.txt)"
#endif

#include <immintrin.h>

#include "dsp/FrameLoop.h"

namespace {

template <int R>
struct WideFloatLanes {
    __m128 v[R];  // four floats each

    WideFloatLanes() = default;
    WideFloatLanes(float x) {
        for (int r = 0; r < R; ++r) v[r] = _mm_set1_ps(x);
    }
};

// R registers of four doubles: 4R channels side by side. The same IEEE operations as
// Lanes in Lanes.h, only wider.
template <int R>
struct WideLanes {
    static constexpr int kCount = 4 * R;
    using Float = WideFloatLanes<R>;
    __m256d v[R];

    WideLanes() = default;
    WideLanes(double x) {
        for (int r = 0; r < R; ++r) v[r] = _mm256_set1_pd(x);
    }
    static WideLanes load(const double* p) {
        WideLanes a;
        for (int r = 0; r < R; ++r) a.v[r] = _mm256_loadu_pd(p + 4 * r);
        return a;
    }
    void store(double* p) const {
        for (int r = 0; r < R; ++r) _mm256_storeu_pd(p + 4 * r, v[r]);
    }
};

template <int R, typename Op>
WideLanes<R> each(const WideLanes<R>& a, const WideLanes<R>& b, Op op) {
    WideLanes<R> c;
    for (int r = 0; r < R; ++r) c.v[r] = op(a.v[r], b.v[r]);
    return c;
}

template <int R, typename Op>
WideFloatLanes<R> each(const WideFloatLanes<R>& a, const WideFloatLanes<R>& b, Op op) {
    WideFloatLanes<R> c;
    for (int r = 0; r < R; ++r) c.v[r] = op(a.v[r], b.v[r]);
    return c;
}

#define QV_WIDE_BINARY(op, intrinsic)                                                        \
    template <int R>                                                                         \
    WideLanes<R> operator op(const WideLanes<R>& a, const WideLanes<R>& b) {                 \
        return each(a, b, [](__m256d x, __m256d y) { return intrinsic(x, y); });             \
    }                                                                                        \
    template <int R>                                                                         \
    WideLanes<R> operator op(const WideLanes<R>& a, double b) { return a op WideLanes<R>(b); } \
    template <int R>                                                                         \
    WideLanes<R> operator op(double a, const WideLanes<R>& b) { return WideLanes<R>(a) op b; }

QV_WIDE_BINARY(+, _mm256_add_pd)
QV_WIDE_BINARY(-, _mm256_sub_pd)
QV_WIDE_BINARY(*, _mm256_mul_pd)
QV_WIDE_BINARY(/, _mm256_div_pd)
#undef QV_WIDE_BINARY

template <int R>
WideFloatLanes<R> operator-(const WideFloatLanes<R>& a, const WideFloatLanes<R>& b) {
    return each(a, b, [](__m128 x, __m128 y) { return _mm_sub_ps(x, y); });
}

template <int R>
WideFloatLanes<R> operator*(const WideFloatLanes<R>& a, const WideFloatLanes<R>& b) {
    return each(a, b, [](__m128 x, __m128 y) { return _mm_mul_ps(x, y); });
}

// min and max answer their second operand when unordered: a NaN v passes through.
template <int R>
WideLanes<R> keepBelow(const WideLanes<R>& limit, const WideLanes<R>& v) {
    return each(limit, v, [](__m256d x, __m256d y) { return _mm256_min_pd(x, y); });
}

template <int R>
WideLanes<R> keepAbove(const WideLanes<R>& floor, const WideLanes<R>& v) {
    return each(floor, v, [](__m256d x, __m256d y) { return _mm256_max_pd(x, y); });
}

template <int R>
WideFloatLanes<R> keepBelow(const WideFloatLanes<R>& limit, const WideFloatLanes<R>& v) {
    return each(limit, v, [](__m128 x, __m128 y) { return _mm_min_ps(x, y); });
}

template <int R>
WideFloatLanes<R> keepAbove(const WideFloatLanes<R>& floor, const WideFloatLanes<R>& v) {
    return each(floor, v, [](__m128 x, __m128 y) { return _mm_max_ps(x, y); });
}

// As subtractLimited in Lanes.h.
template <int R>
WideFloatLanes<R> subtractLimited(const WideFloatLanes<R>& u, const WideFloatLanes<R>& uLess,
                                  const WideFloatLanes<R>& uMore, const WideFloatLanes<R>& p,
                                  const WideFloatLanes<R>& limit, const WideFloatLanes<R>& negativeLimit) {
    WideFloatLanes<R> c;
    for (int r = 0; r < R; ++r) {
        const __m128 above = _mm_cmp_ps(p.v[r], limit.v[r], _CMP_GT_OQ);
        const __m128 below = _mm_cmp_ps(p.v[r], negativeLimit.v[r], _CMP_LT_OQ);
        const __m128 inside = _mm_sub_ps(u.v[r], p.v[r]);
        c.v[r] = _mm_blendv_ps(_mm_blendv_ps(inside, uMore.v[r], below), uLess.v[r], above);
    }
    return c;
}

template <int R>
WideLanes<R> greaterThan(const WideLanes<R>& a, const WideLanes<R>& b) {
    return each(a, b, [](__m256d x, __m256d y) { return _mm256_cmp_pd(x, y, _CMP_GT_OQ); });
}

template <int R>
WideLanes<R> select(const WideLanes<R>& mask, const WideLanes<R>& ifTrue, const WideLanes<R>& ifFalse) {
    WideLanes<R> c;
    for (int r = 0; r < R; ++r) c.v[r] = _mm256_blendv_pd(ifFalse.v[r], ifTrue.v[r], mask.v[r]);
    return c;
}

template <int R>
WideLanes<R> absolute(const WideLanes<R>& a) {
    return each(a, WideLanes<R>(-0.0), [](__m256d x, __m256d sign) { return _mm256_andnot_pd(sign, x); });
}

template <int R>
WideLanes<R> narrow(const WideLanes<R>& a) {
    WideLanes<R> c;
    for (int r = 0; r < R; ++r) c.v[r] = _mm256_cvtps_pd(_mm256_cvtpd_ps(a.v[r]));
    return c;
}

template <int R>
WideFloatLanes<R> toFloat(const WideLanes<R>& a) {
    WideFloatLanes<R> c;
    for (int r = 0; r < R; ++r) c.v[r] = _mm256_cvtpd_ps(a.v[r]);
    return c;
}

template <int R>
WideLanes<R> toDouble(const WideFloatLanes<R>& a) {
    WideLanes<R> c;
    for (int r = 0; r < R; ++r) c.v[r] = _mm256_cvtps_pd(a.v[r]);
    return c;
}

// One bit per lane, set where the lane holds an infinity or a NaN.
template <int R>
int notFiniteMask(const WideLanes<R>& a) {
    int bits = 0;
    for (int r = 0; r < R; ++r) {
        const __m256d difference = _mm256_sub_pd(a.v[r], a.v[r]);
        bits |= _mm256_movemask_pd(_mm256_cmp_pd(difference, _mm256_setzero_pd(), _CMP_NEQ_UQ)) << (4 * r);
    }
    return bits;
}

// Zero in the lanes whose bit is set.
template <int R>
WideLanes<R> clearWhere(int laneBits, const WideLanes<R>& a) {
    WideLanes<R> c;
    for (int r = 0; r < R; ++r) {
        const int bits = laneBits >> (4 * r);
        const __m256d cleared = _mm256_castsi256_pd(_mm256_set_epi64x(
            bits & 8 ? -1 : 0, bits & 4 ? -1 : 0, bits & 2 ? -1 : 0, bits & 1 ? -1 : 0));
        c.v[r] = _mm256_andnot_pd(cleared, a.v[r]);
    }
    return c;
}

}  // namespace

FrameRunner wideFrameRunnerFor(int laneCount, const EngineSettings& settings) {
    return laneCount > 4 ? frameRunnerFor<WideLanes<2>>(settings) : frameRunnerFor<WideLanes<1>>(settings);
}

#else

// Not x86_64: never asked.
FrameRunner wideFrameRunnerFor(int, const EngineSettings&) { return nullptr; }

#endif
