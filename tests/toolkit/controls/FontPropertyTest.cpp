#include "toolkit/controls/Properties.h"

#include <gtest/gtest.h>

// The default font is 11 pixels high, 8.25 points: it must come back as
// 11 pixels, and what a QFont cannot hold stays as it was.
TEST(FontProperty, RoundTripKeepsHeightStylesAndWhatQFontLacks)
{
    TFont f;
    f.Name = "Times New Roman";
    f.Height = -11;
    f.Style = fsItalic | fsStrikeOut;
    f.Color = 0x00123456;
    f.Escapement = 450;
    const QFont q = FontToQFont(f);
    EXPECT_EQ(q.family(), "Times New Roman");
    EXPECT_TRUE(q.italic() && q.strikeOut() && !q.bold() && !q.underline());
    EXPECT_EQ(FontFromQFont(q, f), f);

    // A size chosen in Designer is whole points; the rest comes from Base.
    QFont chosen("Courier");
    chosen.setPointSize(12);
    chosen.setBold(true);
    const TFont g = FontFromQFont(chosen, f);
    EXPECT_EQ(g.Size(), 12);
    EXPECT_EQ(g.Height, -16);
    EXPECT_EQ(g.Style, TFontStyles(fsBold));
    EXPECT_EQ(g.Color, f.Color);
    EXPECT_EQ(g.Escapement, 450);
}
