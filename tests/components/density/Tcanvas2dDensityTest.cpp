// The components on a screen of two device pixels per pixel. The whole program
// runs at that ratio: Qt takes the scale factor from the environment when
// the application starts, which is after this file's statics are made.
#include "components/plot/Canvas2dHelpers.h"

#include <QPixmap>
#include <QImage>

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

namespace {
const bool ScaledScreen = [] {
    setenv("QT_SCALE_FACTOR", "2", 1);
    return true;
}();

// The lit rows (not Background) of columns X1..X2 between rows Y1 and Y2.
std::set<int> LitRows(Canvas2DFixture& f, int X1, int X2, int Y1, int Y2, TColor Background)
{
    std::set<int> rows;
    for (int y = Y1; y < Y2; ++y)
        for (int x = X1; x < X2; ++x)
            if (f.At(x, y) != Background)
                rows.insert(y);
    return rows;
}
}  // namespace

TEST(TCanvas2DDensity, SurfaceOfDevicePixelsMappingInSurfacePixels)
{
    ASSERT_TRUE(ScaledScreen);
    Canvas2DFixture f;
    TCanvas2D& c = *f.c;
    ASSERT_EQ(c.devicePixelRatioF(), 2);
    c.Draw();
    EXPECT_EQ(c.PixelRatio(), 2);
    EXPECT_EQ(c.Image().Width(), 152);
    EXPECT_EQ(f.Bits().Width(), 304);
    EXPECT_EQ(f.Bits().Height(), 304);

    // The callers' side is as at a ratio of 1.
    EXPECT_EQ(c.ValToScrX(0), 50);
    EXPECT_EQ(c.ValToScrX(10), 102);
    EXPECT_EQ(c.ValToScrY(10), 30);
    EXPECT_EQ(c.ValToScrY(0), 122);
    EXPECT_EQ(c.ScrToValX(50), 0);
    EXPECT_EQ(c.ClientWidthGet(), 52);
    EXPECT_TRUE(c.Inside(51, 31));
    EXPECT_FALSE(c.Inside(50, 31));
    const TRect r = c.DrawRectGet();
    EXPECT_EQ(r, Rect(51, 31, 101, 121));
    int movedX = -1;
    c.OnMouseMove = [&](TObject*, TShiftState, int X, int) { movedX = X; };
    MouseSend(c.Image(), QEvent::MouseMove, Qt::NoButton, 60, 40);
    EXPECT_EQ(movedX, 60);

    // The frame lies on the doubled margins, one device pixel thin.
    for (const int y : {70, 130, 200}) {  // between the marks
        EXPECT_EQ(f.At(100, y), clWhite) << y;
        EXPECT_EQ(f.At(204, y), clWhite) << y;
        EXPECT_EQ(f.At(101, y), clNavy) << y;
        EXPECT_EQ(f.At(203, y), clNavy) << y;
        EXPECT_EQ(f.At(99, y), clBlack) << y;
        EXPECT_EQ(f.At(205, y), clBlack) << y;
    }
    EXPECT_EQ(f.At(150, 60), clWhite);
    EXPECT_EQ(f.At(150, 61), clNavy);
    EXPECT_EQ(f.At(150, 244), clWhite);
    EXPECT_EQ(f.At(150, 243), clNavy);

    // The mark of 5 on X: four device rows above and below the frame.
    EXPECT_EQ(LitRows(f, 152, 153, 54, 60, clBlack), (std::set<int>{56, 57, 58, 59}));
    EXPECT_EQ(LitRows(f, 152, 153, 245, 251, clBlack), (std::set<int>{245, 246, 247, 248}));
    EXPECT_EQ(f.At(151, 57), clBlack);

    // A canvas whose doubled bitmap would pass the bitmap's limits keeps
    // its own pixels.
    c.resize(20000, 160);
    EXPECT_EQ(c.PixelRatio(), 1);
    EXPECT_EQ(f.Bits().Width(), 19992);
    c.resize(160, 160);
    EXPECT_EQ(c.PixelRatio(), 2);
}

TEST(TCanvas2DDensity, PointsLinesAndTextAtTheDeviceSize)
{
    Canvas2DFixture f;
    TCanvas2D& c = *f.c;
    f.onDraw = [&] {
        TCanvas& canvas = c.DrawCanvas();
        canvas.Pen.Color = clRed;
        canvas.Brush.Color = clRed;
        c.Point(5, 5, 2);
        c.Point(2.5, 2.5, 0);
        canvas.Pen.Color = clLime;
        c.Line(0, 7.5, 10, 7.5);
        canvas.Pen.Width = 3;
        c.Line(0, 9, 10, 9);
        canvas.Pen.Width = 1;
    };
    c.Draw();
    // A dot of radius 2 is four device pixels each way of its centre.
    const int cx = 152, cy = 152;
    std::set<int> columns;
    for (int x = cx - 8; x <= cx + 8; ++x)
        if (f.At(x, cy) == clRed)
            columns.insert(x);
    EXPECT_EQ(columns, (std::set<int>{148, 149, 150, 151, 152, 153, 154, 155, 156}));
    // Radius 0: one device pixel.
    EXPECT_EQ(f.At(126, 198), clRed);
    EXPECT_EQ(LitRows(f, 124, 129, 196, 201, clNavy), std::set<int>{198});
    // A thin line is one device row; a pen of 3 is six.
    EXPECT_EQ(LitRows(f, 150, 151, 100, 120, clNavy), std::set<int>{106});
    EXPECT_EQ(LitRows(f, 150, 151, 61, 100, clNavy).size(), 6u);
    // The owner's pen is given back as it was set.
    EXPECT_EQ(c.DrawCanvas().Pen.Width, 1);

    // Text: the labels are twice as tall as with the surface's own pixels,
    // and the canvas's font reads as the owner set it.
    const std::set<int> sharp = LitRows(f, 0, 304, 0, 54, clBlack);
    ASSERT_FALSE(sharp.empty());
    EXPECT_EQ(c.DrawCanvas().Font.Height, c.AxisFont().Height);
    c.SetHighDensity(false);
    EXPECT_EQ(c.PixelRatio(), 1);
    EXPECT_EQ(f.Bits().Width(), 152);
    const std::set<int> plain = LitRows(f, 0, 152, 0, 27, clBlack);
    ASSERT_FALSE(plain.empty());
    const int sharpHeight = *sharp.rbegin() - *sharp.begin() + 1, plainHeight = *plain.rbegin() - *plain.begin() + 1;
    EXPECT_GE(sharpHeight, 2 * plainHeight - 2);
    EXPECT_LE(sharpHeight, 2 * plainHeight + 2);
    // Without it the surface is in the canvas's pixels: the frame on 50.
    EXPECT_EQ(f.At(50, 76), clWhite);

    // Without axes the whole bitmap is the plot's, to its last pixel.
    c.SetHighDensity(true);
    c.SetAxisShow(false);
    f.onDraw = nullptr;
    c.Draw();
    EXPECT_EQ(f.At(303, 303), clNavy);
    EXPECT_EQ(f.At(0, 0), clNavy);
}

TEST(TCanvas2DDensity, RubberFiguresEraseThemselvesAndTheScreenShowsTheBitmap)
{
    Canvas2DFixture f;
    TCanvas2D& c = *f.c;
    c.Draw();
    const TBitmap before = f.Bits();
    auto same = [&] {
        for (int y = 0; y < before.Height(); ++y)
            for (int x = 0; x < before.Width(); ++x)
                if (before.ScanLine(y)[x] != f.Bits().ScanLine(y)[x])
                    return false;
        return true;
    };
    // The zoom box and the pan line invert what they cover, once.
    c.ZoomModeSet(zmZoomIn);
    EXPECT_FALSE(same());
    c.ZoomDraw();
    EXPECT_TRUE(same());
    c.ZoomDraw(70, 70);
    EXPECT_FALSE(same());
    c.ZoomModeSet(zmNone);
    EXPECT_TRUE(same());
    c.PanDraw(90, 100);
    c.PanDraw();
    EXPECT_TRUE(same());

    // The control shows the bitmap's pixels one to one on the device.
    const QImage shown = c.Image().grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shown.width(), 304);
    for (int y = 0; y < 304; y += 7)
        for (int x = 0; x < 304; x += 5)
            ASSERT_EQ(shown.pixel(x, y) & 0xFFFFFF, f.Bits().ScanLine(y)[x] & 0xFFFFFF) << x << "," << y;
}
