// Draws the race-circuit picture along the marker's path: a dark track on
// black, sand run-off areas outside some of the bends, a pit lane and two
// spurs the path does not use. Usage: make_circuit OUTPUT.bmp
#include "stopwatch/CircuitPath.h"
#include "toolkit/graphics/Graphics.h"
#include "toolkit/imageio/ImageIO.h"
#include "toolkit/system/Errors.h"

#include <cmath>
#include <cstdio>
#include <numbers>
#include <vector>

namespace {

constexpr int kAncho = 489;
constexpr int kAlto = 182;
constexpr TColor kPista = RGB(20, 50, 45);
constexpr TColor kArena = RGB(214, 194, 148);
constexpr TColor kLinea = RGB(150, 150, 150);
constexpr int kGrosorPista = 5;

TPoint Punto(int paso)
{
    return PuntoRecorrido(((paso % PasosRecorrido) + PasosRecorrido) % PasosRecorrido);
}

// A run-off area on the outer side of the path between two steps: it widens
// from nothing to `ancho` pixels and narrows again, starting just off the
// track's edge.
void Escapatoria(TCanvas& canvas, int desde, int hasta, double ancho, bool fueraIzquierda)
{
    std::vector<TPoint> borde, fuera;
    for (int i = desde; i <= hasta; ++i) {
        const TPoint a = Punto(i - 2), b = Punto(i + 2), p = Punto(i);
        double dx = b.X - a.X, dy = b.Y - a.Y;
        const double largo = std::hypot(dx, dy);
        if (largo == 0)
            continue;
        dx /= largo, dy /= largo;
        // Left of the heading on the screen (y grows downward) is (dy, -dx).
        const double nx = fueraIzquierda ? dy : -dy, ny = fueraIzquierda ? -dx : dx;
        const double t = double(i - desde) / std::max(1, hasta - desde);
        const double w = 2 + ancho * std::sin(t * std::numbers::pi);
        borde.push_back({int(std::lround(p.X + nx * 2)), int(std::lround(p.Y + ny * 2))});
        fuera.push_back({int(std::lround(p.X + nx * (2 + w))), int(std::lround(p.Y + ny * (2 + w)))});
    }
    std::vector<TPoint> poligono(borde);
    poligono.insert(poligono.end(), fuera.rbegin(), fuera.rend());
    canvas.Pen.Color = kArena;
    canvas.Brush.Color = kArena;
    canvas.Polygon(poligono);
}

void Tramo(TCanvas& canvas, std::vector<TPoint> puntos)
{
    canvas.Pen.Color = kPista;
    canvas.Pen.Width = kGrosorPista;
    canvas.Polyline(puntos);
    canvas.Pen.Width = 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.bmp\n", argv[0]);
        return 2;
    }
    TBitmap picture(kAncho, kAlto);
    TCanvas& canvas = picture.Canvas();
    canvas.Brush.Color = clBlack;
    canvas.FillRect({0, 0, kAncho, kAlto});

    // Run-off areas outside the fast bends (clockwise bends have their
    // outside on the left of the heading).
    Escapatoria(canvas, 172, 206, 9, true);
    Escapatoria(canvas, 445, 501, 10, true);
    Escapatoria(canvas, 543, 571, 8, true);
    Escapatoria(canvas, 1092, 1131, 8, true);
    Escapatoria(canvas, 1198, 1231, 9, true);
    Escapatoria(canvas, 962, 988, 7, false);

    // The main loop.
    std::vector<TPoint> vuelta;
    for (int i = 0; i <= PasosRecorrido; ++i)
        vuelta.push_back(Punto(i));
    Tramo(canvas, vuelta);

    // Pit lane beside the start straight, and two spurs of an unused
    // layout: a link across the infield and a stub off the back straight.
    Tramo(canvas, {Punto(1375), {130, 25}, {270, 25}, Punto(75)});
    Tramo(canvas, {Punto(1040), {95, 100}, {230, 100}, Punto(565)});
    Tramo(canvas, {Punto(700), {298, 92}});

    // Start line.
    canvas.Pen.Color = kLinea;
    canvas.MoveTo(200, 8);
    canvas.LineTo(200, 15);

    try {
        SavePicture(argv[1], picture);
    } catch (const Exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
