// A paint redraws only what changed; the picture must come out exactly as a
// paint that redraws the whole read-out band and circuit.
#include "stopwatch/Ttilvo.h"
#include "toolkit/controls/Controls.h"
#include "toolkit/system/Clock.h"
#include "toolkit/system/Sound.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <functional>
#include <memory>

namespace {

bool SamePixels(TBitmap& a, TBitmap& b)
{
    if (a.Width() != b.Width() || a.Height() != b.Height())
        return false;
    for (int y = 0; y < a.Height(); ++y)
        if (std::memcmp(a.ScanLine(y), b.ScanLine(y), std::size_t(a.Width()) * 4) != 0)
            return false;
    return true;
}

// Two engines given the same commands and ticks: the first paints what
// changed, the second is told before every paint that its picture is
// unknown, so it redraws everything.
struct Pair {
    Pair(int w, int h)
    {
        TBitmap& race = circuit.Picture().Bitmap();
        race.SetSize(489, 182);
        race.Canvas().Brush.Color = RGB(20, 50, 45);
        race.Canvas().FillRect({0, 0, 489, 182});
        race.Canvas().Brush.Color = clWhite;
        race.Canvas().FillRect({100, 60, 140, 90});
        for (TImage* d : {&display[0], &display[1]}) {
            d->SetWidth(w);
            d->SetHeight(h);
        }
        for (int i = 0; i < 2; ++i)
            engine[i] = std::make_unique<TTilvo>(&display[i], &timer[i], &circuit);
        Both([](TTilvo& e) { e.Redibujar(); });
    }
    void Both(const std::function<void(TTilvo&)>& f)
    {
        engine[1]->Invalidar();
        for (auto& e : engine)
            f(*e);
    }
    void Tick()
    {
        Both([](TTilvo& e) {
            if (e.Reloj->Enabled()) {
                e.Actualizar();
                e.Pintar();
            }
        });
    }
    bool Same() { return SamePixels(display[0].Picture().Bitmap(), display[1].Picture().Bitmap()); }

    TImage circuit;
    TImage display[2];
    TTimer timer[2];
    std::unique_ptr<TTilvo> engine[2];
};

void RunBoth(int w, int h)
{
    FakeTickClock clock(5000);
    BeepRecorder beeps;
    Pair p(w, h);
    p.Both([](TTilvo& e) { e.Empezar(); });
    unsigned seed = 12345;
    for (int i = 0; i < 600; ++i) {
        seed = seed * 1103515245u + 12345u;
        clock.Advance((seed >> 16) % 40);
        switch (i) {
        case 40: p.Both([](TTilvo& e) { e.Lap(); }); break;
        case 120: p.Both([](TTilvo& e) { e.Continuar(); }); break;
        case 150: p.Both([](TTilvo& e) { e.Fuente.SetSize(60); }); break;
        case 200:  // on to the hour: the read-out gets wider
            p.Both([](TTilvo& e) {
                e.Parar();
                e.TiempoAcumulado = 3599500;
                e.Continuar();
            });
            break;
        case 260: p.Both([](TTilvo& e) { e.RadioMovil = 200; }); break;
        case 270: p.Both([](TTilvo& e) { e.RadioMovil = INT_MAX; }); break;  // covers everything
        case 285: p.Both([](TTilvo& e) { e.RadioMovil = 700; }); break;      // covers it now and then
        case 300: p.Both([](TTilvo& e) { e.RadioMovil = 4; e.InicioCircuito = 700; }); break;
        case 340: p.Both([](TTilvo& e) { e.Modo = 0; e.Redibujar(); }); break;
        case 380: p.Both([](TTilvo& e) { e.Fuente.Name = "Courier"; e.Modo = 1; e.Redibujar(); }); break;
        case 420: p.Both([](TTilvo& e) { e.Inicializar(); e.Empezar(); e.Lap(); }); break;
        case 500: p.Both([](TTilvo& e) { e.ColorFondo = clNavy; e.Continuar(); }); break;
        case 540: p.Both([](TTilvo& e) { e.Redibujar(); }); break;
        }
        p.Tick();
        ASSERT_TRUE(p.Same()) << "tick " << i << " at " << w << " x " << h;
    }
}

}  // namespace

TEST(PaintingWhatChanged, LooksTheSameAsPaintingEverything)
{
    RunBoth(1024, 768);
    // Small enough for the read-out, circuit and dials to overlap.
    RunBoth(560, 330);
    RunBoth(640, 460);
    // Narrower than the read-out, which is cut at the edges.
    RunBoth(300, 400);
}

// The read-out keeps its size on any picture: what shows is the text as
// drawn on a picture wide enough for it, cut at the edges.
TEST(Readout, WiderThanThePictureIsCutNotScaled)
{
    FakeTickClock clock(5000);
    BeepRecorder beeps;
    for (const TPoint size : {TPoint{300, 400}, TPoint{640, 230}}) {
        TImage display, noCircuit;
        TTimer timer;
        display.SetWidth(size.X);
        display.SetHeight(size.Y);
        TTilvo engine(&display, &timer, &noCircuit);
        engine.Modo = 0;
        engine.RadioMovil = 0;
        engine.Redibujar();
        engine.Empezar();
        clock.Advance(3723004);  // 1:02:03:004, the widest text
        engine.Actualizar();
        engine.Pintar();
        ASSERT_EQ(engine.Texto, "1:02:03:004");

        constexpr int kAncho = 4000;
        TBitmap whole;
        whole.SetSize(kAncho, size.Y);
        TCanvas& c = whole.Canvas();
        c.Brush.Color = clBlack;
        c.FillRect({0, 0, kAncho, size.Y});
        c.Font = engine.Fuente;
        ASSERT_EQ(c.Font.Size(), 102);
        ASSERT_GT(c.TextWidth(engine.Texto), size.X);
        c.SetBkMode(TRANSPARENT);
        c.SetTextAlign(TA_CENTER | TA_TOP);
        c.TextOut(kAncho / 2, 0, engine.Texto);

        TBitmap& shown = display.Picture().Bitmap();
        const int offset = kAncho / 2 - size.X / 2;
        int wrong = 0;
        for (int y = 0; y < size.Y; ++y)
            for (int x = 0; x < size.X; ++x)
                wrong += shown.ScanLine(y)[x] != whole.ScanLine(y)[x + offset];
        EXPECT_EQ(wrong, 0) << size.X << " x " << size.Y;
    }
}
