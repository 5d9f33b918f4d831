// TIFF through libtiff, from and to memory. libtiff prints its errors and
// warnings unless handlers are installed; ours only keep the first error
// as the reason.

#include "toolkit/imageio/Codecs.h"

#include <tiffio.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>

namespace imageio {

namespace {

struct TiffMemory {
    Bytes Data;
    Buffer* Out = nullptr;
    std::uint64_t Pos = 0;
    bool ShortRead = false;  // a read asked for bytes past the end
    char Message[256] = {};
};

std::uint64_t SizeOf(const TiffMemory& m) { return m.Out ? m.Out->size() : m.Data.size(); }

tmsize_t ReadProc(thandle_t handle, void* buffer, tmsize_t size)
{
    auto* m = static_cast<TiffMemory*>(handle);
    const std::uint8_t* base = m->Out ? m->Out->data() : m->Data.data();
    std::uint64_t total = SizeOf(*m);
    if (size <= 0)
        return 0;
    if (m->Pos >= total || static_cast<std::uint64_t>(size) > total - m->Pos)
        m->ShortRead = true;
    if (m->Pos >= total)
        return 0;
    auto n = static_cast<std::size_t>(std::min<std::uint64_t>(static_cast<std::uint64_t>(size), total - m->Pos));
    std::memcpy(buffer, base + m->Pos, n);
    m->Pos += n;
    return static_cast<tmsize_t>(n);
}

tmsize_t WriteProc(thandle_t handle, void* buffer, tmsize_t size)
{
    auto* m = static_cast<TiffMemory*>(handle);
    if (!m->Out || size < 0)
        return -1;
    auto n = static_cast<std::size_t>(size);
    try {
        if (m->Out->size() < m->Pos + n)
            m->Out->resize(static_cast<std::size_t>(m->Pos + n));
    } catch (const std::bad_alloc&) {
        return -1;
    }
    std::memcpy(m->Out->data() + m->Pos, buffer, n);
    m->Pos += n;
    return size;
}

toff_t SeekProc(thandle_t handle, toff_t offset, int whence)
{
    auto* m = static_cast<TiffMemory*>(handle);
    auto delta = static_cast<std::int64_t>(offset);
    std::int64_t base = whence == SEEK_CUR ? static_cast<std::int64_t>(m->Pos)
                        : whence == SEEK_END ? static_cast<std::int64_t>(SizeOf(*m))
                                             : 0;
    if (whence == SEEK_SET) {
        if (offset > static_cast<toff_t>(INT64_MAX))
            return static_cast<toff_t>(-1);
        base = 0;
    }
    if ((delta > 0 && base > INT64_MAX - delta) || base + delta < 0)
        return static_cast<toff_t>(-1);
    m->Pos = static_cast<std::uint64_t>(base + delta);
    return m->Pos;
}

int CloseProc(thandle_t) { return 0; }
toff_t SizeProc(thandle_t handle) { return SizeOf(*static_cast<TiffMemory*>(handle)); }
int MapProc(thandle_t, void**, toff_t*) { return 0; }
void UnmapProc(thandle_t, void*, toff_t) {}

int OnError(TIFF*, void* user, const char*, const char* format, va_list args)
{
    auto* m = static_cast<TiffMemory*>(user);
    if (m->Message[0] == 0)
        std::vsnprintf(m->Message, sizeof m->Message, format, args);
    return 1;
}

int OnWarning(TIFF*, void*, const char*, const char*, va_list) { return 1; }

// Messages raised without a handle go to the process-wide handlers.
void SilenceGlobalHandlers()
{
    static std::once_flag once;
    std::call_once(once, [] {
        TIFFSetErrorHandler(nullptr);
        TIFFSetWarningHandler(nullptr);
        TIFFSetErrorHandlerExt(nullptr);
        TIFFSetWarningHandlerExt(nullptr);
    });
}

struct OptionsFree {
    void operator()(TIFFOpenOptions* o) const { TIFFOpenOptionsFree(o); }
};
struct TiffClose {
    void operator()(TIFF* t) const { TIFFClose(t); }
};

std::unique_ptr<TIFF, TiffClose> Open(TiffMemory& m, const char* mode, std::int64_t maxAlloc)
{
    SilenceGlobalHandlers();
    std::unique_ptr<TIFFOpenOptions, OptionsFree> options(TIFFOpenOptionsAlloc());
    if (!options)
        throw std::bad_alloc();
    TIFFOpenOptionsSetMaxSingleMemAlloc(options.get(), static_cast<tmsize_t>(maxAlloc));
    TIFFOpenOptionsSetErrorHandlerExtR(options.get(), OnError, &m);
    TIFFOpenOptionsSetWarningHandlerExtR(options.get(), OnWarning, &m);
    return std::unique_ptr<TIFF, TiffClose>(TIFFClientOpenExt("picture", mode, &m, ReadProc, WriteProc, SeekProc,
                                                              CloseProc, SizeProc, MapProc, UnmapProc, options.get()));
}

std::string Reason(const TiffMemory& m)
{
    std::string text = m.Message;
    if (m.ShortRead)
        return "truncated file";
    return "corrupt TIFF file (" + (text.empty() ? std::string("unknown error") : text) + ")";
}

}  // namespace

void DecodeTiff(Bytes data, TBitmap& out, const Limits& limits)
{
    const bool intel = data.size() >= 2 && data[0] == 'I' && data[1] == 'I';
    const bool motorola = data.size() >= 2 && data[0] == 'M' && data[1] == 'M';
    if (!intel && !motorola)
        throw DecodeError("not a TIFF file");
    if (data.size() < 8)
        throw DecodeError("truncated file");

    TiffMemory m{data};
    auto tif = Open(m, "rm", limits.MaxPixels * 8 + (16 << 20));
    if (!tif)
        throw DecodeError(Reason(m));
    std::uint32_t width = 0, height = 0;
    if (!TIFFGetField(tif.get(), TIFFTAG_IMAGEWIDTH, &width) || !TIFFGetField(tif.get(), TIFFTAG_IMAGELENGTH, &height))
        throw DecodeError("corrupt TIFF file (no picture size)");
    CheckSize(width, height, limits);
    char message[1024] = {};
    if (!TIFFRGBAImageOK(tif.get(), message))
        throw DecodeError(std::string("unsupported TIFF format (") + message + ")");

    std::vector<std::uint32_t> raster(static_cast<std::size_t>(width) * height);
    if (!TIFFReadRGBAImageOriented(tif.get(), width, height, raster.data(), ORIENTATION_TOPLEFT, 1))
        throw DecodeError(Reason(m));

    MakeBitmap(out, width, height, limits);
    const std::uint32_t* src = raster.data();
    for (std::uint32_t y = 0; y < height; ++y) {
        std::uint32_t* line = out.ScanLine(static_cast<int>(y));
        for (std::uint32_t x = 0; x < width; ++x, ++src) {
            // Bytes R, G, B, A with the colours premultiplied: over white.
            std::uint32_t v = *src;
            std::uint32_t back = 255 - (v >> 24);
            auto over = [back](std::uint32_t c) { return std::min<std::uint32_t>(255, c + back); };
            line[x] = (over(v & 0xFF) << 16) | (over((v >> 8) & 0xFF) << 8) | over((v >> 16) & 0xFF);
        }
    }
}

Buffer EncodeTiff(const TBitmap& bitmap)
{
    Buffer out;
    TiffMemory m;
    m.Out = &out;
    {
        auto tif = Open(m, "w", std::int64_t(1) << 30);
        if (!tif)
            throw DecodeError(std::string("cannot make a TIFF file (") + m.Message + ")");
        const auto width = static_cast<std::uint32_t>(bitmap.Width());
        const auto height = static_cast<std::uint32_t>(bitmap.Height());
        TIFF* t = tif.get();
        TIFFSetField(t, TIFFTAG_IMAGEWIDTH, width);
        TIFFSetField(t, TIFFTAG_IMAGELENGTH, height);
        TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, 3);
        TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 8);
        TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
        TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
        TIFFSetField(t, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
        TIFFSetField(t, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
        TIFFSetField(t, TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL);
        TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(t, 0));
        TIFFSetField(t, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
        TIFFSetField(t, TIFFTAG_XRESOLUTION, 96.0);
        TIFFSetField(t, TIFFTAG_YRESOLUTION, 96.0);
        Buffer row(static_cast<std::size_t>(width) * 3);
        for (std::uint32_t y = 0; y < height; ++y) {
            const std::uint32_t* s = bitmap.ScanLine(static_cast<int>(y));
            for (std::uint32_t x = 0; x < width; ++x) {
                row[3 * x] = static_cast<std::uint8_t>(s[x] >> 16);
                row[3 * x + 1] = static_cast<std::uint8_t>(s[x] >> 8);
                row[3 * x + 2] = static_cast<std::uint8_t>(s[x]);
            }
            if (TIFFWriteScanline(t, row.data(), y, 0) < 0)
                throw DecodeError(std::string("cannot make a TIFF file (") + m.Message + ")");
        }
        if (!TIFFWriteDirectory(t))
            throw DecodeError(std::string("cannot make a TIFF file (") + m.Message + ")");
    }
    return out;
}

}  // namespace imageio
