// The stopwatch: time keeping from the tick count, the five commands with
// their beeps and the automatic stop, the painting of the whole display
// (read-out, circuit with trail and marker, three dials) and the settings
// file "tilvo.ini" in the current directory.
//
// A plain class whose fields the windows read and write directly; nothing
// repaints by itself when a field changes: the owner calls Redibujar.
#pragma once

#include "stopwatch/Taguja.h"
#include "toolkit/graphics/Graphics.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TImage;
class TTimer;

class TTilvo {
public:
    // Imagen is the display picture and Reloj the timer whose ticks call
    // Actualizar then Pintar; both stay with the caller. ImageRace holds the
    // circuit picture, copied here once.
    TTilvo(TImage* Imagen, TTimer* Reloj, TImage* ImageRace);
    TTilvo(const TTilvo&) = delete;
    TTilvo& operator=(const TTilvo&) = delete;
    ~TTilvo();

    // Commands. One that does not apply in the present state does nothing,
    // beep included.
    void Inicializar();
    void Empezar();
    void Parar();
    void Lap();
    void Continuar();

    // The elapsed time from the tick count, and the automatic stop.
    void Actualizar();
    // One frame: read-out band, circuit with trail, text, needles, marker.
    void Pintar();
    // Sizes the bitmap to the picture, clears it, lays out and draws the
    // dials, then paints.
    void Redibujar();
    // A paint redraws only what changed since the last one: whoever else
    // draws on the display picture calls this first, so that the next paint
    // redraws the read-out band and the circuit whole.
    void Invalidar();

    // The settings file (Ajustes.cpp). Reading changes only what it reads,
    // and never more than a bounded amount of a regular file. Writing
    // replaces the file safely; it leaves alone a file that could not be
    // read, and keeps one read only in part as "tilvo.ini.bak" first.
    // Neither reports anything.
    void LeerAjustes();
    void GuardarAjustes();

    // Joining and splitting times in milliseconds (divisions truncate).
    // Results beyond the 32-bit range are held at its ends.
    static int AMilisegundos(int Horas, int Minutos, int Segundos, int Milisegundos);
    static int SacarHoras(int Tiempo);
    static int SacarMinutos(int Tiempo, int Horas);
    static int SacarSegundos(int Tiempo, int Horas, int Minutos);
    static int SacarMilisegundos(int Tiempo, int Horas, int Minutos, int Segundos);

    // The steps of the operations above, open to the tests.
    void Limpiar();
    // Clears the read-out band (or leaves it for the text to clear, when only
    // part of it changes) and puts the circuit in place; only Pintar follows
    // it with the text.
    void PintarFondo();
    void ComponerTexto();

    void PrepararCircuito(TImage* ImageRace);
    void RestaurarCircuito();
    // The display position of a path step counted from InicioCircuito.
    TPoint PuntoCircuito(int Paso);
    // The path step that Transcurrido puts the marker on.
    int PasoActual() const;
    void DibujarEstela(int Pasos);
    void DibujarMovil();
    void DibujarPunto(int X, int Y);

    int InicioCircuito = 0;
    int TiempoAcumulado = 0;
    TColor ColorFondo = clBlack;
    bool HayCircuito = true;
    int Horas = 0;
    bool EnLap = false;
    int Milisegundos = 0;
    int Minutos = 0;
    TPoint OrigenCircuito;
    TColor ColorEstela = clRed;
    TColor ColorMovil = clLime;
    int PasosEstela = 0;
    int LongitudCircuito = 1443;
    int RadioMovil = 5;
    int Segundos = 0;
    bool Sonido = true;
    int Transcurrido = 0;
    std::uint32_t TickInicio = 0;
    int TiempoParada = 0;
    bool ParadaHecha = false;
    std::string Texto;
    std::unique_ptr<TAguja> AgujaMinutos;
    std::unique_ptr<TAguja> AgujaSegundos;
    std::unique_ptr<TAguja> AgujaCentesimas;
    TFont Fuente;
    TImage* Imagen;
    // The clean circuit picture, and the same with the trail of this lap.
    std::unique_ptr<TBitmap> ImagenCircuito;
    std::unique_ptr<TBitmap> ImagenEstela;
    TTimer* Reloj;
    int Modo = 1;

private:
    // How the settings file last read, which says whether it may be replaced.
    enum class TLectura { SinArchivo, Completa, Parcial, Ilegible };
    TLectura lectura_ = TLectura::SinArchivo;

    void Beep(unsigned tipo) const;
    bool Recortable();
    TPoint Origen() const;
    bool MovilTapa(TPoint p) const;
    std::vector<TRect> TintaCambiada(const std::string& nuevo, const std::vector<TRect>& tinta, bool porLetra) const;
    std::vector<TRect> RegionCambiada(TPoint origen, TPoint movil);
    void EscribirTexto(bool mostrar);
    void AnotarOcupado();

    // What stands in the read-out band since the last paint: the band was
    // cleared with this width, height, colour and font, then this text was
    // written, each glyph inside its rectangle.
    struct TBanda {
        bool Valida = false;
        bool Parcial = false;
        int Ancho = 0;
        int Alto = 0;
        TColor Fondo = clBlack;
        TFont Fuente;
        std::string Texto;
        std::vector<TRect> Tinta;
        bool PorLetra = false;
    } banda_;
    // The part of the circuit on the display that differs from ImagenEstela
    // (circuit-picture pixels), valid while the circuit stays where it was
    // and nothing else is drawn over it.
    bool circuitoValido_ = false;
    TPoint circuitoOrigen_;
    TRect circuitoCambio_;
    // Where the marker was last drawn on the display; whether it covered
    // the whole picture then, and in what colour.
    TRect punto_;
    bool tapado_ = false;
    TColor colorTapado_ = clBlack;
    // Whether the last paint drew everything plainly, so that the next one
    // may draw it all again clipped to what changed.
    bool solapeValido_ = false;
};
