#include "stopwatch/CircuitPath.h"

#include <cmath>
#include <numbers>

namespace {

constexpr TTramoCircuito Recta(int desde, int hasta, float x0, float y0, float dx, float dy)
{
    return {desde, hasta, desde, TTipoTramo::Recta, x0, y0, dx, dy};
}

constexpr TTramoCircuito Arco(TTipoTramo tipo, int desde, int hasta, float x0, float y0, float r0, float dr,
                              float n, float angulo0, int origen = -1)
{
    return {desde, hasta, origen < 0 ? desde : origen, tipo, x0, y0, 0, 0, r0, dr, n, angulo0};
}

constexpr auto Der = TTipoTramo::ArcoDer;
constexpr auto Izq = TTipoTramo::ArcoIzq;

struct TArcoPos {
    float R, Theta, Theta0;
};

// Radius and heading after k steps; an arc of constant radius has N = 1
// so the radius term is simply 0.
TArcoPos ArcoPos(const TTramoCircuito& t, int k)
{
    const float r = t.R0 + t.Dr * float(k) / t.N;
    const float theta0 = float(double(t.Angulo0) * std::numbers::pi / 180.0);
    const float theta = theta0 + float(k) / r;
    return {r, theta, theta0};
}

// The coordinates go through single precision before they are truncated.
int Trunc(double v) { return SaturatingTrunc(float(v)); }

}  // namespace

const std::array<TTramoCircuito, 35> TramosCircuito = {{
    Recta(0, 173, 200, 11, 1, 0),
    Arco(Der, 174, 204, 374, 11, 14, 0, 1, 0),
    Recta(205, 211, 385.2f, 33.4f, -0.35f, 0.65f),
    Arco(Izq, 212, 235, 382.75f, 37.95f, 14, -1.7f, 24, 60),
    Recta(236, 259, 391.74f, 56.18f, 0.85f, 0.15f),
    Arco(Izq, 260, 284, 412.14f, 59.78f, 14, 4, 25, 170),
    Recta(285, 319, 432.13f, 48.33f, 0.35f, -0.65f),
    Arco(Der, 320, 339, 444.38f, 25.58f, 30, -12, 20, 300),
    Arco(Der, 340, 364, 462.14f, 16.15f, 20, -3.5f, 25, 9),
    Recta(365, 446, 476, 34.09f, 0.02f, 0.98f),
    Arco(Der, 447, 499, 478, 114.09f, 31, -2, 54, 90, 446),
    Recta(500, 544, 439.72f, 141.56f, -0.68f, -0.32f),
    Arco(Der, 545, 569, 409.12f, 127.16f, 45, 0, 1, 200),
    Recta(570, 644, 389.13f, 112.68f, -0.485f, -0.515f),
    Arco(Izq, 645, 669, 352.75f, 74.05f, 15, 0, 25, 305),
    Arco(Der, 670, 684, 330.72f, 71.25f, 35, 0, 15, 160),
    Recta(685, 739, 315.97f, 73.25f, -0.98f, -0.02f),
    Arco(Der, 740, 759, 262.07f, 72.15f, 35, 0, 20, 185),
    Recta(760, 804, 243.7f, 64.96f, -0.65f, -0.35f),
    Arco(Izq, 805, 822, 214.45f, 49.21f, 11, 0, 18, 325),
    Arco(Der, 823, 846, 198.74f, 52.52f, 14, 0, 24, 130),
    Recta(847, 879, 177.58f, 52.85f, -0.6f, -0.4f),
    Arco(Izq, 880, 899, 157.78f, 39.65f, 26, 0, 20, 325),
    Recta(900, 963, 138.77f, 35.27f, -0.84f, 0.16f),
    Arco(Izq, 964, 986, 84.38f, 45.97f, 25, -4.5f, 23, 16),
    Recta(987, 1093, 69.82f, 62.22f, -0.17f, 0.83f),
    Arco(Der, 1094, 1129, 51.8f, 150.2f, 12.5f, -1, 36, 95),
    Recta(1130, 1199, 28.79f, 149.4f, -0.14f, -0.86f),
    Arco(Der, 1200, 1229, 19.13f, 90.07f, 48, 0, 1, 266),
    Recta(1230, 1259, 25.7f, 62.29f, 0.42f, -0.58f),
    Arco(Der, 1260, 1277, 37.88f, 45.48f, 21, 1, 18, 305),
    Recta(1278, 1311, 51.81f, 36.5f, 0.8f, -0.2f),
    Arco(Izq, 1312, 1326, 78.21f, 29.9f, 15, 0, 15, 190),
    Arco(Der, 1327, 1347, 89.03f, 21.83f, 20, -3, 21, 295),
    Recta(1348, 1442, 105, 11, 1, 0),
}};

const TTramoCircuito& TramoDePaso(int& paso)
{
    if (paso > TramosCircuito.back().Hasta)
        paso = 0;
    for (const TTramoCircuito& t : TramosCircuito)
        if (paso <= t.Hasta)
            return t;
    return TramosCircuito.front();
}

TPoint PuntoRecta(const TTramoCircuito& t, int k)
{
    const float x = t.X0 + t.Dx * float(k);
    const float y = t.Y0 + t.Dy * float(k);
    return {Trunc(x), Trunc(y)};
}

TPoint PuntoArcoDer(const TTramoCircuito& t, int k)
{
    const TArcoPos a = ArcoPos(t, k);
    const double x = t.X0 + double(a.R) * (std::sin(double(a.Theta)) - std::sin(double(a.Theta0)));
    const double y = t.Y0 + double(a.R) * (std::cos(double(a.Theta0)) - std::cos(double(a.Theta)));
    return {Trunc(x), Trunc(y)};
}

TPoint PuntoArcoIzq(const TTramoCircuito& t, int k)
{
    const TArcoPos a = ArcoPos(t, k);
    const double x = t.X0 - double(a.R) * (std::sin(double(a.Theta)) - std::sin(double(a.Theta0)));
    const double y = t.Y0 + double(a.R) * (std::cos(double(a.Theta0)) - std::cos(double(a.Theta)));
    return {Trunc(x), Trunc(y)};
}

TPoint PuntoRecorrido(int paso)
{
    const TTramoCircuito& t = TramoDePaso(paso);
    const int k = paso - t.Origen;
    switch (t.Tipo) {
    case TTipoTramo::ArcoDer:
        return PuntoArcoDer(t, k);
    case TTipoTramo::ArcoIzq:
        return PuntoArcoIzq(t, k);
    case TTipoTramo::Recta:
        break;
    }
    return PuntoRecta(t, k);
}
