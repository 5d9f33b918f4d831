#include "components/image/Qelutils.h"

#include <array>
#include <cmath>
#include <cstdint>

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

bool TriangleCheck(int X1, int Y1, int X2, int Y2, int X3, int Y3)
{
    return DrawCoordInRange(X1) && DrawCoordInRange(Y1) && DrawCoordInRange(X2) && DrawCoordInRange(Y2) &&
           DrawCoordInRange(X3) && DrawCoordInRange(Y3) && DrawDiffInRange(X2, X1) && DrawDiffInRange(X3, X2) && DrawDiffInRange(X1, X3) && DrawDiffInRange(Y2, Y1) &&
           DrawDiffInRange(Y3, Y2) && DrawDiffInRange(Y1, Y3);
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

std::string LabelFormat(const std::string& Format)
{
    if (Format.size() <= LabelFormatMax)
        return Format;
    // Back over the continuation bytes of a character cut in two.
    std::size_t n = LabelFormatMax;
    while (n > 0 && (static_cast<unsigned char>(Format[n]) & 0xC0) == 0x80)
        --n;
    return Format.substr(0, n);
}

TFont FontScaled(const TFont& Font, double Ratio)
{
    TFont f = Font;
    f.Height = LengthScaled(Font.Height, Ratio);
    return f;
}
