// Draws the About window's background: blue ripples spreading from a point
// left of the middle over black, fading toward the edges, and a line of
// contact text at the bottom right. Usage: make_about OUTPUT.bmp
#include "toolkit/graphics/Graphics.h"
#include "toolkit/imageio/ImageIO.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <exception>
#include <numbers>

namespace {

constexpr int kAncho = 400;
constexpr int kAlto = 135;
// Centre of the ripples, wavelength and how fast they die away (pixels).
constexpr double kCentroX = 170;
constexpr double kCentroY = 62;
constexpr double kOnda = 13;
constexpr double kCaida = 150;
constexpr const char* kContacto = "equipo@tilvo.example";

// 0..1: bright crests, dark troughs, weaker with the distance. The crests
// are sharpened so that black shows between the rings.
double Onda(double x, double y)
{
    const double r = std::hypot(x - kCentroX, y - kCentroY);
    const double cresta = 0.5 + 0.5 * std::cos(2 * std::numbers::pi * r / kOnda);
    return std::pow(cresta, 3) * std::exp(-r / kCaida);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.bmp\n", argv[0]);
        return 2;
    }
    try {
        TBitmap picture(kAncho, kAlto);
        for (int y = 0; y < kAlto; ++y) {
            std::uint32_t* row = picture.ScanLine(y);
            for (int x = 0; x < kAncho; ++x) {
                // Four samples a pixel keep the inner rings smooth.
                double v = 0;
                for (double dy : {0.25, 0.75})
                    for (double dx : {0.25, 0.75})
                        v += Onda(x + dx, y + dy) / 4;
                const int azul = std::clamp(int(std::lround(230 * v)), 0, 255);
                const int verde = std::clamp(int(std::lround(90 * v)), 0, 255);
                const int rojo = std::clamp(int(std::lround(25 * v)), 0, 255);
                row[x] = ColorToPixel(RGB(rojo, verde, azul));
            }
        }
        picture.MarkAllDirty();

        TCanvas& canvas = picture.Canvas();
        canvas.Font.Name = "Arial";
        canvas.Font.Height = -11;
        canvas.Font.Color = RGB(150, 175, 235);
        canvas.SetBkMode(TRANSPARENT);
        canvas.SetTextAlign(TA_RIGHT | TA_BOTTOM);
        canvas.TextOut(kAncho - 6, kAlto - 4, kContacto);

        SavePicture(argv[1], picture);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", argv[0], e.what());
        return 1;
    }
    return 0;
}
