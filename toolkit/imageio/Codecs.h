// The readers and writers behind ImageIO.h. Readers work on bytes in memory
// and report problems by throwing DecodeError with the reason alone; the
// public functions add the file name. Writers return the whole file.
#pragma once

#include "toolkit/graphics/Graphics.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace imageio {

using Bytes = std::span<const std::uint8_t>;
using Buffer = std::vector<std::uint8_t>;

// The reason a picture cannot be read or written ("truncated file").
class DecodeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// How large a picture a reader may make. The fuzz targets lower them so that
// they spend their time on parsing rather than on filling memory.
struct Limits {
    std::int64_t MaxSide = TBitmap::MaxSide;
    std::int64_t MaxPixels = TBitmap::MaxPixels;
    // Pixels that pictures decoded under these limits may still take, all
    // of them together; each bitmap made is taken off before it is filled.
    // A metafile shares one among the pictures its records carry.
    std::int64_t* PixelBudget = nullptr;
};

// Throws unless a width x height picture is positive and within the limits.
void CheckSize(std::int64_t width, std::int64_t height, const Limits& limits);

// Picks the reader by extension (with or without the dot, any case) and
// decodes into out, which the reader resizes; out is pf24bit afterwards.
void DecodePicture(Bytes data, const std::string& extension, TBitmap& out, const Limits& limits);

void DecodeBmp(Bytes data, TBitmap& out, const Limits& limits);
void DecodePcx(Bytes data, TBitmap& out, const Limits& limits);
void DecodeGif(Bytes data, TBitmap& out, const Limits& limits);
void DecodeJpeg(Bytes data, TBitmap& out, const Limits& limits);
void DecodePng(Bytes data, TBitmap& out, const Limits& limits);
void DecodeTiff(Bytes data, TBitmap& out, const Limits& limits);
void DecodeMetafile(Bytes data, TBitmap& out, const Limits& limits);

// A device-independent bitmap as metafiles carry it: the info header (core
// or info and later), its colour table and, at bits, the pixel rows.
// Returns false when it is not a picture this reader can make.
bool DecodeDib(Bytes header, Bytes bits, TBitmap& out, const Limits& limits);
// The same when the rows follow the colour table directly.
bool DecodePackedDib(Bytes dib, TBitmap& out, const Limits& limits);

Buffer EncodeBmp(const TBitmap& bitmap);
Buffer EncodePcx(const TBitmap& bitmap);
Buffer EncodeGif(const TBitmap& bitmap);
Buffer EncodeJpeg(const TBitmap& bitmap, int quality);
Buffer EncodePng(const TBitmap& bitmap);
Buffer EncodeTiff(const TBitmap& bitmap);

// Little-endian fields.
inline std::uint16_t Le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
inline std::uint32_t Le32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
inline void PutLe16(Buffer& b, unsigned v)
{
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}
inline void PutLe32(Buffer& b, std::uint32_t v)
{
    PutLe16(b, v & 0xFFFF);
    PutLe16(b, v >> 16);
}

// Sizes out as a pf24bit picture after checking the limits (and taking it
// off the pixel budget, if there is one). Its pixels are left as they are:
// the reader writes every one of them.
void MakeBitmap(TBitmap& out, std::int64_t width, std::int64_t height, const Limits& limits);

}  // namespace imageio
