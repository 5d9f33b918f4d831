// Draws the plotting canvas's three cursors: an open hand for panning and a
// magnifier with a plus and with a minus for zooming, as 32 x 32 PNG files
// with a transparent background, and a ".hot" file with each hot spot.
//
//   make_cursors components/plot/cursors
#include <QFile>
#include <QImage>

#include <cmath>
#include <cstdio>
#include <string>

namespace {

constexpr int Side = 32;
const QRgb Ink = qRgba(0, 0, 0, 255);
const QRgb Paper = qRgba(255, 255, 255, 255);

// '#' outline, '.' fill, anything else transparent; each cell 2 x 2 pixels.
const char* const Hand[16] = {
    "       ##       ",
    "   ## #..###    ",
    "  #..##..#..#   ",
    "  #..##..#..# # ",
    "   #..#..#..##.#",
    "   #..#..#..#..#",
    " ## #........#.#",
    "#..##..........#",
    "#...#.........# ",
    " #............# ",
    "  #...........# ",
    "  #..........#  ",
    "   #.........#  ",
    "    #........#  ",
    "     #......#   ",
    "     #......#   ",
};

QImage HandDraw()
{
    QImage img(Side, Side, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    for (int r = 0; r < 16; ++r)
        for (int c = 0; c < 16; ++c) {
            const char ch = Hand[r][c];
            if (ch != '#' && ch != '.')
                continue;
            for (int dy = 0; dy < 2; ++dy)
                for (int dx = 0; dx < 2; ++dx)
                    img.setPixel(2 * c + dx, 2 * r + dy, ch == '#' ? Ink : Paper);
        }
    return img;
}

// Distance from (x, y) to the segment (x1, y1)-(x2, y2).
double SegmentDistance(double x, double y, double x1, double y1, double x2, double y2)
{
    const double dx = x2 - x1, dy = y2 - y1;
    double t = ((x - x1) * dx + (y - y1) * dy) / (dx * dx + dy * dy);
    t = std::fmax(0, std::fmin(1, t));
    return std::hypot(x - (x1 + t * dx), y - (y1 + t * dy));
}

// A lens round (12, 12) with a handle to the lower right; the sign inside.
QImage MagnifierDraw(bool plus)
{
    constexpr double cx = 12, cy = 12, r = 9;
    QImage img(Side, Side, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    for (int y = 0; y < Side; ++y)
        for (int x = 0; x < Side; ++x) {
            const double px = x + 0.5, py = y + 0.5;
            const double d = std::hypot(px - cx, py - cy);
            const double handle = SegmentDistance(px, py, 19, 19, 28, 28);
            const bool bar = std::fabs(py - cy) < 1.5 && std::fabs(px - cx) < 5.5;
            const bool stem = plus && std::fabs(px - cx) < 1.5 && std::fabs(py - cy) < 5.5;
            if (d < r - 1.5)
                img.setPixel(x, y, bar || stem ? Ink : Paper);
            else if (d < r + 1 || handle < 2.5)
                img.setPixel(x, y, Ink);
            else if (d < r + 2 || handle < 3.5)
                img.setPixel(x, y, Paper);  // a light rim keeps it visible on dark plots
        }
    return img;
}

bool Write(const std::string& dir, const char* name, const QImage& img, int hx, int hy)
{
    const QString base = QString::fromStdString(dir) + "/" + name;
    if (!img.save(base + ".png", "PNG"))
        return false;
    QFile hot(base + ".hot");
    if (!hot.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    hot.write(QByteArray::number(hx) + " " + QByteArray::number(hy) + "\n");
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_cursors <folder>\n");
        return 2;
    }
    const std::string dir = argv[1];
    const bool ok = Write(dir, "PANNING", HandDraw(), 16, 16) && Write(dir, "ZOOMMORE", MagnifierDraw(true), 12, 12) &&
                    Write(dir, "ZOOMLESS", MagnifierDraw(false), 12, 12);
    if (!ok) {
        std::fprintf(stderr, "make_cursors: cannot write into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
