// Writes a starting corpus for each reader's fuzz target: small pictures of
// every format made by our writers, and by hand the variants they do not
// write (palette and run-length BMP, palette PCX, metafiles), and two
// settings files.
// Usage: make_seeds <folder>; makes <folder>/<target>/seed-N files.

#include "toolkit/imageio/Codecs.h"

#include <filesystem>
#include <fstream>
#include <string>

using imageio::Buffer;
using imageio::PutLe16;
using imageio::PutLe32;

namespace {

void Write(const std::filesystem::path& dir, const std::string& target, int n, const Buffer& data)
{
    std::filesystem::create_directories(dir / target);
    std::ofstream f(dir / target / ("seed-" + std::to_string(n)), std::ios::binary);
    f.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
}

TBitmap Picture(int w, int h, bool smooth)
{
    TBitmap b(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.ScanLine(y)[x] = smooth ? (std::uint32_t(x * 255 / w) << 16) | (std::uint32_t(y * 255 / h) << 8) | 0x40
                                      : ((x / 3 + y) % 3 == 0 ? 0xFF0000u : 0x0000FFu);
    return b;
}

// A BMP with an info header, a palette of `colours` entries and raw rows.
Buffer PaletteBmp(int bits, std::uint32_t compression, int colours, const Buffer& rows, int w, int h)
{
    Buffer b = {'B', 'M'};
    std::uint32_t off = 14 + 40 + 4 * colours;
    PutLe32(b, off + static_cast<std::uint32_t>(rows.size()));
    PutLe32(b, 0);
    PutLe32(b, off);
    PutLe32(b, 40);
    PutLe32(b, static_cast<std::uint32_t>(w));
    PutLe32(b, static_cast<std::uint32_t>(h));
    PutLe16(b, 1);
    PutLe16(b, static_cast<unsigned>(bits));
    PutLe32(b, compression);
    PutLe32(b, static_cast<std::uint32_t>(rows.size()));
    PutLe32(b, 0);
    PutLe32(b, 0);
    PutLe32(b, static_cast<std::uint32_t>(colours));
    PutLe32(b, 0);
    for (int i = 0; i < colours; ++i)
        PutLe32(b, static_cast<std::uint32_t>(i * 0x102030));
    b.insert(b.end(), rows.begin(), rows.end());
    return b;
}

Buffer Wmf()
{
    Buffer r;
    auto rec = [&](unsigned f, std::initializer_list<int> p) {
        PutLe32(r, static_cast<std::uint32_t>(3 + p.size()));
        PutLe16(r, f);
        for (int v : p)
            PutLe16(r, static_cast<unsigned>(v));
    };
    rec(0x020C, {100, 100});
    rec(0x02FC, {0, 0xFF, 0, 0});
    rec(0x012D, {0});
    rec(0x02FA, {0, 2, 0, 0, 0});
    rec(0x012D, {1});
    rec(0x041B, {40, 60, 20, 20});
    rec(0x0418, {80, 90, 50, 50});
    rec(0x0324, {3, 0, 0, 10, 0, 0, 10});
    rec(0x0538, {2, 3, 3, 0, 0, 10, 0, 0, 10, 20, 20, 30, 20, 20, 30});
    rec(0x0214, {5, 5});
    rec(0x0213, {90, 90});
    rec(0x02FB, {-12, 0, 0, 0, 700, 0, 0, 0, 'A' | ('r' << 8), 'i' | ('a' << 8), 'l'});
    rec(0x012D, {2});
    rec(0x0A32, {50, 10, 2, 2, 0, 0, 40, 60, 'O' | ('K' << 8)});
    rec(0x0000, {});
    Buffer f;
    PutLe16(f, 1);
    PutLe16(f, 9);
    PutLe16(f, 0x0300);
    PutLe32(f, static_cast<std::uint32_t>(9 + r.size() / 2));
    PutLe16(f, 3);
    PutLe32(f, 20);
    PutLe16(f, 0);
    f.insert(f.end(), r.begin(), r.end());
    return f;
}

Buffer Emf()
{
    Buffer r;
    auto rec = [&](std::uint32_t type, std::initializer_list<std::uint32_t> p) {
        PutLe32(r, type);
        PutLe32(r, static_cast<std::uint32_t>(8 + 4 * p.size()));
        for (std::uint32_t v : p)
            PutLe32(r, v);
    };
    rec(39, {1, 0, 0x00FF00, 0});
    rec(37, {1});
    rec(38, {2, 0, 3, 0, 0xFF});
    rec(37, {2});
    rec(43, {10, 10, 40, 30});
    rec(42, {50, 10, 90, 40});
    rec(17, {8});
    rec(9, {200, 200});
    rec(11, {100, 100});
    rec(59, {});
    rec(27, {0, 0});
    rec(54, {50, 0});
    rec(54, {0, 50});
    rec(61, {});
    rec(60, {});
    rec(63, {0, 0, 0, 0});
    rec(86, {0, 0, 0, 0, 3, 0x00000000, 0x0000000A, 0x000A0005});
    rec(14, {0, 16, 20});
    Buffer f;
    for (std::uint32_t v : {1u, 88u, 0u, 0u, 99u, 49u, 0u, 0u, 2645u, 1322u, 0x464D4520u, 0x10000u})
        PutLe32(f, v);
    PutLe32(f, static_cast<std::uint32_t>(88 + r.size()));
    PutLe32(f, 19);
    PutLe16(f, 3);
    PutLe16(f, 0);
    for (std::uint32_t v : {0u, 0u, 0u, 1000u, 500u, 264u, 132u})
        PutLe32(f, v);
    f.insert(f.end(), r.begin(), r.end());
    return f;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    std::filesystem::path dir = argv[1];
    const TBitmap pictures[] = {Picture(13, 7, false), Picture(40, 24, true)};
    int n = 0;
    for (const TBitmap& p : pictures) {
        ++n;
        Write(dir, "bmp", n, imageio::EncodeBmp(p));
        Write(dir, "pcx", n, imageio::EncodePcx(p));
        Write(dir, "gif", n, imageio::EncodeGif(p));
        Write(dir, "jpeg", n, imageio::EncodeJpeg(p, 50));
        Write(dir, "png", n, imageio::EncodePng(p));
        Write(dir, "tiff", n, imageio::EncodeTiff(p));
    }
    Write(dir, "bmp", 3, PaletteBmp(8, 0, 4, Buffer{0, 1, 2, 3, 3, 2, 1, 0}, 4, 2));
    Write(dir, "bmp", 4, PaletteBmp(8, 1, 4, Buffer{3, 1, 0, 3, 1, 2, 3, 0, 0, 0, 2, 1, 2, 2, 0, 0, 0, 1}, 6, 2));
    Write(dir, "bmp", 5, PaletteBmp(4, 2, 16, Buffer{5, 0x12, 0, 0, 4, 0x34, 0, 1}, 5, 2));
    Write(dir, "bmp", 6, PaletteBmp(1, 0, 2, Buffer{0xA0, 0, 0, 0, 0x50, 0, 0, 0}, 3, 2));

    Buffer pcx(128, 0);
    pcx[0] = 0x0A, pcx[1] = 5, pcx[2] = 1, pcx[3] = 8, pcx[8] = 3, pcx[10] = 1, pcx[65] = 1, pcx[66] = 4;
    for (std::uint8_t v : {0xC4, 7, 1, 2, 0xC1, 0xC5, 9})
        pcx.push_back(v);
    pcx.push_back(0x0C);
    for (int i = 0; i < 768; ++i)
        pcx.push_back(static_cast<std::uint8_t>(i));
    Write(dir, "pcx", 3, pcx);

    Write(dir, "metafile", 1, Wmf());
    Write(dir, "metafile", 2, Emf());

    // Settings files: the defaults as written, and one as edited by hand.
    auto text = [](const std::string& s) { return Buffer(s.begin(), s.end()); };
    Write(dir, "settings", 1,
          text("Times New Roman\n16737430 102\n0\n1\n16777215 65280 255 6 1\n16777215 65280 255 12 1\n"
               "16777215 65280 255 10 1\n1\n255 65280 5 0"));
    Write(dir, "settings", 2, text("Courier New\r\n0xFF -20\r\n090000 0\n0x00FFFFFF 010 -1 7 0 1 2 3 4 5\n"
                                   "6 7 8 9 0\n0\n-1 -2 -3 -1442"));
    return 0;
}
