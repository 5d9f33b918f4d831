#include "stopwatch/Taguja.h"

#include "toolkit/controls/Controls.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <string>

namespace {

constexpr double kVueltaCompleta = 2 * std::numbers::pi;
constexpr double kMarcaDentro = 0.95;
constexpr double kMarcaFuera = 1.05;
constexpr double kNumeros = 1.25;
constexpr double kAguja = 0.85;
constexpr int kGrosor = 3;

// More marks than the outer ring has pixels only paint the same ring over
// and over. Past this many (four to a pixel of the ring), an evenly spread
// selection of the true marks and their numbers is drawn instead, which
// still covers the ring, so that no number of divisions costs more.
std::int64_t MarcasVisibles(int radioX, int radioY)
{
    const double r = std::min(std::max(std::abs(double(radioX)), std::abs(double(radioY))), 1e6);
    return std::int64_t(std::ceil(kVueltaCompleta * kMarcaFuera * r)) * 4 + 64;
}

}  // namespace

TAguja::TAguja(TImage* imagen, int radioX, int radioY, int escala)
    : Centro{imagen->Width() / 2, imagen->Height() / 2},
      ColorAguja(clWhite),
      ColorEsfera(clLime),
      ColorFondo(clBlack),
      Divisiones(escala),
      Escala(float(escala)),
      MostrarNumeros(true),
      RadioX(radioX),
      RadioY(radioY),
      Imagen(imagen)
{
    Fuente.Color = clLime;
    Fuente.Name = "Courier";
    Fuente.SetSize(8);
    PonerCero();
}

void TAguja::PonerCero()
{
    Valor = 0;
    Dibujar();
}

void TAguja::Dibujar()
{
    TCanvas& canvas = Imagen->Canvas();
    canvas.Pen.Color = ColorEsfera;
    canvas.Pen.Width = kGrosor;
    int altoTexto = 0;
    if (MostrarNumeros) {
        canvas.Font = Fuente;
        canvas.SetBkMode(TRANSPARENT);
        canvas.SetTextAlign(TA_CENTER | TA_TOP);
        altoTexto = canvas.TextHeight("0");
    }
    const auto vuelta = std::int64_t(Escala);
    const std::int64_t marcas = std::min<std::int64_t>(Divisiones, MarcasVisibles(RadioX, RadioY));
    for (std::int64_t j = 0; j < marcas; ++j) {
        const std::int64_t i = j * Divisiones / marcas;
        const float theta = float(i * kVueltaCompleta / Divisiones);
        const float s = std::sin(theta);
        const float c = std::cos(theta);
        canvas.MoveTo(SaturatingTrunc(Centro.X + kMarcaDentro * RadioX * s),
                      SaturatingTrunc(Centro.Y - kMarcaDentro * RadioY * c));
        canvas.LineTo(SaturatingTrunc(Centro.X + kMarcaFuera * RadioX * s),
                      SaturatingTrunc(Centro.Y - kMarcaFuera * RadioY * c));
        if (MostrarNumeros) {
            const std::string numero = std::to_string(vuelta * i / Divisiones);
            const int y = SaturatingTrunc(Centro.Y - kNumeros * RadioY * c);
            canvas.TextOut(SaturatingTrunc(Centro.X + kNumeros * RadioX * s),
                           SaturatingInt(std::int64_t(y) - altoTexto / 2), numero);
        }
    }
    PonerValor(Valor);
    canvas.Pen.Width = 1;
}

void TAguja::PonerValor(float valor)
{
    DibujarAguja(ColorFondo);
    Valor = valor;
    DibujarAguja(ColorAguja);
}

void TAguja::DibujarAguja(TColor color)
{
    TCanvas& canvas = Imagen->Canvas();
    canvas.Pen.Color = color;
    canvas.Pen.Width = kGrosor;
    const float theta = float(kVueltaCompleta * Valor / Escala);
    canvas.MoveTo(Centro.X, Centro.Y);
    canvas.LineTo(SaturatingTrunc(Centro.X + std::sin(double(theta)) * (RadioX * kAguja)),
                  SaturatingTrunc(Centro.Y - std::cos(double(theta)) * (RadioY * kAguja)));
    canvas.Pen.Width = 1;
}
