#include "EngineFixture.h"

#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

const char* kDefaults =
    "Times New Roman\n16737430 102\n0\n1\n16777215 65280 255 6 1\n16777215 65280 255 12 1\n"
    "16777215 65280 255 10 1\n1\n255 65280 5 0";

// The engine's stored settings as one string, to compare engines.
std::string Settings(const TTilvo& e)
{
    std::ostringstream s;
    s << e.Fuente.Name << '|' << e.Fuente.Color << ' ' << e.Fuente.Size() << ' ' << e.TiempoParada << ' ' << e.Modo;
    for (const TAguja* a : {e.AgujaMinutos.get(), e.AgujaSegundos.get(), e.AgujaCentesimas.get()})
        s << ' ' << a->Fuente.Color << ' ' << a->ColorEsfera << ' ' << a->ColorAguja << ' ' << a->Divisiones << ' '
          << a->MostrarNumeros;
    s << ' ' << e.Sonido << ' ' << e.ColorEstela << ' ' << e.ColorMovil << ' ' << e.RadioMovil << ' '
      << e.InicioCircuito;
    return s.str();
}

}  // namespace

// Each test runs in a directory of its own, the settings file being looked
// for in the current directory.
class SettingsFile : public EngineTest {
protected:
    SettingsFile()
    {
        char pattern[] = "/tmp/tilvo-settings-XXXXXX";
        dir = mkdtemp(pattern);
        previous = fs::current_path();
        fs::current_path(dir);
    }
    ~SettingsFile() override
    {
        fs::current_path(previous);
        fs::remove_all(dir);
    }
    static void Write(const std::string& content) { std::ofstream("tilvo.ini", std::ios::binary) << content; }
    static std::string Read()
    {
        std::ifstream f("tilvo.ini", std::ios::binary);
        return {std::istreambuf_iterator<char>(f), {}};
    }
    std::string defaults = Settings(*engine);
    fs::path dir, previous;
};

TEST_F(SettingsFile, WritesTheDefaultsExactlyAndReadsThemBack)
{
    engine->LeerAjustes();  // no file: nothing changes
    EXPECT_EQ(Settings(*engine), defaults);
    engine->GuardarAjustes();
    EXPECT_EQ(Read(), kDefaults);
    EXPECT_EQ(fs::status("tilvo.ini").permissions() & fs::perms::owner_read, fs::perms::owner_read);

    // Every field changed, negatives and a non-ASCII name included.
    engine->Fuente.Name = "Señal €";
    engine->Fuente.Color = 0x123456;
    engine->Fuente.SetSize(48);
    engine->TiempoParada = 90500;
    engine->Modo = 0;
    engine->AgujaSegundos->Divisiones = -7;
    engine->AgujaCentesimas->MostrarNumeros = false;
    engine->AgujaMinutos->ColorAguja = clYellow;
    engine->Sonido = false;
    engine->RadioMovil = 9;
    engine->InicioCircuito = -1442;
    engine->GuardarAjustes();
    EXPECT_EQ(Read().substr(0, 15), "Se\xF1" "al \x80\n1193046");  // the file keeps Windows-1252
    TTilvo other(&display, &timer, &circuit);
    other.LeerAjustes();
    EXPECT_EQ(Settings(other), Settings(*engine));

    // A line end in the name would shift every number after it.
    engine->Fuente.Name = "Two\nLines";
    engine->GuardarAjustes();
    other.LeerAjustes();
    EXPECT_EQ(other.Fuente.Name, "Two Lines");
    EXPECT_EQ(other.InicioCircuito, -1442);
}

TEST_F(SettingsFile, NumbersAsTheCLibraryReadsThem)
{
    // Octal and hexadecimal, values spread over the lines in any way, CR LF
    // line ends.
    Write("Arial\r\n0x10 010\r\n+5 0\n16777215\n65280 255 6 1 16777215 65280 255 12 1 16777215 65280 255 10\n\n1 "
          "0 0xFFFFFFFF 255 -3 -50");
    engine->LeerAjustes();
    EXPECT_EQ(engine->Fuente.Name, "Arial");
    EXPECT_EQ(engine->Fuente.Color, 16);
    EXPECT_EQ(engine->Fuente.Size(), 8);
    EXPECT_EQ(engine->TiempoParada, 5);
    EXPECT_EQ(engine->Modo, 0);
    EXPECT_FALSE(engine->Sonido);
    EXPECT_EQ(engine->ColorEstela, -1);
    EXPECT_EQ(engine->ColorMovil, 255);
    EXPECT_EQ(engine->RadioMovil, -3);
    EXPECT_EQ(engine->InicioCircuito, -50);

    Write("\n");
    engine->LeerAjustes();
    EXPECT_EQ(engine->Fuente.Name, "");
    engine->Fuente.Name = "Arial";
    Write("");
    engine->LeerAjustes();
    EXPECT_EQ(engine->Fuente.Name, "Arial");
}

TEST_F(SettingsFile, ReadingStopsAtTheFirstValueMissingOrMalformed)
{
    Write("Courier\n255 20\n7000\n0\n1 2 3 4");  // ends early
    engine->LeerAjustes();
    EXPECT_EQ(engine->TiempoParada, 7000);
    EXPECT_EQ(engine->AgujaMinutos->Divisiones, 4);
    EXPECT_TRUE(engine->AgujaMinutos->MostrarNumeros);  // not read: kept
    EXPECT_EQ(engine->RadioMovil, 5);

    for (const char* bad : {"Courier\n1 2 3 x 9", "Courier\n1 2 3 0x 9", "Courier\n1 2 3 - 9"}) {
        engine->Modo = 1;
        engine->TiempoParada = 0;
        Write(bad);
        engine->LeerAjustes();
        EXPECT_EQ(engine->TiempoParada, 3) << bad;
        EXPECT_EQ(engine->Modo, 1) << bad;
    }

    // A first line too long for a font name: the name keeps 254 characters
    // and the numbers are read from the next line as usual.
    Write(std::string(300, 'N') + "\r\n7 8 9");
    engine->LeerAjustes();
    EXPECT_EQ(engine->Fuente.Name, std::string(254, 'N'));
    EXPECT_EQ(engine->TiempoParada, 9);
}

TEST_F(SettingsFile, FailedWriteKeepsTheOldFile)
{
    Write("Old settings");
    // A read-only file is refused, by the superuser too.
    fs::permissions("tilvo.ini", fs::perms::owner_read);
    engine->GuardarAjustes();
    EXPECT_EQ(Read(), "Old settings");

    // Whatever is named like the file a save once wrote to first is left
    // alone and is no obstacle.
    fs::create_directory(".tilvo.ini.tilvo-new");
    fs::permissions("tilvo.ini", fs::perms::owner_read | fs::perms::owner_write);
    engine->GuardarAjustes();
    EXPECT_EQ(Read(), kDefaults);
    EXPECT_EQ(fs::status("tilvo.ini").permissions(), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_TRUE(fs::is_directory(".tilvo.ini.tilvo-new"));
    fs::remove(".tilvo.ini.tilvo-new");
    EXPECT_EQ(std::distance(fs::directory_iterator("."), fs::directory_iterator()), 1);
}

TEST_F(SettingsFile, NumbersBeyondTheIntRangeAreHeldAtItsEnds)
{
    // Hexadecimal and octal up to 32 bits stay bit patterns, as colours
    // written by hand are.
    Write("Arial\n0xFFFFFFFF 2147483648\n99999999999999999999999\n-2147483649\n0x80000000 037777777777 "
          "0x100000000 -0x1 1");
    engine->LeerAjustes();
    EXPECT_EQ(engine->Fuente.Color, -1);
    EXPECT_EQ(engine->Fuente.Size(), INT_MAX);
    EXPECT_EQ(engine->TiempoParada, INT_MAX);  // a stop time, not none
    EXPECT_EQ(engine->Modo, INT_MIN);
    EXPECT_EQ(engine->AgujaMinutos->Fuente.Color, INT_MIN);
    EXPECT_EQ(engine->AgujaMinutos->ColorEsfera, -1);
    EXPECT_EQ(engine->AgujaMinutos->ColorAguja, INT_MAX);
    EXPECT_EQ(engine->AgujaMinutos->Divisiones, -1);
}

TEST_F(SettingsFile, FontSizesAreWrittenBackAsRead)
{
    for (int size : {0, -20, 1, INT_MAX, INT_MIN}) {
        Write("Arial\n255 " + std::to_string(size) + "\n0\n1\n1 2 3 4 1\n1 2 3 4 1\n1 2 3 4 1\n1\n1 2 3 4");
        engine->LeerAjustes();
        EXPECT_EQ(engine->Fuente.Size(), size);
        engine->GuardarAjustes();
        EXPECT_EQ(Read().substr(0, 10 + std::to_string(size).size()), "Arial\n255 " + std::to_string(size));
    }
    // A size that the dialog sets is kept the same way.
    engine->Fuente.SetSize(-7);
    EXPECT_EQ(engine->Fuente.Size(), -7);
}

TEST_F(SettingsFile, FilesThatAreNotPlainFilesAreNeitherReadNorReplaced)
{
    // A FIFO would block the open, /dev/zero never end; a device must not
    // become a plain file.
    ASSERT_EQ(::mkfifo("tilvo.ini", 0600), 0);
    engine->LeerAjustes();
    engine->GuardarAjustes();
    EXPECT_TRUE(fs::is_fifo("tilvo.ini"));
    EXPECT_EQ(Settings(*engine), defaults);
    fs::remove("tilvo.ini");

    fs::create_symlink("/dev/zero", "tilvo.ini");
    engine->LeerAjustes();
    engine->GuardarAjustes();
    EXPECT_EQ(Settings(*engine), defaults);
    EXPECT_TRUE(fs::is_character_file("/dev/zero"));
    fs::remove("tilvo.ini");

    // Read-only: left as it is, and no word said.
    Write(kDefaults);
    fs::permissions("tilvo.ini", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    engine->Modo = 0;
    engine->GuardarAjustes();
    EXPECT_EQ(Read(), kDefaults);
    EXPECT_EQ(std::distance(fs::directory_iterator("."), fs::directory_iterator()), 1);
}

TEST_F(SettingsFile, WhatCouldNotBeReadIsNeverLost)
{
    // A link that leads nowhere readable, and (unless we are root, who reads
    // everything) a file without read permission: not replaced.
    fs::create_symlink("tilvo.ini", "tilvo.ini.loop");
    fs::create_symlink("tilvo.ini.loop", "tilvo.ini");
    engine->LeerAjustes();
    engine->GuardarAjustes();
    EXPECT_TRUE(fs::is_symlink("tilvo.ini"));
    fs::remove("tilvo.ini");
    fs::remove("tilvo.ini.loop");
    if (::geteuid() != 0) {
        Write("Courier\n1 2 3 4");
        fs::permissions("tilvo.ini", fs::perms::owner_write);
        TTilvo fresh(&display, &timer, &circuit);
        fresh.LeerAjustes();
        fresh.GuardarAjustes();
        fs::permissions("tilvo.ini", fs::perms::owner_read | fs::perms::owner_write);
        EXPECT_EQ(Read(), "Courier\n1 2 3 4");
        fs::remove("tilvo.ini");
    }

    // Read in part (a typo, text after the last value, a name too long): the
    // old file is kept aside once, before the first replacement, and the
    // copies of the earlier ones move a place on.
    const std::string partial[] = {"Courier\n255 20\n7000\n0\n1 2 3 x 9", kDefaults + std::string("\nmore"),
                                   std::string(300, 'N') + "\n" + (kDefaults + 16)};
    for (const std::string& old : partial) {
        Write(old);
        TTilvo fresh(&display, &timer, &circuit);
        fresh.LeerAjustes();
        fresh.GuardarAjustes();
        const std::string now = Read();
        EXPECT_EQ(std::count(now.begin(), now.end(), '\n'), 8) << now;
        std::ifstream bak("tilvo.ini.bak", std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(bak), {}), old);
        fresh.Modo = 0;
        fresh.GuardarAjustes();
        std::ifstream again("tilvo.ini.bak", std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(again), {}), old);
    }
    for (int k = 1; k <= 2; ++k) {
        std::ifstream earlier("tilvo.ini.bak." + std::to_string(k), std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(earlier), {}), partial[2 - k]) << k;
    }
    for (const char* copy : {"tilvo.ini.bak", "tilvo.ini.bak.1", "tilvo.ini.bak.2"})
        fs::remove(copy);

    // Read whole: replaced with no copy.
    Write(kDefaults);
    engine->LeerAjustes();
    engine->GuardarAjustes();
    EXPECT_FALSE(fs::exists("tilvo.ini.bak"));
}

TEST_F(SettingsFile, TheWorstValuesAreDrawnAtTheirOwnSize)
{
    const std::string max = std::to_string(INT_MAX);
    const std::string all5 = " " + max + " " + max + " " + max + " " + max + " 1\n";
    Write("Times New Roman\n16737430 " + max + "\n0\n1\n" + all5 + all5 + all5 + "0\n255 65280 " + max + " 0");
    engine->LeerAjustes();
    engine->Redibujar();
    engine->Empezar();
    RunTo(1234);
    // The marker, larger than any picture, covers it all.
    TCanvas& screen = Screen().Canvas();
    for (TPoint p : {Point(0, 0), Point(1023, 0), Point(512, 400), Point(0, 767), Point(1023, 767)})
        EXPECT_EQ(screen.Pixels(p.X, p.Y), TColor(65280)) << p.X << ", " << p.Y;
}
