// How much memory a load takes at its peak, counted through the global
// allocation functions of this test program.

#include "toolkit/imageio/ImageIO.h"

#include "PictureTesting.h"

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<std::int64_t> allocated{0}, peak{0};

void* Allocate(std::size_t size)
{
    void* p = std::malloc(size ? size : 1);
    if (!p)
        throw std::bad_alloc();
    const std::int64_t now = allocated += static_cast<std::int64_t>(malloc_usable_size(p));
    std::int64_t seen = peak;
    while (now > seen && !peak.compare_exchange_weak(seen, now)) {
    }
    return p;
}

void Release(void* p)
{
    if (!p)
        return;
    allocated -= static_cast<std::int64_t>(malloc_usable_size(p));
    std::free(p);
}

}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void operator delete(void* p) noexcept { Release(p); }
void operator delete(void* p, std::size_t) noexcept { Release(p); }

using namespace picturetest;

TEST(LoadPeak, LargePictureIsDecodedOnceNotCopied)
{
    // A run-length BMP of 4096 x 2048 holding only its end code: 32 MiB of
    // pixels from 60 bytes.
    const std::int64_t w = 4096, h = 2048, bytes = w * h * 4;
    Bytes bmp = {'B', 'M'};
    for (std::uint32_t v : {60u, 0u, 58u, 40u, std::uint32_t(w), std::uint32_t(h)})
        Put32(bmp, v);
    Put16(bmp, 1);
    Put16(bmp, 8);
    for (std::uint32_t v : {1u, 2u, 0u, 0u, 1u, 0u, 0x336699u})
        Put32(bmp, v);
    PutBytes(bmp, {0, 1});

    TBitmap bitmap;
    peak = allocated.load();
    const std::int64_t before = allocated;
    LoadPictureFromMemory(bmp.data(), bmp.size(), "bmp", bitmap);
    ASSERT_EQ(bitmap.Width(), w);
    EXPECT_EQ(Px(bitmap, 100, 100), 0x336699u);
    EXPECT_LT(peak - before, bytes + bytes / 8);
    EXPECT_LT(allocated - before, bytes + bytes / 8);
}
