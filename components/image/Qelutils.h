// Small drawing helpers shared by the drawing components.
#pragma once

#include "toolkit/graphics/Graphics.h"

#include <cstddef>
#include <cstdint>
#include <string>

// The colour `Step` steps of `Steps` along the straight line from Color1 to
// Color2, channel by channel with truncating division. Step is not clamped;
// each channel is cut to 8 bits and the high byte of the result is 0. With
// Steps < 1 it is Color1 as it stands, high byte included.
TColor ColorMix(TColor Color1, TColor Color2, int Step, int Steps);

// The nearest integer, halves away from zero. Values beyond the int range
// give its nearest end, not-a-number gives 0 (the toolkit's saturating
// rounding, under the name the components know it by).
inline int RoundInt(double Value) { return SaturatingRound(Value); }

// Lengths and fonts given in a surface's pixels, drawn into a bitmap of
// Ratio bitmap pixels per surface pixel (a high-density screen's): the
// length rounded, the font's height scaled. Both unchanged at a ratio of 1.
inline int LengthScaled(int Length, double Ratio) { return Ratio == 1 ? Length : RoundInt(Length * Ratio); }
TFont FontScaled(const TFont& Font, double Ratio);

// The number format of a label as it is drawn: no more than its first
// LabelFormatMax bytes, cut before a character that would not fit whole.
// That is more than any label has room to show, and a longer format would
// only cost time on every label. The property keeps the whole text.
inline constexpr std::size_t LabelFormatMax = 256;
// Format cut to LabelFormatMax bytes as above.
std::string LabelFormat(const std::string& Format);

// Coordinates that the drawing code can take safely: every coordinate and
// every difference that the shape's edges need lies in -8191..8191.
// Differences are taken wide: coordinates near the int limits must fail the
// check, not overflow.
// Whether v is a coordinate in range.
constexpr bool DrawCoordInRange(std::int64_t v) { return v >= -8191 && v <= 8191; }
// Whether a - b is in range, worked out wide.
constexpr bool DrawDiffInRange(int a, int b) { return DrawCoordInRange(std::int64_t(a) - b); }
// Whether the line (X1, Y1)-(X2, Y2) can be drawn safely.
inline bool LineCheck(int X1, int Y1, int X2, int Y2)
{
    return DrawCoordInRange(Y1) && DrawCoordInRange(Y2) && DrawCoordInRange(X1) && DrawCoordInRange(X2) &&
           DrawDiffInRange(X2, X1) && DrawDiffInRange(Y2, Y1);
}
// Whether the triangle's corners and the differences along its three
// edges are all in range.
bool TriangleCheck(int X1, int Y1, int X2, int Y2, int X3, int Y3);

// Sets pen and brush to Color (a clear brush becomes solid) and fills
// (0, 0)-(Width, Height).
void CanvasClear(int Width, int Height, TCanvas& Canvas, TColor Color);

// Draws the filled triangle with the canvas's pen and brush unless it lies
// wholly beyond one side of the Width x Height surface (true, nothing
// drawn). A triangle that would be drawn but fails TriangleCheck is not
// drawn and gives false.
bool TriangleDraw(int Width, int Height, TCanvas& Canvas, int X1, int Y1, int X2, int Y2, int X3, int Y3);
