#include "components/image/Tqelimage.h"

#include "components/image/Qelutils.h"

#include <gtest/gtest.h>

#include <QWidget>

#include <algorithm>
#include <vector>

namespace {

// Keeps what the picture reported as changed when it was asked to repaint.
class Image : public TQelImage {
public:
    Image(int w, int h) { SetHeightWidth(h, w); }
    void Repaint() override { repainted = Picture().Bitmap().TakeDirty(); }
    std::vector<TRect> repainted;
    TBitmap& Bits() { return Picture().Bitmap(); }
    std::uint32_t At(int x, int y) { return Bits().ScanLine(y)[x]; }
    std::vector<std::uint32_t> Words()
    {
        std::vector<std::uint32_t> w(std::size_t(Bits().Width()) * std::size_t(Bits().Height()));
        std::copy_n(Bits().ScanLine(0), w.size(), w.begin());
        return w;
    }
    int Count(std::uint32_t word) { return int(std::ranges::count(Words(), word)); }
};

constexpr std::uint32_t White = 0x00FFFFFF;

}  // namespace

TEST(TQelImage, PublishedPropertiesStartAtTheirDefaults)
{
    TQelImage image;
    EXPECT_EQ(image.property("Align").value<TAlign>(), alNone);
    EXPECT_EQ(image.property("Cursor").toInt(), crDefault);
    EXPECT_FALSE(image.property("AutoSize").toBool());
    EXPECT_FALSE(image.property("Transparent").toBool());
    EXPECT_TRUE(image.setProperty("Transparent", true));
    EXPECT_TRUE(image.Transparent());
}

TEST(TQelImage, PixelPass)
{
    Image img(8, 4);
    img.PixelSet(1, clRed);  // no row taken yet
    EXPECT_EQ(img.Count(White), 32);

    EXPECT_EQ(img.Bits().PixelFormat(), pf24bit);
    img.Bits().TakeDirty();
    img.PixelOpen();
    EXPECT_EQ(img.Bits().PixelFormat(), pf32bit);
    img.PixelSet(5, 0x000000FF);
    EXPECT_EQ(img.At(5, 0), 0x00FF0000u);
    img.PixelSet(-1, clBlack);
    img.PixelSet(8, clBlack);

    img.PixelRowSet(2);
    img.PixelSet(0, clBtnFace);  // the low bytes as they stand, not resolved
    EXPECT_EQ(img.At(0, 2), 0x000F0000u);
    img.PixelRowSet(-1);  // keeps row 2's address, but no pixel is in row -1
    img.PixelSet(3, clBlack);
    EXPECT_EQ(img.At(3, 2), White);

    img.PixelRowSet(1);
    img.PixelSet(6, 3, clLime);
    img.PixelSet(7, clBlue);  // checked against row 1, written into row 3
    EXPECT_EQ(img.At(7, 3), 0x000000FFu);
    EXPECT_EQ(img.Count(White), 28);

    img.PixelClose();
    EXPECT_EQ(img.repainted, (std::vector<TRect>{{0, 0, 8, 4}}));
    img.PixelSet(2, 1, clBlack);
    img.PixelClose();
    EXPECT_EQ(img.repainted, (std::vector<TRect>{{2, 1, 3, 2}}));

    // A new size drops the row address instead of writing into freed rows.
    img.SetWidth(3);
    img.PixelSet(1, clBlack);
    EXPECT_EQ(img.At(1, 1), White);
}

TEST(TQelImage, OrFills)
{
    Image img(6, 5);
    img.Canvas().Brush.Style = bsClear;
    img.Fill(0x00FF0000);
    EXPECT_EQ(img.Count(0x000000FF), 30);

    img.Canvas().CopyMode = cmSrcAnd;
    img.FillTrans(0x000000FF);
    img.FillTrans(0x000000FF);
    EXPECT_EQ(img.Count(0x00FF00FF), 30);
    EXPECT_EQ(img.Canvas().CopyMode, cmSrcCopy);

    img.Fill(clBlack);
    img.FillTrans(0);
    img.RectTrans(3, 1, 1, 4, clRed);  // negative width
    img.RectTrans(1, 1, 4, 1, clRed);  // zero height
    img.RectTrans(1, 2, 4, 4, clLime);
    EXPECT_EQ(img.Count(0x0000FF00), 6);
    EXPECT_EQ(img.At(1, 2), 0x0000FF00u);
    EXPECT_EQ(img.At(3, 3), 0x0000FF00u);
    // Far wider than any bitmap may be: only the part on the picture counts.
    img.RectTrans(-100000, 0, 100000, 1, clBlue);
    EXPECT_EQ(img.Count(0x000000FF), 6);
}

TEST(TQelImage, EllipseTransKeepsItsOutline)
{
    // What the canvas draws for that ellipse with a white pen on black.
    TBitmap ring(10, 10);
    ring.Canvas().Pen.Color = clWhite;
    ring.Canvas().Brush.Color = clBlack;
    ring.Canvas().FillRect({0, 0, 10, 10});
    ring.Canvas().Ellipse(0, 0, 10, 10);

    Image img(10, 10);
    img.Fill(clBlack);
    img.EllipseTrans(0, 0, 10, 10, clRed);
    int inside = 0;
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            const bool outline = ring.ScanLine(y)[x] == White;
            if (outline || x == 0 || y == 0) {
                EXPECT_EQ(img.At(x, y), 0u) << x << "," << y;
            }
            inside += img.At(x, y) == 0x00FF0000;
        }
    EXPECT_GT(inside, 30);
    EXPECT_EQ(img.Count(0) + inside, 100);

    // Cut by the picture's edge, the ellipse keeps its shape.
    Image whole(25, 25), cut(15, 15);
    whole.Fill(clBlack);
    cut.Fill(clBlack);
    whole.EllipseTrans(0, 0, 20, 20, clRed);
    cut.EllipseTrans(-5, -5, 15, 15, clRed);
    for (int y = 0; y < 15; ++y)
        for (int x = 0; x < 15; ++x)
            EXPECT_EQ(cut.At(x, y), whole.At(x + 5, y + 5)) << x << "," << y;
}

TEST(TQelImage, BevelRings)
{
    Image img(8, 6);
    img.Fill3D(clRed, 2, true);
    // H highlight, S shadow, c the fill.
    const char* expected[6] = {"HHHHHHHS", "HHHHHHSS", "HHccccSS", "HHccccSS", "HSSSSSSS", "SSSSSSSS"};
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x) {
            const char k = expected[y][x];
            const std::uint32_t want = k == 'H' ? White : k == 'S' ? 0x00808080 : 0x00FF0000;
            EXPECT_EQ(img.At(x, y), want) << x << "," << y;
        }

    img.Fill3D(clRed, 1, false);
    EXPECT_EQ(img.At(0, 0), 0x00808080u);
    EXPECT_EQ(img.At(7, 5), White);
    EXPECT_EQ(img.At(1, 1), 0x00FF0000u);
}

TEST(TQelImage, Ball3D)
{
    Image img(100, 50);
    img.Ball3D(0, 0, 1, 1, clBlack, clBlack, false);
    EXPECT_EQ(img.Count(White), 5000);

    // Ring i starts i pixels in on the middle row, in its own colour.
    img.Ball3D(0, 0, 100, 50, clRed, clBlue, false);
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(img.At(i, 25), ColorToPixel(ColorMix(clRed, clBlue, i, 50))) << i;
    EXPECT_EQ(img.At(50, 25), ColorToPixel(ColorMix(clRed, clBlue, 49, 50)));
    EXPECT_EQ(img.At(0, 0), White);

    // With the offset the innermost ring sits 16 pixels up and to the right.
    img.Fill(clWhite);
    img.Ball3D(0, 0, 100, 50, clRed, clBlue, true);
    EXPECT_EQ(img.At(66, 9), ColorToPixel(ColorMix(clRed, clBlue, 49, 50)));
    EXPECT_NE(img.At(50, 25), ColorToPixel(ColorMix(clRed, clBlue, 49, 50)));
}

TEST(TQelImage, TurnedText)
{
    Image img(200, 200);
    const std::pair<double, int> turns[] = {{0, 0},     {360, 0},   {-360, 3600}, {8, 80},
                                            {45.04, 450}, {-90, 2700}, {-450, 2700}, {719.5, 3595}};
    for (auto [angle, escapement] : turns) {
        img.TextOutRot(10, 10, angle, "A");
        EXPECT_EQ(img.Canvas().Font.Escapement, escapement) << angle;
    }

    img.Fill(clWhite);
    img.TextOutRot(-1, 10, 30, "Turned text");
    EXPECT_EQ(img.Count(White), 40000);
    EXPECT_EQ(img.Canvas().Font.Escapement, 300);

    // Round a circle: each start point and turn is that of TextOutRot.
    auto same = [](auto axial, int x, int y, double angle) {
        Image a(200, 200), b(200, 200);
        axial(a);
        b.TextOutRot(x, y, angle, "Ab");
        EXPECT_NE(a.Count(White), 40000);
        EXPECT_EQ(a.Words(), b.Words()) << x << "," << y << " " << angle;
    };
    same([](Image& i) { i.TextOutAxial(100, 100, 50, 90, "Ab"); }, 100, 50, 0);
    same([](Image& i) { i.TextOutAxial(100, 100, 50, 0, "Ab"); }, 150, 100, 270);
    same([](Image& i) { i.TextOutAxial(100, 100, 50, 180, "Ab"); }, 50, 100, 90);
    same([](Image& i) { i.TextOutAxial(100, 100, 60, 30, 90, "Ab"); }, 100, 70, 0);
    same([](Image& i) { i.TextOutAxial(100, 100, 0, 20.4, "Ab"); }, 100, 100, 290);
}

TEST(TQelImage, InvertedTextUndoesItself)
{
    Image img(60, 30);
    img.PixelOpen();
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 60; ++x)
            img.PixelSet(x, y, RGB(x * 4, y * 8, 128));
    const std::vector<std::uint32_t> before = img.Words();

    img.Canvas().Font.Height = -24;
    img.Canvas().Font.Style = fsBold;
    img.Canvas().Font.Color = clBlack;  // plays no part
    img.TextOutInv(-3, 2, "Hola");
    EXPECT_EQ(img.Canvas().CopyMode, cmSrcCopy);
    // Under the solid parts of the glyphs every channel c became 255 - c.
    const std::vector<std::uint32_t> after = img.Words();
    int inverted = 0;
    for (std::size_t i = 0; i < after.size(); ++i)
        inverted += after[i] == (~before[i] & 0x00FFFFFF);
    EXPECT_GT(inverted, 20);
    img.TextOutInv(-3, 2, "Hola");
    EXPECT_EQ(img.Words(), before);
    img.TextOutInv(5, 5, "");
    EXPECT_EQ(img.Words(), before);
}

TEST(TQelImage, SizeFollowsControl)
{
    Image img(20, 30);
    img.SetHeightWidth(0, 50);
    img.SetWidth(-5);
    EXPECT_EQ(img.Height(), 30);
    EXPECT_EQ(img.Width(), 50);
    EXPECT_EQ(img.Bits().Width(), 50);
    EXPECT_EQ(img.Bits().Height(), 30);

    // Through the base control's setters, as layout code does.
    static_cast<TControl&>(img).SetWidth(12);
    img.SetBounds(0, 0, 12, 9);
    EXPECT_EQ(img.Bits().Width(), 12);
    EXPECT_EQ(img.Bits().Height(), 9);

    img.Fill(clRed);
    img.Bits().SetSize(4, 4);
    img.Resize();
    EXPECT_EQ(img.Bits().Width(), 12);
    EXPECT_EQ(img.Bits().Height(), 9);
    EXPECT_EQ(img.Count(0x00FF0000), 16);
}

TEST(TQelImage, EachSideSetterSetsOnlyItsOwnSideOfThePicture)
{
    // A picture turned on its side in a control that keeps the old shape:
    // fitting the control to it must not cut or pad either side first.
    Image img(60, 10);
    img.Fill(clRed);
    img.Rotate(90);
    ASSERT_EQ(img.Bits().Width(), 10);
    ASSERT_EQ(img.Bits().Height(), 60);
    img.SetWidth(10);
    EXPECT_EQ(img.Bits().Height(), 60);
    img.SetHeightWidth(60, 10);
    EXPECT_EQ(img.Count(0x00FF0000), 600);

    // Showing the control later brings no new size.
    QWidget hidden;
    auto* later = new Image(60, 10);
    later->setParent(&hidden);
    later->Fill(clRed);
    later->Rotate(90);
    later->SetWidth(10);
    hidden.show();
    EXPECT_EQ(later->Bits().Height(), 60);
    EXPECT_EQ(later->Count(0x00FF0000), 600);

    // The same on a control that is shown, whose resizes arrive as events.
    QWidget window;
    window.resize(200, 200);
    auto* shown = new Image(20, 10);
    shown->setParent(&window);
    window.show();
    shown->Bits().SetSize(60, 10);
    shown->Bits().Canvas().Brush.Color = clRed;
    shown->Bits().Canvas().FillRect({0, 0, 60, 10});
    shown->SetHeight(12);
    EXPECT_EQ(shown->Bits().Width(), 60);
    EXPECT_EQ(shown->Bits().Height(), 12);
    shown->SetWidth(60);
    EXPECT_EQ(shown->Count(0x00FF0000), 600);
}

TEST(TQelImage, CopyModeIsPlainCopyAfterEveryOperationThatSetsIt)
{
    Image img(20, 20);
    TCanvas& canvas = img.Canvas();
    auto after = [&](auto&& operation) {
        canvas.CopyMode = cmSrcInvert;
        operation();
        return canvas.CopyMode;
    };
    // Boxes wholly off the picture draw nothing but still end in plain copy.
    EXPECT_EQ(after([&] { img.RectTrans(-50, -50, -10, -10, clRed); }), cmSrcCopy);
    EXPECT_EQ(after([&] { img.EllipseTrans(30, 30, 40, 40, clRed); }), cmSrcCopy);
    EXPECT_EQ(after([&] { img.RectTrans(5, 5, 5, 9, clRed); }), cmSrcCopy);
    EXPECT_EQ(after([&] { img.TextOutInv(100, 100, "x"); }), cmSrcCopy);
    EXPECT_EQ(after([&] { img.FillTrans(clRed); }), cmSrcCopy);
}
