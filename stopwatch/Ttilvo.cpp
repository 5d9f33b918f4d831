#include "stopwatch/Ttilvo.h"

#include "stopwatch/CircuitPath.h"
#include "toolkit/controls/Controls.h"
#include "toolkit/graphics/FontEngine.h"
#include "toolkit/system/Clock.h"
#include "toolkit/system/Encoding.h"
#include "toolkit/system/Sound.h"
#include "toolkit/system/SysUtils.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr const char* kArchivoAjustes = "tilvo.ini";
// Longest font name kept from the file's first line, in characters.
constexpr std::size_t kLargoNombre = 254;
// Lap time of the marker when there is no automatic stop.
constexpr int kVueltaSinParada = 10000;
constexpr int kRadioMaximo = 1 << 24;

TRect Alrededor(TPoint p, int margen) { return {p.X - margen, p.Y - margen, p.X + margen + 1, p.Y + margen + 1}; }

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

// Reads integers as "%i" does (optional sign, "0x" hexadecimal, leading "0"
// octal), each after any run of blanks and line ends. A number that does not
// fit in 32 bits, or anything else where a number should be, fails.
class LectorEnteros {
public:
    explicit LectorEnteros(std::FILE* f) : f_(f) {}

    bool Leer(int& valor)
    {
        int c = Saltar();
        bool negativo = false;
        if (c == '+' || c == '-') {
            negativo = c == '-';
            c = std::getc(f_);
        }
        int base = 10;
        std::uint64_t v = 0;
        bool hayDigitos = false;
        if (c == '0') {
            hayDigitos = true;
            c = std::getc(f_);
            if (c == 'x' || c == 'X') {
                c = std::getc(f_);
                if (Digito(c, 16) < 0)
                    return false;
                base = 16;
            } else {
                base = 8;
            }
        }
        for (int d; (d = Digito(c, base)) >= 0; c = std::getc(f_)) {
            hayDigitos = true;
            v = v * unsigned(base) + unsigned(d);
            if (v > 0xFFFFFFFFu)
                return false;
        }
        if (c != EOF)
            std::ungetc(c, f_);
        if (!hayDigitos)
            return false;
        // Modulo 2^32, so that 0xFFFFFFFF reads as -1.
        const auto bits = std::uint32_t(negativo ? 0u - v : v);
        valor = std::int32_t(bits);
        return true;
    }

private:
    int Saltar()
    {
        int c;
        do
            c = std::getc(f_);
        while (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f');
        return c;
    }

    static int Digito(int c, int base)
    {
        int d = -1;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        return d < base ? d : -1;
    }

    std::FILE* f_;
};

// The first line of the file without its line end (LF or CR LF), at most
// kLargoNombre characters of it; the rest of a longer line is skipped, so
// the numbers always start on the next line. False for an empty file.
bool LeerPrimeraLinea(std::FILE* f, std::string& linea)
{
    linea.clear();
    int c = std::getc(f);
    if (c == EOF)
        return false;
    std::size_t largo = 0;
    bool ultimoCR = false;
    for (; c != EOF && c != '\n'; c = std::getc(f)) {
        if (linea.size() <= kLargoNombre)
            linea += char(c);
        ultimoCR = c == '\r';
        ++largo;
    }
    if (ultimoCR && largo == linea.size())
        linea.pop_back();
    if (linea.size() > kLargoNombre)
        linea.resize(kLargoNombre);
    return true;
}

bool EscribirTodo(int fd, const std::string& datos)
{
    std::size_t hecho = 0;
    while (hecho < datos.size()) {
        const ssize_t n = ::write(fd, datos.data() + hecho, datos.size() - hecho);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        hecho += std::size_t(n);
    }
    return true;
}

// Replaces a file by new contents so that it is never left half-written: the
// contents go to a file beside it that is renamed over it once complete. A
// symbolic link is kept and its target replaced. The old file's permissions
// are kept; a new file gets those of any new file.
bool ReemplazarArchivo(const std::string& nombre, const std::string& datos)
{
    std::string destino = nombre;
    struct stat st{};
    if (::lstat(nombre.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        if (char* real = ::realpath(nombre.c_str(), nullptr)) {
            destino = real;
            std::free(real);
        }
    }
    const bool existe = ::stat(destino.c_str(), &st) == 0;
    const std::string temporal = destino + "." + std::to_string(::getpid()) + ".tmp";
    const int fd = ::open(temporal.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0)
        return false;
    bool bien = EscribirTodo(fd, datos);
    if (bien && existe)
        bien = ::fchmod(fd, st.st_mode & 07777) == 0;
    if (bien)
        bien = ::fsync(fd) == 0;
    if (::close(fd) != 0)
        bien = false;
    if (bien)
        bien = std::rename(temporal.c_str(), destino.c_str()) == 0;
    if (!bien)
        ::unlink(temporal.c_str());
    return bien;
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
    const int h = Imagen->Height();
    canvas.Font = Fuente;
    const int alto = canvas.TextHeight("0");
    const bool recortable = !canvas.HasClipRegion() && Fuente.Escapement == 0 && canvas.Pen.Width == 1 &&
                            canvas.Pen.Style == psSolid && canvas.Pen.Mode == pmCopy &&
                            canvas.Brush.Style == bsSolid && canvas.CopyMode == cmSrcCopy;
    const TPoint origen = {(w - ImagenEstela->Width()) / 2, (h - ImagenEstela->Height()) * 42 / 100};

    banda_.Parcial = recortable && banda_.Valida && banda_.Ancho == w && banda_.Alto == alto &&
                     banda_.Fondo == ColorFondo && banda_.Fuente == Fuente &&
                     (!HayCircuito || (circuitoValido_ && origen == circuitoOrigen_));
    canvas.Brush.Color = ColorFondo;
    canvas.Pen.Color = ColorFondo;
    if (!banda_.Parcial)
        canvas.Rectangle(0, 0, w, alto);
    banda_.Valida = true;
    banda_.Ancho = w;
    banda_.Alto = alto;
    banda_.Fondo = ColorFondo;
    banda_.Fuente = Fuente;

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
        // The glyphs that changed, where they were and where they go.
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
            const TRect aguja = Alrededor(a->Centro, int(0.85 * std::max(std::abs(a->RadioX), std::abs(a->RadioY))) + 3);
            agujasLibres = agujasLibres && !aguja.Intersects(banda) && !aguja.Intersects(circuito);
        }
    banda_.Valida =
        banda_.Valida && tintaDentro && agujasLibres && !banda.Intersects(circuito) && !banda.Intersects(punto_);
    circuitoValido_ = circuitoValido_ && agujasLibres && !banda.Intersects(circuito);
}

void TTilvo::Pintar()
{
    PintarFondo();
    TCanvas& canvas = Imagen->Canvas();
    canvas.Font = Fuente;
    canvas.SetBkMode(TRANSPARENT);
    canvas.SetTextAlign(TA_CENTER | TA_TOP);
    ComponerTexto();
    // A frozen lap time blinks: shown in the odd seconds of the running clock.
    EscribirTexto(!EnLap || Segundos % 2 != 0);
    if (Modo == 1) {
        AgujaMinutos->PonerValor(float(Minutos));
        AgujaSegundos->PonerValor(float(Segundos));
        AgujaCentesimas->PonerValor(float(Milisegundos * 0.01));
    }
    DibujarEstela(PasoActual());
    DibujarMovil();
    AnotarOcupado();
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
    // Far larger than any picture, and keeps the box inside the int range.
    const int r = std::clamp(RadioMovil, -kRadioMaximo, kRadioMaximo);
    canvas.Ellipse(x - r, y - r, x + r, y + r);
    // The dot stands on the display until the next copy of the circuit.
    punto_ = Alrededor({x, y}, std::abs(r) + 2);
    circuitoCambio_ = circuitoCambio_.United({punto_.Left - OrigenCircuito.X, punto_.Top - OrigenCircuito.Y,
                                              punto_.Right - OrigenCircuito.X, punto_.Bottom - OrigenCircuito.Y});
}

// ------------------------------------------------------------- settings

void TTilvo::GuardarAjustes()
{
    std::string nombre = Utf8ToCp1252(Fuente.Name);
    // A line end inside the name would shift every number after it.
    std::replace(nombre.begin(), nombre.end(), '\n', ' ');
    std::replace(nombre.begin(), nombre.end(), '\r', ' ');

    auto n = [](long long v) { return std::to_string(v); };
    std::string datos = nombre + "\n";
    datos += n(Fuente.Color) + " " + n(Fuente.Size()) + "\n";
    datos += n(TiempoParada) + "\n";
    datos += n(Modo) + "\n";
    for (const TAguja* a : {AgujaMinutos.get(), AgujaSegundos.get(), AgujaCentesimas.get()})
        datos += n(a->Fuente.Color) + " " + n(a->ColorEsfera) + " " + n(a->ColorAguja) + " " + n(a->Divisiones) + " " +
                 n(a->MostrarNumeros ? 1 : 0) + "\n";
    datos += n(Sonido ? 1 : 0) + "\n";
    datos += n(ColorEstela) + " " + n(ColorMovil) + " " + n(RadioMovil) + " " + n(InicioCircuito);
    ReemplazarArchivo(kArchivoAjustes, datos);
}

void TTilvo::LeerAjustes()
{
    std::FILE* f = std::fopen(kArchivoAjustes, "rb");
    if (!f)
        return;
    std::string nombre;
    if (LeerPrimeraLinea(f, nombre)) {
        Fuente.Name = Cp1252ToUtf8(nombre);
        // Each value is taken as soon as it is read; the first one missing
        // or malformed ends the reading and leaves the rest as they were.
        LectorEnteros lector(f);
        int v = 0;
        auto leer = [&](auto&& poner) {
            if (!lector.Leer(v))
                return false;
            poner(v);
            return true;
        };
        auto agujaOk = [&](TAguja& a) {
            return leer([&](int x) { a.Fuente.Color = x; }) && leer([&](int x) { a.ColorEsfera = x; }) &&
                   leer([&](int x) { a.ColorAguja = x; }) && leer([&](int x) { a.Divisiones = x; }) &&
                   leer([&](int x) { a.MostrarNumeros = x != 0; });
        };
        (void)(leer([&](int x) { Fuente.Color = x; }) && leer([&](int x) { Fuente.SetSize(x); }) &&
               leer([&](int x) { TiempoParada = x; }) && leer([&](int x) { Modo = x; }) && agujaOk(*AgujaMinutos) &&
               agujaOk(*AgujaSegundos) && agujaOk(*AgujaCentesimas) && leer([&](int x) { Sonido = x != 0; }) &&
               leer([&](int x) { ColorEstela = x; }) && leer([&](int x) { ColorMovil = x; }) &&
               leer([&](int x) { RadioMovil = x; }) && leer([&](int x) { InicioCircuito = x; }));
    }
    std::fclose(f);
}
