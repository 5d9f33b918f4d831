// BMP files written by hand, read from memory.

#include "toolkit/imageio/ImageIO.h"

#include "PictureTesting.h"
#include "toolkit/system/Errors.h"

using namespace picturetest;

namespace {

// Rows in file order, each value an index or a packed pixel, padded to 4 bytes.
Bytes Rows(int bits, const std::vector<std::vector<std::uint32_t>>& rows)
{
    Bytes out;
    for (const auto& row : rows) {
        Bytes line;
        unsigned acc = 0;
        int filled = 0;
        for (std::uint32_t v : row) {
            if (bits < 8) {
                acc = (acc << bits) | v;
                filled += bits;
                if (filled == 8) {
                    Put8(line, acc);
                    acc = 0;
                    filled = 0;
                }
            } else {
                for (int i = 0; i < bits / 8; ++i)
                    Put8(line, v >> (8 * i));
            }
        }
        if (filled)
            Put8(line, acc << (8 - filled));
        while (line.size() % 4)
            Put8(line, 0);
        PutBytes(out, line);
    }
    return out;
}

struct BmpSpec {
    std::uint32_t HeaderSize = 40;
    int Width = 3;
    int Height = 2;  // negative: top-down
    int Bits = 24;
    std::uint32_t Compression = 0;
    std::uint32_t ClrUsed = 0;
    std::vector<std::uint32_t> Palette;  // 0x00RRGGBB
    std::vector<std::uint32_t> Masks;    // in the header (V4/V5) or after it
};

Bytes Bmp(const BmpSpec& s, const Bytes& pixels)
{
    Bytes info;
    Put32(info, s.HeaderSize);
    if (s.HeaderSize == 12) {
        Put16(info, s.Width);
        Put16(info, s.Height);
        Put16(info, 1);
        Put16(info, s.Bits);
    } else {
        Put32(info, static_cast<std::uint32_t>(s.Width));
        Put32(info, static_cast<std::uint32_t>(s.Height));
        Put16(info, 1);
        Put16(info, s.Bits);
        Put32(info, s.Compression);
        Put32(info, static_cast<std::uint32_t>(pixels.size()));
        Put32(info, 2835);
        Put32(info, 2835);
        Put32(info, s.ClrUsed);
        Put32(info, 0);
        for (std::uint32_t m : s.Masks)
            Put32(info, m);
        info.resize(std::max<std::size_t>(info.size(), s.HeaderSize), 0);
    }
    for (std::uint32_t c : s.Palette) {
        Put8(info, c);
        Put8(info, c >> 8);
        Put8(info, c >> 16);
        if (s.HeaderSize != 12)
            Put8(info, 0);
    }
    Bytes file = {'B', 'M'};
    Put32(file, static_cast<std::uint32_t>(14 + info.size() + pixels.size()));
    Put32(file, 0);
    Put32(file, static_cast<std::uint32_t>(14 + info.size()));
    PutBytes(file, info);
    PutBytes(file, pixels);
    return file;
}

TBitmap Load(const Bytes& file)
{
    TBitmap b;
    LoadPictureFromMemory(file.data(), file.size(), ".bmp", b);
    return b;
}

std::string Error(const Bytes& file)
{
    try {
        Load(file);
    } catch (const EInvalidGraphic& e) {
        return e.Message();
    }
    return "";
}

const std::vector<std::uint32_t> SixColours = {0x102030, 0xA0B0C0, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};

void ExpectSix(const TBitmap& b, const std::vector<std::uint32_t>& c)
{
    ASSERT_EQ(b.Width(), 3);
    ASSERT_EQ(b.Height(), 2);
    EXPECT_EQ(b.PixelFormat(), pf24bit);
    const std::uint32_t want[2][3] = {{c[0], c[1], c[2]}, {c[3], c[4], c[5]}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(Px(b, x, y), want[y][x]) << "at " << x << "," << y;
}

}  // namespace

TEST(Bmp, PaletteDepthsBottomUpAndTopDown)
{
    for (bool topDown : {false, true}) {
        SCOPED_TRACE(topDown ? "top-down" : "bottom-up");
        auto order = [&](std::vector<std::uint32_t> top, std::vector<std::uint32_t> bottom) {
            return topDown ? std::vector<std::vector<std::uint32_t>>{top, bottom}
                           : std::vector<std::vector<std::uint32_t>>{bottom, top};
        };
        BmpSpec spec;
        spec.Height = topDown ? -2 : 2;

        spec.Bits = 1;
        spec.Palette = {SixColours[0], SixColours[1]};
        ExpectSix(Load(Bmp(spec, Rows(1, order({0, 1, 0}, {1, 1, 0})))),
                  {SixColours[0], SixColours[1], SixColours[0], SixColours[1], SixColours[1], SixColours[0]});

        spec.Bits = 4;  // a full table of 16
        spec.Palette = SixColours;
        spec.Palette.resize(16, 0);
        ExpectSix(Load(Bmp(spec, Rows(4, order({0, 1, 2}, {3, 4, 5})))), SixColours);

        spec.Bits = 8;  // a table of the six colours used
        spec.Palette = SixColours;
        spec.ClrUsed = 6;
        ExpectSix(Load(Bmp(spec, Rows(8, order({0, 1, 2}, {3, 4, 5})))), SixColours);
        spec.ClrUsed = 0;
        spec.Palette.clear();

        spec.Bits = 24;
        ExpectSix(Load(Bmp(spec, Rows(24, order({SixColours[0], SixColours[1], SixColours[2]},
                                                 {SixColours[3], SixColours[4], SixColours[5]})))),
                  SixColours);
        spec.Bits = 32;  // the fourth byte is ignored
        ExpectSix(Load(Bmp(spec, Rows(32, order({SixColours[0] | 0xFF000000, SixColours[1], SixColours[2]},
                                                 {SixColours[3], SixColours[4], SixColours[5] | 0x7F000000})))),
                  SixColours);
    }
}

TEST(Bmp, SixteenBitsAndBitFields)
{
    BmpSpec spec;
    spec.Bits = 16;  // 5-5-5 by default
    auto rgb555 = [](unsigned r, unsigned g, unsigned b) { return (r << 10) | (g << 5) | b; };
    const std::uint32_t c16 = 16 * 255 / 31;
    const std::vector<std::uint32_t> expected = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000, c16 << 16 | c16};
    ExpectSix(Load(Bmp(spec, Rows(16, {{rgb555(31, 31, 31), 0, rgb555(16, 0, 16)},
                                       {rgb555(31, 0, 0), rgb555(0, 31, 0), rgb555(0, 0, 31)}}))),
              expected);

    // 5-6-5 masks after an info header.
    spec.Compression = 3;
    spec.Masks = {0xF800, 0x07E0, 0x001F};
    auto rgb565 = [](unsigned r, unsigned g, unsigned b) { return (r << 11) | (g << 5) | b; };
    const std::uint32_t g32 = 32 * 255 / 63;
    ExpectSix(Load(Bmp(spec, Rows(16, {{rgb565(0, 32, 0), rgb565(0, 0, 0), rgb565(0, 0, 0)},
                                       {rgb565(31, 0, 0), rgb565(0, 63, 0), rgb565(0, 0, 31)}}))),
              {0xFF0000, 0x00FF00, 0x0000FF, g32 << 8, 0, 0});

    // A V5 header with red in the low byte.
    spec.HeaderSize = 124;
    spec.Bits = 32;
    spec.Masks = {0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000};
    ExpectSix(Load(Bmp(spec, Rows(32, {{0x00030201, 0, 0}, {0x000000FF, 0x0000FF00, 0xFFFF0000}}))),
              {0xFF0000, 0x00FF00, 0x0000FF, 0x010203, 0, 0});

    // A V4 header with plain 24-bit rows.
    BmpSpec v4;
    v4.HeaderSize = 108;
    ExpectSix(Load(Bmp(v4, Rows(24, {{SixColours[3], SixColours[4], SixColours[5]},
                                     {SixColours[0], SixColours[1], SixColours[2]}}))),
              SixColours);
}

TEST(Bmp, CoreHeaderAndRunLengths)
{
    BmpSpec core;
    core.HeaderSize = 12;
    core.Bits = 8;
    core.Palette = SixColours;
    core.Palette.resize(256, 0);
    ExpectSix(Load(Bmp(core, Rows(8, {{3, 4, 5}, {0, 1, 2}}))), SixColours);

    // RLE8, 6 x 3: a run, a literal run, a move, end of line and of bitmap.
    BmpSpec rle;
    rle.Width = 6;
    rle.Height = 3;
    rle.Bits = 8;
    rle.Compression = 1;
    rle.Palette = SixColours;
    rle.ClrUsed = 6;
    Bytes codes = {4,    2, 0, 3, 1, 3, 5, 0,  // bottom row: 2 2 2 2 then literal 1 3 5 (one past the edge)
                   0,    0,                    // end of line (already full)
                   0,    2, 2, 0,              // move right 2 on the middle row
                   2,    4, 0, 0,              // 4 4 at x = 2, 3; end of line
                   6,    1, 0, 1};             // top row all 1, end of bitmap
    TBitmap b = Load(Bmp(rle, codes));
    ASSERT_EQ(b.Width(), 6);
    auto row = [&](int y) {
        std::vector<std::uint32_t> v;
        for (int x = 0; x < 6; ++x)
            v.push_back(Px(b, x, y));
        return v;
    };
    const auto& c = SixColours;
    EXPECT_EQ(row(2), (std::vector<std::uint32_t>{c[2], c[2], c[2], c[2], c[1], c[3]}));
    EXPECT_EQ(row(1), (std::vector<std::uint32_t>{c[0], c[0], c[4], c[4], c[0], c[0]}));  // skipped: colour 0
    EXPECT_EQ(row(0), (std::vector<std::uint32_t>{c[1], c[1], c[1], c[1], c[1], c[1]}));

    // RLE4: a run alternates its two nibbles.
    rle.Bits = 4;
    rle.Compression = 2;
    rle.Height = 1;
    b = Load(Bmp(rle, {5, 0x12, 0, 1}));
    EXPECT_EQ(row(0), (std::vector<std::uint32_t>{c[1], c[2], c[1], c[2], c[1], c[0]}));
}

TEST(Bmp, DamagedFilesAreRefused)
{
    BmpSpec spec;
    Bytes good = Bmp(spec, Rows(24, {{1, 2, 3}, {4, 5, 6}}));
    EXPECT_NO_THROW(Load(good));

    Bytes cut(good.begin(), good.end() - 9);
    EXPECT_NE(Error(cut).find("truncated file"), std::string::npos);
    EXPECT_NE(Error(Bytes(good.begin(), good.begin() + 20)).find("truncated file"), std::string::npos);

    spec.Bits = 7;
    EXPECT_NE(Error(Bmp(spec, Bytes(16, 0))).find("unsupported"), std::string::npos);
    spec.Bits = 24;
    spec.Width = 0;
    EXPECT_NE(Error(Bmp(spec, Bytes(16, 0))).find("invalid picture size"), std::string::npos);
    spec.Width = 3;
    spec.Compression = 1;  // RLE8 needs 8 bits
    EXPECT_NE(Error(Bmp(spec, Bytes(16, 0))).find("unsupported"), std::string::npos);

    // A run-length picture that ends before its last row.
    BmpSpec rle;
    rle.Bits = 8;
    rle.Compression = 1;
    rle.Palette = SixColours;
    rle.ClrUsed = 6;
    EXPECT_NE(Error(Bmp(rle, {3, 1, 0, 0})).find("truncated file"), std::string::npos);
}
