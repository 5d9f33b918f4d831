#include "toolkit/imageio/ImageIO.h"

#include "PictureTesting.h"
#include "toolkit/system/Errors.h"

using namespace picturetest;

namespace {

// 3 x 2: a b c / d e f
TBitmap Six()
{
    TBitmap b(3, 2);
    const std::uint32_t v[2][3] = {{0xA, 0xB, 0xC}, {0xD, 0xE, 0xF}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            b.ScanLine(y)[x] = v[y][x];
    return b;
}

std::vector<std::vector<std::uint32_t>> Grid(const TBitmap& b)
{
    std::vector<std::vector<std::uint32_t>> g(static_cast<std::size_t>(b.Height()));
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            g[static_cast<std::size_t>(y)].push_back(Px(b, x, y));
    return g;
}

using G = std::vector<std::vector<std::uint32_t>>;

}  // namespace

TEST(Rotate, QuarterTurnsMovePixelsExactly)
{
    // Positive angles turn counter-clockwise: the right edge comes to the top.
    const std::pair<int, G> cases[] = {
        {90, {{0xC, 0xF}, {0xB, 0xE}, {0xA, 0xD}}},
        {-270, {{0xC, 0xF}, {0xB, 0xE}, {0xA, 0xD}}},
        {450, {{0xC, 0xF}, {0xB, 0xE}, {0xA, 0xD}}},
        {180, {{0xF, 0xE, 0xD}, {0xC, 0xB, 0xA}}},
        {270, {{0xD, 0xA}, {0xE, 0xB}, {0xF, 0xC}}},
        {-90, {{0xD, 0xA}, {0xE, 0xB}, {0xF, 0xC}}},
        {0, {{0xA, 0xB, 0xC}, {0xD, 0xE, 0xF}}},
        {360, {{0xA, 0xB, 0xC}, {0xD, 0xE, 0xF}}},
    };
    for (const auto& [angle, want] : cases) {
        TBitmap b = Six();
        b.SetPixelFormat(pf32bit);
        RotateBitmap(b, angle, clRed);
        EXPECT_EQ(Grid(b), want) << angle;
        EXPECT_EQ(b.PixelFormat(), pf24bit);
    }
    // An odd number of rows turned half-way keeps its middle row reversed.
    TBitmap tall(2, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 2; ++x)
            tall.ScanLine(y)[x] = static_cast<std::uint32_t>(10 * y + x);
    RotateBitmap(tall, 180, clBlack);
    EXPECT_EQ(Grid(tall), (G{{21, 20}, {11, 10}, {1, 0}}));
}

TEST(Rotate, OtherAnglesResampleIntoTheBoundingBox)
{
    // Left half red, right half blue.
    TBitmap b(40, 20);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x)
            b.ScanLine(y)[x] = x < 20 ? 0xFF0000 : 0x0000FF;
    RotateBitmap(b, 30, clLime);
    // 40 cos 30 + 20 sin 30 = 44.6; 40 sin 30 + 20 cos 30 = 37.3.
    ASSERT_EQ(b.Width(), 45);
    ASSERT_EQ(b.Height(), 38);
    EXPECT_EQ(b.PixelFormat(), pf24bit);
    // Corners take the background (as a pixel: 0x00RRGGBB).
    for (auto [x, y] : {std::pair{0, 0}, {44, 0}, {0, 37}, {44, 37}})
        EXPECT_EQ(Px(b, x, y), 0x00FF00u) << x << "," << y;
    // Turned left, the right half rises to the right of the centre.
    const int cx = 22, cy = 19;
    EXPECT_EQ(Px(b, cx + 13, cy - 7), 0x0000FFu);
    EXPECT_EQ(Px(b, cx - 13, cy + 7), 0xFF0000u);
    // Along the turned border between the halves the colours blend.
    std::uint32_t mid = Px(b, cx, cy);
    EXPECT_GT(mid >> 16, 0u);
    EXPECT_GT(mid & 0xFF, 0u);

    // A system colour as background is resolved.
    TBitmap small(4, 4);
    RotateBitmap(small, 45, clBtnFace);
    EXPECT_EQ(Px(small, 0, 0), 0xC0C0C0u);
}

TEST(Rotate, ResultTooLargeLeavesTheBitmap)
{
    TBitmap b(TBitmap::MaxSide, 2);
    b.ScanLine(1)[5] = 0x123456;
    EXPECT_THROW(RotateBitmap(b, 45, clWhite), EOutOfResources);
    EXPECT_EQ(b.Width(), TBitmap::MaxSide);
    EXPECT_EQ(Px(b, 5, 1), 0x123456u);
    TBitmap empty;
    EXPECT_NO_THROW(RotateBitmap(empty, 33, clWhite));
    EXPECT_TRUE(empty.Empty());
}
