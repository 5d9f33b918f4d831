#include "components/scale/Tescala.h"

#include "support/BitmapWords.h"
#include "toolkit/system/SysUtils.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

TBitmap& Picture(TEscala& s) { return s.Image->Picture().Bitmap(); }
std::uint32_t At(TEscala& s, int x, int y) { return Picture(s).ScanLine(y)[x]; }

std::string Text(double v) { return FormatFloat(",0.000", v, TFormatSettings::FromLocale()); }

// A canvas with the scale's label font, for measuring.
struct LabelFont {
    TBitmap bitmap{1, 1};
    explicit LabelFont(TEscala& s) { bitmap.Canvas().Font = s.Font(); }
    int Width(const std::string& t) { return bitmap.Canvas().TextWidth(t); }
    int Height(const std::string& t) { return bitmap.Canvas().TextHeight(t); }
};

// The picture the scale should paint, built from the sizes and positions
// it is meant to have: background, one colour per band line, the labels.
TBitmap Expected(TEscala& s, const std::vector<std::pair<TPoint, std::string>>& labels, unsigned align)
{
    const TBitmap& shown = Picture(s);
    TBitmap b(shown.Width(), shown.Height());
    TCanvas& c = b.Canvas();
    c.Pen.Color = c.Brush.Color = s.Color();
    c.Rectangle(0, 0, b.Width(), b.Height());
    c.Font = s.Font();
    c.SetTextAlign(align);
    for (const auto& [at, text] : labels)
        c.TextOut(at.X, at.Y, text);
    return b;
}

// The label area of a picture: everything but the band's rectangle.
std::vector<std::uint32_t> Outside(const TBitmap& b, TRect band)
{
    std::vector<std::uint32_t> out;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            if (!(x >= band.Left && x < band.Right && y >= band.Top && y < band.Bottom))
                out.push_back(b.ScanLine(y)[x]);
    return out;
}

constexpr std::uint32_t White = 0x00FFFFFF;
constexpr std::uint32_t Black = 0x00000000;

}  // namespace

TEST(TEscala, DefaultsAndVerticalPicture)
{
    TEscala s;
    LabelFont font(s);
    const int tw = std::max(font.Width(Text(100)), font.Width(Text(0)));
    EXPECT_TRUE(s.AutoSize());
    EXPECT_EQ(s.BandWidth(), 30);
    EXPECT_EQ(s.Format(), ",0.000");
    EXPECT_EQ(s.Margin(), 5);
    EXPECT_EQ(s.TextInterval(), 4);
    EXPECT_EQ(s.Orientation(), eoVertical);
    EXPECT_EQ(s.Alignment(), eaNone);
    EXPECT_EQ(s.BevelInner(), bvNone);
    EXPECT_EQ(s.BevelOuter(), bvLowered);
    EXPECT_EQ(s.Font().Name, "Times new roman");
    EXPECT_EQ(s.Font().Size(), 8);
    // AutoSize: 3 margins, the band, the widest label and a gap of 5.
    EXPECT_EQ(s.Width(), 50 + tw);
    EXPECT_EQ(s.Height(), 320);
    // The picture sits 2 bevel widths in, and is 4 bevel widths smaller.
    EXPECT_EQ(s.Image->geometry(), QRect(2, 2, s.Width() - 4, 316));
    ASSERT_EQ(Picture(s).Height(), 316);

    // Band: columns 5..34, rows 5..310; the top row shows Maximum (white),
    // the bottom row Minimum (black).
    const int n = 316 - 10;
    for (int x : {5, 34}) {
        EXPECT_EQ(At(s, x, 5), White) << x;
        EXPECT_EQ(At(s, x, 5 + n - 1), Black) << x;
        EXPECT_EQ(At(s, x, 5 + n / 2), ColorToPixel(s.ValueToColor(double(n - n / 2 - 1) * 100 / (n - 1))));
    }
    const std::uint32_t face = ColorToPixel(ColorToRGB(s.Color()));
    for (int y : {4, 5 + n})
        EXPECT_EQ(At(s, 20, y), face);
    for (int x : {4, 35})
        EXPECT_EQ(At(s, x, 100), face);

    // Six labels from 100.000 down to 0.000, right-aligned at tw + 41, the
    // first at the band's top and the last ending at its bottom.
    const int last = 5 + n - font.Height("0");
    std::vector<std::pair<TPoint, std::string>> labels;
    for (int i = 0; i <= 5; ++i)
        labels.push_back({Point(tw + 41, 5 + i * (last - 5) / 5), Text(100 - i * 20)});
    EXPECT_EQ(Outside(Picture(s), {5, 5, 35, 5 + n}),
              Outside(Expected(s, labels, TA_RIGHT | TA_TOP), {5, 5, 35, 5 + n}));

    // Labels first: they end at tw + 6 and the band starts at tw + 10.
    s.SetPosition(epInverse);
    labels.clear();
    for (int i = 0; i <= 5; ++i)
        labels.push_back({Point(tw + 6, 5 + i * (last - 5) / 5), Text(100 - i * 20)});
    const TRect band{tw + 10, 5, tw + 40, 5 + n};
    EXPECT_EQ(At(s, tw + 10, 5), White);
    EXPECT_EQ(At(s, tw + 39, 5 + n - 1), Black);
    EXPECT_EQ(Outside(Picture(s), band), Outside(Expected(s, labels, TA_RIGHT | TA_TOP), band));
}

TEST(TEscala, HorizontalLabelsAndGraduations)
{
    TEscala s;
    s.SetOrientation(eoHorizontal);
    s.SetWidth(304);
    LabelFont font(s);
    const int th = std::max(font.Height(Text(100)), font.Height(Text(0)));
    EXPECT_EQ(s.Height(), 50 + th);
    ASSERT_EQ(Picture(s).Width(), 300);

    // Columns 5..294 run from Minimum to Maximum; rows 5..34.
    EXPECT_EQ(At(s, 5, 5), Black);
    EXPECT_EQ(At(s, 294, 34), White);
    s.SetGraduation(egThree);
    EXPECT_EQ(At(s, 5, 20), 0x000000FFu);  // blue, as a pixel word
    EXPECT_EQ(At(s, 294, 20), 0x00FF0000u);  // red
    EXPECT_EQ(At(s, 150, 20), ColorToPixel(s.ValueToColor(145.0 * 100 / 289)));

    // TextInterval 4: six labels 0.000 .. 100.000 centred at 5 + i * 290 / 5,
    // their tops at 40; the end labels move in to stand within the margins.
    auto label = [&](int x, double v) {
        const int w = font.Width(Text(v));
        return std::pair{Point(std::max(std::min(x, 295 - w + w / 2), 5 + w / 2), 40), Text(v)};
    };
    std::vector<std::pair<TPoint, std::string>> labels;
    for (int i = 0; i <= 5; ++i)
        labels.push_back(label(5 + i * 290 / 5, i * 20));
    EXPECT_EQ(labels[2].first.X, 5 + 2 * 290 / 5);
    const TRect band{5, 5, 295, 35};
    EXPECT_EQ(Outside(Picture(s), band), Outside(Expected(s, labels, TA_CENTER | TA_TOP), band));
    const std::uint32_t face = ColorToPixel(ColorToRGB(s.Color()));
    for (int y = 0; y < Picture(s).Height(); ++y)
        for (int x : {0, 4, 295, 299})
            EXPECT_EQ(At(s, x, y), face) << x << "," << y;

    // TextInterval 0: only the ends. A negative one: none.
    s.SetTextInterval(0);
    labels = {label(5, 0), label(295, 100)};
    EXPECT_EQ(Outside(Picture(s), band), Outside(Expected(s, labels, TA_CENTER | TA_TOP), band));
    s.SetTextInterval(-3);
    EXPECT_EQ(s.TextInterval(), -3);
    EXPECT_EQ(Outside(Picture(s), band), Outside(Expected(s, {}, TA_CENTER | TA_TOP), band));
    s.SetTextInterval(1 << 20);  // more labels than pixels: refused
    EXPECT_EQ(s.TextInterval(), -3);

    // Labels first: the band moves below them.
    s.SetPosition(epInverse);
    EXPECT_EQ(At(s, 5, 5 + th + 5), 0x000000FFu);
    EXPECT_EQ(At(s, 294, 5 + th + 34), 0x00FF0000u);
}

TEST(TEscala, RangeRules)
{
    TEscala s;
    s.SetMaxMin(10, 20);  // Maximum must be above Minimum
    EXPECT_EQ(s.Maximum(), 100);
    s.SetInterval(100);  // not below the range's width
    EXPECT_EQ(s.Interval(), 0);
    s.SetInterval(-1);
    EXPECT_EQ(s.Interval(), 0);
    s.SetInterval(50);
    EXPECT_EQ(s.Interval(), 50);
    s.SetMaximum(40);
    EXPECT_EQ(s.Interval(), 0);
    s.SetInterval(10);
    s.SetMinimum(35);
    EXPECT_EQ(s.Interval(), 0);
    s.SetMaxMin(100, 0);
    s.SetInterval(10);
    EXPECT_EQ(s.ValueToColor(37), s.ValueToColor(30));

    // Bounds that are no numbers are refused.
    for (double bad : {std::numeric_limits<double>::quiet_NaN(), HUGE_VAL, -HUGE_VAL}) {
        s.SetMaximum(bad);
        s.SetMinimum(bad);
        s.SetMaxMin(bad, 0);
        s.SetInterval(bad);
    }
    EXPECT_EQ(s.Maximum(), 100);
    EXPECT_EQ(s.Minimum(), 0);
    EXPECT_EQ(s.Interval(), 10);

    // Maximum at Minimum: stored, and the old picture stays.
    const std::vector<std::uint32_t> before = Pixels(Picture(s));
    s.SetMaximum(0);
    EXPECT_EQ(s.Maximum(), 0);
    EXPECT_EQ(s.Interval(), 0);
    EXPECT_EQ(Pixels(Picture(s)), before);

    // The widest range the doubles hold paints and labels without fault.
    s.SetMaxMin(DBL_MAX, -DBL_MAX);
    EXPECT_EQ(At(s, 20, 5), White);
    EXPECT_EQ(At(s, 20, 310), Black);
    s.DrawMarkVertical(0);
    s.DrawMarkVertical(DBL_MAX);
}

TEST(TEscala, MarkBesideTheBand)
{
    TEscala s;
    const std::uint32_t face = ColorToPixel(ColorToRGB(s.Color()));
    // Normal position: columns 1..3 of the left margin; 50 on 0..100 at
    // row 316 - 5 - 153 = 158, a 2-pixel pen.
    const std::uint32_t band = At(s, 5, 158);
    s.DrawMarkVertical(50);
    EXPECT_EQ(At(s, 1, 158), Black);
    EXPECT_EQ(At(s, 3, 158), Black);
    EXPECT_EQ(At(s, 2, 140), face);
    EXPECT_EQ(At(s, 5, 158), band);
    s.DrawMarkVertical(120);  // outside: only erased
    s.DrawMarkVertical(std::numeric_limits<double>::quiet_NaN());
    for (int y = 0; y < 316; ++y)
        for (int x = 0; x < 4; ++x)
            ASSERT_EQ(At(s, x, y), face) << x << "," << y;
    s.DrawMarkVertical(100);
    EXPECT_EQ(At(s, 2, 5), Black);

    // Labels first: the mark goes right of the band, to the edge.
    s.SetPosition(epInverse);
    LabelFont font(s);
    const int tw = std::max(font.Width(Text(100)), font.Width(Text(0)));
    s.DrawMarkVertical(0);
    ASSERT_EQ(Picture(s).Width(), tw + 46);
    EXPECT_EQ(At(s, tw + 42, 311), Black);
    EXPECT_EQ(At(s, tw + 44, 311), Black);
    EXPECT_EQ(At(s, tw + 43, 300), face);
    EXPECT_EQ(At(s, tw + 40, 311), face);
    EXPECT_EQ(At(s, tw + 39, 310), Black);  // the band's last row, Minimum
}

TEST(TEscala, DockingCentringAndAutoSize)
{
    TCustomPanel form;
    form.SetBounds(0, 0, 400, 300);
    auto* s = new TEscala(&form);
    int resized = 0;
    s->OnResize = [&](TObject*) { ++resized; };
    s->SetOrientation(eoHorizontal);
    const int high = s->Height();

    s->SetAlignment(eaLeft);
    EXPECT_EQ(s->Align(), alLeft);
    EXPECT_EQ(s->Orientation(), eoVertical);
    EXPECT_EQ(s->geometry(), QRect(1, 1, s->Width(), 298));  // inside the form's bevel
    EXPECT_EQ(At(*s, 20, 5), White);

    s->SetAlignment(eaTop);
    EXPECT_EQ(s->Orientation(), eoHorizontal);
    EXPECT_EQ(s->geometry(), QRect(1, 1, 398, high));

    // AutoSize: the resize it causes paints once more and stops; the
    // picture is the one a fresh Draw makes at that size.
    s->SetAlignment(eaCentered);
    s->SetAutoSize(false);
    s->SetOrientation(eoVertical);
    s->SetWidth(200);
    resized = 0;
    s->SetAutoSize(true);
    EXPECT_EQ(resized, 1);
    const int wide = s->Width();
    EXPECT_LT(wide, 200);
    const std::vector<std::uint32_t> once = Pixels(Picture(*s));
    s->Draw();
    EXPECT_EQ(Pixels(Picture(*s)), once);
    EXPECT_EQ(resized, 1);
    EXPECT_EQ(s->Left(), (400 - wide) / 2);
    EXPECT_EQ(s->Top(), (300 - s->Height()) / 2);

    s->SetAlignment(eaHCentered);
    s->SetTop(3);
    s->Draw();
    EXPECT_EQ(s->Top(), 3);

    // Without a parent, centring does nothing.
    TEscala alone;
    alone.SetLeft(7);
    alone.SetAlignment(eaCentered);
    EXPECT_EQ(alone.Left(), 7);
}

// Docked, a scale that sizes itself again stays at its edge, and the
// control filling the rest of the parent follows.
TEST(TEscala, DockedScaleKeepsItsEdgeWhenItResizes)
{
    for (TEscalaAlignment a : {eaBottom, eaTop, eaLeft, eaRight}) {
        SCOPED_TRACE(int(a));
        QWidget parent;
        parent.resize(600, 400);
        auto* rest = new TCustomPanel(&parent);
        rest->SetAlign(alClient);
        auto* s = new TEscala(&parent);
        s->SetAlignment(a);
        const bool across = a == eaBottom || a == eaTop;
        auto placed = [&] {
            const int w = s->Width(), h = s->Height();
            switch (a) {
            case eaBottom:
                EXPECT_EQ(s->geometry(), QRect(0, 400 - h, 600, h));
                EXPECT_EQ(rest->geometry(), QRect(0, 0, 600, 400 - h));
                break;
            case eaTop:
                EXPECT_EQ(s->geometry(), QRect(0, 0, 600, h));
                EXPECT_EQ(rest->geometry(), QRect(0, h, 600, 400 - h));
                break;
            case eaLeft:
                EXPECT_EQ(s->geometry(), QRect(0, 0, w, 400));
                EXPECT_EQ(rest->geometry(), QRect(w, 0, 600 - w, 400));
                break;
            default:
                EXPECT_EQ(s->geometry(), QRect(600 - w, 0, w, 400));
                EXPECT_EQ(rest->geometry(), QRect(0, 0, 600 - w, 400));
                break;
            }
        };
        auto thickness = [&] { return across ? s->Height() : s->Width(); };
        const int first = thickness();
        EXPECT_LT(first, 100);
        placed();
        // Three margins grow by 7 each; a thinner band takes 20 off.
        s->SetMargin(12);
        EXPECT_EQ(thickness(), first + 21);
        placed();
        s->SetBandWidth(10);
        EXPECT_EQ(thickness(), first + 1);
        placed();
    }
}

TEST(TEscala, SmallPictures)
{
    TEscala s;
    s.SetAutoSize(false);
    // A band one pixel long shows Minimum.
    s.SetBounds(0, 0, 48, 15);
    ASSERT_EQ(Picture(s).Height(), 11);
    EXPECT_EQ(At(s, 20, 5), Black);
    // Under 5 pixels: background only.
    s.SetHeight(8);
    const std::uint32_t face = ColorToPixel(ColorToRGB(s.Color()));
    for (std::uint32_t w : Pixels(Picture(s)))
        ASSERT_EQ(w, face);
    // Margins and bands beyond any picture are refused.
    s.SetMargin(-1);
    s.SetBandWidth(1 << 30);
    EXPECT_EQ(s.Margin(), 5);
    EXPECT_EQ(s.BandWidth(), 30);
}

TEST(TEscala, PropertiesByName)
{
    TEscala s;
    EXPECT_TRUE(s.setProperty("Graduation", "egThree"));
    EXPECT_EQ(s.Graduation(), egThree);
    EXPECT_EQ(At(s, 20, 5), 0x00FF0000u);  // the setter ran: red at Maximum
    EXPECT_TRUE(s.setProperty("Alignment", "eaVCentered"));
    EXPECT_EQ(s.Alignment(), eaVCentered);
    EXPECT_EQ(s.property("Position").toString(), "epNormal");
    EXPECT_TRUE(s.setProperty("Maximum", 250.0));
    EXPECT_EQ(s.Maximum(), 250);
    EXPECT_TRUE(s.setProperty("GradColor2", QColor(255, 0, 0)));
    EXPECT_EQ(s.GradColor2(), clRed);
    EXPECT_EQ(s.property("Format").toString(), ",0.000");
    EXPECT_TRUE(s.setProperty("Format", "0.0"));
    EXPECT_EQ(s.Format(), "0.0");
}
