#include "components/scale/EscalaColors.h"

#include "components/image/Qelutils.h"
#include "toolkit/graphics/VectorState.h"

#include <algorithm>
#include <array>
#include <cfloat>
#include <cmath>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Built with -ffp-contract=off (see CMakeLists.txt): the one-value and the
// array paths must round every operation the same way, so no multiply may
// be fused with the subtraction that follows it in one path and not in the
// other.

namespace {

constexpr int Steps = 510;

// How far a product by a reciprocal may lie from the true quotient, with
// room to spare: a few units in the last place of a step (at most 511) and
// of an interval quotient (below QuotientLimit).
constexpr double StepSlack = 1e-9;
constexpr double QuotientLimit = 1 << 30;
constexpr double QuotientSlack = 1e-5;
// The most multiples of an interval that get a table of their own.
constexpr int MultiplesMax = 1 << 14;


// Lowers v to a whole multiple of the interval. A quotient beyond the
// double range means steps finer than the value's own resolution: the
// value stays.
double Lowered(double v, double interval)
{
    const double q = v / interval;
    return std::isfinite(q) ? std::floor(q) * interval : v;
}

// The step of a value already clamped and lowered.
int Placed(const TEscalaColors& s, double v)
{
    double x = (v - s.Minimum) * Steps / (s.Maximum - s.Minimum);
    if (!std::isfinite(x)) {
        // A range as wide as the doubles themselves: Maximum - Minimum or
        // the product overflowed. Halves cannot overflow, and the quotient
        // of halves is the same fraction.
        x = (v * 0.5 - s.Minimum * 0.5) / (s.Maximum * 0.5 - s.Minimum * 0.5) * Steps;
    }
    return RoundInt(x);
}

// Colours values by a table of the 511 step colours, with each quotient
// taken as a product by the reciprocal. That is off by a few units in the
// last place at most; only where it could move the result across a rounding
// or flooring boundary is the value's step taken again by Step itself, so
// every colour is the one ValueToColor gives. Beyond either end every step
// has that end's colour, so x is clamped to 0..510 (a huge interval can
// lower v far below Minimum, making x very negative or infinite); on that
// span truncation plus a look at the fraction rounds halves away from zero,
// as RoundInt does. Needs finite bounds and reciprocals and interval
// quotients within QuotientLimit.
struct QuickColours {
    const TEscalaColors& scale;
    const TColor* table;
    double lo, hi, interval, perRange, perInterval;
    // The steps of the two ends, exact: clamped values (and not-a-number)
    // are common, and with an interval a bound is often a multiple of it,
    // which would always be in doubt.
    int kLo, kHi;
    // With an interval that cuts the range into few parts: the colours of
    // the ends, then of the multiples mLo..mHi of the interval.
    const TColor* multiples = nullptr;
    double mLo = 0, mHi = 0;

    TColor Exact(double v) const { return table[std::clamp(scale.Step(v), 0, Steps)]; }

    double Clamped(double v) const
    {
        v = v > hi ? hi : v;
        return v >= lo ? v : lo;
    }

    // floor(q), in doubt where the fraction is within the slack of 0 or 1.
    static double Floor(double q, bool& unsure)
    {
        double f = double(int(q));
        f = f > q ? f - 1 : f;
        unsure = unsure || q - f < QuotientSlack || q - f > 1 - QuotientSlack;
        return f;
    }

#if defined(__SSE2__)
    // The same for two quotients.
    static __m128d Floor(__m128d q, __m128d& unsure)
    {
        __m128d f = _mm_cvtepi32_pd(_mm_cvttpd_epi32(q));
        f = _mm_sub_pd(f, _mm_and_pd(_mm_cmpgt_pd(f, q), _mm_set1_pd(1.0)));
        const __m128d off = Abs(_mm_sub_pd(_mm_sub_pd(q, f), _mm_set1_pd(0.5)));
        unsure = _mm_or_pd(unsure, _mm_cmpgt_pd(off, _mm_set1_pd(0.5 - QuotientSlack)));
        return f;
    }

    static __m128d Abs(__m128d v) { return _mm_and_pd(v, _mm_castsi128_pd(_mm_set1_epi64x(0x7FFFFFFFFFFFFFFF))); }

    // The low 32 bits of each of two 64-bit masks, side by side, beside the
    // two ints that _mm_cvttpd_epi32 gives.
    static __m128i Halves(__m128d mask)
    {
        return _mm_shuffle_epi32(_mm_castpd_si128(mask), _MM_SHUFFLE(3, 3, 2, 0));
    }

    // Two indices, with forLo and forHi where the clamped values are the
    // ends, which are then no longer in doubt.
    __m128i Ends(__m128i index, __m128d v, __m128i forLo, __m128i forHi, __m128d& unsure) const
    {
        const __m128d atLo = _mm_cmpeq_pd(v, _mm_set1_pd(lo)), atHi = _mm_cmpeq_pd(v, _mm_set1_pd(hi));
        const __m128i l = Halves(atLo), r = Halves(atHi);
        unsure = _mm_andnot_pd(_mm_or_pd(atLo, atHi), unsure);
        return _mm_or_si128(_mm_andnot_si128(_mm_or_si128(l, r), index),
                            _mm_or_si128(_mm_and_si128(l, forLo), _mm_and_si128(r, forHi)));
    }

    // Stores the colours of two indices, and the exact colour of a value in
    // doubt in its place.
    void Put(const TColor* colours, __m128i index, __m128d unsure, const double* in, TColor* out) const
    {
        out[0] = colours[_mm_cvtsi128_si32(index)];
        out[1] = colours[_mm_cvtsi128_si32(_mm_srli_si128(index, 4))];
        if (const int marks = _mm_movemask_pd(unsure); marks != 0) [[unlikely]] {
            if (marks & 1)
                out[0] = Exact(in[0]);
            if (marks & 2)
                out[1] = Exact(in[1]);
        }
    }
#endif

    template <bool Stepped>
    void Run(const double* in, TColor* out, std::size_t n) const
    {
        std::size_t i = 0;
#if defined(__SSE2__)
        const __m128d hiV = _mm_set1_pd(hi), loV = _mm_set1_pd(lo), zero = _mm_setzero_pd(),
                      half = _mm_set1_pd(0.5), steps = _mm_set1_pd(double(Steps)),
                      perStep = _mm_set1_pd(Steps * perRange), perIntervalV = _mm_set1_pd(perInterval),
                      intervalV = _mm_set1_pd(interval), sSure = _mm_set1_pd(StepSlack);
        const __m128i kLoV = _mm_set1_epi32(kLo), kHiV = _mm_set1_epi32(kHi);
        for (; i + 2 <= n; i += 2) {
            const __m128d clamped = _mm_max_pd(_mm_min_pd(hiV, _mm_loadu_pd(in + i)), loV);
            __m128d v = clamped, unsure = zero;
            if constexpr (Stepped)
                v = _mm_mul_pd(Floor(_mm_mul_pd(v, perIntervalV), unsure), intervalV);
            __m128d x = _mm_mul_pd(_mm_sub_pd(v, loV), perStep);
            x = _mm_min_pd(_mm_max_pd(x, zero), steps);
            const __m128i t = _mm_cvttpd_epi32(x);
            const __m128d h = _mm_sub_pd(_mm_sub_pd(x, _mm_cvtepi32_pd(t)), half);
            unsure = _mm_or_pd(unsure, _mm_cmplt_pd(Abs(h), sSure));
            // A true mask is -1: subtracting it adds 1.
            __m128i k = _mm_sub_epi32(t, Halves(_mm_cmpge_pd(h, zero)));
            if constexpr (Stepped)
                k = Ends(k, clamped, kLoV, kHiV, unsure);
            Put(table, k, unsure, in + i, out + i);
        }
#endif
        for (; i < n; ++i) {
            double v = Clamped(in[i]);
            bool unsure = false;
            if constexpr (Stepped) {
                if (v == lo || v == hi) {
                    out[i] = table[v == lo ? kLo : kHi];
                    continue;
                }
                v = Floor(v * perInterval, unsure) * interval;
            }
            double x = (v - lo) * (Steps * perRange);
            x = x > 0 ? x : 0;
            x = x < Steps ? x : Steps;
            const int t = int(x);
            const double h = x - t - 0.5;
            unsure = unsure || (h > -StepSlack && h < StepSlack);
            out[i] = unsure ? Exact(in[i]) : table[t + (h >= 0 ? 1 : 0)];
        }
    }

    // With the table of multiples there is no step to work out: the
    // multiple a value is lowered to picks its colour.
    void RunMultiples(const double* in, TColor* out, std::size_t n) const
    {
        std::size_t i = 0;
#if defined(__SSE2__)
        const __m128d hiV = _mm_set1_pd(hi), loV = _mm_set1_pd(lo), perIntervalV = _mm_set1_pd(perInterval),
                      mLoV = _mm_set1_pd(mLo), mHiV = _mm_set1_pd(mHi);
        const __m128i zeroI = _mm_setzero_si128(), oneI = _mm_set1_epi32(1), two = _mm_set1_epi32(2);
        for (; i + 2 <= n; i += 2) {
            const __m128d v = _mm_max_pd(_mm_min_pd(hiV, _mm_loadu_pd(in + i)), loV);
            __m128d unsure = _mm_setzero_pd();
            const __m128d f = _mm_min_pd(_mm_max_pd(Floor(_mm_mul_pd(v, perIntervalV), unsure), mLoV), mHiV);
            const __m128i m = _mm_add_epi32(_mm_cvttpd_epi32(_mm_sub_pd(f, mLoV)), two);
            Put(multiples, Ends(m, v, zeroI, oneI, unsure), unsure, in + i, out + i);
        }
#endif
        for (; i < n; ++i) {
            const double v = Clamped(in[i]);
            if (v == lo || v == hi) {
                out[i] = multiples[v == lo ? 0 : 1];
                continue;
            }
            bool unsure = false;
            double f = Floor(v * perInterval, unsure);
            f = f > mLo ? f : mLo;
            f = f < mHi ? f : mHi;
            out[i] = unsure ? Exact(in[i]) : multiples[2 + int(f - mLo)];
        }
    }
};

}  // namespace

int TEscalaColors::Step(double Value) const
{
    double v = Value;
    if (v > Maximum)
        v = Maximum;
    if (!(v >= Minimum))
        v = Minimum;
    if (Interval > 0)
        v = Lowered(v, Interval);
    return Placed(*this, v);
}

TColor TEscalaColors::StepColor(int K) const
{
    int r, g, b;
    if (Graduation == egThree) {
        b = K <= 0 ? 255 : K <= 255 ? 255 - K * 185 / 255 : 0;
        g = K < 0 ? 0 : K <= 255 ? K * 150 / 255 : K <= Steps ? 150 - (K - 255) * 150 / 255 : 0;
        r = K <= 255 ? 0 : K <= Steps ? 70 + (K - 255) * 185 / 255 : 255;
    } else if (K <= 0) {
        return GradColor2 & 0xFFFFFF;
    } else if (K >= Steps) {
        return GradColor1 & 0xFFFFFF;
    } else {
        auto channel = [&](int shift) {
            const int c1 = (GradColor1 >> shift) & 0xFF, c2 = (GradColor2 >> shift) & 0xFF;
            return (Steps - K) * c2 / Steps + K * c1 / Steps;
        };
        r = channel(0);
        g = channel(8);
        b = channel(16);
    }
    return RGB(r, g, b);
}

void TEscalaColors::ValuesToColors(const double* Values, TColor* Colors, std::size_t Count) const
{
    VectorStateClean();
    const double lo = Minimum, hi = Maximum, range = hi - lo, interval = Interval;
    const bool stepped = interval > 0;
    const double perRange = 1.0 / range, perInterval = stepped ? 1.0 / interval : 0.0;
    // The quick way needs a range whose product by 510 cannot overflow,
    // finite reciprocals, a finite step scale (510 / range overflows for
    // ranges below about 3e-306, where 1 / range still does not) and, with
    // an interval, quotients that fit an int. Anything else goes value by
    // value.
    const double reach = std::fmax(std::fabs(lo), std::fabs(hi));
    const bool quick = std::isfinite(lo) && std::isfinite(hi) && range > 0 && range <= DBL_MAX / 1024 &&
                       std::isfinite(Steps * perRange) &&
                       (!stepped || (std::isfinite(perInterval) && reach / interval < QuotientLimit));
    if (!quick) {
        for (std::size_t i = 0; i < Count; ++i)
            Colors[i] = ValueToColor(Values[i]);
        return;
    }
    std::array<TColor, Steps + 1> table;
    for (int k = 0; k <= Steps; ++k)
        table[std::size_t(k)] = StepColor(k);
    const int kLo = std::clamp(Step(lo), 0, Steps), kHi = std::clamp(Step(hi), 0, Steps);
    QuickColours run{*this, table.data(), lo, hi, interval, perRange, perInterval, kLo, kHi};
    if (stepped) {
        // Few multiples of the interval in the range, against many values:
        // a colour for each multiple, worked out as Step would.
        const double mLo = std::floor(lo / interval), mHi = std::floor(hi / interval);
        if (mHi - mLo < double(MultiplesMax) && (mHi - mLo + 1) * 4 <= double(Count)) {
            std::vector<TColor> multiples(std::size_t(mHi - mLo) + 3);
            multiples[0] = table[kLo];
            multiples[1] = table[kHi];
            for (std::size_t j = 2; j < multiples.size(); ++j)
                multiples[j] = table[std::clamp(Placed(*this, (mLo + double(j - 2)) * interval), 0, Steps)];
            run.multiples = multiples.data();
            run.mLo = mLo;
            run.mHi = mHi;
            run.RunMultiples(Values, Colors, Count);
            return;
        }
    }
    if (stepped)
        run.Run<true>(Values, Colors, Count);
    else
        run.Run<false>(Values, Colors, Count);
}
