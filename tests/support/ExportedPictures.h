// Reading back what SaveToFile wrote: the picture files, the elements of an
// SVG drawing and a PDF page rendered by Poppler's pdftoppm.
#pragma once

#include "toolkit/graphics/Graphics.h"
#include "toolkit/imageio/ImageIO.h"

#include <QFile>
#include <QSvgRenderer>
#include <QXmlStreamReader>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include <unistd.h>

// A folder of this test program's own, removed when the program ends.
inline std::filesystem::path ExportFolder()
{
    static const struct TFolder {
        std::filesystem::path Path =
            std::filesystem::temp_directory_path() / ("tilvo-export-" + std::to_string(::getpid()));
        TFolder() { std::filesystem::create_directories(Path); }
        ~TFolder()
        {
            std::error_code ignored;
            std::filesystem::remove_all(Path, ignored);
        }
    } folder;
    return folder.Path;
}

inline TBitmap PictureRead(const std::filesystem::path& file)
{
    TBitmap b;
    LoadPicture(file.string(), b);
    return b;
}

// How many elements of each name the SVG file holds; empty when Qt's SVG
// reader does not take it.
inline std::map<std::string, int> SvgElements(const std::filesystem::path& file)
{
    if (!QSvgRenderer(QString::fromStdString(file.string())).isValid())
        return {};
    QFile f(QString::fromStdString(file.string()));
    f.open(QIODevice::ReadOnly);
    QXmlStreamReader xml(&f);
    std::map<std::string, int> count;
    while (!xml.atEnd())
        if (xml.readNext() == QXmlStreamReader::StartElement)
            ++count[xml.name().toString().toStdString()];
    return count;
}

inline bool PdftoppmThere() { return std::system("pdftoppm -v >/dev/null 2>&1") == 0; }

// The first page of the PDF at 72 dots per inch, shapes not smoothed, so one
// point is one pixel.
inline std::optional<TBitmap> PdfRender(const std::filesystem::path& file)
{
    const std::filesystem::path out = file.string() + ".render";
    const std::string command = "pdftoppm -r 72 -aa yes -aaVector no -png -singlefile '" + file.string() + "' '" +
                                out.string() + "' 2>/dev/null";
    if (std::system(command.c_str()) != 0)
        return std::nullopt;
    return PictureRead(out.string() + ".png");
}

// Whether the two pictures are the same size with the same colours.
inline bool SamePixels(const TBitmap& a, const TBitmap& b)
{
    if (a.Width() != b.Width() || a.Height() != b.Height())
        return false;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            if ((a.ScanLine(y)[x] & 0xFFFFFF) != (b.ScanLine(y)[x] & 0xFFFFFF))
                return false;
    return true;
}

// The share of a's pixels that b has, within Tolerance on each channel, at
// the same place or one pixel beside it (vector and raster renderers put
// edges half a pixel apart).
inline double NearlySameShare(const TBitmap& a, const TBitmap& b, int Tolerance)
{
    if (a.Width() != b.Width() || a.Height() != b.Height() || a.Empty())
        return 0;
    auto close = [&](std::uint32_t p, std::uint32_t q) {
        for (int shift : {0, 8, 16})
            if (std::abs(int((p >> shift) & 0xFF) - int((q >> shift) & 0xFF)) > Tolerance)
                return false;
        return true;
    };
    long matched = 0;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x) {
            bool found = false;
            for (int dy = -1; dy <= 1 && !found; ++dy)
                for (int dx = -1; dx <= 1 && !found; ++dx) {
                    const int u = x + dx, v = y + dy;
                    found = u >= 0 && v >= 0 && u < b.Width() && v < b.Height() &&
                            close(a.ScanLine(y)[x], b.ScanLine(v)[u]);
                }
            matched += found;
        }
    return double(matched) / (double(a.Width()) * a.Height());
}
