// The mapping between world values on one axis and pixel positions.
#pragma once

#include "toolkit/graphics/Geometry.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Maps the world interval W1..W2 linearly onto the pixel interval P1..P2.
// A y axis that grows upward passes its bottom pixel as P1.
//
// The map never fails: when the world interval is empty or not finite every
// value goes to P1, and when the pixel interval is empty every pixel goes to
// W1. Pixel positions are doubles; ToPixelInt rounds the distance from P1
// (halves away from it) and saturates at the int range, so any value,
// infinities and NaN included, gives a pixel the canvas can take (NaN gives
// P1). The plot maps every vertex through here, so the work is inline.
class TAxisMap {
public:
    constexpr TAxisMap() = default;
    // The map of w1..w2 onto the pixels p1..p2.
    TAxisMap(double w1, double w2, int p1, int p2) : w1_(w1), w2_(w2), p1_(p1), p2_(p2) { Update(); }

    double W1() const { return w1_; }  // The world value at P1.
    double W2() const { return w2_; }  // The world value at P2.
    int P1() const { return p1_; }  // The pixel of W1.
    int P2() const { return p2_; }  // The pixel of W2.

    // Pixels from P1 to P2, negative when P2 lies before P1 (saturated).
    int PixelSpan() const { return span_; }
    // The world interval can be divided by.
    bool WorldUsable() const { return usable_; }

    // The pixel of w, unrounded.
    double ToPixel(double w) const { return p1_ + Fraction(w) * span_; }

    // The pixel of w, rounded and held to the int range.
    int ToPixelInt(double w) const
    {
        // Rounding the distance, not the position, keeps halves rounding
        // away from P1 on both axes.
        if (w >= safeLo_ && w <= safeHi_) {
            // Nothing below can saturate: the rounding alone.
            const double d = Fraction(w) * span_;
            const int t = static_cast<int>(d);
            const double f = d - t;
            return p1_ + t + (f >= 0.5) - (f <= -0.5);
        }
        const double d = Fraction(w) * span_;
        if (std::isnan(d))
            return p1_;
        // Beyond twice the int range the pixel saturates whatever P1 is.
        constexpr double Far = 4294967296.0;
        if (d >= Far)
            return INT_MAX;
        if (d <= -Far)
            return INT_MIN;
        return SaturatingInt(std::int64_t(p1_) + SaturatingRound(d));
    }

    // ToPixelInt of W[0..N) into Out[0..N). The same operations two
    // values at a time, so the same pixels; a pair with a value outside
    // the range that needs no saturation goes value by value.
    void ToPixelsInt(const double* W, std::size_t N, int* Out) const
    {
        std::size_t k = 0;
#if defined(__SSE2__)
        if (safeLo_ <= safeHi_) {
            const __m128d w1 = _mm_set1_pd(w1_), world = _mm_set1_pd(w2_ - w1_), span = _mm_set1_pd(span_);
            const __m128d lo = _mm_set1_pd(safeLo_), hi = _mm_set1_pd(safeHi_);
            const __m128d half = _mm_set1_pd(0.5), minusHalf = _mm_set1_pd(-0.5);
            const __m128i p1 = _mm_set1_epi32(p1_);
            for (; k + 1 < N; k += 2) {
                const __m128d w = _mm_loadu_pd(W + k);
                if (_mm_movemask_pd(_mm_and_pd(_mm_cmpge_pd(w, lo), _mm_cmple_pd(w, hi))) != 3) {
                    Out[k] = ToPixelInt(W[k]);
                    Out[k + 1] = ToPixelInt(W[k + 1]);
                    continue;
                }
                const __m128d d = _mm_mul_pd(_mm_div_pd(_mm_sub_pd(w, w1), world), span);
                const __m128i t = _mm_cvttpd_epi32(d);
                const __m128d f = _mm_sub_pd(d, _mm_cvtepi32_pd(t));
                // The comparisons' all-ones lanes, narrowed to 32 bits, are -1.
                const __m128i up = _mm_shuffle_epi32(_mm_castpd_si128(_mm_cmpge_pd(f, half)), _MM_SHUFFLE(2, 0, 2, 0));
                const __m128i down =
                    _mm_shuffle_epi32(_mm_castpd_si128(_mm_cmple_pd(f, minusHalf)), _MM_SHUFFLE(2, 0, 2, 0));
                const __m128i r = _mm_add_epi32(_mm_sub_epi32(_mm_add_epi32(p1, t), up), down);
                _mm_storel_epi64(reinterpret_cast<__m128i*>(Out + k), r);
            }
        }
#endif
        for (; k < N; ++k)
            Out[k] = ToPixelInt(W[k]);
    }

    // ToPixelInt of x on map X and of y on map Y, in one: the same
    // operations on both axes at once, so the same pixels.
    static TPoint ToPixelsInt(const TAxisMap& X, double x, const TAxisMap& Y, double y)
    {
#if defined(__SSE2__)
        const __m128d w = _mm_set_pd(y, x);
        if (_mm_movemask_pd(_mm_and_pd(_mm_cmpge_pd(w, _mm_set_pd(Y.safeLo_, X.safeLo_)),
                                       _mm_cmple_pd(w, _mm_set_pd(Y.safeHi_, X.safeHi_)))) == 3) {
            const __m128d world = _mm_set_pd(Y.w2_ - Y.w1_, X.w2_ - X.w1_);
            const __m128d d = _mm_mul_pd(_mm_div_pd(_mm_sub_pd(w, _mm_set_pd(Y.w1_, X.w1_)), world),
                                         _mm_set_pd(double(Y.span_), double(X.span_)));
            const __m128i t = _mm_cvttpd_epi32(d);
            const __m128d f = _mm_sub_pd(d, _mm_cvtepi32_pd(t));
            const __m128i up =
                _mm_shuffle_epi32(_mm_castpd_si128(_mm_cmpge_pd(f, _mm_set1_pd(0.5))), _MM_SHUFFLE(2, 0, 2, 0));
            const __m128i down =
                _mm_shuffle_epi32(_mm_castpd_si128(_mm_cmple_pd(f, _mm_set1_pd(-0.5))), _MM_SHUFFLE(2, 0, 2, 0));
            const __m128i r =
                _mm_add_epi32(_mm_sub_epi32(_mm_add_epi32(_mm_set_epi32(0, 0, Y.p1_, X.p1_), t), up), down);
            return {_mm_cvtsi128_si32(r), _mm_cvtsi128_si32(_mm_shuffle_epi32(r, _MM_SHUFFLE(1, 1, 1, 1)))};
        }
#endif
        return {X.ToPixelInt(x), Y.ToPixelInt(y)};
    }

    // The world value at pixel p.
    double ToWorld(double p) const
    {
        if (span_ == 0 || !usable_)
            return w1_;
        return w1_ + (p - p1_) / span_ * (w2_ - w1_);
    }

private:
    void Update()
    {
        const double world = w2_ - w1_;
        usable_ = std::isfinite(world) && world != 0;
        span_ = SaturatingInt(std::int64_t(p2_) - p1_);
        // The world values whose distance from P1 lies within +-Safe (most
        // of those within 2^28 pixels of the window), where the pixel needs
        // no saturation. The distance grows monotonically with the value,
        // so the two ends bound it over the whole range.
        constexpr double Safe = 536870912.0;  // 2^29
        safeLo_ = 1;
        safeHi_ = 0;
        if (!usable_ || p1_ <= -Safe || p1_ >= Safe)
            return;
        const double f = Safe / 2 / std::max(std::abs(double(span_)), 1.0);
        double a = w1_ - f * world, b = w1_ + f * world;
        if (a > b)
            std::swap(a, b);
        auto distance = [&](double w) { return Fraction(w) * span_; };
        if (std::isfinite(a) && std::isfinite(b) && std::abs(distance(a)) <= Safe && std::abs(distance(b)) <= Safe) {
            safeLo_ = a;
            safeHi_ = b;
        }
    }
    // Where w lies between W1 (0) and W2 (1), as (w - W1) / (W2 - W1) so
    // that the limits land on their pixels exactly.
    double Fraction(double w) const { return usable_ ? (w - w1_) / (w2_ - w1_) : 0.0; }

    double w1_ = 0;
    double w2_ = 1;
    int p1_ = 0;
    int p2_ = 1;
    int span_ = 1;
    bool usable_ = true;
    // Empty (Lo > Hi) when there is no such range.
    double safeLo_ = 1, safeHi_ = 0;
};
