// The canvas draws polylines' lines with both ends inside, and small
// ellipses, without a test per pixel. These shortcuts must give exactly the pixels and the
// changed area of the general code, which a clip region of two rectangles
// covering the whole bitmap forces.
#include "toolkit/graphics/CanvasPrivate.h"
#include "toolkit/graphics/Graphics.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <random>
#include <vector>

namespace {

// Compares a drawing made the short way with the same drawing made through
// the general code; `scope` names the case in a failure.
void ExpectSameAsGeneral(int w, int h, const std::function<void(TCanvas&)>& draw, const std::string& scope)
{
    TBitmap quick(w, h), general(w, h);
    general.Canvas().SetClipRegion({Rect(0, 0, w, h / 2), Rect(0, h / 2, w, h)});
    quick.TakeDirty();
    general.TakeDirty();
    draw(quick.Canvas());
    draw(general.Canvas());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            ASSERT_EQ(quick.ScanLine(y)[x], general.ScanLine(y)[x]) << scope << " at " << x << "," << y;
    EXPECT_EQ(quick.TakeDirty(), general.TakeDirty()) << scope;
    EXPECT_EQ(quick.Canvas().PenPos, general.Canvas().PenPos) << scope;
}

}  // namespace

TEST(CanvasShortcuts, LinesInEveryDirectionDrawWhatTheGeneralCodeDraws)
{
    // Every slope up to 20 pixels long: the short ones take the table, the
    // longer ones the loop with its carries.
    for (int dx = -20; dx <= 20; ++dx)
        for (int dy = -20; dy <= 20; ++dy)
            ExpectSameAsGeneral(
                42, 42,
                [&](TCanvas& c) {
                    c.Pen.Color = clRed;
                    const TPoint ends[] = {{21, 21}, {21 + dx, 21 + dy}};
                    c.Polyline(ends);
                },
                "line " + std::to_string(dx) + "," + std::to_string(dy));
}

TEST(CanvasShortcuts, LinesCrossingTheEdgesDrawWhatTheGeneralCodeDraws)
{
    // Lines with an end outside, near or at the int range, in copy mode
    // (clipped without a test per pixel's region) and in mode not.
    std::mt19937 rng(11);
    const int far[] = {INT_MIN, INT_MAX, -(1 << 20), 1 << 20, -1000, 1000};
    auto coord = [&] { return rng() % 6 == 0 ? far[rng() % 6] : int(rng() % 90) - 30; };
    for (int i = 0; i < 3000; ++i) {
        const TPoint a{coord(), coord()}, b{coord(), coord()};
        const bool invert = rng() % 5 == 0;
        ExpectSameAsGeneral(
            30, 30,
            [&](TCanvas& c) {
                c.Pen.Color = clRed;
                c.Pen.Mode = invert ? pmNot : pmCopy;
                c.MoveTo(a.X, a.Y);
                c.LineTo(b.X, b.Y);
            },
            "line " + std::to_string(i));
    }
}

TEST(CanvasShortcuts, PolylineDrawsItsLinesOneByOne)
{
    // In and out of the bitmap and along its edges, with lines of no length.
    const std::vector<TPoint> points = {{2, 3},  {5, 4},   {5, 4},  {-3, 8}, {7, 15},  {19, 19}, {25, 10},
                                        {19, 0}, {12, 12}, {13, 9}, {0, 19}, {0, 0},   {19, 0},  {9, 9}};
    ExpectSameAsGeneral(20, 20, [&](TCanvas& c) { c.Polyline(points); }, "polyline");

    TBitmap joined(20, 20), single(20, 20);
    joined.TakeDirty();
    single.TakeDirty();
    joined.Canvas().Polyline(points);
    single.Canvas().MoveTo(points[0].X, points[0].Y);
    for (std::size_t i = 1; i < points.size(); ++i)
        single.Canvas().LineTo(points[i].X, points[i].Y);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            ASSERT_EQ(joined.ScanLine(y)[x], single.ScanLine(y)[x]) << x << "," << y;
    // One mark for the whole polyline, covering what the lines marked.
    const auto marks = joined.TakeDirty();
    ASSERT_EQ(marks.size(), 1u);
    for (const TRect& r : single.TakeDirty())
        EXPECT_TRUE(marks[0].Contains(r));
    EXPECT_EQ(joined.Canvas().PenPos, single.Canvas().PenPos);
}

TEST(CanvasShortcuts, SmallEllipsesDrawWhatTheGeneralCodeDrawsWhereverTheyAre)
{
    // One canvas draws every case in turn, so a shape remembered from the
    // case before would show; a fresh one draws each case alone.
    TBitmap reused(64, 64);
    struct Style {
        TPenStyle pen;
        TBrushStyle brush;
        TColor brushColor;
    };
    const Style styles[] = {{psSolid, bsSolid, clRed}, {psSolid, bsSolid, clLime}, {psClear, bsSolid, clLime},
                            {psSolid, bsClear, clLime}};
    for (int w = 1; w <= 9; ++w)
        for (int h = 1; h <= 9; ++h)
            for (int width = -2; width <= 3; ++width)
                for (const Style& s : styles) {
                    const std::string scope = std::to_string(w) + "x" + std::to_string(h) + " pen " +
                                              std::to_string(width) + " style " + std::to_string(&s - styles);
                    auto draw = [&](TCanvas& c, int x, int y) {
                        c.Pen.Color = clLime;
                        c.Pen.Width = width;
                        c.Pen.Style = s.pen;
                        c.Brush.Style = s.brush;
                        c.Brush.Color = s.brushColor;
                        c.Ellipse(x, y, x + w, y + h);
                    };
                    ExpectSameAsGeneral(32, 32, [&](TCanvas& c) { draw(c, 8, 9); }, scope);

                    TBitmap fresh(64, 64);
                    reused.Canvas().Brush.Style = bsSolid;
                    reused.Canvas().Brush.Color = clWhite;
                    reused.Canvas().FillRect(reused.BoundsRect());
                    draw(reused.Canvas(), 40, 45);
                    draw(fresh.Canvas(), 4, 3);
                    // The same shape far from the first place, and in the
                    // canvas that drew other shapes before.
                    for (int y = 0; y < 16; ++y)
                        for (int x = 0; x < 16; ++x)
                            ASSERT_EQ(reused.ScanLine(45 - 3 + y)[40 - 4 + x], fresh.ScanLine(y)[x])
                                << scope << " at " << x << "," << y;
                }
}

TEST(CanvasShortcuts, RectanglesDrawWhatTheGeneralCodeDraws)
{
    // Every size up to 6 pixels, corners given either way round, inside the
    // bitmap, across its edges and beyond, with the pens and brushes that
    // keep or leave the straight way.
    std::mt19937 rng(5);
    auto pick = [&](int n) { return int(rng() % unsigned(n)); };
    for (int i = 0; i < 3000; ++i) {
        const int x1 = pick(30) - 8, y1 = pick(30) - 8, x2 = x1 + pick(13) - 6, y2 = y1 + pick(13) - 6;
        const int width = pick(4) - 1;
        const bool invert = pick(5) == 0, clearBrush = pick(5) == 0;
        ExpectSameAsGeneral(
            20, 20,
            [&](TCanvas& c) {
                c.Pen.Color = clRed;
                c.Pen.Width = width;
                c.Pen.Mode = invert ? pmNot : pmCopy;
                c.Brush.Color = clLime;
                c.Brush.Style = clearBrush ? bsClear : bsSolid;
                c.Rectangle(x1, y1, x2, y2);
            },
            "rectangle " + std::to_string(i));
    }
}

TEST(CanvasShortcuts, RepeatedSmallEllipsesDrawWhatTheGeneralCodeDraws)
{
    // A plot's points: the same ellipse again and again, now and then
    // another size, pen or colour, inside the clip, across its edges and
    // far outside; each call against the general code's.
    TBitmap quick(64, 64), general(64, 64);
    quick.Canvas().SetClipRect(Rect(4, 4, 60, 60));
    general.Canvas().SetClipRegion({Rect(4, 4, 60, 32), Rect(4, 32, 60, 60)});
    std::mt19937 rng(11);
    auto pick = [&](int n) { return int(rng() % unsigned(n)); };
    const int sizes[][2] = {{5, 5}, {5, 5}, {3, 4}, {1, 1}, {9, 7}, {70, 70}};
    const int coords[] = {INT_MIN, -100, INT_MAX - 3, INT_MAX};
    int w = 5, h = 5, width = 1;
    TPenStyle penStyle = psSolid;
    TPenMode penMode = pmCopy;
    TBrushStyle brushStyle = bsSolid;
    TColor penColor = clLime, brushColor = clLime;
    for (int i = 0; i < 4000; ++i) {
        if (pick(40) == 0) {
            const int k = pick(int(std::size(sizes)));
            w = sizes[k][0];
            h = sizes[k][1];
        }
        if (pick(60) == 0)
            width = pick(5) - 1;
        if (pick(60) == 0)
            penStyle = pick(4) == 0 ? psClear : psSolid;
        if (pick(60) == 0)
            penMode = pick(3) == 0 ? pmNot : pmCopy;
        if (pick(60) == 0)
            brushStyle = pick(4) == 0 ? bsClear : bsSolid;
        if (pick(30) == 0)
            penColor = pick(3) == 0 ? clRed : clLime;
        if (pick(30) == 0)
            brushColor = pick(3) == 0 ? clRed : clLime;
        int x = pick(84) - 10, y = pick(84) - 10;
        if (pick(50) == 0)
            x = coords[pick(4)];
        if (pick(50) == 0)
            y = coords[pick(4)];
        const int x2 = int(std::min<std::int64_t>(std::int64_t(x) + w, INT_MAX));
        const int y2 = int(std::min<std::int64_t>(std::int64_t(y) + h, INT_MAX));
        for (TBitmap* b : {&quick, &general}) {
            TCanvas& c = b->Canvas();
            c.Pen.Width = width;
            c.Pen.Style = penStyle;
            c.Pen.Mode = penMode;
            c.Pen.Color = penColor;
            c.Brush.Style = brushStyle;
            c.Brush.Color = brushColor;
            c.Ellipse(x, y, x2, y2);
        }
        const std::string scope = "call " + std::to_string(i);
        for (int row = 0; row < 64; ++row)
            for (int col = 0; col < 64; ++col)
                ASSERT_EQ(quick.ScanLine(row)[col], general.ScanLine(row)[col]) << scope << " at " << col << "," << row;
        ASSERT_EQ(quick.TakeDirty(), general.TakeDirty()) << scope;
    }
}

TEST(Bitmap, ChangesMarkedAfterTakingThemAreReportedAgain)
{
    TBitmap b(50, 50);
    int changes = 0;
    b.OnChange = [&] { ++changes; };
    b.TakeDirty();
    b.MarkDirty(Rect(0, 0, 40, 40));
    EXPECT_EQ(changes, 1);
    b.MarkDirty(Rect(5, 5, 10, 10));  // inside what is marked
    EXPECT_EQ(b.TakeDirty(), std::vector<TRect>{Rect(0, 0, 40, 40)});
    b.MarkDirty(Rect(5, 5, 10, 10));
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(b.TakeDirty(), std::vector<TRect>{Rect(5, 5, 10, 10)});

    // A new size or picture marks all of it, and only that.
    b.MarkDirty(Rect(0, 0, 10, 10));
    b.SetSize(20, 20);
    b.MarkDirty(Rect(1, 1, 2, 2));
    EXPECT_EQ(b.TakeDirty(), std::vector<TRect>{Rect(0, 0, 20, 20)});
    b.MarkDirty(Rect(1, 1, 2, 2));
    b = TBitmap(8, 8);
    b.MarkDirty(Rect(1, 1, 2, 2));
    EXPECT_EQ(b.TakeDirty(), std::vector<TRect>{Rect(0, 0, 8, 8)});
    b.MarkDirty(Rect(1, 1, 2, 2));
    EXPECT_EQ(b.TakeDirty(), std::vector<TRect>{Rect(1, 1, 2, 2)});
}

TEST(CanvasShortcuts, TrianglesFillWhatTheGeneralPolygonFills)
{
    // A fourth corner repeating the third adds no edge but sends the
    // polygon down the general path. Corners near the bitmap, on its edges
    // and far out (at the int range and at the limit of the row filler).
    std::mt19937 rng(33);
    std::uniform_int_distribution<int> nearBy(-12, 52), pick(0, 9);
    const int far[] = {INT_MIN, INT_MAX, -(1 << 20), 1 << 20, (1 << 20) + 1, -(1 << 20) - 1, 0, 39, 40, 1 << 24};
    auto coord = [&] { return pick(rng) == 0 ? far[pick(rng)] : nearBy(rng); };
    for (int round = 0; round < 4000; ++round) {
        TPoint a{coord(), coord()};
        const TPoint b{coord(), coord()}, c{coord(), coord()};
        // A far corner on both axes: long edges whose stepping starts far
        // from their ends, in 64 bits.
        if (round % 4 == 3)
            a = {far[2 + pick(rng) % 2], far[2 + pick(rng) % 2]};
        const int width = round % 5 == 4 ? 3 : 1;
        const bool clipped = round % 3 == 1;
        const TPoint triangle[] = {a, b, c}, polygon[] = {a, b, c, c};
        TBitmap quick(40, 40), general(40, 40);
        for (TBitmap* bmp : {&quick, &general}) {
            TCanvas& cv = bmp->Canvas();
            cv.Pen.Color = clRed;
            cv.Pen.Width = width;
            cv.Brush.Color = clLime;
            cv.PenPos = {7, 9};
            if (clipped)
                cv.SetClipRegion({Rect(3, 2, 30, 25), Rect(10, 20, 38, 37)});
            bmp->TakeDirty();
        }
        quick.Canvas().Polygon(triangle);
        general.Canvas().Polygon(polygon);
        const std::string scope = "round " + std::to_string(round);
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x)
                ASSERT_EQ(quick.ScanLine(y)[x], general.ScanLine(y)[x]) << scope << " at " << x << "," << y;
        EXPECT_EQ(quick.TakeDirty(), general.TakeDirty()) << scope;
        EXPECT_EQ(quick.Canvas().PenPos, general.Canvas().PenPos) << scope;
    }
}

TEST(CanvasShortcuts, ShortWideLinesKeepTheirShapeWhereverTheyStart)
{
    // Short wide lines are drawn from their shape worked out at the origin:
    // that must be the general arithmetic's result at every start the
    // shortcut takes, the farthest included.
    using canvas_detail::WideSegment;
    using canvas_detail::i64;
    const TPoint starts[] = {{0, 0}, {37, -11}, {1 << 20, -(1 << 20)}, {-(1 << 20), (1 << 20) - 1}, {918273, 65537}};
    for (int width = 2; width <= 16; ++width)
        for (int dx = -8; dx <= 8; ++dx)
            for (int dy = -8; dy <= 8; ++dy) {
                const WideSegment shape(0, 0, dx, dy, width);
                for (const TPoint s : starts) {
                    const WideSegment at(s.X, s.Y, i64(s.X) + dx, i64(s.Y) + dy, width);
                    for (i64 y = shape.Top() - 2; y <= shape.Bottom() + 2; ++y) {
                        i64 a1 = 0, b1 = -1, a2 = 0, b2 = -1;
                        const bool any = shape.Row(y, a1, b1);
                        ASSERT_EQ(at.Row(s.Y + y, a2, b2), any) << width << " " << dx << "," << dy << " row " << y;
                        if (any) {
                            ASSERT_TRUE(a2 == s.X + a1 && b2 == s.X + b1)
                                << width << " " << dx << "," << dy << " from " << s.X << "," << s.Y << " row " << y;
                        }
                    }
                }
            }

    // Drawn straight into the rows or span by span through a clip region.
    for (int width = 2; width <= 5; ++width)
        for (const TPenMode mode : {pmCopy, pmNot})
            ExpectSameAsGeneral(
                48, 48,
                [&](TCanvas& c) {
                    c.Pen.Color = clRed;
                    c.Pen.Width = width;
                    c.Pen.Mode = mode;
                    std::vector<TPoint> path;
                    for (int dx = -9; dx <= 9; dx += 2)
                        for (int dy = -9; dy <= 9; dy += 3)
                            path.push_back({24 + dx, 24 + dy});
                    path.push_back({-3, 47});  // across the edge
                    path.push_back({2, 44});
                    c.Polyline(path);
                },
                "width " + std::to_string(width) + " mode " + std::to_string(mode));
}

TEST(CanvasShortcuts, RowsAreFilledExactlyFromTheirFirstPixelToTheirEnd)
{
    // Rows are written four words at a time, the last four overlapping the
    // ones before, and the shortest by their first, middle and last pixel;
    // streamed, from the first aligned word on: every length at every place
    // and alignment, the words beside left alone.
    for (const auto fill : {canvas_detail::FillRow, canvas_detail::StreamRow})
        for (int x1 = 0; x1 < 40; ++x1)
            for (int x2 = x1 + 1; x2 <= 40; ++x2) {
                std::vector<std::uint32_t> row(44, 7);
                fill(row.data() + 2, x1, x2, 0xABCDEF);
                canvas_detail::StreamFence();
                for (int x = 0; x < 44; ++x)
                    ASSERT_EQ(row[std::size_t(x)], x >= x1 + 2 && x < x2 + 2 ? 0xABCDEFu : 7u)
                        << x1 << ".." << x2 << " at " << x;
            }
}

TEST(CanvasShortcuts, LargeBackgroundsDrawWhatTheGeneralCodeDraws)
{
    // A rectangle beyond the size whose rows are streamed, its rows starting
    // at each alignment.
    for (int left = 0; left < 4; ++left)
        ExpectSameAsGeneral(
            1100, 1000,
            [&](TCanvas& c) {
                c.Pen.Color = clRed;
                c.Brush.Color = clNavy;
                c.Rectangle(left, 1, 1100 - left, 1000);
            },
            "left " + std::to_string(left));
}
