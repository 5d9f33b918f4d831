// Points, rectangles, affine transforms and the conversions that turn
// computed coordinates into pixels. Plain values, no drawing.
#pragma once

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <iosfwd>

// ------------------------------------------------------------ conversions
//
// Computed coordinates become ints only through these. Each one saturates:
// a value beyond the int range gives INT_MIN or INT_MAX, and NaN gives 0,
// so an absurd input lands far off the picture (the canvas clips any int)
// instead of being undefined behaviour.

// A wide integer held to the int range.
[[nodiscard]] constexpr int SaturatingInt(std::int64_t v)
{
    return static_cast<int>(std::clamp<std::int64_t>(v, INT_MIN, INT_MAX));
}

// Truncation toward zero: 2.9 gives 2, -2.9 gives -2.
[[nodiscard]] constexpr int SaturatingTrunc(double v)
{
    if (v != v)
        return 0;
    if (v >= 2147483647.0)
        return INT_MAX;
    if (v <= -2147483648.0)
        return INT_MIN;
    return static_cast<int>(v);
}

// The nearest int, halves away from zero: 2.5 gives 3, -2.5 gives -3, -0.0
// gives 0. This is the conversion for pixel coordinates worked out in
// floating point (world-to-pixel maps, turned text, animations).
// Worked out without a library call: plots convert every vertex this way.
[[nodiscard]] constexpr int SaturatingRound(double v)
{
    if (!(v > -2147483648.5 && v < 2147483647.5))
        return v != v ? 0 : (v > 0 ? INT_MAX : INT_MIN);
    // The fraction that truncation leaves is exact in this range.
    const auto t = static_cast<std::int64_t>(v);
    const double f = v - static_cast<double>(t);
    return static_cast<int>(t + (f >= 0.5) - (f <= -0.5));
}

// Where transformed coordinates are held: far outside any bitmap, yet sums
// and differences of a few of them stay well inside the int range.
constexpr int PixelRange = 1 << 24;

// The pixel a transformed coordinate falls in, rounding halves up
// (floor(v + 0.5)), held to -PixelRange..PixelRange; NaN gives -PixelRange.
[[nodiscard]] inline int PixelRound(double v)
{
    if (!(v > -PixelRange))
        return -PixelRange;
    if (!(v < PixelRange))
        return PixelRange;
    return static_cast<int>(std::floor(v + 0.5));
}

// ------------------------------------------------------------------ points

struct TPoint {
    int X = 0;  // Column, growing rightward.
    int Y = 0;  // Row, growing downward.
    friend constexpr bool operator==(const TPoint&, const TPoint&) = default;  // Both coordinates equal.
};
constexpr TPoint Point(int x, int y) { return {x, y}; }  // The point (x, y).

// A point in floating coordinates, before it becomes a pixel.
struct TPointF {
    double X = 0;  // Column, growing rightward.
    double Y = 0;  // Row, growing downward.
    friend constexpr bool operator==(const TPointF&, const TPointF&) = default;  // Both coordinates equal.
};

// -------------------------------------------------------------- rectangles

// Half-open: covers columns Left..Right-1 and rows Top..Bottom-1, so
// Right - Left is the width and a rectangle with Right <= Left (or
// Bottom <= Top) holds no pixel. The operations return a new rectangle and
// leave this one as it is; [[nodiscard]] catches a call mistaken for one
// that changes it.
struct TRect {
    int Left = 0;    // The first column inside.
    int Top = 0;     // The first row inside.
    int Right = 0;   // The first column past the right edge.
    int Bottom = 0;  // The first row below the bottom edge.

    constexpr int Width() const { return Right - Left; }   // Right - Left.
    constexpr int Height() const { return Bottom - Top; }  // Bottom - Top.
    // Whether the rectangle holds no pixel.
    [[nodiscard]] constexpr bool Empty() const { return Right <= Left || Bottom <= Top; }

    // Whether pixel (x, y) is inside.
    [[nodiscard]] constexpr bool Contains(int x, int y) const
    {
        return x >= Left && x < Right && y >= Top && y < Bottom;
    }
    [[nodiscard]] constexpr bool Contains(TPoint p) const { return Contains(p.X, p.Y); }  // Whether p is inside.
    // Every pixel of r is in this one (an empty r is in any rectangle).
    [[nodiscard]] constexpr bool Contains(const TRect& r) const
    {
        return r.Empty() || (r.Left >= Left && r.Right <= Right && r.Top >= Top && r.Bottom <= Bottom);
    }
    // Some pixel is in both.
    [[nodiscard]] constexpr bool Intersects(const TRect& r) const { return !Intersected(r).Empty(); }

    // The pixels in both; the empty rectangle {} when there are none.
    [[nodiscard]] constexpr TRect Intersected(const TRect& r) const
    {
        const TRect i{std::max(Left, r.Left), std::max(Top, r.Top), std::min(Right, r.Right),
                      std::min(Bottom, r.Bottom)};
        return i.Empty() ? TRect{} : i;
    }
    // The smallest rectangle holding both; an empty one adds nothing.
    [[nodiscard]] constexpr TRect United(const TRect& r) const
    {
        if (r.Empty())
            return *this;
        if (Empty())
            return r;
        return {std::min(Left, r.Left), std::min(Top, r.Top), std::max(Right, r.Right), std::max(Bottom, r.Bottom)};
    }

    // Moved by (dx, dy); the edges saturate at the int range ends.
    [[nodiscard]] constexpr TRect Offset(int dx, int dy) const
    {
        return {SaturatingInt(std::int64_t(Left) + dx), SaturatingInt(std::int64_t(Top) + dy),
                SaturatingInt(std::int64_t(Right) + dx), SaturatingInt(std::int64_t(Bottom) + dy)};
    }
    // Grown by dx on the left and right and dy at the top and bottom
    // (negative values shrink it); the edges saturate.
    [[nodiscard]] constexpr TRect Inflated(int dx, int dy) const
    {
        return {SaturatingInt(std::int64_t(Left) - dx), SaturatingInt(std::int64_t(Top) - dy),
                SaturatingInt(std::int64_t(Right) + dx), SaturatingInt(std::int64_t(Bottom) + dy)};
    }
    // The same corners ordered so that Left <= Right and Top <= Bottom.
    [[nodiscard]] constexpr TRect Normalized() const
    {
        return {std::min(Left, Right), std::min(Top, Bottom), std::max(Left, Right), std::max(Top, Bottom)};
    }

    friend constexpr bool operator==(const TRect&, const TRect&) = default;  // All four edges equal.
};
constexpr TRect Rect(int l, int t, int r, int b) { return {l, t, r, b}; }                  // By its edges.
constexpr TRect Bounds(int l, int t, int w, int h) { return {l, t, l + w, t + h}; }  // By corner and size.
// The rectangle with a and b as opposite corners, in any order.
constexpr TRect RectFromCorners(TPoint a, TPoint b) { return TRect{a.X, a.Y, b.X, b.Y}.Normalized(); }

// --------------------------------------------------------------- transforms

// x' = M11 x + M21 y + Dx, y' = M12 x + M22 y + Dy.
struct TAffine {
    // x' = M11 x + M21 y + Dx, y' = M12 x + M22 y + Dy.
    double M11 = 1,  // The share of x in x'.
           M12 = 0,  // The share of x in y'.
           M21 = 0,  // The share of y in x'.
           M22 = 1,  // The share of y in y'.
           Dx = 0,   // The shift of x', in the target's units.
           Dy = 0;   // The shift of y', in the target's units.

    // The point p transformed.
    [[nodiscard]] constexpr TPointF Apply(TPointF p) const
    {
        return {M11 * p.X + M21 * p.Y + Dx, M12 * p.X + M22 * p.Y + Dy};
    }
    // This transform first, then next.
    [[nodiscard]] constexpr TAffine Then(const TAffine& next) const
    {
        return {M11 * next.M11 + M12 * next.M21,
                M11 * next.M12 + M12 * next.M22,
                M21 * next.M11 + M22 * next.M21,
                M21 * next.M12 + M22 * next.M22,
                Dx * next.M11 + Dy * next.M21 + next.Dx,
                Dx * next.M12 + Dy * next.M22 + next.Dy};
    }
    // Whether the transform neither turns nor shears.
    [[nodiscard]] constexpr bool AxisAligned() const { return M12 == 0 && M21 == 0; }
    // How much the transform scales lengths (the root of its area factor).
    [[nodiscard]] double Scale() const { return std::sqrt(std::fabs(M11 * M22 - M12 * M21)); }
    // Whether every coefficient is a finite number.
    [[nodiscard]] bool Finite() const
    {
        return std::isfinite(M11) && std::isfinite(M12) && std::isfinite(M21) && std::isfinite(M22) &&
               std::isfinite(Dx) && std::isfinite(Dy);
    }
    // Where p lands, as a pixel (PixelRound).
    [[nodiscard]] TPoint MapToPixel(TPointF p) const
    {
        const TPointF d = Apply(p);
        return {PixelRound(d.X), PixelRound(d.Y)};
    }
};

// Test printers.
void PrintTo(const TPoint& p, std::ostream* os);
void PrintTo(const TPointF& p, std::ostream* os);  // Test printer.
void PrintTo(const TRect& r, std::ostream* os);    // Test printer.
