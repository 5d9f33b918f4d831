// PNG through libpng. Its errors jump back here and become exceptions; its
// warnings are dropped. Transparent pictures are laid over white.

#include "toolkit/imageio/Codecs.h"

#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>

namespace imageio {

namespace {

struct PngState {
    Bytes Data;
    std::size_t Pos = 0;
    Buffer* Out = nullptr;
    char Message[200] = {};
    bool Truncated = false;
};

[[noreturn]] void OnError(png_structp png, png_const_charp message)
{
    auto* state = static_cast<PngState*>(png_get_error_ptr(png));
    std::snprintf(state->Message, sizeof state->Message, "%s", message ? message : "unknown error");
    png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

void ReadData(png_structp png, png_bytep data, png_size_t length)
{
    auto* state = static_cast<PngState*>(png_get_io_ptr(png));
    if (length > state->Data.size() - state->Pos) {
        state->Truncated = true;
        png_error(png, "truncated file");
    }
    std::memcpy(data, state->Data.data() + state->Pos, length);
    state->Pos += length;
}

void WriteData(png_structp png, png_bytep data, png_size_t length)
{
    auto* state = static_cast<PngState*>(png_get_io_ptr(png));
    bool ok = true;
    try {
        state->Out->insert(state->Out->end(), data, data + length);
    } catch (const std::bad_alloc&) {
        ok = false;
    }
    if (!ok)
        png_error(png, "not enough memory");
}

void FlushData(png_structp) {}

struct ReadGuard {
    png_structp* Png;
    png_infop* Info;
    ~ReadGuard()
    {
        if (*Png)
            png_destroy_read_struct(Png, Info, nullptr);
    }
};
struct WriteGuard {
    png_structp* Png;
    png_infop* Info;
    ~WriteGuard()
    {
        if (*Png)
            png_destroy_write_struct(Png, Info);
    }
};

}  // namespace

// Everything with a destructor is made before the setjmp (see Jpeg.cpp).
void DecodePng(Bytes data, TBitmap& out, const Limits& limits)
{
    static constexpr std::uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    const std::size_t head = std::min<std::size_t>(data.size(), 8);
    if (head == 0 || std::memcmp(data.data(), signature, head) != 0)
        throw DecodeError("not a PNG file");
    if (head < 8)
        throw DecodeError("truncated file");
    PngState state{data, 8};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &state, OnError, OnWarning);
    png_infop info = nullptr;
    ReadGuard guard{&png, &info};
    std::vector<png_bytep> rows;
    if (!png)
        throw DecodeError("not enough memory");
    if (setjmp(png_jmpbuf(png))) {
        if (state.Truncated)
            throw DecodeError("truncated file");
        throw DecodeError(std::string("corrupt PNG file (") + state.Message + ")");
    }
    info = png_create_info_struct(png);
    if (!info)
        png_error(png, "not enough memory");
    png_set_read_fn(png, &state, ReadData);
    png_set_sig_bytes(png, 8);
    // Our own check below gives the clearer message; this one stops the
    // absurd sizes before libpng works on them.
    png_set_user_limits(png, 1u << 20, 1u << 20);
    png_set_chunk_malloc_max(png, 32 << 20);
    png_set_chunk_cache_max(png, 1000);
    png_read_info(png, info);

    png_uint_32 width = 0, height = 0;
    int bitDepth = 0, colorType = 0;
    png_get_IHDR(png, info, &width, &height, &bitDepth, &colorType, nullptr, nullptr, nullptr);
    CheckSize(width, height, limits);
    if (colorType == PNG_COLOR_TYPE_PALETTE)
        png_set_palette_to_rgb(png);
    if (colorType == PNG_COLOR_TYPE_GRAY && bitDepth < 8)
        png_set_expand_gray_1_2_4_to_8(png);
    if (png_get_valid(png, info, PNG_INFO_tRNS))
        png_set_tRNS_to_alpha(png);
    if (bitDepth == 16)
        png_set_scale_16(png);
    if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(png);
    png_set_bgr(png);
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != static_cast<png_size_t>(width) * 4)
        png_error(png, "unexpected row layout");

    MakeBitmap(out, width, height, limits);
    rows.resize(height);
    for (png_uint_32 y = 0; y < height; ++y)
        rows[y] = reinterpret_cast<png_bytep>(out.ScanLine(static_cast<int>(y)));
    png_read_image(png, rows.data());

    // Bytes B, G, R, A: lay the pixel over white and clear the fourth byte.
    for (png_uint_32 y = 0; y < height; ++y) {
        std::uint32_t* line = out.ScanLine(static_cast<int>(y));
        for (png_uint_32 x = 0; x < width; ++x) {
            std::uint32_t px = line[x];
            std::uint32_t a = px >> 24;
            if (a == 255) {
                line[x] = px & 0xFFFFFF;
                continue;
            }
            auto blend = [a](std::uint32_t c) { return (c * a + 255 * (255 - a) + 127) / 255; };
            line[x] = (blend((px >> 16) & 0xFF) << 16) | (blend((px >> 8) & 0xFF) << 8) | blend(px & 0xFF);
        }
    }
}

Buffer EncodePng(const TBitmap& bitmap)
{
    Buffer out;
    PngState state;
    state.Out = &out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &state, OnError, OnWarning);
    png_infop info = nullptr;
    WriteGuard guard{&png, &info};
    if (!png)
        throw DecodeError("not enough memory");
    if (setjmp(png_jmpbuf(png)))
        throw DecodeError(std::string("cannot make a PNG file (") + state.Message + ")");
    info = png_create_info_struct(png);
    if (!info)
        png_error(png, "not enough memory");
    png_set_write_fn(png, &state, WriteData, FlushData);
    const auto width = static_cast<png_uint_32>(bitmap.Width());
    const auto height = static_cast<png_uint_32>(bitmap.Height());
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_set_pHYs(png, info, 3780, 3780, PNG_RESOLUTION_METER);  // 96 pixels per inch
    png_write_info(png, info);
    // The words are B, G, R, 0 in memory.
    png_set_bgr(png);
    png_set_filler(png, 0, PNG_FILLER_AFTER);
    for (png_uint_32 y = 0; y < height; ++y)
        png_write_row(png, reinterpret_cast<png_const_bytep>(bitmap.ScanLine(static_cast<int>(y))));
    png_write_end(png, nullptr);
    return out;
}

}  // namespace imageio
