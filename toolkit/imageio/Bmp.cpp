// BMP files and the device-independent bitmaps inside them and inside
// metafiles.

#include "toolkit/imageio/Codecs.h"

#include <algorithm>
#include <array>
#include <bit>

namespace imageio {

namespace {

constexpr std::uint32_t BiRgb = 0;
constexpr std::uint32_t BiRle8 = 1;
constexpr std::uint32_t BiRle4 = 2;
constexpr std::uint32_t BiBitfields = 3;
constexpr std::uint32_t BiAlphaBitfields = 6;

struct DibInfo {
    std::int64_t Width = 0;
    std::int64_t Height = 0;
    bool TopDown = false;
    int Bits = 0;
    std::uint32_t Compression = BiRgb;
    std::array<std::uint32_t, 3> Masks{};  // red, green, blue
    bool HasMasks = false;
    std::array<std::uint32_t, 256> Palette{};  // 0x00RRGGBB, black past the table
    bool Os2Huffman = false;
};

// Reads the header, bit masks and colour table at the start of h. Returns the
// number of bytes they take. A short colour table is an error when strict
// (the rows follow it), otherwise as much of it as is there is used.
std::size_t ParseDibHeader(Bytes h, DibInfo& d, bool strict)
{
    if (h.size() < 4)
        throw DecodeError("truncated file");
    const std::uint8_t* p = h.data();
    std::uint32_t size = Le32(p);
    std::uint32_t clrUsed = 0;
    std::size_t entrySize = 4;
    if (size == 12) {
        if (h.size() < 12)
            throw DecodeError("truncated file");
        d.Width = Le16(p + 4);
        d.Height = Le16(p + 6);
        d.Bits = Le16(p + 10);
        entrySize = 3;
    } else if (size >= 16 && size <= 1024) {
        if (h.size() < size)
            throw DecodeError("truncated file");
        auto width = static_cast<std::int32_t>(Le32(p + 4));
        auto height = static_cast<std::int32_t>(Le32(p + 8));
        d.Width = width;
        d.Height = height;
        if (height < 0) {
            d.TopDown = true;
            d.Height = -static_cast<std::int64_t>(height);
        }
        d.Bits = Le16(p + 14);
        if (size >= 20)
            d.Compression = Le32(p + 16);
        if (size >= 36)
            clrUsed = Le32(p + 32);
        // The long OS/2 header gives 3 and 4 other meanings (Huffman, RLE24).
        d.Os2Huffman = size == 64 && (d.Compression == 3 || d.Compression == 4);
    } else {
        throw DecodeError("unsupported BMP header");
    }

    std::size_t offset = size;
    if (!d.Os2Huffman && (d.Compression == BiBitfields || d.Compression == BiAlphaBitfields)) {
        const std::uint8_t* m = nullptr;
        if (size >= 52) {
            m = p + 40;
        } else {
            std::size_t maskBytes = d.Compression == BiAlphaBitfields ? 16 : 12;
            if (h.size() < offset + maskBytes)
                throw DecodeError("truncated file");
            m = p + offset;
            offset += maskBytes;
        }
        d.Masks = {Le32(m), Le32(m + 4), Le32(m + 8)};
        d.HasMasks = true;
    }

    std::uint64_t entries = clrUsed;
    if (d.Bits >= 1 && d.Bits <= 8 && (clrUsed == 0 || clrUsed > (1u << d.Bits)))
        entries = clrUsed == 0 ? (1u << d.Bits) : clrUsed;
    if (entries > 65536)
        throw DecodeError("corrupt file (colour table of " + std::to_string(entries) + " entries)");
    std::size_t available = (h.size() - offset) / entrySize;
    if (entries > available) {
        if (strict)
            throw DecodeError("truncated file");
        entries = available;
    }
    if (d.Bits <= 8) {
        for (std::size_t i = 0; i < std::min<std::uint64_t>(entries, 256); ++i) {
            const std::uint8_t* e = p + offset + i * entrySize;
            d.Palette[i] = (std::uint32_t(e[2]) << 16) | (std::uint32_t(e[1]) << 8) | e[0];
        }
    }
    return offset + entries * entrySize;
}

struct Channel {
    std::uint32_t Mask = 0;
    int Shift = 0;
    int Bits = 0;
};

Channel MakeChannel(std::uint32_t mask)
{
    if (mask == 0)
        return {};
    int shift = std::countr_zero(mask);
    return {mask, shift, 32 - std::countl_zero(mask) - shift};
}

inline std::uint32_t Extract(std::uint32_t v, const Channel& c)
{
    if (c.Bits == 0)
        return 0;
    std::uint32_t x = (v & c.Mask) >> c.Shift;
    if (c.Bits >= 8)
        return x >> (c.Bits - 8);
    return x * 255 / ((1u << c.Bits) - 1);
}

void DecodeRle(const DibInfo& d, Bytes bits, TBitmap& out)
{
    const int w = static_cast<int>(d.Width);
    const int h = static_cast<int>(d.Height);
    const bool rle4 = d.Compression == BiRle4;
    // Pixels that the codes skip keep the first palette colour.
    for (int y = 0; y < h; ++y)
        std::fill_n(out.ScanLine(y), w, d.Palette[0]);

    std::size_t pos = 0;
    std::int64_t x = 0;
    std::int64_t y = 0;  // counted from the first row in the file
    auto put = [&](std::uint32_t index) {
        if (x < w && y < h)
            out.ScanLine(static_cast<int>(d.TopDown ? y : h - 1 - y))[x] = d.Palette[index & 0xFF];
        ++x;
    };
    while (y < h) {
        if (pos + 2 > bits.size())
            throw DecodeError("truncated file");
        unsigned count = bits[pos];
        unsigned value = bits[pos + 1];
        pos += 2;
        if (count > 0) {
            for (unsigned i = 0; i < count; ++i)
                put(rle4 ? ((i & 1) ? value & 0x0F : value >> 4) : value);
            continue;
        }
        if (value == 0) {  // end of line
            x = 0;
            ++y;
        } else if (value == 1) {  // end of bitmap
            break;
        } else if (value == 2) {  // move right and up
            if (pos + 2 > bits.size())
                throw DecodeError("truncated file");
            x += bits[pos];
            y += bits[pos + 1];
            pos += 2;
        } else {  // a literal run, padded to a word
            std::size_t bytes = rle4 ? (value + 1) / 2 : value;
            if (pos + bytes > bits.size())
                throw DecodeError("truncated file");
            for (unsigned i = 0; i < value; ++i) {
                std::uint8_t b = bits[pos + (rle4 ? i / 2 : i)];
                put(rle4 ? ((i & 1) ? b & 0x0F : b >> 4) : b);
            }
            pos += (bytes + 1) & ~std::size_t(1);
        }
    }
}

void DecodeDibPixels(const DibInfo& d, Bytes bits, TBitmap& out, const Limits& limits)
{
    bool supported = false;
    switch (d.Compression) {
    case BiRgb:
        supported = d.Bits == 1 || d.Bits == 4 || d.Bits == 8 || d.Bits == 16 || d.Bits == 24 || d.Bits == 32;
        break;
    case BiRle8:
        supported = d.Bits == 8;
        break;
    case BiRle4:
        supported = d.Bits == 4;
        break;
    case BiBitfields:
    case BiAlphaBitfields:
        supported = d.Bits == 16 || d.Bits == 32;
        break;
    default:
        break;
    }
    if (d.Os2Huffman || !supported)
        throw DecodeError("unsupported BMP format (" + std::to_string(d.Bits) + " bits, compression " +
                          std::to_string(d.Compression) + ")");
    CheckSize(d.Width, d.Height, limits);
    if (d.Compression == BiRle4 || d.Compression == BiRle8) {
        MakeBitmap(out, d.Width, d.Height, limits);
        DecodeRle(d, bits, out);
        return;
    }

    const std::int64_t stride = ((d.Width * d.Bits + 31) / 32) * 4;
    const std::int64_t needed = stride * (d.Height - 1) + (d.Width * d.Bits + 7) / 8;
    if (static_cast<std::int64_t>(bits.size()) < needed)
        throw DecodeError("truncated file");
    MakeBitmap(out, d.Width, d.Height, limits);

    std::array<std::uint32_t, 3> masks = d.Masks;
    if (!d.HasMasks)
        masks = d.Bits == 16 ? std::array<std::uint32_t, 3>{0x7C00, 0x03E0, 0x001F}
                             : std::array<std::uint32_t, 3>{0xFF0000, 0x00FF00, 0x0000FF};
    const Channel red = MakeChannel(masks[0]);
    const Channel green = MakeChannel(masks[1]);
    const Channel blue = MakeChannel(masks[2]);
    const bool plain32 = d.Bits == 32 && masks == std::array<std::uint32_t, 3>{0xFF0000, 0x00FF00, 0x0000FF};

    const int w = static_cast<int>(d.Width);
    const int h = static_cast<int>(d.Height);
    for (int r = 0; r < h; ++r) {
        const std::uint8_t* s = bits.data() + r * stride;
        std::uint32_t* dst = out.ScanLine(d.TopDown ? r : h - 1 - r);
        switch (d.Bits) {
        case 1:
            for (int x = 0; x < w; ++x)
                dst[x] = d.Palette[(s[x >> 3] >> (7 - (x & 7))) & 1];
            break;
        case 4:
            for (int x = 0; x < w; ++x)
                dst[x] = d.Palette[(x & 1) ? s[x >> 1] & 0x0F : s[x >> 1] >> 4];
            break;
        case 8:
            for (int x = 0; x < w; ++x)
                dst[x] = d.Palette[s[x]];
            break;
        case 16:
            for (int x = 0; x < w; ++x) {
                std::uint32_t v = Le16(s + 2 * x);
                dst[x] = (Extract(v, red) << 16) | (Extract(v, green) << 8) | Extract(v, blue);
            }
            break;
        case 24:
            for (int x = 0; x < w; ++x, s += 3)
                dst[x] = (std::uint32_t(s[2]) << 16) | (std::uint32_t(s[1]) << 8) | s[0];
            break;
        case 32:
            if (plain32) {
                for (int x = 0; x < w; ++x)
                    dst[x] = Le32(s + 4 * x) & 0xFFFFFF;
            } else {
                for (int x = 0; x < w; ++x) {
                    std::uint32_t v = Le32(s + 4 * x);
                    dst[x] = (Extract(v, red) << 16) | (Extract(v, green) << 8) | Extract(v, blue);
                }
            }
            break;
        }
    }
}

}  // namespace

void DecodeBmp(Bytes data, TBitmap& out, const Limits& limits)
{
    if (data.size() < 2 || data[0] != 'B' || data[1] != 'M')
        throw DecodeError("not a BMP file");
    if (data.size() < 14 + 12)
        throw DecodeError("truncated file");
    std::uint32_t offBits = Le32(data.data() + 10);
    Bytes afterFileHeader = data.subspan(14);
    DibInfo d;
    if (offBits >= 14 + 12 && offBits <= data.size()) {
        ParseDibHeader(data.subspan(14, offBits - 14), d, false);
    } else if (offBits > data.size()) {
        throw DecodeError("truncated file");
    } else {
        // No usable offset: the rows follow the colour table.
        offBits = static_cast<std::uint32_t>(14 + ParseDibHeader(afterFileHeader, d, true));
    }
    DecodeDibPixels(d, data.subspan(offBits), out, limits);
}

bool DecodeDib(Bytes header, Bytes bits, TBitmap& out, const Limits& limits)
{
    try {
        DibInfo d;
        ParseDibHeader(header, d, false);
        DecodeDibPixels(d, bits, out, limits);
        return true;
    } catch (const DecodeError&) {
        return false;
    }
}

bool DecodePackedDib(Bytes dib, TBitmap& out, const Limits& limits)
{
    try {
        DibInfo d;
        std::size_t offset = ParseDibHeader(dib, d, true);
        // Bit-field masks of a short header sit before the colour table.
        DecodeDibPixels(d, dib.subspan(offset), out, limits);
        return true;
    } catch (const DecodeError&) {
        return false;
    }
}

Buffer EncodeBmp(const TBitmap& bitmap)
{
    const int w = bitmap.Width();
    const int h = bitmap.Height();
    const std::uint32_t stride = (static_cast<std::uint32_t>(w) * 3 + 3) & ~3u;
    const std::uint32_t imageSize = stride * static_cast<std::uint32_t>(h);
    Buffer b;
    b.reserve(54 + imageSize);
    b.push_back('B');
    b.push_back('M');
    PutLe32(b, 54 + imageSize);
    PutLe32(b, 0);
    PutLe32(b, 54);
    PutLe32(b, 40);
    PutLe32(b, static_cast<std::uint32_t>(w));
    PutLe32(b, static_cast<std::uint32_t>(h));  // positive: bottom-up
    PutLe16(b, 1);
    PutLe16(b, 24);
    PutLe32(b, BiRgb);
    PutLe32(b, imageSize);
    PutLe32(b, 3780);  // 96 pixels per inch
    PutLe32(b, 3780);
    PutLe32(b, 0);
    PutLe32(b, 0);
    for (int r = h - 1; r >= 0; --r) {
        const std::uint32_t* s = bitmap.ScanLine(r);
        for (int x = 0; x < w; ++x) {
            b.push_back(static_cast<std::uint8_t>(s[x]));
            b.push_back(static_cast<std::uint8_t>(s[x] >> 8));
            b.push_back(static_cast<std::uint8_t>(s[x] >> 16));
        }
        for (std::uint32_t pad = static_cast<std::uint32_t>(w) * 3; pad < stride; ++pad)
            b.push_back(0);
    }
    return b;
}

}  // namespace imageio
