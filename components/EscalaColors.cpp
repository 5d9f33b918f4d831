#include "components/EscalaColors.h"

#include "components/Qelutils.h"

#include <algorithm>
#include <array>
#include <cfloat>
#include <cmath>

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


// Lowers v to a whole multiple of the interval. A quotient beyond the
// double range means steps finer than the value's own resolution: the
// value stays.
double Lowered(double v, double interval)
{
    const double q = v / interval;
    return std::isfinite(q) ? std::floor(q) * interval : v;
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
    // The colours of the two ends, exact: clamped values (and not-a-number)
    // are common and would otherwise often be in doubt with an interval.
    TColor atLo, atHi;

    TColor Exact(double v) const { return table[std::clamp(scale.Step(v), 0, Steps)]; }

    template <bool Stepped>
    void Run(const double* in, TColor* out, std::size_t n) const
    {
        std::size_t i = 0;
#if defined(__SSE2__)
        const __m128d hiV = _mm_set1_pd(hi), loV = _mm_set1_pd(lo), zero = _mm_setzero_pd(),
                      one = _mm_set1_pd(1.0), half = _mm_set1_pd(0.5), steps = _mm_set1_pd(double(Steps)),
                      perRangeV = _mm_set1_pd(perRange), perIntervalV = _mm_set1_pd(perInterval),
                      intervalV = _mm_set1_pd(interval), qLow = _mm_set1_pd(QuotientSlack),
                      qHigh = _mm_set1_pd(1 - QuotientSlack), sLow = _mm_set1_pd(-StepSlack),
                      sHigh = _mm_set1_pd(StepSlack);
        for (; i + 2 <= n; i += 2) {
            __m128d v = _mm_loadu_pd(in + i);
            v = _mm_min_pd(hiV, v);  // hi < v ? hi : v, so not-a-number stays
            v = _mm_max_pd(v, loV);  // v > lo ? v : lo, so not-a-number becomes lo
            const int ends = _mm_movemask_pd(_mm_or_pd(_mm_cmpeq_pd(v, loV), _mm_cmpeq_pd(v, hiV)));
            __m128d unsure = zero;
            if constexpr (Stepped) {
                const __m128d q = _mm_mul_pd(v, perIntervalV);
                __m128d f = _mm_cvtepi32_pd(_mm_cvttpd_epi32(q));
                f = _mm_sub_pd(f, _mm_and_pd(_mm_cmpgt_pd(f, q), one));
                const __m128d frac = _mm_sub_pd(q, f);
                unsure = _mm_or_pd(_mm_cmplt_pd(frac, qLow), _mm_cmpgt_pd(frac, qHigh));
                v = _mm_mul_pd(f, intervalV);
            }
            __m128d x = _mm_mul_pd(_mm_mul_pd(_mm_sub_pd(v, loV), steps), perRangeV);
            x = _mm_min_pd(_mm_max_pd(x, zero), steps);
            const __m128i t = _mm_cvttpd_epi32(x);
            const __m128d h = _mm_sub_pd(_mm_sub_pd(x, _mm_cvtepi32_pd(t)), half);
            unsure = _mm_or_pd(unsure, _mm_and_pd(_mm_cmpgt_pd(h, sLow), _mm_cmplt_pd(h, sHigh)));
            // A true mask is -1: subtracting it adds 1. The low halves of the
            // two 64-bit masks are put beside the two steps.
            const __m128i up = _mm_shuffle_epi32(_mm_castpd_si128(_mm_cmpge_pd(h, zero)), _MM_SHUFFLE(3, 3, 2, 0));
            const __m128i k = _mm_sub_epi32(t, up);
            out[i] = table[_mm_cvtsi128_si32(k)];
            out[i + 1] = table[_mm_cvtsi128_si32(_mm_srli_si128(k, 4))];
            if (const int marks = _mm_movemask_pd(unsure) | ends; marks != 0) [[unlikely]] {
                if (marks & 1)
                    out[i] = Settle(in[i]);
                if (marks & 2)
                    out[i + 1] = Settle(in[i + 1]);
            }
        }
#endif
        for (; i < n; ++i) {
            double v = in[i];
            v = v > hi ? hi : v;
            v = v >= lo ? v : lo;
            if (v == lo || v == hi) {
                out[i] = v == lo ? atLo : atHi;
                continue;
            }
            bool unsure = false;
            if constexpr (Stepped) {
                const double q = v * perInterval;
                double f = double(int(q));
                f = f > q ? f - 1 : f;
                unsure = q - f < QuotientSlack || q - f > 1 - QuotientSlack;
                v = f * interval;
            }
            double x = (v - lo) * Steps * perRange;
            x = x > 0 ? x : 0;
            x = x < Steps ? x : Steps;
            const int t = int(x);
            const double h = x - t - 0.5;
            unsure = unsure || (h > -StepSlack && h < StepSlack);
            out[i] = unsure ? Exact(in[i]) : table[t + (h >= 0 ? 1 : 0)];
        }
    }

    // A value at an end or in doubt.
    TColor Settle(double value) const
    {
        double v = value > hi ? hi : value;
        v = v >= lo ? v : lo;
        return v == lo ? atLo : v == hi ? atHi : Exact(value);
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
    double x = (v - Minimum) * Steps / (Maximum - Minimum);
    if (!std::isfinite(x)) {
        // A range as wide as the doubles themselves: Maximum - Minimum or
        // the product overflowed. Halves cannot overflow, and the quotient
        // of halves is the same fraction.
        x = (v * 0.5 - Minimum * 0.5) / (Maximum * 0.5 - Minimum * 0.5) * Steps;
    }
    return RoundInt(x);
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
    const double lo = Minimum, hi = Maximum, range = hi - lo, interval = Interval;
    const bool stepped = interval > 0;
    const double perRange = 1.0 / range, perInterval = stepped ? 1.0 / interval : 0.0;
    // The quick way needs a range whose product by 510 cannot overflow,
    // finite reciprocals and, with an interval, quotients that fit an int.
    // Anything else goes value by value.
    const double reach = std::fmax(std::fabs(lo), std::fabs(hi));
    const bool quick = std::isfinite(lo) && std::isfinite(hi) && range > 0 && range <= DBL_MAX / 1024 &&
                       std::isfinite(perRange) &&
                       (!stepped || (std::isfinite(perInterval) && reach / interval < QuotientLimit));
    if (!quick) {
        for (std::size_t i = 0; i < Count; ++i)
            Colors[i] = ValueToColor(Values[i]);
        return;
    }
    std::array<TColor, Steps + 1> table;
    for (int k = 0; k <= Steps; ++k)
        table[std::size_t(k)] = StepColor(k);
    const QuickColours run{*this, table.data(), lo, hi, interval, perRange, perInterval, ValueToColor(lo),
                           ValueToColor(hi)};
    if (stepped)
        run.Run<true>(Values, Colors, Count);
    else
        run.Run<false>(Values, Colors, Count);
}
