// Loading and saving a 1920 x 1080 JPEG through LoadPicture/SavePicture, and
// the same work done with libjpeg directly, so that the cost of our layer
// (reading the file whole, the size checks, the copy into the caller's
// bitmap, writing beside the target and renaming) shows as a ratio.
//
//   build/bench/bench_imageio --benchmark_min_time=2

#include "toolkit/imageio/ImageIO.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <jpeglib.h>
#include <string>
#include <vector>

namespace {

constexpr int Width = 1920;
constexpr int Height = 1080;

// A picture with smooth areas and edges, like a photograph or a drawing.
TBitmap Scene()
{
    TBitmap b(Width, Height);
    std::uint32_t noise = 12345;
    for (int y = 0; y < Height; ++y) {
        std::uint32_t* row = b.ScanLine(y);
        for (int x = 0; x < Width; ++x) {
            noise = noise * 1103515245 + 12345;
            std::uint32_t r = (x * 255 / Width), g = (y * 255 / Height), bl = ((x / 64 + y / 64) % 2) * 160;
            std::uint32_t n = (noise >> 28);
            row[x] = (std::min<std::uint32_t>(255, r + n) << 16) | (g << 8) | std::min<std::uint32_t>(255, bl + n);
        }
    }
    return b;
}

struct Files {
    std::filesystem::path Dir;
    std::string Jpeg;
    TBitmap Picture;

    Files()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "tilvo-bench-XXXXXX").string();
        std::vector<char> buf(pattern.begin(), pattern.end());
        buf.push_back('\0');
        if (!::mkdtemp(buf.data()))
            std::abort();
        Dir = buf.data();
        Jpeg = (Dir / "scene.jpg").string();
        Picture = Scene();
        TBitmap copy = Picture;
        SavePicture(Jpeg, copy);
    }
    ~Files()
    {
        std::error_code ec;
        std::filesystem::remove_all(Dir, ec);
    }
};

Files& Shared()
{
    static Files files;
    return files;
}

void BM_LoadJpeg_ImageIO(benchmark::State& state)
{
    Files& f = Shared();
    TBitmap bitmap;
    for (auto _ : state) {
        LoadPicture(f.Jpeg, bitmap);
        benchmark::DoNotOptimize(bitmap.ScanLine(0));
    }
}
BENCHMARK(BM_LoadJpeg_ImageIO)->Unit(benchmark::kMillisecond);

// The libjpeg baseline: decode the same file into 32-bit rows.
void BM_LoadJpeg_Libjpeg(benchmark::State& state)
{
    Files& f = Shared();
    std::vector<std::uint32_t> pixels;
    for (auto _ : state) {
        std::FILE* in = std::fopen(f.Jpeg.c_str(), "rb");
        jpeg_decompress_struct cinfo{};
        jpeg_error_mgr err{};
        cinfo.err = jpeg_std_error(&err);
        jpeg_create_decompress(&cinfo);
        jpeg_stdio_src(&cinfo, in);
        jpeg_read_header(&cinfo, TRUE);
        cinfo.out_color_space = JCS_EXT_BGRX;
        jpeg_start_decompress(&cinfo);
        pixels.assign(static_cast<std::size_t>(cinfo.output_width) * cinfo.output_height, 0);
        while (cinfo.output_scanline < cinfo.output_height) {
            JSAMPROW row = reinterpret_cast<JSAMPROW>(pixels.data() + cinfo.output_scanline * cinfo.output_width);
            jpeg_read_scanlines(&cinfo, &row, 1);
        }
        jpeg_finish_decompress(&cinfo);
        jpeg_destroy_decompress(&cinfo);
        std::fclose(in);
        benchmark::DoNotOptimize(pixels.data());
    }
}
BENCHMARK(BM_LoadJpeg_Libjpeg)->Unit(benchmark::kMillisecond);

void BM_SaveJpeg_ImageIO(benchmark::State& state)
{
    Files& f = Shared();
    TBitmap bitmap = f.Picture;
    const std::string target = (f.Dir / "saved.jpg").string();
    for (auto _ : state)
        SavePicture(target, bitmap);
}
BENCHMARK(BM_SaveJpeg_ImageIO)->Unit(benchmark::kMillisecond);

// The libjpeg baseline: write the same rows, quality 50, straight to the file.
void BM_SaveJpeg_Libjpeg(benchmark::State& state)
{
    Files& f = Shared();
    const std::string target = (f.Dir / "direct.jpg").string();
    for (auto _ : state) {
        std::FILE* out = std::fopen(target.c_str(), "wb");
        jpeg_compress_struct cinfo{};
        jpeg_error_mgr err{};
        cinfo.err = jpeg_std_error(&err);
        jpeg_create_compress(&cinfo);
        jpeg_stdio_dest(&cinfo, out);
        cinfo.image_width = Width;
        cinfo.image_height = Height;
        cinfo.in_color_space = JCS_EXT_BGRX;
        cinfo.input_components = 4;
        jpeg_set_defaults(&cinfo);
        jpeg_set_quality(&cinfo, 50, TRUE);
        jpeg_start_compress(&cinfo, TRUE);
        while (cinfo.next_scanline < cinfo.image_height) {
            JSAMPROW row = reinterpret_cast<JSAMPROW>(f.Picture.ScanLine(static_cast<int>(cinfo.next_scanline)));
            jpeg_write_scanlines(&cinfo, &row, 1);
        }
        jpeg_finish_compress(&cinfo);
        jpeg_destroy_compress(&cinfo);
        std::fclose(out);
    }
}
BENCHMARK(BM_SaveJpeg_Libjpeg)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
