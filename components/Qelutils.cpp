#include "components/Qelutils.h"

#include <array>
#include <cmath>
#include <cstdint>

namespace {

// The coordinate range the range checks accept.
constexpr std::int64_t CoordLimit = 8191;

bool InRange(std::int64_t v)
{
    return v >= -CoordLimit && v <= CoordLimit;
}

// Differences are taken wide: coordinates near the int limits must fail the
// check, not overflow.
bool DiffInRange(int a, int b)
{
    return InRange(std::int64_t(a) - b);
}

}  // namespace

TColor ColorMix(TColor Color1, TColor Color2, int Step, int Steps)
{
    if (Steps < 1)
        return Color1;
    // Wide arithmetic: a Step far outside 0..Steps must give the formula's
    // value cut to 8 bits, not an overflow.
    const std::int64_t from = std::int64_t(Steps) - Step;
    auto channel = [&](int shift) {
        std::int64_t c1 = (Color1 >> shift) & 0xFF;
        std::int64_t c2 = (Color2 >> shift) & 0xFF;
        std::int64_t c = (c1 * from + c2 * Step) / Steps;
        return static_cast<TColor>(static_cast<std::uint64_t>(c) & 0xFF) << shift;
    };
    return channel(0) | channel(8) | channel(16);
}

bool LineCheck(int X1, int Y1, int X2, int Y2)
{
    return InRange(Y1) && InRange(Y2) && InRange(X1) && InRange(X2) && DiffInRange(X2, X1) && DiffInRange(Y2, Y1);
}

bool TriangleCheck(int X1, int Y1, int X2, int Y2, int X3, int Y3)
{
    return InRange(X1) && InRange(Y1) && InRange(X2) && InRange(Y2) && InRange(X3) && InRange(Y3) &&
           DiffInRange(X2, X1) && DiffInRange(X3, X2) && DiffInRange(X1, X3) && DiffInRange(Y2, Y1) &&
           DiffInRange(Y3, Y2) && DiffInRange(Y1, Y3);
}

void CanvasClear(int Width, int Height, TCanvas& Canvas, TColor Color)
{
    Canvas.Pen.Color = Color;
    Canvas.Brush.Color = Color;
    // Giving a clear brush a colour makes it solid, as brushes always did;
    // otherwise a clear brush would leave the surface as it was.
    Canvas.Brush.Style = bsSolid;
    Canvas.FillRect(Rect(0, 0, Width, Height));
}

bool TriangleDraw(int Width, int Height, TCanvas& Canvas, int X1, int Y1, int X2, int Y2, int X3, int Y3)
{
    // Wholly beyond one side: nothing to draw, and nothing wrong either.
    if (X1 < 0 && X2 < 0 && X3 < 0)
        return true;
    if (X1 > Width && X2 > Width && X3 > Width)
        return true;
    if (Y1 < 0 && Y2 < 0 && Y3 < 0)
        return true;
    if (Y1 > Height && Y2 > Height && Y3 > Height)
        return true;
    if (!TriangleCheck(X1, Y1, X2, Y2, X3, Y3))
        return false;
    const std::array<TPoint, 3> points{Point(X1, Y1), Point(X2, Y2), Point(X3, Y3)};
    Canvas.Polygon(points);
    return true;
}
