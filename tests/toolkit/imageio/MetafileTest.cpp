// Small metafiles written by hand and played onto a bitmap.

#include "toolkit/imageio/ImageIO.h"

#include "PictureTesting.h"
#include "toolkit/system/Errors.h"

#include <cmath>
#include <cstring>

using namespace picturetest;

namespace {

constexpr std::uint32_t Red = 0x0000FF, Green = 0x00FF00, Blue = 0xFF0000;  // COLORREF

class Wmf {
public:
    void Rec(unsigned function, std::vector<int> params)
    {
        Put32(records_, static_cast<std::uint32_t>(3 + params.size()));
        Put16(records_, function);
        for (int p : params)
            Put16(records_, static_cast<unsigned>(p));
        maxRecord_ = std::max<std::size_t>(maxRecord_, 3 + params.size());
    }
    void Raw(unsigned function, const Bytes& params)
    {
        Put32(records_, static_cast<std::uint32_t>(3 + params.size() / 2));
        Put16(records_, function);
        PutBytes(records_, params);
    }
    static std::vector<int> Color(std::uint32_t c) { return {int(c & 0xFFFF), int(c >> 16)}; }

    Bytes File(int right, int bottom, int inch, int objects)
    {
        Bytes f;
        Put32(f, 0x9AC6CDD7);
        Put16(f, 0);
        for (int v : {0, 0, right, bottom})
            Put16(f, static_cast<unsigned>(v));
        Put16(f, static_cast<unsigned>(inch));
        Put32(f, 0);
        unsigned sum = 0;
        for (std::size_t i = 0; i < f.size(); i += 2)
            sum ^= f[i] | (f[i + 1] << 8);
        Put16(f, sum);
        Rec(0, {});  // end of file
        Put16(f, 1);
        Put16(f, 9);
        Put16(f, 0x0300);
        Put32(f, static_cast<std::uint32_t>(9 + records_.size() / 2));
        Put16(f, static_cast<unsigned>(objects));
        Put32(f, static_cast<std::uint32_t>(maxRecord_));
        Put16(f, 0);
        PutBytes(f, records_);
        return f;
    }

private:
    Bytes records_;
    std::size_t maxRecord_ = 3;
};

// A 2 x 2 bottom-up DIB: red, green on top, blue, white below.
Bytes Dib()
{
    Bytes d;
    for (std::uint32_t v : {40u, 2u, 2u})
        Put32(d, v);
    Put16(d, 1);
    Put16(d, 24);
    for (int i = 0; i < 6; ++i)
        Put32(d, 0);
    PutBytes(d, {0xFF, 0, 0, 0xFF, 0xFF, 0xFF, 0, 0});  // bottom row, padded
    PutBytes(d, {0, 0, 0xFF, 0, 0xFF, 0, 0, 0});        // top row
    return d;
}

TBitmap Play(const Bytes& file, const char* ext)
{
    TBitmap b;
    LoadPictureFromMemory(file.data(), file.size(), ext, b);
    return b;
}

std::string Error(const Bytes& file, const char* ext)
{
    try {
        Play(file, ext);
    } catch (const EInvalidGraphic& e) {
        return e.Message();
    }
    return "";
}

Bytes SampleWmf()
{
    // Two logical units a pixel: 200 x 100 units at 192 a inch is 100 x 50.
    Wmf w;
    auto brush = [&](std::uint32_t c) {
        std::vector<int> p = {0};
        for (int v : Wmf::Color(c))
            p.push_back(v);
        p.push_back(0);
        w.Rec(0x02FC, p);
    };
    brush(Red);                                  // slot 0
    w.Rec(0x012D, {0});
    w.Rec(0x02FA, {5, 0, 0, 0, 0});              // null pen, slot 1
    w.Rec(0x012D, {1});
    w.Rec(0x041B, {40, 60, 20, 20});             // rectangle: bottom, right, top, left
    brush(Blue);                                 // slot 2
    w.Rec(0x01F0, {0});                          // frees slot 0 ...
    brush(Green);                                // ... which the next object takes
    w.Rec(0x012D, {0});
    w.Rec(0x0418, {80, 180, 20, 120});           // ellipse
    w.Rec(0x012D, {2});
    w.Rec(0x0324, {3, 0, 60, 40, 60, 0, 100});   // triangle
    w.Rec(0x02FA, {0, 0, 0, 0, 0});              // solid black pen, slot 3
    w.Rec(0x012D, {3});
    w.Rec(0x0214, {2, 0});                       // move to (0, 2)
    w.Rec(0x0213, {2, 198});
    w.Rec(0x0102, {1});                          // transparent text
    w.Rec(0x0209, Wmf::Color(0));
    w.Rec(0x0521, {2, 'H' | ('i' << 8), 60, 100});
    Bytes stretch;
    for (int v : {0x0020, 0x00CC, 0, 2, 2, 0, 0, 40, 40, 60, 160})  // SRCCOPY, usage, src h w y x, dest h w y x
        Put16(stretch, static_cast<unsigned>(v));
    PutBytes(stretch, Dib());
    w.Raw(0x0F43, stretch);
    return w.File(200, 100, 192, 4);
}

}  // namespace

TEST(Metafile, WmfRecordsAreDrawnToScale)
{
    TBitmap b = Play(SampleWmf(), ".wmf");
    ASSERT_EQ(b.Width(), 100);
    ASSERT_EQ(b.Height(), 50);
    EXPECT_EQ(b.PixelFormat(), pf24bit);
    EXPECT_EQ(Px(b, 15, 15), 0xFF0000u);  // red rectangle, (10,10)-(30,20)
    EXPECT_EQ(Px(b, 35, 15), 0xFFFFFFu);  // white background
    EXPECT_EQ(Px(b, 75, 25), 0x00FF00u);  // green ellipse in the reused slot
    EXPECT_EQ(Px(b, 3, 35), 0x0000FFu);   // blue triangle
    EXPECT_EQ(Px(b, 50, 1), 0x000000u);   // line
    EXPECT_EQ(Px(b, 50, 2), 0xFFFFFFu);
    EXPECT_EQ(Px(b, 83, 33), 0xFF0000u);  // the bitmap's four quarters
    EXPECT_EQ(Px(b, 97, 33), 0x00FF00u);
    EXPECT_EQ(Px(b, 83, 47), 0x0000FFu);
    EXPECT_EQ(Px(b, 97, 47), 0xFFFFFFu);
    int dark = 0;
    for (int y = 25; y < 50; ++y)
        for (int x = 50; x < 80; ++x)
            dark += Px(b, x, y) == 0;
    EXPECT_GT(dark, 5) << "no text drawn";
}

TEST(Metafile, EmfTransformsAndBitmaps)
{
    Bytes recs;
    auto rec = [&](std::uint32_t type, std::vector<std::uint32_t> params) {
        Put32(recs, type);
        Put32(recs, static_cast<std::uint32_t>(8 + 4 * params.size()));
        for (std::uint32_t p : params)
            Put32(recs, p);
    };
    auto f = [](float v) {
        std::uint32_t u;
        std::memcpy(&u, &v, 4);
        return u;
    };
    rec(39, {1, 0, Blue, 0});              // brush 1
    rec(37, {1});
    rec(37, {0x80000008});                 // stock null pen
    rec(43, {10, 10, 40, 30});             // rectangle
    rec(35, {f(1), f(0), f(0), f(1), f(50), f(0)});
    rec(37, {0x80000004});                 // stock black brush
    rec(43, {0, 0, 10, 10});               // at (50, 0) through the world transform
    rec(36, {f(1), f(0), f(0), f(1), f(0), f(0), 1});  // back to identity
    rec(17, {8});                          // anisotropic: 100 units to 50 pixels
    rec(9, {100, 100});
    rec(11, {50, 50});
    Bytes dib = Dib();
    std::vector<std::uint32_t> p = {0, 0, 0, 0, 120, 40, 0, 0, 2, 2, 80, 40, 120, 16, 0, 0x00CC0020, 20, 20};
    Put32(recs, 81);
    Put32(recs, static_cast<std::uint32_t>(8 + 4 * p.size() + 56));
    for (std::uint32_t v : p)
        Put32(recs, v);
    PutBytes(recs, dib);
    rec(14, {0, 16, 20});

    Bytes file;
    for (std::uint32_t v : {1u, 88u, 0u, 0u, 95u, 47u, 0u, 0u, 2540u, 1270u, 0x464D4520u, 0x10000u})
        Put32(file, v);
    Put32(file, static_cast<std::uint32_t>(88 + recs.size()));
    Put32(file, 14);
    Put16(file, 3);
    Put16(file, 0);
    for (std::uint32_t v : {0u, 0u, 0u, 960u, 480u, 254u, 127u})
        Put32(file, v);
    PutBytes(file, recs);

    TBitmap b = Play(file, "EMF");
    ASSERT_EQ(b.Width(), 96);
    ASSERT_EQ(b.Height(), 48);
    EXPECT_EQ(Px(b, 20, 20), 0x0000FFu);
    EXPECT_EQ(Px(b, 5, 5), 0xFFFFFFu);
    EXPECT_EQ(Px(b, 55, 5), 0x000000u);
    EXPECT_EQ(Px(b, 61, 21), 0xFF0000u);
    EXPECT_EQ(Px(b, 68, 21), 0x00FF00u);
    EXPECT_EQ(Px(b, 61, 28), 0x0000FFu);
    EXPECT_EQ(Px(b, 68, 28), 0xFFFFFFu);
    EXPECT_EQ(Px(b, 72, 21), 0xFFFFFFu);

    // Cut anywhere, the file is refused as truncated.
    for (std::size_t cut : {std::size_t(40), std::size_t(100), file.size() - 4})
        EXPECT_NE(Error(Bytes(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(cut)), ".emf").find("truncated"),
                  std::string::npos)
            << cut;
}

TEST(Metafile, BadMetafilesAreRefused)
{
    Bytes wmf = SampleWmf();
    EXPECT_NE(Error(Bytes(wmf.begin(), wmf.begin() + 200), ".wmf").find("truncated file"), std::string::npos);
    // A record that claims to be shorter than its own header.
    Bytes bad = wmf;
    Set32(bad, 22 + 18, 1);
    EXPECT_NE(Error(bad, ".wmf").find("corrupt metafile"), std::string::npos);
    // 30000 units at one a inch would be 2.9 million pixels wide.
    Wmf huge;
    EXPECT_NE(Error(huge.File(30000, 30000, 1, 0), ".wmf").find("too large"), std::string::npos);
    // No placeable header and no window: no size to draw at.
    Wmf none;
    Bytes noSize = none.File(10, 10, 96, 0);
    EXPECT_NE(Error(Bytes(noSize.begin() + 22, noSize.end()), ".wmf").find("no picture size"), std::string::npos);
    // With a window record it plays at the window's size.
    Wmf windowed;
    windowed.Rec(0x020C, {30, 40});
    Bytes sized = windowed.File(10, 10, 96, 0);
    TBitmap b = Play(Bytes(sized.begin() + 22, sized.end()), ".wmf");
    EXPECT_EQ(b.Width(), 40);
    EXPECT_EQ(b.Height(), 30);
}

namespace {

// A run-length DIB of the given size holding only its end code: every pixel
// takes its one palette colour.
Bytes EmptyRleDib(int side, std::uint32_t colour)
{
    Bytes d;
    for (std::uint32_t v : {40u, std::uint32_t(side), std::uint32_t(side)})
        Put32(d, v);
    Put16(d, 1);
    Put16(d, 8);
    for (std::uint32_t v : {1u, 2u, 0u, 0u, 1u, 0u})  // RLE8, 2 bytes, 1 colour
        Put32(d, v);
    Put32(d, colour);
    PutBytes(d, {0, 1});
    return d;
}

}  // namespace

TEST(Metafile, EmbeddedPicturesShareOneBudget)
{
    // Each record carries a 2048 x 2048 picture, as much as a small
    // metafile may decode in all: the first is drawn over the whole
    // picture, the others are passed over without being made.
    Wmf w;
    for (std::uint32_t colour : {0xFF0000u, 0x0000FFu, 0x00FF00u}) {
        Bytes stretch;
        for (int v : {0x0020, 0x00CC, 0, 2048, 2048, 0, 0, 100, 200, 0, 0})
            Put16(stretch, static_cast<unsigned>(v));
        PutBytes(stretch, EmptyRleDib(2048, colour));
        w.Raw(0x0F43, stretch);
    }
    TBitmap b = Play(w.File(200, 100, 192, 0), ".wmf");
    ASSERT_EQ(b.Width(), 100);
    EXPECT_EQ(Px(b, 50, 25), 0xFF0000u);
}

TEST(Metafile, FullObjectTableAndLongPolygonsCostLittle)
{
    // 65535 slots filled one by one and then churned: new objects take the
    // lowest free slot, found without walking the table.
    Wmf w;
    for (int i = 0; i < 65535; ++i)
        w.Rec(0x02FA, {5, 0, 0, 0, 0});  // null pens
    for (int i = 0; i < 20000; ++i)
        w.Rec(0x02FA, {5, 0, 0, 0, 0});  // no room: dropped
    w.Rec(0x01F0, {40000});
    w.Rec(0x01F0, {7});
    std::vector<int> red = {0};
    for (int v : Wmf::Color(Red))
        red.push_back(v);
    red.push_back(0);
    w.Rec(0x02FC, red);  // slot 7
    w.Rec(0x012D, {7});
    w.Rec(0x012D, {8});  // a null pen
    w.Rec(0x041B, {100, 100, 0, 0});

    // Polygons of 16000 short edges, each edge on a row or two: a ring
    // between two circles, drawn 40 times on 600 rows.
    std::vector<int> ring = {16000};
    for (int i = 0; i < 16000; ++i) {
        const double a = 2 * M_PI * (i % 8000) / 8000, r = i < 8000 ? 90 : 60;
        ring.push_back(static_cast<int>(std::lround(100 + r * std::cos(a))));
        ring.push_back(static_cast<int>(std::lround(100 + r * std::sin(a))));
    }
    for (int i = 0; i < 40; ++i)
        w.Rec(0x0324, ring);
    TBitmap b = Play(w.File(200, 200, 24, 65535), ".wmf");
    ASSERT_EQ(b.Width(), 800);
    EXPECT_EQ(Px(b, 200, 200), 0xFF0000u);  // rectangle in the reused slot
    EXPECT_EQ(Px(b, 480, 480), 0xFFFFFFu);  // the hole of the ring
    EXPECT_EQ(Px(b, 400, 704), 0xFF0000u);  // on the ring
    EXPECT_EQ(Px(b, 796, 796), 0xFFFFFFu);
}
