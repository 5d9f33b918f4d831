#include "toolkit/graphics/Graphics.h"
#include "toolkit/system/Errors.h"

#include "support/TextPicture.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

TBitmap White(int w, int h)
{
    TBitmap b(w, h);
    return b;
}

}  // namespace

TEST(Bitmap, ResizeKeepsTheTopLeftAndFillsWhite)
{
    TBitmap b(2, 2);
    b.ScanLine(0)[0] = 0x123456;
    b.SetSize(3, 3);
    EXPECT_EQ(b.ScanLine(0)[0], 0x123456u);
    EXPECT_EQ(b.ScanLine(2)[2], 0xFFFFFFu);
    b.SetSize(-5, 4);
    EXPECT_EQ(b.Width(), 0);
    EXPECT_TRUE(b.Empty());
    EXPECT_THROW(b.ScanLine(9), EInvalidGraphic);
    EXPECT_THROW(b.SetSize(INT_MAX, INT_MAX), EOutOfResources);
    EXPECT_EQ(b.Width(), 0);

    TBitmap c(1, 1);
    c.SetPixelFormat(pf32bit);
    c.ScanLine(0)[0] = 0xAB112233;
    c.SetPixelFormat(pf24bit);
    EXPECT_EQ(c.ScanLine(0)[0], 0x112233u);
}

TEST(Colors, SystemColoursAndPixelWords)
{
    EXPECT_EQ(ColorToRGB(clBtnFace), 0xC0C0C0);
    EXPECT_EQ(ColorToRGB(clBtnHighlight), 0xFFFFFF);
    EXPECT_EQ(ColorToRGB(clBtnShadow), 0x808080);
    EXPECT_EQ(ColorToRGB(0x01FF6496), 0xFF6496);
    EXPECT_EQ(ColorToPixel(0x000000FF), 0x00FF0000u);  // red
    EXPECT_EQ(PixelToColor(0x00FF0000u), 0x000000FF);
}

TEST(Canvas, LinesLeaveOutTheirEndPixel)
{
    TBitmap b = White(6, 6);
    TCanvas& c = b.Canvas();
    c.MoveTo(1, 1);
    c.LineTo(5, 1);  // right
    c.MoveTo(0, 5);
    c.LineTo(0, 2);  // up
    c.MoveTo(2, 2);
    c.LineTo(5, 5);  // diagonal
    c.MoveTo(4, 4);
    c.LineTo(4, 4);  // nothing at all
    EXPECT_EQ(TextPicture(b), TextRows({"......",
                                        ".####.",
                                        "..#...",
                                        "#..#..",
                                        "#...#.",
                                        "#....."}));
    EXPECT_EQ(c.PenPos, Point(4, 4));
}

TEST(Canvas, ShallowAndSteepLinesStepEvenly)
{
    TBitmap b = White(9, 3);
    b.Canvas().MoveTo(0, 0);
    b.Canvas().LineTo(8, 2);
    EXPECT_EQ(TextPicture(b), TextRows({"##.......",
                                        "..####...",
                                        "......##."}));
    TBitmap s = White(3, 5);
    s.Canvas().MoveTo(2, 4);
    s.Canvas().LineTo(0, 0);
    // A tie between two pixels goes the way the line travels.
    EXPECT_EQ(TextPicture(s), TextRows({"...",
                                        "#..",
                                        ".#.",
                                        ".#.",
                                        "..#"}));
}

TEST(Canvas, HugeCoordinatesClipWithoutWalkingTheLine)
{
    TBitmap b = White(4, 4);
    TCanvas& c = b.Canvas();
    c.MoveTo(INT_MIN + 2, INT_MIN + 2);
    c.LineTo(INT_MAX - 1, INT_MAX - 1);
    EXPECT_EQ(TextPicture(b), TextRows({"#...", ".#..", "..#.", "...#"}));

    TBitmap r = White(4, 4);
    r.Canvas().Brush.Color = clBlack;
    r.Canvas().Rectangle(INT_MIN, 2, INT_MAX, INT_MAX);
    r.Canvas().Ellipse(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
    const TPoint tri[] = {{INT_MIN, INT_MIN}, {INT_MAX, 0}, {0, INT_MAX}};
    r.Canvas().Polygon(tri);
    r.Canvas().Pen.Width = 7;
    r.Canvas().MoveTo(INT_MIN, 1);
    r.Canvas().LineTo(INT_MAX, 1);
    EXPECT_EQ(TextPicture(r), TextRows({"####", "####", "####", "####"}));
}

TEST(Canvas, WidePensAreRoundEndedAndCentred)
{
    TBitmap b = White(9, 7);
    TCanvas& c = b.Canvas();
    c.Pen.Width = 3;
    c.MoveTo(2, 3);
    c.LineTo(6, 3);
    EXPECT_EQ(TextPicture(b), TextRows({".........",
                                        ".........",
                                        ".#######.",
                                        ".#######.",
                                        ".#######.",
                                        ".........",
                                        "........."}));
    TBitmap e = White(6, 4);
    e.Canvas().Pen.Width = 2;
    e.Canvas().MoveTo(1, 2);
    e.Canvas().LineTo(4, 2);
    // An even width runs along pixel edges, so its round ends reach one
    // pixel further on each side.
    EXPECT_EQ(TextPicture(e), TextRows({"......", "#####.", "#####.", "......"}));
}

TEST(Canvas, RectangleOutlinesWithPenAndFillsWithBrush)
{
    TBitmap b = White(6, 5);
    TCanvas& c = b.Canvas();
    c.Pen.Color = clBlack;
    c.Brush.Color = clRed;
    c.Rectangle(4, 4, 0, 0);  // corners in any order
    EXPECT_EQ(TextPicture(b), TextRows({"####..", "#..#..", "#..#..", "####..", "......"}));
    EXPECT_EQ(TextPicture(b, clRed), TextRows({"......", ".##...", ".##...", "......", "......"}));

    TBitmap f = White(4, 3);
    f.Canvas().Brush.Color = clBlack;
    f.Canvas().FillRect(Rect(1, 1, 3, 3));
    f.Canvas().FillRect(Rect(3, 0, 1, 1));  // empty: right left of left
    f.Canvas().Brush.Style = bsClear;
    f.Canvas().FillRect(Rect(0, 0, 4, 3));
    EXPECT_EQ(TextPicture(f), TextRows({"....", ".##.", ".##."}));
}

TEST(Canvas, NotPenInvertsEveryPixelOnce)
{
    TBitmap b = White(4, 3);
    TCanvas& c = b.Canvas();
    c.Pen.Mode = pmNot;
    c.Brush.Style = bsClear;
    c.Rectangle(0, 0, 4, 3);
    EXPECT_EQ(TextPicture(b), TextRows({"####", "#..#", "####"}));
    c.SetClipRegion({Rect(0, 0, 3, 3), Rect(1, 0, 4, 3)});  // overlapping parts
    c.Rectangle(0, 0, 4, 3);
    EXPECT_EQ(TextPicture(b), TextRows({"....", "....", "...."}));
}

TEST(Canvas, EllipseFitsItsBoxWithAThinOutline)
{
    TBitmap b = White(10, 10);
    TCanvas& c = b.Canvas();
    c.Brush.Color = clRed;
    c.Ellipse(0, 0, 10, 10);
    EXPECT_EQ(TextPicture(b), TextRows({"...####...",
                                        ".##....##.",
                                        ".#......#.",
                                        "#........#",
                                        "#........#",
                                        "#........#",
                                        "#........#",
                                        ".#......#.",
                                        ".##....##.",
                                        "...####..."}));
    EXPECT_EQ(TextPicture(b, clRed).substr(11, 10), "...####...");

    TBitmap d = White(3, 3);
    d.Canvas().Brush.Color = clBlack;
    d.Canvas().Ellipse(1, 1, 2, 2);  // one pixel
    d.Canvas().Ellipse(0, 0, 0, 3);  // no width: nothing
    EXPECT_EQ(TextPicture(d), TextRows({"...", ".#.", "..."}));
}

TEST(Canvas, PolygonUsesAlternateFill)
{
    TBitmap b = White(7, 7);
    TCanvas& c = b.Canvas();
    c.Pen.Style = psClear;
    c.Brush.Color = clBlack;
    // Two overlapping squares drawn as one path: the overlap is outside.
    const TPoint pts[] = {{0, 0}, {4, 0}, {4, 4}, {2, 4}, {2, 2}, {6, 2}, {6, 6}, {0, 6}, {0, 0}};
    c.Polygon(pts);
    EXPECT_EQ(TextPicture(b), TextRows({"####...",
                                        "####...",
                                        "##..##.",
                                        "##..##.",
                                        "######.",
                                        "######.",
                                        "......."}));
    TBitmap t = White(5, 5);
    t.Canvas().Brush.Color = clRed;
    const TPoint tri[] = {{0, 0}, {4, 0}, {0, 4}};
    t.Canvas().Polygon(tri);
    EXPECT_EQ(TextPicture(t), TextRows({"#####", "#..#.", "#.#..", "##...", "#...."}));
}

TEST(Canvas, CopiesCombineWithAnyRasterOperation)
{
    TBitmap src(2, 1);
    src.ScanLine(0)[0] = 0x00F0F0F0;
    src.ScanLine(0)[1] = 0x000F0F0F;
    TBitmap dst(2, 1);
    auto run = [&](TCopyMode rop) {
        dst.ScanLine(0)[0] = dst.ScanLine(0)[1] = 0x00FF0000;
        dst.Canvas().CopyMode = rop;
        dst.Canvas().Draw(0, 0, src);
        return std::pair{dst.ScanLine(0)[0], dst.ScanLine(0)[1]};
    };
    EXPECT_EQ(run(cmSrcCopy), std::pair(0x00F0F0F0u, 0x000F0F0Fu));
    EXPECT_EQ(run(cmSrcPaint), std::pair(0x00FFF0F0u, 0x00FF0F0Fu));
    EXPECT_EQ(run(cmSrcInvert), std::pair(0x000FF0F0u, 0x00F00F0Fu));
    EXPECT_EQ(run(cmSrcAnd), std::pair(0x00F00000u, 0x000F0000u));
    EXPECT_EQ(run(cmMergePaint), std::pair(0x00FF0F0Fu, 0x00FFF0F0u));  // ~S | D
    EXPECT_EQ(run(cmBlackness), std::pair(0u, 0u));
    dst.Canvas().Brush.Color = clBlue;
    EXPECT_EQ(run(cmPatCopy), std::pair(0x000000FFu, 0x000000FFu));
}

TEST(Canvas, StretchDrawScalesAndMirrors)
{
    TBitmap src(3, 1);
    src.ScanLine(0)[0] = 1;
    src.ScanLine(0)[1] = 2;
    src.ScanLine(0)[2] = 3;
    TBitmap dst(6, 2);
    dst.Canvas().StretchDraw(Rect(0, 0, 6, 2), src);
    std::vector<std::uint32_t> row(dst.ScanLine(1), dst.ScanLine(1) + 6);
    EXPECT_EQ(row, (std::vector<std::uint32_t>{1, 1, 2, 2, 3, 3}));
    dst.Canvas().StretchDraw(Rect(3, 0, 0, 1), src);  // left right of right: mirrored
    row.assign(dst.ScanLine(0), dst.ScanLine(0) + 6);
    EXPECT_EQ(row, (std::vector<std::uint32_t>{3, 2, 1, 2, 3, 3}));
}

TEST(Canvas, TransparentDrawLeavesOutTheKeyColour)
{
    TBitmap src(2, 2);
    src.Canvas().Brush.Color = clBlack;
    src.Canvas().FillRect(Rect(0, 0, 2, 2));
    src.Canvas().SetPixel(1, 0, clRed);
    src.Transparent = true;  // key: the bottom-left pixel, black
    TBitmap dst(2, 2);
    dst.Canvas().Draw(0, 0, src);
    EXPECT_EQ(TextPicture(dst, clWhite), TextRows({"#.", "##"}));
    EXPECT_EQ(dst.Canvas().Pixels(1, 0), clRed);
}

TEST(Canvas, ClipRegionLimitsDrawingAndVisibility)
{
    TBitmap b = White(5, 3);
    TCanvas& c = b.Canvas();
    c.SetClipRect(Rect(1, 0, 3, 2));
    EXPECT_TRUE(c.PtVisible(1, 1));
    EXPECT_FALSE(c.PtVisible(3, 1));
    EXPECT_FALSE(c.PtVisible(-1, 0));
    c.Brush.Color = clBlack;
    c.FillRect(Rect(0, 0, 5, 3));
    c.SetPixel(4, 2, clBlack);
    EXPECT_EQ(c.Pixels(4, 2), -1);
    EXPECT_EQ(TextPicture(b), TextRows({".##..", ".##..", "....."}));
    c.SetClipRegion({});
    EXPECT_FALSE(c.PtVisible(1, 1));
    c.ClearClipRegion();
    EXPECT_TRUE(c.PtVisible(4, 2));
}

TEST(Canvas, BackgroundModeFollowsTheBrushUntilSet)
{
    TBitmap b(1, 1);
    TCanvas& c = b.Canvas();
    EXPECT_EQ(c.BkMode(), OPAQUE);
    c.SetBkMode(TRANSPARENT);
    EXPECT_EQ(c.BkMode(), TRANSPARENT);
    c.Brush.Color = clRed;  // a new brush sets the mode from its style again
    EXPECT_EQ(c.BkMode(), OPAQUE);
    c.Brush.Style = bsClear;
    EXPECT_EQ(c.BkMode(), TRANSPARENT);
}

TEST(Canvas, DrawingMarksOnlyWhatItTouched)
{
    TBitmap b(100, 100);
    b.TakeDirty();
    int changes = 0;
    b.OnChange = [&] { ++changes; };
    TCanvas& c = b.Canvas();
    c.FillRect(Rect(-10, -10, 5, 4));
    c.MoveTo(90, 90);
    c.LineTo(95, 92);
    c.Ellipse(50, 50, 50, 60);  // empty: marks nothing
    EXPECT_EQ(changes, 1);
    auto dirty = b.TakeDirty();
    ASSERT_EQ(dirty.size(), 2u);
    EXPECT_EQ(dirty[0], Rect(0, 0, 5, 4));
    EXPECT_EQ(dirty[1], Rect(90, 90, 95, 93));
    c.SetPixel(3, 3, clRed);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(b.TakeDirty(), std::vector<TRect>{Rect(3, 3, 4, 4)});
}

TEST(Canvas, TextIsBlendedInTheFontColourAndAligned)
{
    TBitmap b(200, 60);
    TCanvas& c = b.Canvas();
    c.Brush.Color = clBlack;
    c.FillRect(Rect(0, 0, 200, 60));
    c.Font.Name = "Arial";
    c.Font.Height = -40;
    c.Font.Color = 0xFF6496;
    c.SetBkMode(TRANSPARENT);
    c.SetTextAlign(TA_CENTER);
    c.TextOut(100, 0, "0");
    // Centred: the ink is symmetric about x = 100 within a pixel.
    int left = 200, right = -1, solid = 0, mixed = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 200; ++x) {
            const std::uint32_t px = b.ScanLine(y)[x];
            if (px == 0)
                continue;
            left = std::min(left, x);
            right = std::max(right, x);
            if (px == ColorToPixel(0xFF6496))
                ++solid;
            else {
                ++mixed;
                // A partly covered pixel lies between black and the colour.
                EXPECT_LE((px >> 16) & 0xFF, 0x96u);
                EXPECT_LE(px & 0xFF, 0xFFu);
                EXPECT_LE((px >> 8) & 0xFF, 0x64u);
            }
        }
    EXPECT_NEAR(100 - left, right + 1 - 100, 1);
    EXPECT_GT(solid, 50);
    EXPECT_GT(mixed, 10);

    // Opaque background fills the text cell with the brush colour.
    TBitmap o(100, 60);
    o.Canvas().Font = c.Font;
    o.Canvas().Brush.Color = clBlue;
    o.Canvas().TextOut(10, 5, "0");
    const int w = o.Canvas().TextWidth("0"), h = o.Canvas().TextHeight("0");
    EXPECT_EQ(o.Canvas().Pixels(10, 5), clBlue);
    EXPECT_EQ(o.Canvas().Pixels(10 + w - 1, 5 + h - 1), clBlue);
    EXPECT_EQ(o.Canvas().Pixels(10 + w, 5), clWhite);
    EXPECT_EQ(o.Canvas().Pixels(9, 5), clWhite);
}

TEST(Canvas, PlainCopiesClipToBothBitmaps)
{
    TBitmap src(3, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            src.ScanLine(y)[x] = std::uint32_t(10 * y + x);
    TBitmap dst(3, 3);
    dst.Canvas().Draw(-1, 1, src);
    EXPECT_EQ(dst.ScanLine(1)[0], 1u);
    EXPECT_EQ(dst.ScanLine(2)[1], 12u);
    EXPECT_EQ(dst.ScanLine(0)[0], 0xFFFFFFu);  // above the copy
    EXPECT_EQ(dst.ScanLine(1)[2], 0xFFFFFFu);  // right of the source

    dst.Canvas().CopyRect(Rect(0, 0, 3, 3), src.Canvas(), Rect(2, 2, 5, 5));  // mostly off the source
    EXPECT_EQ(dst.ScanLine(0)[0], 22u);
    EXPECT_EQ(dst.ScanLine(0)[1], 0xFFFFFFu);
    dst.Canvas().SetClipRect(Rect(1, 1, 2, 2));
    dst.Canvas().Draw(0, 0, src);
    EXPECT_EQ(dst.ScanLine(1)[1], 11u);
    EXPECT_EQ(dst.ScanLine(0)[0], 22u);  // outside the clip: as before
}
