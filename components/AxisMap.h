// The mapping between world values on one axis and pixel positions.
#pragma once

#include "components/Qelutils.h"

#include <climits>
#include <cmath>
#include <cstdint>

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
    TAxisMap(double w1, double w2, int p1, int p2) : w1_(w1), w2_(w2), p1_(p1), p2_(p2) { Update(); }

    void SetWorld(double w1, double w2)
    {
        w1_ = w1;
        w2_ = w2;
        Update();
    }
    void SetPixels(int p1, int p2)
    {
        p1_ = p1;
        p2_ = p2;
        Update();
    }
    double W1() const { return w1_; }
    double W2() const { return w2_; }
    int P1() const { return p1_; }
    int P2() const { return p2_; }

    // Pixels from P1 to P2, negative when P2 lies before P1 (saturated).
    int PixelSpan() const { return span_; }
    // The world interval can be divided by.
    bool WorldUsable() const { return usable_; }

    double ToPixel(double w) const { return p1_ + Fraction(w) * span_; }

    int ToPixelInt(double w) const
    {
        // Rounding the distance, not the position, keeps halves rounding
        // away from P1 on both axes.
        const double d = Fraction(w) * span_;
        if (std::isnan(d))
            return p1_;
        // Beyond twice the int range the pixel saturates whatever P1 is.
        constexpr double Far = 4294967296.0;
        if (d >= Far)
            return INT_MAX;
        if (d <= -Far)
            return INT_MIN;
        return SaturatingInt(std::int64_t(p1_) + RoundInt(d));
    }

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
};
