#include "components/AxisMap.h"

#include "components/Qelutils.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>

int TAxisMap::PixelSpan() const
{
    const std::int64_t span = std::int64_t(p2_) - p1_;
    return int(std::clamp<std::int64_t>(span, INT_MIN, INT_MAX));
}

bool TAxisMap::WorldUsable() const
{
    const double span = w2_ - w1_;
    return std::isfinite(span) && span != 0;
}

// Where w lies between W1 (0) and W2 (1). Evaluated as (w - W1) / (W2 - W1)
// so that the limits map onto their pixels exactly.
double TAxisMap::Fraction(double w) const
{
    if (!WorldUsable())
        return 0;
    return (w - w1_) / (w2_ - w1_);
}

double TAxisMap::ToPixel(double w) const
{
    return p1_ + Fraction(w) * PixelSpan();
}

int TAxisMap::ToPixelInt(double w) const
{
    // Rounding the distance, not the position, keeps halves rounding away
    // from P1 on both axes.
    const double d = Fraction(w) * PixelSpan();
    if (std::isnan(d))
        return p1_;
    // Beyond twice the int range the pixel saturates whatever P1 is.
    constexpr double Far = 4294967296.0;
    if (d >= Far)
        return INT_MAX;
    if (d <= -Far)
        return INT_MIN;
    const std::int64_t p = std::int64_t(p1_) + RoundInt(d);
    return int(std::clamp<std::int64_t>(p, INT_MIN, INT_MAX));
}

double TAxisMap::ToWorld(double p) const
{
    const int span = PixelSpan();
    if (span == 0 || !WorldUsable())
        return w1_;
    return w1_ + (p - p1_) / span * (w2_ - w1_);
}
