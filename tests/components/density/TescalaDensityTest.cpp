// The colour scale at two device pixels per pixel (the program's scale
// factor is set in Tcanvas2dDensityTest.cpp).
#include "components/image/Qelutils.h"
#include "components/scale/Tescala.h"

#include "toolkit/system/SysUtils.h"

#include <gtest/gtest.h>

#include <string>

TEST(TEscalaDensity, BandAndLabelsInDevicePixels)
{
    TEscala s;
    ASSERT_EQ(s.devicePixelRatioF(), 2);
    TBitmap& b = s.Image->Picture().Bitmap();
    auto at = [&](int x, int y) { return b.ScanLine(y)[x]; };
    // The picture keeps its place and size on the panel; its bitmap has
    // twice the pixels each way.
    EXPECT_EQ(s.Image->geometry().height(), 316);
    ASSERT_EQ(b.Height(), 632);
    EXPECT_EQ(b.Width(), 2 * s.Image->Width());

    // The band of 30 pixels at a margin of 5 is 60 device pixels at 10.
    const int n = 632 - 20;
    for (int x : {10, 69}) {
        EXPECT_EQ(at(x, 10), 0x00FFFFFFu) << x;
        EXPECT_EQ(at(x, 10 + n - 1), 0u) << x;
    }
    const std::uint32_t face = ColorToPixel(ColorToRGB(s.Color()));
    EXPECT_EQ(at(9, 300), face);
    EXPECT_EQ(at(70, 300), face);
    EXPECT_EQ(at(40, 9), face);

    // The labels as text of the device size, right-aligned 12 device
    // pixels past the band; the panel's width fits them.
    TBitmap expected(b.Width(), b.Height());
    TCanvas& c = expected.Canvas();
    c.Pen.Color = c.Brush.Color = s.Color();
    c.Rectangle(0, 0, expected.Width(), expected.Height());
    c.Font = FontScaled(s.Font(), 2);
    auto text = [](double v) { return FormatFloat(",0.000", v, TFormatSettings::FromLocale()); };
    const int tw = std::max(c.TextWidth(text(100)), c.TextWidth(text(0)));
    const int last = 10 + n - c.TextHeight("0");
    c.SetTextAlign(TA_RIGHT | TA_TOP);
    for (int i = 0; i <= 5; ++i)
        c.TextOut(tw + 82, 10 + i * (last - 10) / 5, text(100 - i * 20));
    for (int y = 0; y < b.Height(); y += 3)
        for (int x = 70; x < b.Width(); ++x)
            ASSERT_EQ(at(x, y), expected.ScanLine(y)[x]) << x << "," << y;
    EXPECT_EQ(s.Width(), 50 + (tw + 1) / 2);

    // Off, the picture has the panel's pixels again.
    s.SetHighDensity(false);
    EXPECT_EQ(b.Height(), 316);
    EXPECT_EQ(at(5, 5), 0x00FFFFFFu);
}
