// JPEG through libjpeg. Its default error handler ends the process and its
// warnings go to stderr, so both are replaced: errors jump back here and
// become exceptions. A warning that data is missing or damaged fails the
// load as an error would, since libjpeg would go on with grey; the others
// are only counted.

#include "toolkit/imageio/Codecs.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
// jpeglib.h needs size_t and FILE declared first.
#include <jerror.h>
#include <jpeglib.h>

#include <algorithm>

namespace imageio {

namespace {

// A progressive file may hold any number of scans, each a full pass over
// the picture; real files have a few dozen.
constexpr int MaxScans = 500;

struct ErrorManager {
    jpeg_error_mgr Pub{};
    std::jmp_buf Jump{};
    char Message[JMSG_LENGTH_MAX] = {};
    bool Truncated = false;
    bool Corrupt = false;
};

[[noreturn]] void ErrorExit(j_common_ptr cinfo)
{
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    if (cinfo->err->msg_code == JERR_NO_BACKING_STORE)
        std::snprintf(err->Message, sizeof err->Message, "picture too large for the memory allowed");
    else
        (*cinfo->err->format_message)(cinfo, err->Message);
    std::longjmp(err->Jump, 1);
}

void EmitMessage(j_common_ptr cinfo, int level)
{
    if (level >= 0)
        return;  // trace messages
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    switch (cinfo->err->msg_code) {
    case JWRN_JPEG_EOF:
    case JWRN_HIT_MARKER:  // "premature end of data segment"
        err->Truncated = true;
        break;
    case JWRN_HUFF_BAD_CODE:
    case JWRN_MUST_RESYNC:
    case JWRN_BOGUS_PROGRESSION:
        err->Corrupt = true;
        break;
    default: {
        // Bytes between markers, unknown versions and colour transforms,
        // and scan parameters a sequential file does not use leave every
        // pixel described. A bad arithmetic code does not: its code is not
        // in every build's headers, its text is.
        char text[JMSG_LENGTH_MAX];
        (*cinfo->err->format_message)(cinfo, text);
        if (std::strstr(text, "bad arithmetic code"))
            err->Corrupt = true;
        break;
    }
    }
    if (err->Corrupt && !err->Message[0])
        (*cinfo->err->format_message)(cinfo, err->Message);
    ++cinfo->err->num_warnings;
}

void OutputMessage(j_common_ptr) {}

void InstallErrorManager(j_common_ptr cinfo, ErrorManager& err)
{
    cinfo->err = jpeg_std_error(&err.Pub);
    err.Pub.error_exit = ErrorExit;
    err.Pub.emit_message = EmitMessage;
    err.Pub.output_message = OutputMessage;
}

void CheckScans(j_common_ptr cinfo)
{
    if (!cinfo->is_decompressor)
        return;
    auto* dinfo = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (dinfo->input_scan_number > MaxScans) {
        auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
        std::snprintf(err->Message, sizeof err->Message, "too many scans (more than %d)", MaxScans);
        std::longjmp(err->Jump, 1);
    }
}

std::string Reason(const ErrorManager& err)
{
    std::string text = err.Message;
    if (err.Truncated || text.find("Premature end") != std::string::npos)
        return "truncated file";
    if (err.Corrupt)
        return "corrupt JPEG file (" + text + ")";
    if (text.find("Not a JPEG file") != std::string::npos)
        return "not a JPEG file";
    return "corrupt JPEG file (" + text + ")";
}

// Huffman coding spends at least one bit on every 8 x 8 block of every
// component a scan holds: a code for its DC difference, and in a sequential
// file one more for the end of its AC coefficients. Every component is in
// some scan, so a file with fewer bits than that cannot describe the picture
// it claims; it is refused before memory is taken for it. Arithmetic coding
// may legitimately describe a flat picture in a few bytes.
void CheckDataCoversPicture(const jpeg_decompress_struct& cinfo, std::size_t bytes)
{
    if (cinfo.arith_code)
        return;
    std::uint64_t blocks = 0;
    for (int c = 0; c < cinfo.num_components; ++c)
        blocks += std::uint64_t(cinfo.comp_info[c].width_in_blocks) * cinfo.comp_info[c].height_in_blocks;
    const std::uint64_t bits = blocks * (cinfo.progressive_mode ? 1 : 2);
    if (bits > std::uint64_t(bytes) * 8)
        throw DecodeError("truncated file");
}

// jpeg_destroy on a zeroed object does nothing, so the guard can be made
// before anything that may fail.
struct DecompressGuard {
    jpeg_decompress_struct* Info;
    ~DecompressGuard() { jpeg_destroy_decompress(Info); }
};
struct CompressGuard {
    jpeg_compress_struct* Info;
    unsigned char** Output;
    ~CompressGuard()
    {
        jpeg_destroy_compress(Info);
        std::free(*Output);
    }
};

}  // namespace

// Nothing with a destructor may be made between the setjmp and a jump back
// to it, so everything that lives through the decoding is declared first.
void DecodeJpeg(Bytes data, TBitmap& out, const Limits& limits)
{
    jpeg_decompress_struct cinfo{};
    ErrorManager err;
    jpeg_progress_mgr progress{};
    DecompressGuard guard{&cinfo};
    Buffer cmyk;
    InstallErrorManager(reinterpret_cast<j_common_ptr>(&cinfo), err);
    if (setjmp(err.Jump))
        throw DecodeError(Reason(err));

    jpeg_create_decompress(&cinfo);
    // Progressive pictures are buffered whole as coefficients: two bytes a
    // sample, up to four components, and some room for odd sampling.
    cinfo.mem->max_memory_to_use = static_cast<long>(limits.MaxPixels * 12 + (64 << 20));
    progress.progress_monitor = CheckScans;
    cinfo.progress = &progress;
    jpeg_mem_src(&cinfo, data.data(), static_cast<unsigned long>(data.size()));
    jpeg_read_header(&cinfo, TRUE);
    CheckSize(cinfo.image_width, cinfo.image_height, limits);
    CheckDataCoversPicture(cinfo, data.size());

    const bool fourComponents = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    cinfo.out_color_space = fourComponents ? JCS_CMYK : JCS_EXT_BGRX;
    jpeg_start_decompress(&cinfo);
    // A progressive file has been read whole by now.
    if (err.Truncated || err.Corrupt)
        throw DecodeError(Reason(err));
    if (cinfo.progressive_mode)
        for (int c = 0; c < cinfo.num_components; ++c)
            if (cinfo.coef_bits[c][0] < 0)
                throw DecodeError("truncated file");  // a component no scan has described
    MakeBitmap(out, cinfo.output_width, cinfo.output_height, limits);
    const int width = static_cast<int>(cinfo.output_width);
    if (fourComponents)
        cmyk.resize(static_cast<std::size_t>(width) * 4);

    while (cinfo.output_scanline < cinfo.output_height) {
        int row = static_cast<int>(cinfo.output_scanline);
        if (fourComponents) {
            JSAMPROW line = cmyk.data();
            jpeg_read_scanlines(&cinfo, &line, 1);
            // Adobe's files store the inks inverted, which is what almost
            // every CMYK file is.
            const bool inverted = cinfo.saw_Adobe_marker;
            std::uint32_t* dst = out.ScanLine(row);
            for (int x = 0; x < width; ++x) {
                unsigned c = cmyk[4 * x], m = cmyk[4 * x + 1], y = cmyk[4 * x + 2], k = cmyk[4 * x + 3];
                if (!inverted) {
                    c = 255 - c;
                    m = 255 - m;
                    y = 255 - y;
                    k = 255 - k;
                }
                dst[x] = ((c * k / 255) << 16) | ((m * k / 255) << 8) | (y * k / 255);
            }
        } else {
            JSAMPROW rows[16];
            int count = static_cast<int>(std::min<JDIMENSION>(16, cinfo.output_height - cinfo.output_scanline));
            for (int i = 0; i < count; ++i)
                rows[i] = reinterpret_cast<JSAMPROW>(out.ScanLine(row + i));
            JDIMENSION got = jpeg_read_scanlines(&cinfo, rows, static_cast<JDIMENSION>(count));
            // The fourth byte of each pixel is filler; a 24-bit picture keeps it 0.
            for (JDIMENSION i = 0; i < got; ++i) {
                std::uint32_t* line = out.ScanLine(row + static_cast<int>(i));
                for (int x = 0; x < width; ++x)
                    line[x] &= 0xFFFFFF;
            }
        }
        if (err.Truncated || err.Corrupt)
            throw DecodeError(Reason(err));
    }
    if (err.Truncated || err.Corrupt)
        throw DecodeError(Reason(err));
}

Buffer EncodeJpeg(const TBitmap& bitmap, int quality)
{
    jpeg_compress_struct cinfo{};
    ErrorManager err;
    unsigned char* output = nullptr;
    unsigned long outputSize = 0;
    CompressGuard guard{&cinfo, &output};
    InstallErrorManager(reinterpret_cast<j_common_ptr>(&cinfo), err);
    if (setjmp(err.Jump))
        throw DecodeError(std::string("cannot make a JPEG file (") + err.Message + ")");

    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, &output, &outputSize);
    cinfo.image_width = static_cast<JDIMENSION>(bitmap.Width());
    cinfo.image_height = static_cast<JDIMENSION>(bitmap.Height());
    // The bitmap's words are B, G, R, 0 in memory, which libjpeg takes as is.
    cinfo.in_color_space = JCS_EXT_BGRX;
    cinfo.input_components = 4;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    cinfo.density_unit = 1;
    cinfo.X_density = 96;
    cinfo.Y_density = 96;
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW rows[16];
        int row = static_cast<int>(cinfo.next_scanline);
        int count = static_cast<int>(std::min<JDIMENSION>(16, cinfo.image_height - cinfo.next_scanline));
        for (int i = 0; i < count; ++i)
            rows[i] = reinterpret_cast<JSAMPROW>(const_cast<std::uint32_t*>(bitmap.ScanLine(row + i)));
        jpeg_write_scanlines(&cinfo, rows, static_cast<JDIMENSION>(count));
    }
    jpeg_finish_compress(&cinfo);
    return Buffer(output, output + outputSize);
}

}  // namespace imageio
