#include "stopwatch/Ttilvo.h"

#include "stopwatch/CircuitPath.h"
#include "toolkit/controls/Controls.h"
#include "toolkit/graphics/FontEngine.h"
#include "toolkit/system/Clock.h"
#include "toolkit/system/Sound.h"
#include "toolkit/system/SysUtils.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace {

// Lap time of the marker when there is no automatic stop.
constexpr int kVueltaSinParada = 10000;
// A marker this large covers any picture whole, wherever on it its centre
// lies; held here, its box stays inside the int range.
constexpr int kRadioMaximo = 1 << 28;

TRect Alrededor(TPoint p, int margen) { return {p.X - margen, p.Y - margen, p.X + margen + 1, p.Y + margen + 1}; }

// Where a dial's needle can draw.
TRect AreaAguja(const TAguja& a)
{
    return Alrededor(a.Centro, int(0.85 * std::max(std::abs(a.RadioX), std::abs(a.RadioY))) + 3);
}

// Where each glyph of a text lands when TextOut writes it centred on x with
// its top at y (one pixel of margin round each). porLetra tells whether the
// rectangles go one to one with the characters.
void TintaTexto(const TFont& fuente, const std::string& texto, int x, int y, std::vector<TRect>& tinta,
                bool& porLetra)
{
    tinta.clear();
    porLetra = true;
    if (texto.empty())
        return;
    FontEngine& motor = FontEngine::Instance();
    const int ancho = motor.TextWidth(fuente, texto);
    const int ox = x - ancho / 2, oy = y + motor.Metrics(fuente).Ascent;
    thread_local std::vector<TPlacedGlyph> glifos;
    motor.Layout(fuente, texto, glifos);
    for (const TPlacedGlyph& g : glifos) {
        const TGlyphImage& img = *g.Image;
        tinta.push_back(Bounds(ox + g.X + img.Left - 1, oy + g.Y + img.Top - 1, img.Width + 2, img.Height + 2));
    }
    porLetra = glifos.size() == texto.size() &&
               std::all_of(texto.begin(), texto.end(), [](char c) { return (unsigned char)c < 0x80; });
}

}  // namespace

// ------------------------------------------------------------- construction

TTilvo::TTilvo(TImage* imagen, TTimer* reloj, TImage* imageRace)
    : Imagen(imagen),
      ImagenCircuito(std::make_unique<TBitmap>()),
      ImagenEstela(std::make_unique<TBitmap>()),
      Reloj(reloj)
{
    PrepararCircuito(imageRace);
    AgujaMinutos = std::make_unique<TAguja>(Imagen, 75, 75, 60);
    AgujaSegundos = std::make_unique<TAguja>(Imagen, 75, 75, 60);
    AgujaCentesimas = std::make_unique<TAguja>(Imagen, 75, 75, 10);
    ColorFondo = clBlack;
    Fuente.Name = "Times New Roman";
    Fuente.Color = 0x00FF6496;
    Fuente.SetSize(102);
    const int divisiones[3] = {6, 12, 10};
    TAguja* agujas[3] = {AgujaMinutos.get(), AgujaSegundos.get(), AgujaCentesimas.get()};
    for (int i = 0; i < 3; ++i) {
        agujas[i]->Fuente.Color = clWhite;
        agujas[i]->ColorEsfera = clLime;
        agujas[i]->ColorAguja = clRed;
        agujas[i]->Divisiones = divisiones[i];
        agujas[i]->MostrarNumeros = true;
    }
    Limpiar();
}

TTilvo::~TTilvo() = default;

// ------------------------------------------------------------- time

int TTilvo::AMilisegundos(int horas, int minutos, int segundos, int milisegundos)
{
    return SaturatingInt(std::int64_t(horas) * 3600000 + std::int64_t(minutos) * 60000 +
                         std::int64_t(segundos) * 1000 + milisegundos);
}

int TTilvo::SacarHoras(int tiempo) { return tiempo / 3600000; }

int TTilvo::SacarMinutos(int tiempo, int horas)
{
    return SaturatingInt((tiempo - std::int64_t(horas) * 3600000) / 60000);
}

int TTilvo::SacarSegundos(int tiempo, int horas, int minutos)
{
    return SaturatingInt((tiempo - std::int64_t(horas) * 3600000 - std::int64_t(minutos) * 60000) / 1000);
}

int TTilvo::SacarMilisegundos(int tiempo, int horas, int minutos, int segundos)
{
    return SaturatingInt(tiempo - std::int64_t(horas) * 3600000 - std::int64_t(minutos) * 60000 -
                         std::int64_t(segundos) * 1000);
}

void TTilvo::Beep(unsigned tipo) const
{
    if (Sonido)
        MessageBeep(tipo);
}

void TTilvo::Limpiar()
{
    TiempoAcumulado = 0;
    EnLap = false;
    ParadaHecha = false;
    Transcurrido = 0;
    Horas = 0;
    Minutos = 0;
    Segundos = 0;
    Milisegundos = 0;
    RestaurarCircuito();
    Reloj->SetEnabled(false);
}

void TTilvo::Actualizar()
{
    // Unsigned arithmetic: a wrap of the tick count between the start and
    // now is harmless, and a run past the 32-bit range wraps instead of
    // overflowing.
    const std::uint32_t corrido = GetTickCount() - TickInicio;
    Transcurrido = std::int32_t(corrido + std::uint32_t(TiempoAcumulado));

    if (!ParadaHecha && TiempoParada > 0 && Transcurrido >= TiempoParada) {
        ParadaHecha = true;
        Transcurrido = TiempoParada;
        Reloj->SetEnabled(false);
        TiempoAcumulado = Transcurrido;
        Beep(MB_OK);
    }

    Horas = SacarHoras(Transcurrido);
    Minutos = SacarMinutos(Transcurrido, Horas);
    Segundos = SacarSegundos(Transcurrido, Horas, Minutos);
    Milisegundos = SacarMilisegundos(Transcurrido, Horas, Minutos, Segundos);
}

// ------------------------------------------------------------- commands

void TTilvo::Inicializar()
{
    Limpiar();
    Pintar();
    Beep(MB_ICONHAND);
}

void TTilvo::Empezar()
{
    if (Reloj->Enabled())
        return;
    Limpiar();
    TickInicio = GetTickCount();
    Reloj->SetEnabled(true);
    Beep(MB_OK);
}

void TTilvo::Parar()
{
    if (!Reloj->Enabled())
        return;
    EnLap = false;
    Actualizar();
    Pintar();
    Reloj->SetEnabled(false);
    TiempoAcumulado = Transcurrido;
    Beep(MB_OK);
}

void TTilvo::Lap()
{
    if (!Reloj->Enabled())
        return;
    EnLap = true;
    Beep(MB_ICONQUESTION);
}

void TTilvo::Continuar()
{
    if (EnLap) {
        EnLap = false;
        Beep(MB_ICONEXCLAMATION);
        return;
    }
    if (Reloj->Enabled())
        return;
    TickInicio = GetTickCount();
    Reloj->SetEnabled(true);
    Beep(MB_ICONEXCLAMATION);
}

// ------------------------------------------------------------- painting

void TTilvo::Redibujar()
{
    const int w = Imagen->Width();
    const int h = Imagen->Height();
    Invalidar();
    Imagen->Picture().Bitmap().SetSize(w, h);
    TCanvas& canvas = Imagen->Canvas();
    canvas.Brush.Color = ColorFondo;
    canvas.Pen.Color = ColorFondo;
    canvas.Rectangle(0, 0, w, h);
    if (Modo == 1) {
        AgujaMinutos->Centro = {w / 5, h * 11 / 14};
        AgujaSegundos->Centro = {w * 3 / 6, h * 11 / 14};
        AgujaCentesimas->Centro = {w * 4 / 5, h * 11 / 14};
        for (TAguja* a : {AgujaMinutos.get(), AgujaSegundos.get(), AgujaCentesimas.get()})
            a->ColorFondo = ColorFondo;
        for (TAguja* a : {AgujaMinutos.get(), AgujaSegundos.get(), AgujaCentesimas.get()})
            a->Dibujar();
    }
    Pintar();
}

void TTilvo::Invalidar()
{
    banda_.Valida = false;
    circuitoValido_ = false;
    tapado_ = false;
    solapeValido_ = false;
}

// Whether drawing part of the picture again with the same calls clipped to
// it gives what drawing all of it would: the canvas draws plainly.
bool TTilvo::Recortable()
{
    const TCanvas& canvas = Imagen->Canvas();
    return !canvas.HasClipRegion() && Fuente.Escapement == 0 && canvas.Pen.Width == 1 &&
           canvas.Pen.Style == psSolid && canvas.Pen.Mode == pmCopy && canvas.Brush.Style == bsSolid &&
           canvas.CopyMode == cmSrcCopy;
}

TPoint TTilvo::Origen() const
{
    return {(Imagen->Width() - ImagenEstela->Width()) / 2, (Imagen->Height() - ImagenEstela->Height()) * 42 / 100};
}

// Whether the marker at the display point p covers every pixel of the
// picture (with a pixel to spare), so nothing drawn before it shows.
bool TTilvo::MovilTapa(TPoint p) const
{
    const double r = std::abs(double(std::clamp(RadioMovil, -kRadioMaximo, kRadioMaximo))) - 2;
    const int w = Imagen->Width(), h = Imagen->Height();
    if (r <= 0 || w <= 0 || h <= 0)
        return false;
    for (const double x : {0.5 - p.X, w - 0.5 - p.X})
        for (const double y : {0.5 - p.Y, h - 0.5 - p.Y})
            if (x * x + y * y >= r * r)
                return false;
    return true;
}

// Only what changed since the last paint is redrawn, with the same drawing
// operations clipped to it, so the picture comes out exactly as if the whole
// band were cleared and the whole circuit copied every time. That holds
// while nothing else is drawn over the band or the circuit (AnotarOcupado)
// and nothing they depend on changes.
void TTilvo::PintarFondo()
{
    TCanvas& canvas = Imagen->Canvas();
    const int w = Imagen->Width();
    canvas.Font = Fuente;
    const int alto = canvas.TextHeight("0");
    const bool recortable = Recortable();
    const TPoint origen = Origen();

    banda_.Parcial = recortable && banda_.Valida && banda_.Ancho == w && banda_.Alto == alto &&
                     banda_.Fondo == ColorFondo && banda_.Fuente == canvas.Font &&
                     (!HayCircuito || (circuitoValido_ && origen == circuitoOrigen_));
    canvas.Brush.Color = ColorFondo;
    canvas.Pen.Color = ColorFondo;
    if (!banda_.Parcial)
        canvas.Rectangle(0, 0, w, alto);
    banda_.Valida = true;
    banda_.Ancho = w;
    banda_.Alto = alto;
    banda_.Fondo = ColorFondo;
    banda_.Fuente = canvas.Font;

    if (HayCircuito) {
        OrigenCircuito = origen;
        if (recortable && circuitoValido_ && origen == circuitoOrigen_) {
            const TRect r = circuitoCambio_.Intersected(ImagenEstela->BoundsRect());
            if (!r.Empty())
                canvas.CopyRect(r.Offset(origen.X, origen.Y), ImagenEstela->Canvas(), r);
        } else {
            canvas.Draw(OrigenCircuito.X, OrigenCircuito.Y, *ImagenEstela);
        }
        circuitoValido_ = true;
        circuitoOrigen_ = origen;
        circuitoCambio_ = {};
    }
}

void TTilvo::ComponerTexto()
{
    if (EnLap)
        return;
    Texto = FormatFloat("00", Minutos) + ":" + FormatFloat("00", Segundos) + ":" + FormatFloat("000", Milisegundos);
    if (Horas >= 1)
        Texto = IntToStr(Horas) + ":" + Texto;
}

// The glyphs that changed since the last paint, where they were and where
// they go, for the text nuevo whose glyphs land on tinta.
std::vector<TRect> TTilvo::TintaCambiada(const std::string& nuevo, const std::vector<TRect>& tinta,
                                         bool porLetra) const
{
    std::vector<TRect> region;
    if (banda_.PorLetra && porLetra && banda_.Texto.size() == nuevo.size()) {
        for (std::size_t i = 0; i < nuevo.size(); ++i)
            if (banda_.Texto[i] != nuevo[i] || banda_.Tinta[i] != tinta[i]) {
                region.push_back(banda_.Tinta[i]);
                region.push_back(tinta[i]);
            }
    } else {
        region = banda_.Tinta;
        region.insert(region.end(), tinta.begin(), tinta.end());
    }
    return region;
}

void TTilvo::EscribirTexto(bool mostrar)
{
    TCanvas& canvas = Imagen->Canvas();
    const int x = Imagen->Width() / 2;
    const std::string nuevo = mostrar ? Texto : std::string();
    std::vector<TRect> tinta;
    bool porLetra = true;
    if (banda_.Parcial || !nuevo.empty())
        TintaTexto(canvas.Font, nuevo, x, 0, tinta, porLetra);

    // Ink below the band is never cleared, so it can only be drawn whole.
    if (banda_.Parcial && std::any_of(tinta.begin(), tinta.end(), [&](const TRect& r) {
            return r.Top < 0 || r.Bottom > banda_.Alto;
        })) {
        canvas.Rectangle(0, 0, banda_.Ancho, banda_.Alto);
        banda_.Parcial = false;
    }

    if (!banda_.Parcial) {
        if (mostrar)
            canvas.TextOut(x, 0, Texto);
    } else {
        std::vector<TRect> region = TintaCambiada(nuevo, tinta, porLetra);
        if (!region.empty()) {
            // Only the glyphs that reach into the region need writing; as
            // advances simply add up, a run of them written from its own
            // pen position lands exactly where the whole text puts it.
            std::size_t desde = 0, hasta = nuevo.size();
            if (porLetra && !nuevo.empty()) {
                auto toca = [&](const TRect& t) {
                    return std::any_of(region.begin(), region.end(), [&](const TRect& r) { return r.Intersects(t); });
                };
                while (desde < hasta && !toca(tinta[desde]))
                    ++desde;
                while (hasta > desde && !toca(tinta[hasta - 1]))
                    --hasta;
            }
            // The band is one colour, pen and brush alike, so filling the
            // region's part of it is the same as clearing the band.
            const TRect banda = {0, 0, banda_.Ancho, banda_.Alto};
            for (const TRect& r : region)
                canvas.FillRect(r.Intersected(banda));
            canvas.SetClipRegion(std::move(region));
            if (desde < hasta) {
                if (desde == 0 && hasta == nuevo.size()) {
                    canvas.TextOut(x, 0, nuevo);
                } else {
                    const int izquierda = x - canvas.TextWidth(nuevo) / 2 + canvas.TextWidth(nuevo.substr(0, desde));
                    const unsigned alineacion = canvas.SetTextAlign(TA_LEFT | TA_TOP);
                    canvas.TextOut(izquierda, 0, nuevo.substr(desde, hasta - desde));
                    canvas.SetTextAlign(alineacion);
                }
            }
            canvas.ClearClipRegion();
        }
    }
    banda_.Texto = nuevo;
    banda_.Tinta = std::move(tinta);
    banda_.PorLetra = porLetra;
}

// Decides whether the next paint may redraw only what changed: not when the
// band, the circuit, the needles or the marker overlap, since each paint
// draws them over one another in a fixed order.
void TTilvo::AnotarOcupado()
{
    TRect banda = {0, 0, banda_.Ancho, banda_.Alto};
    bool tintaDentro = true;
    for (const TRect& r : banda_.Tinta) {
        banda = banda.United(r);
        tintaDentro = tintaDentro && r.Top >= 0 && r.Bottom <= banda_.Alto;
    }
    const TRect circuito =
        HayCircuito ? Bounds(OrigenCircuito.X, OrigenCircuito.Y, ImagenEstela->Width(), ImagenEstela->Height())
                    : TRect{};
    bool agujasLibres = true;
    if (Modo == 1)
        for (const TAguja* a : {AgujaMinutos.get(), AgujaSegundos.get(), AgujaCentesimas.get()}) {
            const TRect aguja = AreaAguja(*a);
            agujasLibres = agujasLibres && !aguja.Intersects(banda) && !aguja.Intersects(circuito);
        }
    banda_.Valida =
        banda_.Valida && tintaDentro && agujasLibres && !banda.Intersects(circuito) && !banda.Intersects(punto_);
    circuitoValido_ = circuitoValido_ && agujasLibres && !banda.Intersects(circuito);
}

// When the read-out, the circuit, the needles or the marker overlap, a
// paint draws everything again in its order, but clipped to what may have
// changed: the glyphs that changed, the part of the circuit that differs,
// the needles and the marker's old and new places.
std::vector<TRect> TTilvo::RegionCambiada(TPoint origen, TPoint movil)
{
    std::vector<TRect> region;
    const bool mostrar = !EnLap || Segundos % 2 != 0;
    const std::string nuevo = mostrar ? Texto : std::string();
    std::vector<TRect> tinta;
    bool porLetra = true;
    TintaTexto(Fuente, nuevo, Imagen->Width() / 2, 0, tinta, porLetra);
    region = TintaCambiada(nuevo, tinta, porLetra);
    region.push_back(circuitoCambio_.Offset(origen.X, origen.Y));
    if (Modo == 1)
        for (const TAguja* a : {AgujaMinutos.get(), AgujaSegundos.get(), AgujaCentesimas.get()})
            region.push_back(AreaAguja(*a));
    region.push_back(Alrededor(movil, std::abs(std::clamp(RadioMovil, -kRadioMaximo, kRadioMaximo)) + 2));
    return region;
}

void TTilvo::Pintar()
{
    // A marker that covers the whole picture hides everything drawn before
    // it: the band, the circuit and the text are then left out, and once it
    // stands on the picture, only the needles are covered again.
    const TPoint origen = Origen();
    const TPoint paso = PuntoCircuito(PasoActual());
    const TPoint movil = {paso.X - OrigenCircuito.X + origen.X, paso.Y - OrigenCircuito.Y + origen.Y};
    const bool plano = Recortable();
    const bool tapa = HayCircuito && plano && MovilTapa(movil);
    ComponerTexto();
    TCanvas& canvas = Imagen->Canvas();
    bool porRegion = false;
    if (!tapa) {
        tapado_ = false;
        canvas.Font = Fuente;
        porRegion = plano && solapeValido_ && !(banda_.Valida && circuitoValido_) &&
                    banda_.Ancho == Imagen->Width() && banda_.Alto == canvas.TextHeight("0") &&
                    banda_.Fondo == ColorFondo && banda_.Fuente == Fuente &&
                    (!HayCircuito || circuitoOrigen_ == origen);
        if (porRegion)
            canvas.SetClipRegion(RegionCambiada(origen, movil));
        PintarFondo();
        canvas.Font = Fuente;
        canvas.SetBkMode(TRANSPARENT);
        canvas.SetTextAlign(TA_CENTER | TA_TOP);
        // A frozen lap time blinks: shown in the odd seconds of the running clock.
        EscribirTexto(!EnLap || Segundos % 2 != 0);
    } else {
        OrigenCircuito = origen;
        banda_.Valida = false;
        circuitoValido_ = false;
    }
    std::vector<TRect> agujas{TRect{}};
    if (Modo == 1) {
        AgujaMinutos->PonerValor(float(Minutos));
        AgujaSegundos->PonerValor(float(Segundos));
        AgujaCentesimas->PonerValor(float(Milisegundos * 0.01));
        for (const TAguja* a : {AgujaMinutos.get(), AgujaSegundos.get(), AgujaCentesimas.get()})
            agujas.push_back(AreaAguja(*a));
    }
    DibujarEstela(PasoActual());
    const bool yaTapado = tapa && tapado_ && colorTapado_ == ColorMovil;
    if (yaTapado)
        canvas.SetClipRegion(std::move(agujas));
    DibujarMovil();
    if (yaTapado || porRegion)
        canvas.ClearClipRegion();
    tapado_ = tapa;
    colorTapado_ = ColorMovil;
    AnotarOcupado();
    solapeValido_ = plano && !tapa;
}

// ------------------------------------------------------------- circuit

void TTilvo::PrepararCircuito(TImage* imageRace)
{
    HayCircuito = true;
    if (imageRace && imageRace->Picture().HasBitmap()) {
        const TBitmap& fuente = imageRace->Picture().Bitmap();
        ImagenCircuito->SetSize(fuente.Width(), fuente.Height());
        ImagenCircuito->Canvas().Draw(0, 0, fuente);
    } else {
        ImagenCircuito->SetSize(0, 0);
    }
    ImagenEstela->SetSize(ImagenCircuito->Width(), ImagenCircuito->Height());
    RestaurarCircuito();
}

void TTilvo::RestaurarCircuito()
{
    PasosEstela = 0;
    ImagenEstela->Canvas().Draw(0, 0, *ImagenCircuito);
    circuitoCambio_ = {0, 0, ImagenEstela->Width(), ImagenEstela->Height()};
}

int TTilvo::PasoActual() const
{
    const std::int64_t periodo = TiempoParada > 0 ? TiempoParada : kVueltaSinParada;
    // The product leaves the 32-bit range for periods of about 25 minutes on.
    return int(std::int64_t(Transcurrido) % periodo * LongitudCircuito / periodo);
}

TPoint TTilvo::PuntoCircuito(int paso)
{
    std::int64_t c = std::int64_t(paso) + InicioCircuito;
    if (LongitudCircuito > 0)
        c %= LongitudCircuito;
    const TPoint p = PuntoRecorrido(SaturatingInt(c));
    return {OrigenCircuito.X + p.X, OrigenCircuito.Y + p.Y};
}

void TTilvo::DibujarEstela(int pasos)
{
    TCanvas& canvas = ImagenEstela->Canvas();
    canvas.Pen.Width = 2;
    canvas.Pen.Color = ColorEstela;
    if (pasos < PasosEstela)
        RestaurarCircuito();
    // A 2-pixel pen stays within 2 pixels of the points it joins.
    if (PasosEstela < pasos && PasosEstela > 0)
        circuitoCambio_ = circuitoCambio_.United(Alrededor(canvas.PenPos, 2));
    for (int i = PasosEstela; i < pasos; ++i) {
        const TPoint p = PuntoCircuito(i);
        const int x = p.X - OrigenCircuito.X, y = p.Y - OrigenCircuito.Y;
        if (i == 0)
            canvas.MoveTo(x, y);
        else
            canvas.LineTo(x, y);
        circuitoCambio_ = circuitoCambio_.United(Alrededor({x, y}, 2));
    }
    canvas.Pen.Width = 1;
    PasosEstela = pasos;
}

void TTilvo::DibujarMovil()
{
    if (PasosEstela > LongitudCircuito)
        PasosEstela -= LongitudCircuito;
    const TPoint p = PuntoCircuito(PasosEstela);
    DibujarPunto(p.X, p.Y);
}

void TTilvo::DibujarPunto(int x, int y)
{
    TCanvas& canvas = Imagen->Canvas();
    canvas.Pen.Color = ColorMovil;
    canvas.Brush.Color = ColorMovil;
    const int r = std::clamp(RadioMovil, -kRadioMaximo, kRadioMaximo);
    canvas.Ellipse(x - r, y - r, x + r, y + r);
    // The dot stands on the display until the next copy of the circuit.
    punto_ = Alrededor({x, y}, std::abs(r) + 2);
    circuitoCambio_ = circuitoCambio_.United({punto_.Left - OrigenCircuito.X, punto_.Top - OrigenCircuito.Y,
                                              punto_.Right - OrigenCircuito.X, punto_.Bottom - OrigenCircuito.Y});
}
