#include "toolkit/imageio/ImageIO.h"

#include "PictureTesting.h"
#include "toolkit/system/Errors.h"

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <set>

using namespace picturetest;

namespace {

// The message of the EInvalidGraphic that loading raises, or "" if none.
std::string LoadError(const std::string& name, TBitmap& into)
{
    try {
        LoadPicture(name, into);
    } catch (const EInvalidGraphic& e) {
        return e.Message();
    }
    return "";
}

std::string Magic(const std::string& name, std::size_t n)
{
    Bytes b = ReadFile(name);
    return std::string(b.begin(), b.begin() + static_cast<std::ptrdiff_t>(std::min(n, b.size())));
}

// CRC of PNG chunks, for the hand-patched header below.
std::uint32_t Crc32(const std::uint8_t* p, std::size_t n)
{
    std::uint32_t c = 0xFFFFFFFF;
    for (std::size_t i = 0; i < n; ++i) {
        c ^= p[i];
        for (int k = 0; k < 8; ++k)
            c = (c >> 1) ^ (0xEDB88320 & (0 - (c & 1)));
    }
    return ~c;
}

}  // namespace

TEST(ImageIO, LosslessFormatsRoundTripExactly)
{
    TempDir dir;
    const TBitmap original = FewColours(7, 5);  // odd width: row padding
    for (const char* name : {"a.bmp", "a.pcx", "a.png", "a.tif", "a.tiff", "a.gif", "a.Gif", "a.unknown", "noext"}) {
        SCOPED_TRACE(name);
        TBitmap saved = original;
        saved.SetPixelFormat(pf32bit);
        SavePicture(dir / name, saved);
        EXPECT_EQ(saved.PixelFormat(), pf24bit);
        TBitmap loaded(1, 1);
        loaded.SetPixelFormat(pf32bit);
        LoadPicture(dir / name, loaded);
        EXPECT_EQ(loaded.PixelFormat(), pf24bit);
        EXPECT_TRUE(SamePixels(loaded, original));
    }
    // The extension, in any case, picks the format; anything else is BMP.
    EXPECT_EQ(Magic(dir / "a.Gif", 3), "GIF");
    EXPECT_EQ(Magic(dir / "a.unknown", 2), "BM");
    EXPECT_EQ(Magic(dir / "noext", 2), "BM");
    EXPECT_EQ(Magic(dir / "a.tif", 2), "II");
    EXPECT_EQ(Magic(dir / "a.pcx", 1), "\x0A");
    // Nothing but the pictures is left in the folder.
    EXPECT_EQ(dir.Names().size(), 9u);
}

TEST(ImageIO, JpegAndManyColouredGifComeBackClose)
{
    TempDir dir;
    TBitmap original = Gradient(64, 48);
    TBitmap copy = original;
    SavePicture(dir / "g.JPEG", copy);
    EXPECT_EQ(Magic(dir / "g.JPEG", 2), "\xFF\xD8");
    TBitmap loaded;
    LoadPicture(dir / "g.JPEG", loaded);
    EXPECT_TRUE(SamePixels(loaded, original, 24));

    // Thousands of colours through a 256-colour palette.
    SavePicture(dir / "g.gif", copy);
    LoadPicture(dir / "g.gif", loaded);
    EXPECT_TRUE(SamePixels(loaded, original, 24));
    std::set<std::uint32_t> colours;
    for (int y = 0; y < loaded.Height(); ++y)
        for (int x = 0; x < loaded.Width(); ++x)
            colours.insert(Px(loaded, x, y));
    EXPECT_LE(colours.size(), 256u);
    EXPECT_GT(colours.size(), 100u);
}

TEST(ImageIO, MemoryReaderTakesTheExtensionWithOrWithoutDot)
{
    TempDir dir;
    TBitmap original = FewColours(4, 3);
    SavePicture(dir / "m.png", original);
    Bytes png = ReadFile(dir / "m.png");
    for (const char* ext : {".png", "PNG"}) {
        TBitmap loaded;
        LoadPictureFromMemory(png.data(), png.size(), ext, loaded);
        EXPECT_TRUE(SamePixels(loaded, original));
    }
    TBitmap loaded;
    EXPECT_THROW(LoadPictureFromMemory(png.data(), png.size(), ".bmp", loaded), EInvalidGraphic);
    EXPECT_THROW(LoadPictureFromMemory(nullptr, 0, ".png", loaded), EInvalidGraphic);
}

TEST(ImageIO, BadFilesRaiseNamingFileAndReasonAndLeaveTheBitmap)
{
    TempDir dir;
    TBitmap keep = FewColours(3, 2);
    keep.Transparent = true;
    auto expectError = [&](const std::string& name, const std::string& reason) {
        SCOPED_TRACE(name);
        TBitmap target = keep;
        std::string message = LoadError(name, target);
        EXPECT_NE(message.find("Cannot read picture '" + name + "'"), std::string::npos) << message;
        EXPECT_NE(message.find(reason), std::string::npos) << message;
        EXPECT_TRUE(SamePixels(target, keep));
        EXPECT_TRUE(target.Transparent);
    };

    expectError(dir / "missing.bmp", "file not found");
    expectError(dir.Path().string(), "folder");
    WriteFile(dir / "empty.png", {});
    expectError(dir / "empty.png", "empty file");

    // Every format cut in half.
    TBitmap picture = Gradient(40, 30);
    for (const char* ext : {"bmp", "pcx", "png", "gif", "jpg", "tif"}) {
        std::string name = dir / (std::string("cut.") + ext);
        SavePicture(name, picture);
        Bytes whole = ReadFile(name);
        WriteFile(name, Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(whole.size() / 2)));
        expectError(name, "truncated file");
    }

    // Garbage under each name.
    Bytes garbage(300);
    for (std::size_t i = 0; i < garbage.size(); ++i)
        garbage[i] = static_cast<std::uint8_t>(i * 37 + 11);
    const std::pair<const char*, const char*> kinds[] = {
        {"g.bmp", "not a BMP file"}, {"g.pcx", "not a PCX file"}, {"g.png", "not a PNG file"},
        {"g.gif", "not a GIF file"}, {"g.jpg", "not a JPEG file"}, {"g.tif", "not a TIFF file"},
        {"g.wmf", "not a metafile"}, {"g.emf", "not a metafile"}};
    for (const auto& [name, reason] : kinds) {
        WriteFile(dir / name, garbage);
        expectError(dir / name, reason);
    }
}

TEST(ImageIO, HugeDimensionsAreRefusedBeforeAllocating)
{
    TempDir dir;
    TBitmap keep = FewColours(3, 2);
    auto expectTooLarge = [&](const std::string& name) {
        SCOPED_TRACE(name);
        TBitmap target = keep;
        std::string message = LoadError(name, target);
        EXPECT_NE(message.find("too large"), std::string::npos) << message;
        EXPECT_TRUE(SamePixels(target, keep));
    };

    // BMP: 30000 x 30000, well within a side but not in area.
    Bytes bmp = {'B', 'M'};
    Put32(bmp, 54 + 4);
    Put32(bmp, 0);
    Put32(bmp, 54);
    Put32(bmp, 40);
    Put32(bmp, 30000);
    Put32(bmp, 30000);
    Put16(bmp, 1);
    Put16(bmp, 24);
    for (int i = 0; i < 6; ++i)
        Put32(bmp, 0);
    Put32(bmp, 0);
    WriteFile(dir / "huge.bmp", bmp);
    expectTooLarge(dir / "huge.bmp");

    // PCX window 0..65535 on both axes.
    Bytes pcx(128 + 16, 0);
    pcx[0] = 0x0A, pcx[1] = 5, pcx[2] = 1, pcx[3] = 8, pcx[65] = 3;
    pcx[8] = pcx[9] = pcx[10] = pcx[11] = 0xFF;
    pcx[66] = 0xFF, pcx[67] = 0xFF;
    WriteFile(dir / "huge.pcx", pcx);
    expectTooLarge(dir / "huge.pcx");

    // GIF logical screen 65535 x 65535 around a 1 x 1 image.
    Bytes gif = {'G', 'I', 'F', '8', '9', 'a', 0xFF, 0xFF, 0xFF, 0xFF, 0x80, 0, 0, 0, 0, 0, 255, 255, 255,
                 ',', 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 2, 0x44, 0x01, 0, ';'};
    WriteFile(dir / "huge.gif", gif);
    expectTooLarge(dir / "huge.gif");

    // JPEG and PNG: real files with the size in their header changed.
    TBitmap small = Gradient(16, 16);
    SavePicture(dir / "huge.jpg", small);
    Bytes jpg = ReadFile(dir / "huge.jpg");
    for (std::size_t i = 2; i + 9 < jpg.size(); ++i)
        if (jpg[i] == 0xFF && jpg[i + 1] == 0xC0) {  // frame header: height, width
            jpg[i + 5] = 0xEA, jpg[i + 6] = 0x60, jpg[i + 7] = 0xEA, jpg[i + 8] = 0x60;
            break;
        }
    WriteFile(dir / "huge.jpg", jpg);
    expectTooLarge(dir / "huge.jpg");

    SavePicture(dir / "huge.png", small);
    Bytes png = ReadFile(dir / "huge.png");
    png[16] = 0, png[17] = 0, png[18] = 0x9C, png[19] = 0x40;  // width 40000
    std::uint32_t crc = Crc32(png.data() + 12, 17);
    png[29] = crc >> 24, png[30] = crc >> 16, png[31] = crc >> 8, png[32] = crc;
    WriteFile(dir / "huge.png", png);
    expectTooLarge(dir / "huge.png");

    // TIFF: a directory that claims 50000 x 50000 grey pixels.
    Bytes tif = {'I', 'I', 42, 0};
    Put32(tif, 8);
    const std::uint16_t tags[][2] = {{256, 4}, {257, 4}, {258, 3}, {259, 3}, {262, 3}, {273, 4}, {278, 4}, {279, 4}};
    const std::uint32_t values[] = {50000, 50000, 8, 1, 1, 200, 50000, 1};
    Put16(tif, 8);
    for (int i = 0; i < 8; ++i) {
        Put16(tif, tags[i][0]);
        Put16(tif, tags[i][1]);
        Put32(tif, 1);
        if (tags[i][1] == 3) {
            Put16(tif, values[i]);
            Put16(tif, 0);
        } else {
            Put32(tif, values[i]);
        }
    }
    Put32(tif, 0);
    tif.resize(220, 0);
    WriteFile(dir / "huge.tif", tif);
    expectTooLarge(dir / "huge.tif");
}

TEST(ImageIO, SavedFileKeepsTheOldModeOrHasThatOfANewFile)
{
    TempDir dir;
    TBitmap picture = FewColours(2, 2);
    mode_t old = ::umask(027);
    SavePicture(dir / "a.png", picture);
    ::umask(0);
    SavePicture(dir / "b.gif", picture);
    // A replaced file keeps its mode.
    ::chmod((dir / "a.png").c_str(), 0604);
    ::umask(022);
    SavePicture(dir / "a.png", picture);
    ::umask(old);

    struct stat st {};
    ASSERT_EQ(::stat((dir / "b.gif").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0666u);
    ASSERT_EQ(::stat((dir / "a.png").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0604u);
}

TEST(ImageIO, SavingNeverReplacesADeviceOrAFifo)
{
    TempDir dir;
    TBitmap picture = FewColours(2, 2);
    std::filesystem::create_symlink("/dev/null", dir / "null.bmp");
    ASSERT_EQ(::mkfifo((dir / "fifo.bmp").c_str(), 0600), 0);
    for (const char* name : {"null.bmp", "fifo.bmp"}) {
        const std::string path = dir / name;
        try {
            SavePicture(path, picture);
            ADD_FAILURE() << name << " was replaced";
        } catch (const EInvalidGraphic& e) {
            EXPECT_EQ(e.Message(), "Cannot write picture '" + path + "': not a regular file");
        }
    }
    struct stat st {};
    ASSERT_EQ(::stat("/dev/null", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
    ASSERT_EQ(::lstat((dir / "fifo.bmp").c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

TEST(ImageIO, SavingThroughALinkReplacesTheFileItPointsTo)
{
    TempDir dir;
    WriteFile(dir / "real.bmp", {'o', 'l', 'd'});
    std::filesystem::create_symlink("real.bmp", dir / "link.bmp");
    TBitmap picture = FewColours(3, 3);
    SavePicture(dir / "link.bmp", picture);
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.bmp"));
    TBitmap loaded;
    LoadPicture(dir / "real.bmp", loaded);
    EXPECT_TRUE(SamePixels(loaded, picture));
}

TEST(ImageIO, FailedSaveLeavesTheOldFile)
{
    TempDir dir;
    const std::string target = dir / "old.bmp";
    WriteFile(target, {'o', 'l', 'd'});
    TBitmap picture = Gradient(200, 200);

    auto expectWriteError = [&](const std::string& name) {
        try {
            SavePicture(name, picture);
            ADD_FAILURE() << "no error for " << name;
        } catch (const EInvalidGraphic& e) {
            EXPECT_NE(e.Message().find("Cannot write picture '" + name + "'"), std::string::npos) << e.Message();
        }
    };

    // The disk fills up half-way: the file-size limit stands in for it,
    // since root passes every permission check.
    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 1000;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    expectWriteError(target);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(ReadFile(target), (Bytes{'o', 'l', 'd'}));

    // A folder where the file should go, a folder that does not exist, an
    // empty picture.
    std::filesystem::create_directory(dir / "taken.png");
    expectWriteError(dir / "taken.png");
    expectWriteError(dir / "nowhere/x.bmp");
    TBitmap empty;
    try {
        SavePicture(target, empty);
        ADD_FAILURE() << "an empty picture was saved";
    } catch (const EInvalidGraphic& e) {
        EXPECT_NE(e.Message().find("empty"), std::string::npos);
    }
    EXPECT_EQ(ReadFile(target), (Bytes{'o', 'l', 'd'}));
    // No temporary file is left behind.
    EXPECT_EQ(dir.Names().size(), 2u);
}
