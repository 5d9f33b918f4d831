// Helpers of the picture-file tests: a scratch folder, byte builders for
// files written by hand, and bitmap comparison.
#pragma once

#include "toolkit/graphics/Graphics.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace picturetest {

using Bytes = std::vector<std::uint8_t>;

// A fresh folder under the system's temporary folder, removed afterwards.
class TempDir {
public:
    TempDir()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "tilvo-imageio-XXXXXX").string();
        std::vector<char> buf(pattern.begin(), pattern.end());
        buf.push_back('\0');
        const char* made = ::mkdtemp(buf.data());
        EXPECT_NE(made, nullptr);
        path_ = made ? made : "/nonexistent";
    }
    ~TempDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }
    const std::filesystem::path& Path() const { return path_; }
    // Names in the folder, to see that no temporary file was left behind.
    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(path_))
            names.push_back(e.path().filename().string());
        return names;
    }

private:
    std::filesystem::path path_;
};

inline void WriteFile(const std::string& name, const Bytes& data)
{
    std::ofstream f(name, std::ios::binary);
    f.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
}

inline Bytes ReadFile(const std::string& name)
{
    std::ifstream f(name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(f), {});
}

inline void Put8(Bytes& b, unsigned v) { b.push_back(static_cast<std::uint8_t>(v)); }
inline void Put16(Bytes& b, unsigned v)
{
    Put8(b, v);
    Put8(b, v >> 8);
}
inline void Put32(Bytes& b, std::uint32_t v)
{
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}
inline void PutBytes(Bytes& b, const Bytes& more) { b.insert(b.end(), more.begin(), more.end()); }
inline void Set32(Bytes& b, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

inline std::uint32_t Px(const TBitmap& b, int x, int y) { return b.ScanLine(y)[x]; }

// A small picture with a handful of colours and no two neighbours alike.
inline TBitmap FewColours(int w, int h)
{
    static const std::uint32_t colours[] = {0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0x123456, 0xFEDCBA};
    TBitmap b(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.ScanLine(y)[x] = colours[(x + 3 * y) % 7];
    return b;
}

// A smooth picture with thousands of colours.
inline TBitmap Gradient(int w, int h)
{
    TBitmap b(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.ScanLine(y)[x] = (std::uint32_t(x * 255 / (w - 1)) << 16) | (std::uint32_t(y * 255 / (h - 1)) << 8) |
                               std::uint32_t((x + y) * 255 / (w + h - 2));
    return b;
}

inline ::testing::AssertionResult SamePixels(const TBitmap& a, const TBitmap& b, int tolerance = 0)
{
    if (a.Width() != b.Width() || a.Height() != b.Height())
        return ::testing::AssertionFailure() << "size " << a.Width() << "x" << a.Height() << " vs " << b.Width()
                                             << "x" << b.Height();
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            for (int shift = 0; shift <= 24; shift += 8) {
                int d = int((Px(a, x, y) >> shift) & 0xFF) - int((Px(b, x, y) >> shift) & 0xFF);
                if (d > tolerance || -d > tolerance)
                    return ::testing::AssertionFailure()
                           << "pixel (" << x << "," << y << ") " << std::hex << Px(a, x, y) << " vs " << Px(b, x, y);
            }
    return ::testing::AssertionSuccess();
}

}  // namespace picturetest
