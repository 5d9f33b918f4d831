#include "components/image/Tqelimage.h"
#include "toolkit/system/Errors.h"

#include <gtest/gtest.h>

#include <QImage>

#include <filesystem>

namespace {

std::filesystem::path Scratch()
{
    auto dir = std::filesystem::temp_directory_path() / ("tilvo-qelfiles-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    return dir;
}

}  // namespace

TEST(TQelImageFiles, SavedPictureLoadsBackAndSizesTheControl)
{
    const auto dir = Scratch();
    TQelImage source(nullptr);
    source.SetHeightWidth(5, 7);
    source.Fill(clBlue);
    source.Canvas().SetPixel(6, 4, clRed);
    source.Picture().Bitmap().SetPixelFormat(pf32bit);
    source.SaveToFile((dir / "x.PNG").string());
    EXPECT_EQ(source.Picture().Bitmap().PixelFormat(), pf24bit);

    TQelImage loaded(nullptr);
    loaded.SetHeightWidth(50, 60);
    loaded.LoadFromFile((dir / "x.PNG").string());
    EXPECT_EQ(loaded.Width(), 7);
    EXPECT_EQ(loaded.Height(), 5);
    EXPECT_EQ(loaded.Canvas().Pixels(6, 4), clRed);
    EXPECT_EQ(loaded.Canvas().Pixels(0, 0), clBlue);

    // A bad file leaves picture and control as they were.
    std::filesystem::path bad = dir / "bad.bmp";
    { std::FILE* f = std::fopen(bad.c_str(), "wb"); std::fputs("BM not really", f); std::fclose(f); }
    EXPECT_THROW(loaded.LoadFromFile(bad.string()), EInvalidGraphic);
    EXPECT_THROW(loaded.LoadFromFile((dir / "missing.jpg").string()), EInvalidGraphic);
    EXPECT_EQ(loaded.Width(), 7);
    EXPECT_EQ(loaded.Canvas().Pixels(6, 4), clRed);
    std::filesystem::remove_all(dir);
}

TEST(TQelImageFiles, APictureWiderThanTheControlLoadsWhole)
{
    const auto dir = Scratch();
    TQelImage source(nullptr);
    source.SetHeightWidth(10, 60);
    source.Fill(clBlue);
    source.SaveToFile((dir / "wide.bmp").string());

    TQelImage narrow(nullptr);
    narrow.SetHeightWidth(30, 20);
    narrow.LoadFromFile((dir / "wide.bmp").string());
    EXPECT_EQ(narrow.Width(), 60);
    EXPECT_EQ(narrow.Height(), 10);
    for (int x : {0, 19, 20, 59})
        EXPECT_EQ(narrow.Canvas().Pixels(x, 9), clBlue) << x;

    // A read-only file is not replaced, and the error names it.
    const std::string locked = (dir / "locked.bmp").string();
    source.SaveToFile(locked);
    std::filesystem::permissions(locked, std::filesystem::perms::owner_read);
    try {
        narrow.SaveToFile(locked);
        ADD_FAILURE() << "a read-only file was replaced";
    } catch (const EInvalidGraphic& e) {
        EXPECT_EQ(e.Message(), "Cannot write picture '" + locked + "': the file is read-only");
    }
    std::filesystem::remove_all(dir);
}

TEST(TQelImageFiles, RotateTurnsCounterClockwiseAndFillsCorners)
{
    TQelImage image(nullptr);
    image.SetHeightWidth(2, 4);
    image.Fill(clWhite);
    image.Canvas().SetPixel(3, 0, clRed);  // top right
    image.Rotate(90);
    EXPECT_EQ(image.Picture().Width(), 2);
    EXPECT_EQ(image.Picture().Height(), 4);
    EXPECT_EQ(image.Canvas().Pixels(0, 0), clRed);  // now top left

    image.Canvas().Brush.Color = clLime;
    image.Rotate(30);
    EXPECT_GT(image.Picture().Width(), 2);
    EXPECT_EQ(image.Canvas().Pixels(0, 0), clLime);
}

TEST(TQelImageFiles, PictureLargerThanTheControlLoadsWhole)
{
    const auto dir = Scratch();
    TQelImage source(nullptr);
    source.SetHeightWidth(20, 30);
    source.Fill(clBlue);
    source.Canvas().SetPixel(29, 19, clRed);
    source.SaveToFile((dir / "wide.bmp").string());

    TQelImage loaded(nullptr);
    loaded.SetHeightWidth(10, 10);
    loaded.LoadFromFile((dir / "wide.bmp").string());
    EXPECT_EQ(loaded.Width(), 30);
    EXPECT_EQ(loaded.Height(), 20);
    EXPECT_EQ(loaded.Canvas().Pixels(29, 19), clRed);
    EXPECT_EQ(loaded.Canvas().Pixels(20, 0), clBlue);
    std::filesystem::remove_all(dir);
}

// A picture written by another program, every pixel its own colour, loaded
// into controls narrower than it and both taller and lower.
TEST(TQelImageFiles, AWiderPictureFromElsewhereKeepsEveryColumn)
{
    const auto dir = Scratch();
    QImage written(60, 10, QImage::Format_RGB32);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 60; ++x)
            written.setPixel(x, y, QRgb(y * 60 + x));
    const QString file = QString::fromStdString((dir / "written.bmp").string());
    ASSERT_TRUE(written.save(file, "BMP"));

    for (int height : {30, 5}) {
        TQelImage image(nullptr);
        image.SetHeightWidth(height, 20);
        image.LoadFromFile(file.toStdString());
        ASSERT_EQ(image.Width(), 60) << height;
        ASSERT_EQ(image.Height(), 10) << height;
        const TBitmap& bitmap = image.Picture().Bitmap();
        ASSERT_EQ(bitmap.Width(), 60) << height;
        ASSERT_EQ(bitmap.Height(), 10) << height;
        int wrong = 0;
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 60; ++x)
                wrong += (bitmap.ScanLine(y)[x] & 0xFFFFFF) != (written.pixel(x, y) & 0xFFFFFF);
        EXPECT_EQ(wrong, 0) << "control " << height << " high";
    }
    std::filesystem::remove_all(dir);
}
