#include "components/plot/AxisMarks.h"

#include <algorithm>
#include <cmath>

TRoundMarks RoundMarks(double A, double B, int Intervals)
{
    TRoundMarks marks;
    const double lo = std::min(A, B), hi = std::max(A, B);
    if (!std::isfinite(lo) || !std::isfinite(hi) || !(lo < hi))
        return marks;
    const int n = std::max(Intervals, 1);
    double raw = (hi - lo) / n;
    if (!std::isfinite(raw))
        raw = hi / n - lo / n;
    if (!(raw > 0) || !std::isfinite(raw))
        return marks;

    // Of 1, 2, 5 and 10 times the power of ten at or below the raw step,
    // the one nearest to it by ratio.
    const int e = int(std::floor(std::log10(raw)));
    double best = 0;
    int bestExp = e;
    for (const int m : {1, 2, 5, 10}) {
        const int exp = m == 10 ? e + 1 : e;
        const double step = (m == 10 ? 1 : m) * std::pow(10.0, exp);
        if (!(step > 0) || !std::isfinite(step))
            continue;
        if (best == 0 || std::abs(std::log(step / raw)) < std::abs(std::log(best / raw))) {
            best = step;
            bestExp = exp;
        }
    }
    if (best == 0)
        return marks;

    const double first = std::ceil(lo / best), last = std::floor(hi / best);
    if (!std::isfinite(first) || !std::isfinite(last) || last < first)
        return marks;
    // The chosen step is at least raw / 1.6, so the range holds no more
    // than 1.6 * n steps; the bound only guards against rounding.
    const double count = std::min(last - first + 1, 2.0 * n + 2);
    marks.Step = best;
    marks.Decimals = std::max(0, -bestExp);
    marks.Values.reserve(std::size_t(count));
    for (int i = 0; i < count; ++i) {
        // Each value rounded once from its multiple, so 0.1 * 3 stays the
        // double nearest 0.3 wherever the multiple is exact. Far from zero,
        // neighbours may round to one double or past the range: kept once,
        // and only inside.
        const double v = (first + i) * best;
        if (v < lo || v > hi || (!marks.Values.empty() && v <= marks.Values.back()))
            continue;
        marks.Values.push_back(v);
    }
    return marks;
}

std::string RoundMarkFormat(const std::string& Format, int Decimals)
{
    // A "," before the decimal point, outside quoted text, groups thousands.
    bool grouping = false;
    char quote = 0;
    for (const char c : Format) {
        if (quote) {
            if (c == quote)
                quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '.') {
            break;
        } else if (c == ',') {
            grouping = true;
        }
    }
    std::string pattern = grouping ? ",0" : "0";
    const int decimals = std::clamp(Decimals, 0, RoundMarkDecimalsMax);
    if (decimals > 0)
        pattern += "." + std::string(std::size_t(decimals), '0');
    return pattern;
}
