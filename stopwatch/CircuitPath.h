// The path the marker follows round the race circuit: 35 straight and curved
// sections laid along the centre line of the track in the circuit picture,
// 1443 steps in all. Coordinates are pixels of the circuit picture.
#pragma once

#include "toolkit/graphics/Graphics.h"

#include <array>

enum class TTipoTramo { Recta, ArcoDer, ArcoIzq };

// One section of the path. Within it, k = step - Origen. A straight moves by
// (Dx, Dy) per step. An arc (ArcoDer clockwise on the screen, ArcoIzq
// counter-clockwise) starts at (X0, Y0) heading at Angulo0 degrees, with
// radius R0 at k = 0 changing by Dr over N steps, one pixel of arc per step.
struct TTramoCircuito {
    int Desde;
    int Hasta;
    int Origen;
    TTipoTramo Tipo;
    float X0, Y0;
    float Dx = 0, Dy = 0;
    float R0 = 0, Dr = 0, N = 1, Angulo0 = 0;
};

constexpr int PasosRecorrido = 1443;
extern const std::array<TTramoCircuito, 35> TramosCircuito;

// The section a step index falls in: the first whose range ends at or
// above it, so negative steps continue the first straight backwards. An
// index past the end is taken as 0.
const TTramoCircuito& TramoDePaso(int& paso);

// The point k steps from a section's origin, each coordinate worked out in
// single precision and truncated toward zero.
TPoint PuntoRecta(const TTramoCircuito& t, int k);
TPoint PuntoArcoDer(const TTramoCircuito& t, int k);
TPoint PuntoArcoIzq(const TTramoCircuito& t, int k);

// The point of a step index on the circuit picture.
TPoint PuntoRecorrido(int paso);
