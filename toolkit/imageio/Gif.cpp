// GIF through giflib: the first image of a file is read onto its logical
// screen; pictures are written with one palette of at most 256 colours.

#include "toolkit/imageio/Codecs.h"

#include <gif_lib.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <unordered_map>

namespace imageio {

namespace {

struct MemorySource {
    Bytes Data;
    std::size_t Pos = 0;
};

int ReadMemory(GifFileType* gif, GifByteType* buffer, int length)
{
    auto* src = static_cast<MemorySource*>(gif->UserData);
    std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(std::max(length, 0)), src->Data.size() - src->Pos);
    std::memcpy(buffer, src->Data.data() + src->Pos, n);
    src->Pos += n;
    return static_cast<int>(n);
}

int WriteMemory(GifFileType* gif, const GifByteType* buffer, int length)
{
    auto* out = static_cast<Buffer*>(gif->UserData);
    out->insert(out->end(), buffer, buffer + length);
    return length;
}

struct GifCloser {
    void operator()(GifFileType* gif) const
    {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};

std::string GifText(int error)
{
    const char* text = GifErrorString(error);
    return text ? text : "unknown error";
}

std::string GifReason(int error)
{
    switch (error) {
    case D_GIF_ERR_NOT_GIF_FILE:
        return "not a GIF file";
    case D_GIF_ERR_READ_FAILED:
    case D_GIF_ERR_EOF_TOO_SOON:
        return "truncated file";
    default:
        break;
    }
    return "corrupt GIF file (" + GifText(error) + ")";
}

}  // namespace

void DecodeGif(Bytes data, TBitmap& out, const Limits& limits)
{
    MemorySource src{data};
    int error = 0;
    std::unique_ptr<GifFileType, GifCloser> gif(DGifOpen(&src, ReadMemory, &error));
    if (!gif)
        throw DecodeError(GifReason(error));
    auto fail = [&]() { throw DecodeError(GifReason(gif->Error)); };

    int transparent = -1;
    for (;;) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif.get(), &type) != GIF_OK)
            fail();
        if (type == TERMINATE_RECORD_TYPE)
            throw DecodeError("no picture in the file");
        if (type == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* block = nullptr;
            if (DGifGetExtension(gif.get(), &code, &block) != GIF_OK)
                fail();
            while (block) {
                if (code == GRAPHICS_EXT_FUNC_CODE && block[0] >= 4)
                    transparent = (block[1] & 1) ? block[4] : -1;
                if (DGifGetExtensionNext(gif.get(), &block) != GIF_OK)
                    fail();
            }
            continue;
        }
        if (type != IMAGE_DESC_RECORD_TYPE)
            throw DecodeError("corrupt GIF file (unknown record)");
        if (DGifGetImageDesc(gif.get()) != GIF_OK)
            fail();
        break;
    }

    const GifImageDesc& desc = gif->Image;
    const std::int64_t left = desc.Left, top = desc.Top, width = desc.Width, height = desc.Height;
    CheckSize(width, height, limits);
    // The screen, grown if the image sticks out of it.
    const std::int64_t screenW = std::max<std::int64_t>(gif->SWidth, left + width);
    const std::int64_t screenH = std::max<std::int64_t>(gif->SHeight, top + height);
    CheckSize(screenW, screenH, limits);

    std::array<std::uint32_t, 256> palette{};
    const ColorMapObject* map = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
    if (map && map->Colors) {
        for (int i = 0; i < std::min(map->ColorCount, 256); ++i) {
            const GifColorType& c = map->Colors[i];
            palette[i] = (std::uint32_t(c.Red) << 16) | (std::uint32_t(c.Green) << 8) | c.Blue;
        }
    } else {
        for (std::uint32_t i = 0; i < 256; ++i)
            palette[i] = i * 0x010101;
    }
    // What the image does not cover, and its transparent pixels, are white.
    if (transparent >= 0)
        palette[transparent] = 0xFFFFFF;

    MakeBitmap(out, screenW, screenH, limits);
    for (int y = 0; y < out.Height(); ++y)
        std::fill_n(out.ScanLine(y), out.Width(), 0xFFFFFFu);
    std::vector<GifPixelType> line(static_cast<std::size_t>(width));
    auto putRow = [&](std::int64_t row) {
        if (DGifGetLine(gif.get(), line.data(), static_cast<int>(width)) != GIF_OK)
            fail();
        std::uint32_t* dst = out.ScanLine(static_cast<int>(top + row)) + left;
        for (std::int64_t x = 0; x < width; ++x)
            dst[x] = palette[line[x]];
    };
    if (desc.Interlace) {
        static constexpr int start[] = {0, 4, 2, 1};
        static constexpr int step[] = {8, 8, 4, 2};
        for (int pass = 0; pass < 4; ++pass)
            for (std::int64_t row = start[pass]; row < height; row += step[pass])
                putRow(row);
    } else {
        for (std::int64_t row = 0; row < height; ++row)
            putRow(row);
    }
}

namespace {

// Reduces a picture to at most 256 colours: exact when it has no more,
// otherwise by median cut on a 5-5-5 histogram.
class Quantizer {
public:
    explicit Quantizer(const TBitmap& bitmap) : bitmap_(bitmap)
    {
        if (!CollectExact())
            MedianCut();
    }

    const std::vector<std::uint32_t>& Palette() const { return palette_; }

    void MapRow(int y, std::uint8_t* out)
    {
        const std::uint32_t* s = bitmap_.ScanLine(y);
        const int w = bitmap_.Width();
        if (!exact_.empty()) {
            for (int x = 0; x < w; ++x)
                out[x] = exact_.find(s[x] & 0xFFFFFF)->second;
            return;
        }
        for (int x = 0; x < w; ++x) {
            unsigned key = Key(s[x]);
            if (binIndex_[key] < 0)
                binIndex_[key] = static_cast<std::int16_t>(Nearest(s[x]));
            out[x] = static_cast<std::uint8_t>(binIndex_[key]);
        }
    }

private:
    static unsigned Key(std::uint32_t px) { return ((px >> 9) & 0x7C00) | ((px >> 6) & 0x03E0) | ((px >> 3) & 0x001F); }

    bool CollectExact()
    {
        for (int y = 0; y < bitmap_.Height(); ++y) {
            const std::uint32_t* s = bitmap_.ScanLine(y);
            for (int x = 0; x < bitmap_.Width(); ++x) {
                std::uint32_t c = s[x] & 0xFFFFFF;
                if (exact_.find(c) != exact_.end())
                    continue;
                if (exact_.size() == 256) {
                    exact_.clear();
                    palette_.clear();
                    return false;
                }
                exact_.emplace(c, static_cast<std::uint8_t>(palette_.size()));
                palette_.push_back(c);
            }
        }
        return true;
    }

    struct Bin {
        std::uint64_t Count = 0, R = 0, G = 0, B = 0;
    };
    struct Box {
        std::vector<unsigned> Keys;
        std::uint64_t Count = 0;
    };

    static int Component(unsigned key, int axis) { return (key >> (10 - 5 * axis)) & 0x1F; }

    void MedianCut()
    {
        bins_.assign(32768, Bin{});
        for (int y = 0; y < bitmap_.Height(); ++y) {
            const std::uint32_t* s = bitmap_.ScanLine(y);
            for (int x = 0; x < bitmap_.Width(); ++x) {
                Bin& b = bins_[Key(s[x])];
                ++b.Count;
                b.R += (s[x] >> 16) & 0xFF;
                b.G += (s[x] >> 8) & 0xFF;
                b.B += s[x] & 0xFF;
            }
        }
        std::vector<Box> boxes(1);
        for (unsigned k = 0; k < 32768; ++k)
            if (bins_[k].Count) {
                boxes[0].Keys.push_back(k);
                boxes[0].Count += bins_[k].Count;
            }
        while (boxes.size() < 256) {
            // Split the box with the most pixels among those of more than one bin.
            int best = -1;
            for (std::size_t i = 0; i < boxes.size(); ++i)
                if (boxes[i].Keys.size() > 1 && (best < 0 || boxes[i].Count > boxes[best].Count))
                    best = static_cast<int>(i);
            if (best < 0)
                break;
            Box& box = boxes[best];
            int axis = 0, range = -1;
            for (int a = 0; a < 3; ++a) {
                int lo = 31, hi = 0;
                for (unsigned k : box.Keys) {
                    lo = std::min(lo, Component(k, a));
                    hi = std::max(hi, Component(k, a));
                }
                if (hi - lo > range) {
                    range = hi - lo;
                    axis = a;
                }
            }
            std::sort(box.Keys.begin(), box.Keys.end(),
                      [&](unsigned a, unsigned b) { return Component(a, axis) < Component(b, axis); });
            std::uint64_t half = 0;
            std::size_t cut = 0;
            while (cut + 1 < box.Keys.size() && half + bins_[box.Keys[cut]].Count <= box.Count / 2)
                half += bins_[box.Keys[cut++]].Count;
            cut = std::max<std::size_t>(cut, 1);
            Box other;
            other.Keys.assign(box.Keys.begin() + static_cast<std::ptrdiff_t>(cut), box.Keys.end());
            box.Keys.resize(cut);
            box.Count = 0;
            for (unsigned k : box.Keys)
                box.Count += bins_[k].Count;
            for (unsigned k : other.Keys)
                other.Count += bins_[k].Count;
            boxes.push_back(std::move(other));
        }
        for (const Box& box : boxes) {
            Bin sum;
            for (unsigned k : box.Keys) {
                sum.Count += bins_[k].Count;
                sum.R += bins_[k].R;
                sum.G += bins_[k].G;
                sum.B += bins_[k].B;
            }
            auto avg = [&](std::uint64_t v) { return static_cast<std::uint32_t>((v + sum.Count / 2) / sum.Count); };
            palette_.push_back((avg(sum.R) << 16) | (avg(sum.G) << 8) | avg(sum.B));
        }
        binIndex_.assign(32768, -1);
    }

    int Nearest(std::uint32_t px) const
    {
        int best = 0;
        long bestDist = -1;
        for (std::size_t i = 0; i < palette_.size(); ++i) {
            long dr = long((px >> 16) & 0xFF) - long((palette_[i] >> 16) & 0xFF);
            long dg = long((px >> 8) & 0xFF) - long((palette_[i] >> 8) & 0xFF);
            long db = long(px & 0xFF) - long(palette_[i] & 0xFF);
            long d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
            if (bestDist < 0 || d < bestDist) {
                bestDist = d;
                best = static_cast<int>(i);
            }
        }
        return best;
    }

    const TBitmap& bitmap_;
    std::unordered_map<std::uint32_t, std::uint8_t> exact_;
    std::vector<std::uint32_t> palette_;
    std::vector<Bin> bins_;
    std::vector<std::int16_t> binIndex_;
};

}  // namespace

Buffer EncodeGif(const TBitmap& bitmap)
{
    Quantizer quantizer(bitmap);
    const auto& colours = quantizer.Palette();
    // giflib wants a power of two between 2 and 256 entries.
    int size = 2;
    while (size < static_cast<int>(colours.size()))
        size *= 2;
    std::vector<GifColorType> table(static_cast<std::size_t>(size), GifColorType{0, 0, 0});
    for (std::size_t i = 0; i < colours.size(); ++i)
        table[i] = GifColorType{static_cast<GifByteType>(colours[i] >> 16), static_cast<GifByteType>(colours[i] >> 8),
                                static_cast<GifByteType>(colours[i])};

    Buffer out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, WriteMemory, &error);
    if (!gif)
        throw DecodeError("cannot make a GIF file (" + GifText(error) + ")");
    auto failAndClose = [&]() {
        int code = gif->Error;
        int ignored = 0;
        EGifCloseFile(gif, &ignored);
        throw DecodeError("cannot make a GIF file (" + GifText(code) + ")");
    };
    ColorMapObject* map = GifMakeMapObject(size, table.data());
    if (!map)
        failAndClose();
    const int w = bitmap.Width();
    const int h = bitmap.Height();
    int rc = EGifPutScreenDesc(gif, w, h, 8, 0, map);
    GifFreeMapObject(map);
    if (rc != GIF_OK || EGifPutImageDesc(gif, 0, 0, w, h, false, nullptr) != GIF_OK)
        failAndClose();
    std::vector<GifPixelType> line(static_cast<std::size_t>(w));
    for (int y = 0; y < h; ++y) {
        quantizer.MapRow(y, line.data());
        if (EGifPutLine(gif, line.data(), w) != GIF_OK)
            failAndClose();
    }
    if (EGifCloseFile(gif, &error) != GIF_OK)
        throw DecodeError("cannot make a GIF file (" + GifText(error) + ")");
    return out;
}

}  // namespace imageio
