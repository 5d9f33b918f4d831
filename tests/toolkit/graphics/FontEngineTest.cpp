#include "toolkit/graphics/FontEngine.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace {

TFont MakeFont(const std::string& name, int points, TFontStyles style = 0, int escapement = 0)
{
    TFont f;
    f.Name = name;
    f.PixelsPerInch = 96;
    f.SetSize(points);
    f.Style = style;
    f.Escapement = escapement;
    return f;
}

std::vector<TPlacedGlyph> LayoutOf(const TFont& font, const std::string& text)
{
    std::vector<TPlacedGlyph> out;
    FontEngine::Instance().Layout(font, text, out);
    return out;
}

}  // namespace

TEST(FontSize, PointsAndPixels)
{
    TFont f;
    f.PixelsPerInch = 96;
    f.SetSize(102);
    EXPECT_EQ(f.Height, -136);
    EXPECT_EQ(f.Size(), 102);
    f.SetSize(8);
    EXPECT_EQ(f.Height, -11);  // 10.67 rounds up
    EXPECT_EQ(f.Size(), 8);
    f.PixelsPerInch = 120;
    f.SetSize(10);
    EXPECT_EQ(f.Height, -17);  // 16.67
    EXPECT_EQ(f.Size(), 10);
    f.PixelsPerInch = 0;  // nonsense resolution reads as 96
    f.SetSize(9);
    EXPECT_EQ(f.Height, -12);

    // A cell height gives its size through the face's em.
    TFont cell = MakeFont("Times New Roman", 0);
    cell.Height = 151;
    EXPECT_EQ(cell.Size(), 102);

    int saved = TFont::DefaultPixelsPerInch();
    EXPECT_EQ(saved, 96);
    TFont::SetDefaultPixelsPerInch(144);
    EXPECT_EQ(TFont().PixelsPerInch, 144);
    TFont::SetDefaultPixelsPerInch(0);  // ignored
    EXPECT_EQ(TFont::DefaultPixelsPerInch(), 144);
    TFont::SetDefaultPixelsPerInch(saved);
}

TEST(FontEngine, MetricsOfTheReadOutFont)
{
    FontEngine& engine = FontEngine::Instance();
    TFont f = MakeFont("Times New Roman", 102);
    EXPECT_EQ(engine.Face(f).Em, 136);
    TTextMetrics m = engine.Metrics(f);
    // Liberation Serif's Windows ascent and descent, 1825 and 443 of 2048.
    EXPECT_EQ(m.Ascent, 121);
    EXPECT_EQ(m.Descent, 30);
    EXPECT_EQ(m.Height, 151);

    // The same cell asked for by height gives the same em and the same cell.
    TFont byCell = f;
    byCell.Height = 151;
    EXPECT_EQ(engine.Face(byCell).Em, 136);
    TTextMetrics c = engine.Metrics(byCell);
    EXPECT_EQ(c.Height, 151);
    EXPECT_EQ(c.Ascent + c.Descent, 151);

    // Digits fit in the ascent.
    for (const TPlacedGlyph& g : LayoutOf(f, "0123456789")) {
        EXPECT_GE(g.Image->Top, -m.Ascent);
        EXPECT_LE(g.Image->Top + g.Image->Height, m.Descent);
    }
}

TEST(FontEngine, ClassicNamesResolveToMetricCompatibleFaces)
{
    FontEngine& engine = FontEngine::Instance();
    TFaceInfo times = engine.Face(MakeFont("Times New Roman", 12));
    TFaceInfo lower = engine.Face(MakeFont("Times new roman", 12));
    EXPECT_EQ(times.Family, "Liberation Serif");
    EXPECT_EQ(times.File, lower.File);
    EXPECT_EQ(engine.Face(MakeFont("Courier", 8)).Family, "Liberation Mono");
    EXPECT_EQ(engine.Face(MakeFont("Arial", 8)).Family, "Liberation Sans");
    EXPECT_EQ(engine.Face(MakeFont("MS Sans Serif", 8)).Family, "Liberation Sans");
    EXPECT_EQ(engine.Face(MakeFont("Small Fonts", 8)).Family, "Liberation Sans");

    // Styles choose real faces where there are some.
    TFaceInfo bold = engine.Face(MakeFont("Times New Roman", 12, fsBold));
    EXPECT_EQ(bold.Style, "Bold");
    EXPECT_FALSE(bold.SyntheticBold);
    TFaceInfo boldItalic = engine.Face(MakeFont("Times New Roman", 12, fsBold | fsItalic));
    EXPECT_EQ(boldItalic.Style, "Bold Italic");
    EXPECT_NE(boldItalic.File, bold.File);
    EXPECT_NE(bold.File, times.File);
    // Underline and strike-out do not change the face.
    EXPECT_EQ(engine.Face(MakeFont("Times New Roman", 12, fsUnderline | fsStrikeOut)).File, times.File);

    // Unknown names still find some face; the text has width.
    TFont unknown = MakeFont("No Such Face At All", 12);
    EXPECT_FALSE(engine.Face(unknown).Family.empty());
    EXPECT_GT(engine.TextWidth(unknown, "abc"), 0);
}

TEST(FontEngine, WidthsAreWholePixelAdvancesThatAdd)
{
    FontEngine& engine = FontEngine::Instance();
    TFont courier = MakeFont("Courier", 8);
    int digit = engine.TextWidth(courier, "0");
    EXPECT_GT(digit, 0);
    for (char c = '0'; c <= '9'; ++c)
        EXPECT_EQ(engine.TextWidth(courier, std::string(1, c)), digit) << c;

    TFont times = MakeFont("Times New Roman", 102);
    const std::string text = "00:00:000";
    int sum = 0;
    std::vector<int> starts;
    for (char c : text) {
        starts.push_back(sum);
        sum += engine.TextWidth(times, std::string(1, c));
    }
    EXPECT_EQ(engine.TextWidth(times, text), sum);
    EXPECT_EQ(engine.TextWidth(times, "0"), 68);  // Times' digits are half an em

    // Unturned layout puts each glyph at the sum of the advances before it.
    auto glyphs = LayoutOf(times, text);
    ASSERT_EQ(glyphs.size(), text.size());
    for (std::size_t i = 0; i < glyphs.size(); ++i) {
        EXPECT_EQ(glyphs[i].X, starts[i]);
        EXPECT_EQ(glyphs[i].Y, 0);
    }

    EXPECT_EQ(engine.TextWidth(times, ""), 0);
    EXPECT_TRUE(LayoutOf(times, "").empty());
    // Blank glyphs advance without coverage.
    EXPECT_TRUE(LayoutOf(times, "   ").empty());
    EXPECT_EQ(engine.TextWidth(times, "   "), 3 * engine.TextWidth(times, " "));
}

TEST(FontEngine, EscapementTurnsTheBaselineCounterClockwise)
{
    FontEngine& engine = FontEngine::Instance();
    TFont up = MakeFont("Times New Roman", 24, 0, 900);
    auto glyphs = LayoutOf(up, "1234");
    ASSERT_EQ(glyphs.size(), 4u);
    int advance = 0;
    for (std::size_t i = 0; i < glyphs.size(); ++i) {
        EXPECT_EQ(glyphs[i].X, 0);
        EXPECT_EQ(glyphs[i].Y, -advance);
        advance += engine.TextWidth(up, std::string(1, "1234"[i]));
    }
    // The glyphs turn too: a digit standing upright lies on its side, its
    // ink to the left of the baseline (above it before the turn).
    TFont flat = MakeFont("Times New Roman", 24);
    const TGlyphImage* upright = LayoutOf(flat, "1")[0].Image;
    const TGlyphImage* turned = glyphs[0].Image;
    EXPECT_GT(upright->Height, upright->Width);
    EXPECT_GT(turned->Width, turned->Height);
    EXPECT_LE(turned->Left + turned->Width, 1);

    // 2700 runs down the screen, and negative escapements wrap round.
    TFont down = MakeFont("Times New Roman", 24, 0, 2700);
    TFont minus = MakeFont("Times New Roman", 24, 0, -900);
    auto d = LayoutOf(down, "12");
    auto m = LayoutOf(minus, "12");
    ASSERT_EQ(d.size(), 2u);
    EXPECT_EQ(d[1].X, 0);
    EXPECT_EQ(d[1].Y, engine.TextWidth(down, "1"));
    ASSERT_EQ(m.size(), 2u);
    EXPECT_EQ(m[1].Image, d[1].Image);

    // At 45 degrees the pen runs up and right equally.
    auto diag = LayoutOf(MakeFont("Times New Roman", 24, 0, 450), "00");
    ASSERT_EQ(diag.size(), 2u);
    EXPECT_GT(diag[1].X, 0);
    EXPECT_EQ(diag[1].X, -diag[1].Y);

    // Width is measured along the baseline, whatever its turn.
    EXPECT_EQ(engine.TextWidth(up, "1234"), engine.TextWidth(flat, "1234"));
}

TEST(FontEngine, GlyphsAreCachedAndTheirRowExtentsTight)
{
    FontEngine& engine = FontEngine::Instance();
    TFont f = MakeFont("Times New Roman", 102);
    auto first = LayoutOf(f, "00:00:000");
    auto second = LayoutOf(f, "00:00:000");
    ASSERT_EQ(first.size(), second.size());
    for (std::size_t i = 0; i < first.size(); ++i)
        EXPECT_EQ(first[i].Image, second[i].Image);
    // Equal characters share one image.
    EXPECT_EQ(first[0].Image, first[1].Image);
    EXPECT_NE(first[0].Image, first[2].Image);

    // Another style or escapement is another glyph.
    EXPECT_NE(LayoutOf(MakeFont("Times New Roman", 102, fsBold), "0")[0].Image, first[0].Image);
    EXPECT_NE(LayoutOf(MakeFont("Times New Roman", 102, 0, 10), "0")[0].Image, first[0].Image);

    const TGlyphImage& zero = *first[0].Image;
    ASSERT_EQ(zero.RowBegin.size(), std::size_t(zero.Height));
    ASSERT_EQ(zero.RowEnd.size(), std::size_t(zero.Height));
    int rowsWithInk = 0;
    for (int y = 0; y < zero.Height; ++y) {
        const std::uint8_t* row = zero.Coverage.data() + std::size_t(y) * zero.Width;
        int b = zero.RowBegin[y], e = zero.RowEnd[y];
        ASSERT_LE(b, e);
        ASSERT_LE(e, zero.Width);
        for (int x = 0; x < zero.Width; ++x) {
            if (x < b || x >= e) {
                ASSERT_EQ(row[x], 0) << x << "," << y;
            }
        }
        if (b < e) {
            EXPECT_NE(row[b], 0);
            EXPECT_NE(row[e - 1], 0);
            ++rowsWithInk;
        }
    }
    EXPECT_GT(rowsWithInk, zero.Height / 2);
    // The glyph is rendered anti-aliased, with fully covered pixels.
    bool partial = false, full = false;
    for (std::uint8_t c : zero.Coverage) {
        partial |= c > 0 && c < 255;
        full |= c == 255;
    }
    EXPECT_TRUE(partial);
    EXPECT_TRUE(full);

    // After clearing, layouts still work (with new glyphs).
    engine.ClearCache();
    auto again = LayoutOf(f, "00:00:000");
    ASSERT_EQ(again.size(), first.size());
    EXPECT_EQ(again[3].X, first[3].X);
    EXPECT_EQ(again[0].Image->Coverage, LayoutOf(f, "0")[0].Image->Coverage);
}

TEST(FontEngine, Utf8WithLatin1Fallback)
{
    FontEngine& engine = FontEngine::Instance();
    TFont f = MakeFont("Arial", 12);
    // "ñ" in UTF-8 and as a lone Latin-1 byte are the same character.
    auto utf8 = LayoutOf(f, "a\xC3\xB1o");
    auto latin1 = LayoutOf(f, "a\xF1o");
    ASSERT_EQ(utf8.size(), 3u);
    ASSERT_EQ(latin1.size(), 3u);
    EXPECT_EQ(utf8[1].Image, latin1[1].Image);
    EXPECT_EQ(engine.TextWidth(f, "a\xC3\xB1o"), engine.TextWidth(f, "a\xF1o"));
    // Three-byte characters decode as one.
    EXPECT_EQ(LayoutOf(f, "\xE2\x82\xAC").size(), 1u);  // euro sign
    // Malformed sequences: each stray byte is one character, nothing is lost.
    EXPECT_EQ(LayoutOf(f, "\xC3").size(), 1u);               // cut short
    EXPECT_EQ(LayoutOf(f, "\xC0\xAF").size(), 2u);           // overlong
    EXPECT_EQ(LayoutOf(f, "\xED\xB0\xB0").size(), 3u);       // surrogate
    EXPECT_EQ(LayoutOf(f, "\xF4\x90\x80\x80").size(), 4u);   // past U+10FFFF
    EXPECT_EQ(engine.TextWidth(f, "\xC3" "a"), engine.TextWidth(f, "\xC3") + engine.TextWidth(f, "a"));
}

TEST(FontEngine, UnderlineAndStrikeOutAddBars)
{
    FontEngine& engine = FontEngine::Instance();
    TFont plain = MakeFont("Arial", 24);
    TFont under = MakeFont("Arial", 24, fsUnderline);
    TFont strike = MakeFont("Arial", 24, fsStrikeOut);
    TFont both = MakeFont("Arial", 24, fsUnderline | fsStrikeOut);
    const std::string text = "Tilvo";
    int width = engine.TextWidth(plain, text);
    auto p = LayoutOf(plain, text);
    auto u = LayoutOf(under, text);
    auto s = LayoutOf(strike, text);
    ASSERT_EQ(u.size(), p.size() + 1);
    ASSERT_EQ(s.size(), p.size() + 1);
    EXPECT_EQ(LayoutOf(both, text).size(), p.size() + 2);
    EXPECT_EQ(engine.TextWidth(under, text), width);

    const TGlyphImage& ub = *u.back().Image;
    EXPECT_EQ(u.back().X, 0);
    EXPECT_EQ(ub.Left, 0);
    EXPECT_EQ(ub.Width, width);
    EXPECT_GT(ub.Top, 0);  // below the baseline
    EXPECT_LE(ub.Top + ub.Height, engine.Metrics(under).Descent);
    for (std::uint8_t c : ub.Coverage)
        EXPECT_EQ(c, 255);  // whole pixels when unturned

    const TGlyphImage& sb = *s.back().Image;
    EXPECT_EQ(sb.Width, width);
    EXPECT_LT(sb.Top + sb.Height, 0);  // above the baseline
    EXPECT_GT(sb.Top, -engine.Metrics(strike).Ascent / 2);

    // Turned, the bar turns with the text.
    TFont upUnder = MakeFont("Arial", 24, fsUnderline, 900);
    auto t = LayoutOf(upUnder, text);
    ASSERT_EQ(t.size(), p.size() + 1);
    EXPECT_EQ(t.back().Image->Height, width);
}

TEST(FontEngine, ExtremeDescriptionsStayBounded)
{
    FontEngine& engine = FontEngine::Instance();
    TFont f = MakeFont("Times New Roman", 12);
    for (int height : {INT_MIN, INT_MAX, -100000, 100000, 0, 1, -1}) {
        f.Height = height;
        TFaceInfo info = engine.Face(f);
        EXPECT_GE(info.Em, 1) << height;
        EXPECT_LE(info.Em, 1 << 22) << height;
        TTextMetrics m = engine.Metrics(f);
        EXPECT_EQ(m.Ascent + m.Descent, m.Height);
        EXPECT_GE(m.Height, 1);
        EXPECT_GE(engine.TextWidth(f, "x"), 0);
    }
    f.Height = 0;  // the default size: 12 points
    EXPECT_EQ(engine.Face(f).Em, 16);
    f.Height = -20;
    for (int escapement : {INT_MIN, INT_MAX, 3600, 7200 + 900}) {
        f.Escapement = escapement;
        EXPECT_EQ(LayoutOf(f, "ab").size(), 2u) << escapement;
    }
    f.Escapement = 7200 + 900;
    TFont up = f;
    up.Escapement = 900;
    EXPECT_EQ(LayoutOf(f, "b")[0].Image, LayoutOf(up, "b")[0].Image);
}

namespace {

long CoverageSum(const TGlyphImage& g)
{
    long sum = 0;
    for (std::uint8_t c : g.Coverage)
        sum += c;
    return sum;
}

}  // namespace

// Above a couple of thousand pixels a glyph keeps its outline, and only the
// part a bitmap shows is rendered: the same shape, whatever the parts.
TEST(FontEngine, LargeGlyphsRenderInParts)
{
    FontEngine& engine = FontEngine::Instance();
    TFont font = MakeFont("Times New Roman", 12);
    font.Height = -2048;
    const TGlyphImage small = *LayoutOf(font, "O").at(0).Image;
    ASSERT_FALSE(small.Outline);
    font.Height = -2049;
    const TGlyphImage& large = *LayoutOf(font, "O").at(0).Image;
    ASSERT_TRUE(large.Outline);
    EXPECT_TRUE(large.Coverage.empty());
    EXPECT_NEAR(large.Left, small.Left, 3);
    EXPECT_NEAR(large.Top, small.Top, 3);
    EXPECT_NEAR(large.Width, small.Width, 4);
    EXPECT_NEAR(large.Height, small.Height, 4);

    // Whole, it has the ink of the glyph rendered whole (a hole included).
    const TGlyphImage whole = engine.RenderPart(large, {0, 0, large.Width, large.Height});
    EXPECT_NEAR(double(CoverageSum(whole)) / double(CoverageSum(small)), 1.0, 0.01);

    // In quarters, the same pixels.
    const int mx = large.Width / 2 + 7, my = large.Height / 3;
    int worst = 0;
    for (const TRect q : {TRect{0, 0, mx, my}, TRect{mx, 0, large.Width, my}, TRect{0, my, mx, large.Height},
                          TRect{mx, my, large.Width, large.Height}}) {
        const TGlyphImage& part = engine.RenderPart(large, q);
        ASSERT_EQ(part.Left, large.Left + q.Left);
        ASSERT_EQ(part.Width, q.Width());
        for (int y = 0; y < part.Height; ++y)
            for (int x = 0; x < part.Width; ++x) {
                const int a = part.Coverage[std::size_t(y) * part.Width + x];
                const int b = whole.Coverage[std::size_t(y + q.Top) * whole.Width + x + q.Left];
                worst = std::max(worst, std::abs(a - b));
            }
    }
    EXPECT_LE(worst, 4);  // rounding where the parts are cut

    // At the largest em a glyph is millions of pixels high; a small part
    // of it costs what its area costs: solid in the stroke, blank inside.
    font.Height = INT_MIN;
    const TGlyphImage& huge = *LayoutOf(font, "O").at(0).Image;
    ASSERT_TRUE(huge.Outline);
    EXPECT_GT(huge.Height, 1 << 21);
    const TGlyphImage& stroke = engine.RenderPart(huge, Bounds(huge.Width / 30, huge.Height / 2, 64, 64));
    EXPECT_EQ(CoverageSum(stroke), 64L * 64 * 255);
    const TGlyphImage& hole = engine.RenderPart(huge, Bounds(huge.Width / 2, huge.Height / 2, 64, 64));
    EXPECT_EQ(CoverageSum(hole), 0);
}
