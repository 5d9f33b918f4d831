#include "components/image/Qelutils.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

constexpr int IntMin = std::numeric_limits<int>::min();
constexpr int IntMax = std::numeric_limits<int>::max();

// Anything with a size will do as the control.
struct Box {
    int w, h;
};

// A bitmap painted all white, so that drawing shows.
struct Surface {
    TBitmap bitmap;
    TCanvas& canvas;
    Surface(int w, int h) : bitmap(w, h), canvas(bitmap.Canvas())
    {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                canvas.SetPixel(x, y, clWhite);
    }
    int Count(TColor c) const
    {
        int n = 0;
        for (int y = 0; y < bitmap.Height(); ++y)
            for (int x = 0; x < bitmap.Width(); ++x)
                n += canvas.Pixels(x, y) == c;
        return n;
    }
};

}  // namespace

TEST(Qelutils, ColorMix)
{
    EXPECT_EQ(ColorMix(clRed, clBlue, 1, 4), 0x003F00BF);
    // The ends give the channel bytes only: a high byte is dropped...
    EXPECT_EQ(ColorMix(0x12345678, 0x00ABCDEF, 0, 4), 0x00345678);
    EXPECT_EQ(ColorMix(0x00345678, 0x7FABCDEF, 4, 4), 0x00ABCDEF);
    EXPECT_EQ(ColorMix(clBtnFace, clWhite, 0, 3), 0x0000000F);
    // ...but without steps Color1 comes back whole.
    EXPECT_EQ(ColorMix(0x12345678, clBlack, 5, 0), 0x12345678);
    EXPECT_EQ(ColorMix(clBtnFace, clBlack, 1, -3), clBtnFace);
    // Steps outside 0..Steps: the formula cut to 8 bits, division toward zero.
    EXPECT_EQ(ColorMix(clBlack, clRed, 5, 4), 0x0000003E);  // 1275 / 4 = 318
    EXPECT_EQ(ColorMix(clRed, clBlack, 5, 4), 0x000000C1);  // -255 / 4 = -63
    // Far outside: no overflow, still the formula's value.
    EXPECT_EQ(ColorMix(clWhite, clBlack, IntMin, IntMax), 0x00FEFEFE);  // 255 * (2^32 - 1) / IntMax = 510
    EXPECT_EQ(ColorMix(clBlack, clWhite, IntMin, IntMax), 0x00010101);  // -255 * 2^31 / IntMax = -255
}

TEST(Qelutils, RoundInt)
{
    EXPECT_EQ(RoundInt(0.5), 1);
    EXPECT_EQ(RoundInt(1.5), 2);
    EXPECT_EQ(RoundInt(2.5), 3);
    EXPECT_EQ(RoundInt(-0.5), -1);
    EXPECT_EQ(RoundInt(-1.5), -2);
    EXPECT_EQ(RoundInt(-2.5), -3);
    EXPECT_EQ(RoundInt(2.4999), 2);
    EXPECT_EQ(RoundInt(-2.4999), -2);
    EXPECT_EQ(RoundInt(0.0), 0);
    EXPECT_EQ(RoundInt(-0.0), 0);
    // Adding 0.5 and taking the floor would give 1 here.
    EXPECT_EQ(RoundInt(0.49999999999999994), 0);
    EXPECT_EQ(RoundInt(2147483646.5), IntMax);
    EXPECT_EQ(RoundInt(-2147483648.0), IntMin);
    // Outside the int range and not-a-number: defined, no undefined cast.
    EXPECT_EQ(RoundInt(1e10), IntMax);
    EXPECT_EQ(RoundInt(-1e10), IntMin);
    EXPECT_EQ(RoundInt(std::numeric_limits<double>::infinity()), IntMax);
    EXPECT_EQ(RoundInt(std::nan("")), 0);
}

TEST(Qelutils, LineCheckRange)
{
    EXPECT_TRUE(LineCheck(0, 0, 8191, 0));
    EXPECT_TRUE(LineCheck(-8191, -8191, 0, 0));
    EXPECT_TRUE(LineCheck(-4096, 0, 4095, 0));     // difference 8191
    EXPECT_FALSE(LineCheck(-8191, 0, 8191, 0));    // difference 16382
    EXPECT_FALSE(LineCheck(4096, 0, -4096, 0));    // difference -8192
    EXPECT_FALSE(LineCheck(0, 0, -8192, 0));
    EXPECT_FALSE(LineCheck(8192, 0, 8192, 0));
    EXPECT_FALSE(LineCheck(0, 8192, 0, 8192));
    EXPECT_FALSE(LineCheck(0, 0, 0, -8192));
    EXPECT_FALSE(LineCheck(0, -4096, 0, 4096));
    EXPECT_FALSE(LineCheck(IntMin, IntMax, IntMax, IntMin));
}

TEST(Qelutils, TriangleCheckEachEdge)
{
    EXPECT_TRUE(TriangleCheck(-8191, 8191, 0, 0, 0, 0));
    EXPECT_TRUE(TriangleCheck(-4096, -4096, 4095, 4095, 0, 0));
    EXPECT_FALSE(TriangleCheck(0, 0, 8192, 0, 0, 0));
    EXPECT_FALSE(TriangleCheck(0, 0, 0, 0, 0, -8192));
    // Every coordinate in range, one edge 8192 long.
    EXPECT_FALSE(TriangleCheck(-4096, 0, 4096, 0, 0, 0));  // X2 - X1
    EXPECT_FALSE(TriangleCheck(0, 0, -4096, 0, 4096, 0));  // X3 - X2
    EXPECT_FALSE(TriangleCheck(4096, 0, 0, 0, -4096, 0));  // X1 - X3
    EXPECT_FALSE(TriangleCheck(0, -4096, 0, 4096, 0, 0));  // Y2 - Y1
    EXPECT_FALSE(TriangleCheck(0, 0, 0, -4096, 0, 4096));  // Y3 - Y2
    EXPECT_FALSE(TriangleCheck(0, 4096, 0, 0, 0, -4096));  // Y1 - Y3
    EXPECT_FALSE(TriangleCheck(IntMax, 0, IntMin, 0, 0, 0));
}

TEST(Qelutils, CanvasClear)
{
    Surface s(4, 3);
    s.canvas.Brush.Style = bsClear;
    CanvasClear(3, 2, s.canvas, clRed);
    EXPECT_EQ(s.canvas.Pen.Color, clRed);
    EXPECT_EQ(s.canvas.Brush.Color, clRed);
    // Right and bottom edges are left out.
    EXPECT_EQ(s.Count(clRed), 6);
    EXPECT_EQ(s.canvas.Pixels(2, 1), clRed);
    EXPECT_EQ(s.canvas.Pixels(3, 1), clWhite);
    EXPECT_EQ(s.canvas.Pixels(2, 2), clWhite);
}

TEST(Qelutils, TriangleDraw)
{
    Surface s(6, 6);
    const Box box{6, 6};
    s.canvas.Pen.Color = clRed;
    s.canvas.Brush.Color = clBlue;

    // Wholly beyond one side: true, nothing drawn, however far away.
    EXPECT_TRUE(TriangleDraw(box.w, box.h, s.canvas, -1, 0, -1, 5, -1, 3));
    EXPECT_TRUE(TriangleDraw(box.w, box.h, s.canvas, 7, 0, 9000, 5, 7, 3));
    EXPECT_TRUE(TriangleDraw(box.w, box.h, s.canvas, 0, -1, 5, -9000, 3, -1));
    EXPECT_TRUE(TriangleDraw(box.w, box.h, s.canvas, 0, 7, 5, IntMax, 3, 7));
    EXPECT_EQ(s.Count(clWhite), 36);

    // The side tests are strict: a vertex on x = 0, x = W, y = 0 or y = H
    // keeps the triangle, which then fails the range check.
    EXPECT_FALSE(TriangleDraw(box.w, box.h, s.canvas, 0, 0, -9000, 5, -1, 3));
    EXPECT_FALSE(TriangleDraw(box.w, box.h, s.canvas, 6, 0, 9000, 5, 7, 3));
    EXPECT_FALSE(TriangleDraw(box.w, box.h, s.canvas, 0, 0, 5, -9000, 3, -1));
    EXPECT_FALSE(TriangleDraw(box.w, box.h, s.canvas, 0, 6, 5, 9000, 3, 7));
    // Straddling the surface but out of range: not drawn.
    EXPECT_FALSE(TriangleDraw(box.w, box.h, s.canvas, 0, 0, 9000, 0, 0, 5));
    EXPECT_EQ(s.Count(clWhite), 36);

    // On the surface: outlined with the pen, filled with the brush.
    EXPECT_TRUE(TriangleDraw(box.w, box.h, s.canvas, 0, 0, 4, 0, 0, 4));
    EXPECT_EQ(s.canvas.Pixels(0, 0), clRed);
    EXPECT_EQ(s.canvas.Pixels(1, 1), clBlue);
    EXPECT_EQ(s.canvas.Pixels(5, 5), clWhite);
    EXPECT_EQ(s.canvas.Pixels(4, 4), clWhite);
}
