// Variants of PCX and GIF that our writers do not make, and damaged JPEGs.

#include "toolkit/imageio/ImageIO.h"

#include "PictureTesting.h"
#include "toolkit/imageio/Codecs.h"
#include "toolkit/system/Errors.h"

#include <gif_lib.h>

#include <algorithm>

using namespace picturetest;

namespace {

Bytes PcxHeader(int w, int h, int bits, int planes, int bytesPerLine)
{
    Bytes b(128, 0);
    b[0] = 0x0A, b[1] = 5, b[2] = 1, b[3] = static_cast<std::uint8_t>(bits);
    b[8] = static_cast<std::uint8_t>(w - 1), b[10] = static_cast<std::uint8_t>(h - 1);
    b[65] = static_cast<std::uint8_t>(planes), b[66] = static_cast<std::uint8_t>(bytesPerLine);
    return b;
}

TBitmap Load(const Bytes& file, const char* ext)
{
    TBitmap b;
    LoadPictureFromMemory(file.data(), file.size(), ext, b);
    return b;
}

int WriteGif(GifFileType* gif, const GifByteType* data, int n)
{
    auto* out = static_cast<Bytes*>(gif->UserData);
    out->insert(out->end(), data, data + n);
    return n;
}

}  // namespace

TEST(Formats, PcxPalettesAndPlanes)
{
    // 8 bits: runs (one crossing into the next line) and the palette at the end.
    Bytes pcx = PcxHeader(4, 2, 8, 1, 4);
    // Lines 1 1 1 2 and 2 C3 3 3; the run of 2 goes on into the second
    // line, and the byte C3 is written as a run of one.
    PutBytes(pcx, {0xC3, 1, 0xC2, 2, 0xC1, 0xC3, 0xC2, 3});
    pcx.push_back(0x0C);
    for (int i = 0; i < 256; ++i) {
        pcx.push_back(static_cast<std::uint8_t>(i));
        pcx.push_back(static_cast<std::uint8_t>(255 - i));
        pcx.push_back(0x55);
    }
    auto colour = [](int i) { return std::uint32_t(i) << 16 | std::uint32_t(255 - i) << 8 | 0x55; };
    TBitmap b = Load(pcx, ".pcx");
    ASSERT_EQ(b.Width(), 4);
    ASSERT_EQ(b.Height(), 2);
    EXPECT_EQ(Px(b, 0, 0), colour(1));
    EXPECT_EQ(Px(b, 2, 0), colour(1));
    EXPECT_EQ(Px(b, 3, 0), colour(2));
    EXPECT_EQ(Px(b, 0, 1), colour(2));
    EXPECT_EQ(Px(b, 1, 1), colour(0xC3));
    EXPECT_EQ(Px(b, 2, 1), colour(3));
    EXPECT_EQ(Px(b, 3, 1), colour(3));

    // 16 colours in four one-bit planes, palette in the header.
    Bytes ega = PcxHeader(8, 1, 1, 4, 2);
    for (int i = 0; i < 16; ++i) {
        ega[16 + 3 * i] = static_cast<std::uint8_t>(i * 16);
        ega[17 + 3 * i] = 0;
        ega[18 + 3 * i] = static_cast<std::uint8_t>(i);
    }
    ega[2] = 0;  // raw, not run-length
    // Pixel x has colour x: plane p holds bit p of each index.
    for (int p = 0; p < 4; ++p) {
        unsigned bits = 0;
        for (int x = 0; x < 8; ++x)
            bits |= ((x >> p) & 1u) << (7 - x);
        PutBytes(ega, {static_cast<std::uint8_t>(bits), 0});
    }
    b = Load(ega, ".pcx");
    ASSERT_EQ(b.Width(), 8);
    for (int x = 0; x < 8; ++x)
        EXPECT_EQ(Px(b, x, 0), std::uint32_t(x * 16) << 16 | std::uint32_t(x)) << x;
}

TEST(Formats, GifInterlacedWithTransparencyOnItsScreen)
{
    // An interlaced 3 x 10 image at (1, 2) on a 5 x 12 screen; colour 2 is transparent.
    Bytes file;
    int error = 0;
    GifFileType* gif = EGifOpen(&file, WriteGif, &error);
    ASSERT_NE(gif, nullptr);
    GifColorType colours[4] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {0, 0, 0}};
    ColorMapObject* map = GifMakeMapObject(4, colours);
    EGifSetGifVersion(gif, true);
    EGifPutScreenDesc(gif, 5, 12, 8, 0, map);
    GifFreeMapObject(map);
    const GifByteType control[4] = {1, 0, 0, 2};
    EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, control);
    EGifPutImageDesc(gif, 1, 2, 3, 10, true, nullptr);
    // Rows go in the interlaced order; row r is all colour r % 3.
    for (int start : {0, 4, 2, 1})
        for (int r = start; r < 10; r += start == 0 || start == 4 ? 8 : start == 2 ? 4 : 2) {
            GifPixelType line[3] = {GifPixelType(r % 3), GifPixelType(r % 3), GifPixelType(r % 3)};
            EGifPutLine(gif, line, 3);
        }
    ASSERT_EQ(EGifCloseFile(gif, &error), GIF_OK);

    // A black picture of the same size first: nothing of it may show through.
    TBitmap black(5, 12);
    for (int y = 0; y < 12; ++y)
        std::fill_n(black.ScanLine(y), 5, 0u);
    TempDir dir;
    SavePicture(dir / "black.png", black);
    Bytes png = ReadFile(dir / "black.png");
    EXPECT_EQ(Px(Load(png, "png"), 0, 0), 0u);

    TBitmap b = Load(file, "gif");
    ASSERT_EQ(b.Width(), 5);
    ASSERT_EQ(b.Height(), 12);
    const std::uint32_t want[3] = {0xFF0000, 0x00FF00, 0xFFFFFF};
    for (int r = 0; r < 10; ++r)
        EXPECT_EQ(Px(b, 2, r + 2), want[r % 3]) << r;
    EXPECT_EQ(Px(b, 0, 0), 0xFFFFFFu);  // outside the image
    EXPECT_EQ(Px(b, 4, 11), 0xFFFFFFu);
}

TEST(Formats, DamagedJpegIsRefusedRatherThanFilledWithGrey)
{
    const Bytes whole = imageio::EncodeJpeg(Gradient(96, 96), 90);
    auto error = [](const Bytes& file) {
        try {
            Load(file, "jpg");
        } catch (const EInvalidGraphic& e) {
            return e.Message();
        }
        return std::string();
    };
    ASSERT_EQ(error(whole), "");

    // The first half with its end marker put back: the scan runs into it.
    Bytes half(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(whole.size() / 2));
    PutBytes(half, {0xFF, 0xD9});
    EXPECT_NE(error(half).find("truncated file"), std::string::npos) << error(half);

    // Bad codes in the middle of the scan.
    Bytes garbled = whole;
    std::fill(garbled.begin() + static_cast<std::ptrdiff_t>(whole.size() / 2),
              garbled.begin() + static_cast<std::ptrdiff_t>(whole.size() / 2 + 40), 0xFE);
    EXPECT_NE(error(garbled), "");

    // A frame header claiming 11585 x 11585 over the data of 96 x 96: far
    // fewer bits than blocks, refused before the picture is made.
    Bytes claimed = whole;
    for (std::size_t i = 2; i + 9 < claimed.size(); ++i)
        if (claimed[i] == 0xFF && claimed[i + 1] == 0xC0) {
            claimed[i + 5] = 0x2D, claimed[i + 6] = 0x41, claimed[i + 7] = 0x2D, claimed[i + 8] = 0x41;
            break;
        }
    EXPECT_NE(error(claimed).find("truncated file"), std::string::npos) << error(claimed);

    // A flat picture needs the fewest bits a block can have and still loads.
    TBitmap flat(1024, 1024);
    TBitmap loaded = Load(imageio::EncodeJpeg(flat, 50), "jpg");
    EXPECT_EQ(loaded.Width(), 1024);
    EXPECT_EQ(Px(loaded, 512, 512), 0xFFFFFFu);
}
