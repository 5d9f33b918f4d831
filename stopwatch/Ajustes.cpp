// The settings file "tilvo.ini": a font name line, then whitespace-separated
// integers read as the C library's "%i" reads them.

#include "stopwatch/Ttilvo.h"

#include "toolkit/system/Encoding.h"
#include "toolkit/system/Files.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <string_view>

namespace {

constexpr const char* kArchivoAjustes = "tilvo.ini";
constexpr const char* kArchivoCopia = "tilvo.ini.bak";
// Copies kept of partly read files: tilvo.ini.bak, the newest, and
// tilvo.ini.bak.1 to tilvo.ini.bak.4 before it.
constexpr int kCopias = 5;
// Longest font name kept from the file's first line, in characters.
constexpr std::size_t kLargoNombre = 254;
// Far more than the file ever holds; anything past it is not read.
constexpr std::size_t kLargoArchivo = 64 * 1024;
// The most of a partly read file that is kept aside before replacing it.
constexpr std::size_t kLargoCopia = 16 * 1024 * 1024;

bool Blanco(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

// Reads integers as "%i" does (optional sign, "0x" hexadecimal, leading "0"
// octal), each after any run of blanks and line ends. Hexadecimal and octal
// numbers of up to 32 bits are bit patterns, so that 0xFFFFFFFF is -1 as for
// a colour written by hand; any other number beyond the int range is held at
// its ends. Anything else where a number should be fails.
class LectorEnteros {
public:
    explicit LectorEnteros(std::string_view texto) : texto_(texto) {}

    bool Leer(int& valor)
    {
        SaltarBlancos();
        bool negativo = false;
        if (Ver() == '+' || Ver() == '-') {
            negativo = Ver() == '-';
            ++pos_;
        }
        int base = 10;
        bool hayDigitos = false;
        if (Ver() == '0') {
            hayDigitos = true;
            ++pos_;
            if (Ver() == 'x' || Ver() == 'X') {
                ++pos_;
                if (Digito(Ver(), 16) < 0)
                    return false;
                base = 16;
            } else {
                base = 8;
            }
        }
        // Past 2^32 only the fact counts: the value is held at an end.
        constexpr std::uint64_t kTope = std::uint64_t(1) << 32;
        std::uint64_t v = 0;
        for (int d; (d = Digito(Ver(), base)) >= 0; ++pos_) {
            hayDigitos = true;
            v = std::min(v * unsigned(base) + unsigned(d), kTope);
        }
        if (!hayDigitos)
            return false;
        if (base != 10 && v < kTope) {
            const auto bits = std::uint32_t(negativo ? 0u - v : v);
            valor = std::int32_t(bits);
        } else {
            const std::int64_t con = negativo ? -std::int64_t(v) : std::int64_t(v);
            valor = SaturatingInt(con);
        }
        return true;
    }

    // Whether nothing but blanks is left.
    bool AlFinal()
    {
        SaltarBlancos();
        return pos_ >= texto_.size();
    }

private:
    char Ver() const { return pos_ < texto_.size() ? texto_[pos_] : '\0'; }

    void SaltarBlancos()
    {
        while (pos_ < texto_.size() && Blanco(texto_[pos_]))
            ++pos_;
    }

    static int Digito(char c, int base)
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

    std::string_view texto_;
    std::size_t pos_ = 0;
};

// Splits off the first line, without its line end (LF or CR LF); only its
// first kLargoNombre characters become the name. completo is false when the
// line was longer.
std::string PrimeraLinea(std::string_view& texto, bool& completo)
{
    const std::size_t fin = std::min(texto.find('\n'), texto.size());
    std::string_view linea = texto.substr(0, fin);
    texto.remove_prefix(std::min(fin + 1, texto.size()));
    if (!linea.empty() && linea.back() == '\r')
        linea.remove_suffix(1);
    completo = linea.size() <= kLargoNombre;
    return std::string(linea.substr(0, kLargoNombre));
}

}  // namespace

void TTilvo::LeerAjustes()
{
    std::string datos;
    bool entero = false;
    switch (ReadRegularFile(kArchivoAjustes, kLargoArchivo, datos, entero)) {
    case TReadOutcome::Missing:
        lectura_ = TLectura::SinArchivo;
        return;
    case TReadOutcome::Refused:
        lectura_ = TLectura::Ilegible;
        return;
    case TReadOutcome::Read:
        break;
    }
    if (datos.empty()) {
        lectura_ = entero ? TLectura::SinArchivo : TLectura::Parcial;
        return;
    }
    std::string_view texto = datos;
    bool nombreEntero = true;
    Fuente.Name = Cp1252ToUtf8(PrimeraLinea(texto, nombreEntero));

    // Each value is taken as soon as it is read; the first one missing or
    // malformed ends the reading and leaves the rest as they were.
    LectorEnteros lector(texto);
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
    const bool todo = leer([&](int x) { Fuente.Color = x; }) && leer([&](int x) { Fuente.SetSize(x); }) &&
                      leer([&](int x) { TiempoParada = x; }) && leer([&](int x) { Modo = x; }) &&
                      agujaOk(*AgujaMinutos) && agujaOk(*AgujaSegundos) && agujaOk(*AgujaCentesimas) &&
                      leer([&](int x) { Sonido = x != 0; }) && leer([&](int x) { ColorEstela = x; }) &&
                      leer([&](int x) { ColorMovil = x; }) && leer([&](int x) { RadioMovil = x; }) &&
                      leer([&](int x) { InicioCircuito = x; });
    // Anything the rewritten file would not hold again makes it partly read.
    lectura_ = todo && entero && nombreEntero && lector.AlFinal() ? TLectura::Completa : TLectura::Parcial;
}

void TTilvo::GuardarAjustes()
{
    // A file that could not be read is the user's, not ours to replace.
    if (lectura_ == TLectura::Ilegible)
        return;
    // What was not read is kept aside first, or the file is left alone.
    if (lectura_ == TLectura::Parcial) {
        std::string viejo;
        bool entero = false;
        switch (ReadRegularFile(kArchivoAjustes, kLargoCopia, viejo, entero)) {
        case TReadOutcome::Missing:
            break;
        case TReadOutcome::Refused:
            return;
        case TReadOutcome::Read:
            if (!entero || !KeepNewestCopy(kArchivoCopia, viejo, kCopias).empty())
                return;
            break;
        }
    }

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
    if (ReplaceFileContents(kArchivoAjustes, datos).empty())
        lectura_ = TLectura::Completa;
}
