// PCX files: palette pictures of 1, 2, 4 and 8 bits (planar or packed),
// 24-bit pictures in three planes; run-length encoded or raw.

#include "toolkit/imageio/Codecs.h"

#include <algorithm>
#include <array>

namespace imageio {

namespace {

constexpr std::size_t HeaderSize = 128;

// The run-length stream. Some writers let a run carry on into the next
// line, so the state lives across lines.
class PcxStream {
public:
    PcxStream(Bytes data, bool encoded) : data_(data), encoded_(encoded) {}

    void ReadLine(std::uint8_t* line, std::size_t size)
    {
        std::size_t i = 0;
        while (i < size) {
            if (runLeft_ > 0) {
                std::size_t n = std::min<std::size_t>(runLeft_, size - i);
                std::fill_n(line + i, n, runValue_);
                i += n;
                runLeft_ -= static_cast<unsigned>(n);
                continue;
            }
            if (pos_ >= data_.size())
                throw DecodeError("truncated file");
            std::uint8_t b = data_[pos_++];
            if (encoded_ && (b & 0xC0) == 0xC0) {
                if (pos_ >= data_.size())
                    throw DecodeError("truncated file");
                runLeft_ = b & 0x3F;
                runValue_ = data_[pos_++];
            } else {
                line[i++] = b;
            }
        }
    }

private:
    Bytes data_;
    bool encoded_;
    std::size_t pos_ = 0;
    unsigned runLeft_ = 0;
    std::uint8_t runValue_ = 0;
};

void PutRun(Buffer& b, std::uint8_t value, unsigned count)
{
    if (count == 1 && (value & 0xC0) != 0xC0) {
        b.push_back(value);
    } else {
        b.push_back(static_cast<std::uint8_t>(0xC0 | count));
        b.push_back(value);
    }
}

void EncodeLine(Buffer& b, const std::uint8_t* line, std::size_t size)
{
    std::size_t i = 0;
    while (i < size) {
        std::uint8_t v = line[i];
        unsigned count = 1;
        while (i + count < size && count < 63 && line[i + count] == v)
            ++count;
        PutRun(b, v, count);
        i += count;
    }
}

}  // namespace

void DecodePcx(Bytes data, TBitmap& out, const Limits& limits)
{
    if (data.empty() || data[0] != 0x0A || (data.size() >= 3 && data[2] > 1))
        throw DecodeError("not a PCX file");
    if (data.size() < HeaderSize)
        throw DecodeError("truncated file");
    const std::uint8_t* h = data.data();
    const bool encoded = h[2] == 1;
    const int bpp = h[3];
    const int xmin = Le16(h + 4), ymin = Le16(h + 6), xmax = Le16(h + 8), ymax = Le16(h + 10);
    const int planes = h[65];
    const std::size_t bytesPerLine = Le16(h + 66);
    if (xmax < xmin || ymax < ymin)
        throw DecodeError("corrupt file (picture window " + std::to_string(xmin) + "," + std::to_string(ymin) + " to " +
                          std::to_string(xmax) + "," + std::to_string(ymax) + ")");
    const std::int64_t width = xmax - xmin + 1;
    const std::int64_t height = ymax - ymin + 1;

    const bool planar = bpp == 1 && planes >= 1 && planes <= 4;
    const bool packed = (bpp == 2 || bpp == 4 || bpp == 8) && planes == 1;
    const bool rgb = bpp == 8 && (planes == 3 || planes == 4);
    if (!planar && !packed && !rgb)
        throw DecodeError("unsupported PCX format (" + std::to_string(bpp) + " bits, " + std::to_string(planes) +
                          " planes)");
    CheckSize(width, height, limits);
    if (bytesPerLine == 0 || static_cast<std::int64_t>(bytesPerLine) * 8 < width * bpp)
        throw DecodeError("corrupt file (" + std::to_string(bytesPerLine) + " bytes per line)");

    std::array<std::uint32_t, 256> palette{};
    Bytes body = data.subspan(HeaderSize);
    if (bpp == 8 && planes == 1) {
        // The 256-colour palette follows the picture, after a 12 byte.
        if (data.size() >= HeaderSize + 769 && data[data.size() - 769] == 0x0C) {
            const std::uint8_t* p = data.data() + data.size() - 768;
            for (int i = 0; i < 256; ++i)
                palette[i] = (std::uint32_t(p[3 * i]) << 16) | (std::uint32_t(p[3 * i + 1]) << 8) | p[3 * i + 2];
            body = data.subspan(HeaderSize, data.size() - HeaderSize - 769);
        } else {
            for (std::uint32_t i = 0; i < 256; ++i)
                palette[i] = i * 0x010101;
        }
    } else if (bpp == 1 && planes == 1) {
        palette[0] = 0x000000;
        palette[1] = 0xFFFFFF;
    } else {
        for (int i = 0; i < 16; ++i) {
            const std::uint8_t* p = h + 16 + 3 * i;
            palette[i] = (std::uint32_t(p[0]) << 16) | (std::uint32_t(p[1]) << 8) | p[2];
        }
    }

    MakeBitmap(out, width, height, limits);
    const int w = static_cast<int>(width);
    Buffer line(bytesPerLine * static_cast<std::size_t>(planes));
    PcxStream stream(body, encoded);
    for (int y = 0; y < static_cast<int>(height); ++y) {
        stream.ReadLine(line.data(), line.size());
        std::uint32_t* dst = out.ScanLine(y);
        if (rgb) {
            const std::uint8_t* r = line.data();
            const std::uint8_t* g = r + bytesPerLine;
            const std::uint8_t* b = g + bytesPerLine;
            for (int x = 0; x < w; ++x)
                dst[x] = (std::uint32_t(r[x]) << 16) | (std::uint32_t(g[x]) << 8) | b[x];
        } else if (planar) {
            for (int x = 0; x < w; ++x) {
                unsigned index = 0;
                for (int p = 0; p < planes; ++p)
                    index |= ((line[p * bytesPerLine + (x >> 3)] >> (7 - (x & 7))) & 1u) << p;
                dst[x] = palette[index];
            }
        } else if (bpp == 8) {
            for (int x = 0; x < w; ++x)
                dst[x] = palette[line[x]];
        } else if (bpp == 4) {
            for (int x = 0; x < w; ++x)
                dst[x] = palette[(x & 1) ? line[x >> 1] & 0x0F : line[x >> 1] >> 4];
        } else {  // 2 bits
            for (int x = 0; x < w; ++x)
                dst[x] = palette[(line[x >> 2] >> (6 - 2 * (x & 3))) & 3];
        }
    }
}

Buffer EncodePcx(const TBitmap& bitmap)
{
    const int w = bitmap.Width();
    const int h = bitmap.Height();
    const std::size_t bytesPerLine = static_cast<std::size_t>(w + (w & 1));  // even, as readers expect
    Buffer b(HeaderSize, 0);
    b[0] = 0x0A;
    b[1] = 5;
    b[2] = 1;
    b[3] = 8;
    auto put16 = [&](std::size_t at, unsigned v) {
        b[at] = static_cast<std::uint8_t>(v);
        b[at + 1] = static_cast<std::uint8_t>(v >> 8);
    };
    put16(8, static_cast<unsigned>(w - 1));
    put16(10, static_cast<unsigned>(h - 1));
    put16(12, 96);
    put16(14, 96);
    b[65] = 3;
    put16(66, static_cast<unsigned>(bytesPerLine));
    put16(68, 1);
    b.reserve(HeaderSize + static_cast<std::size_t>(h) * bytesPerLine * 3 / 2);

    Buffer plane(bytesPerLine, 0);
    for (int y = 0; y < h; ++y) {
        const std::uint32_t* s = bitmap.ScanLine(y);
        for (int shift : {16, 8, 0}) {
            for (int x = 0; x < w; ++x)
                plane[x] = static_cast<std::uint8_t>(s[x] >> shift);
            EncodeLine(b, plane.data(), plane.size());
        }
    }
    return b;
}

}  // namespace imageio
