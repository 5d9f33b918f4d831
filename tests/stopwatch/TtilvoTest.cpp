#include "EngineFixture.h"

#include "stopwatch/CircuitPath.h"

#include <climits>
#include <string>
#include <vector>

namespace {

enum State { Zero, Running, InLap, Stopped, StoppedInLap };
enum Command { Inicializar, Empezar, Parar, Lap, Continuar };

struct Row {
    State from;
    Command command;
    bool running;
    bool lap;
    std::vector<unsigned> beeps;
    bool paints;
    int elapsedAfter100ms;
};

}  // namespace

class CommandTable : public EngineTest {
protected:
    // Every state is reached with an automatic stop at 2 s; the running
    // ones are at 1 s.
    void Reach(State s)
    {
        engine->TiempoParada = 2000;
        if (s == Zero)
            return;
        engine->Empezar();
        RunTo(1000);
        if (s == InLap || s == StoppedInLap)
            engine->Lap();
        if (s == Stopped)
            engine->Parar();
        if (s == StoppedInLap)
            RunTo(2050);
    }
    void Give(Command c)
    {
        switch (c) {
        case Inicializar: engine->Inicializar(); break;
        case Empezar: engine->Empezar(); break;
        case Parar: engine->Parar(); break;
        case Lap: engine->Lap(); break;
        case Continuar: engine->Continuar(); break;
        }
    }
};

TEST_F(CommandTable, EveryCommandInEveryState)
{
    const unsigned H = MB_ICONHAND, Q = MB_ICONQUESTION, X = MB_ICONEXCLAMATION, K = MB_OK;
    const Row rows[] = {
        {Zero, Inicializar, false, false, {H}, true, 0},
        {Zero, Empezar, true, false, {K}, false, 100},
        {Zero, Parar, false, false, {}, false, 0},
        {Zero, Lap, false, false, {}, false, 0},
        {Zero, Continuar, true, false, {X}, false, 100},
        {Running, Inicializar, false, false, {H}, true, 0},
        {Running, Empezar, true, false, {}, false, 1100},
        {Running, Parar, false, false, {K}, true, 1000},
        {Running, Lap, true, true, {Q}, false, 1100},
        {Running, Continuar, true, false, {}, false, 1100},
        {InLap, Inicializar, false, false, {H}, true, 0},
        {InLap, Empezar, true, true, {}, false, 1100},
        {InLap, Parar, false, false, {K}, true, 1000},
        {InLap, Lap, true, true, {Q}, false, 1100},
        {InLap, Continuar, true, false, {X}, false, 1100},
        {Stopped, Inicializar, false, false, {H}, true, 0},
        {Stopped, Empezar, true, false, {K}, false, 100},
        {Stopped, Parar, false, false, {}, false, 1000},
        {Stopped, Lap, false, false, {}, false, 1000},
        {Stopped, Continuar, true, false, {X}, false, 1100},
        {StoppedInLap, Inicializar, false, false, {H}, true, 0},
        {StoppedInLap, Empezar, true, false, {K}, false, 100},
        {StoppedInLap, Parar, false, true, {}, false, 2000},
        {StoppedInLap, Lap, false, true, {}, false, 2000},
        {StoppedInLap, Continuar, false, false, {X}, false, 2000},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE("state " + std::to_string(r.from) + ", command " + std::to_string(r.command));
        engine->Inicializar();
        clock.Set(start);
        Reach(r.from);
        beeps.Clear();
        Screen().TakeDirty();
        Give(r.command);
        EXPECT_EQ(timer.Enabled(), r.running);
        EXPECT_EQ(engine->EnLap, r.lap);
        EXPECT_EQ(beeps.Beeps(), r.beeps);
        EXPECT_EQ(Screen().IsDirty(), r.paints);
        clock.Advance(100);
        if (timer.Enabled())
            Tick();
        EXPECT_EQ(engine->Transcurrido, r.elapsedAfter100ms);
    }
}

TEST_F(CommandTable, SilentWithoutSound)
{
    engine->Sonido = false;
    engine->TiempoParada = 500;
    engine->Empezar();
    engine->Lap();
    engine->Continuar();
    RunTo(600);
    engine->Continuar();
    engine->Parar();
    engine->Inicializar();
    EXPECT_TRUE(beeps.Beeps().empty());
}

TEST_F(EngineTest, AutomaticStopAtExactlyTheStopTime)
{
    engine->TiempoParada = 5000;
    engine->Empezar();
    RunTo(4990);
    EXPECT_TRUE(timer.Enabled());
    RunTo(5030);  // a late tick
    EXPECT_FALSE(timer.Enabled());
    EXPECT_EQ(engine->Transcurrido, 5000);
    EXPECT_EQ(engine->Texto, "00:05:000");
    EXPECT_EQ(beeps.Beeps(), (std::vector<unsigned>{MB_OK, MB_OK}));
    // The lap of the marker ends with the stop: the dot is back at the start.
    EXPECT_EQ(engine->PasosEstela, 0);

    // Resumed, it counts on from the stop time and never stops again.
    engine->Continuar();
    RunTo(20000);
    EXPECT_TRUE(timer.Enabled());
    EXPECT_EQ(engine->Transcurrido, 5000 + (20000 - 5030));

    // Stopped at 2 s and resumed later, it still stops at exactly 5 s.
    const std::uint32_t t0 = start + 30000;
    engine->Inicializar();
    clock.Set(t0);
    engine->Empezar();
    clock.Set(t0 + 2000);
    engine->Parar();
    clock.Set(t0 + 9000);
    engine->Continuar();
    clock.Set(t0 + 12001);
    Tick();
    EXPECT_EQ(engine->Transcurrido, 5000);
    EXPECT_FALSE(timer.Enabled());
    engine->Continuar();
    clock.Advance(250);
    Tick();
    EXPECT_EQ(engine->Transcurrido, 5250);
}

TEST_F(EngineTest, LapTimeBlinksOnOddSecondsWhileTheClockRuns)
{
    engine->Empezar();
    RunTo(4100);
    engine->Lap();
    RunTo(5200);
    EXPECT_EQ(engine->Texto, "00:04:100");
    EXPECT_EQ(engine->Segundos, 5);
    EXPECT_TRUE(ReadoutShown());
    RunTo(6200);
    EXPECT_FALSE(ReadoutShown());
    EXPECT_EQ(engine->AgujaSegundos->Valor, 6.0f);  // the needles keep moving
    engine->Continuar();
    RunTo(6300);
    EXPECT_EQ(engine->Texto, "00:06:300");
    EXPECT_TRUE(ReadoutShown());

    // Stopping during a lap shows the live time at once.
    engine->Lap();
    clock.Set(start + 7777);
    engine->Parar();
    EXPECT_EQ(engine->Texto, "00:07:777");
}

TEST_F(EngineTest, ReadoutText)
{
    const std::pair<int, const char*> cases[] = {
        {0, "00:00:000"},          {65432, "01:05:432"},       {3599999, "59:59:999"},
        {3600000, "1:00:00:000"},  {3723004, "1:02:03:004"},   {36000000, "10:00:00:000"},
    };
    for (auto [ms, text] : cases) {
        engine->TiempoAcumulado = ms;
        engine->TickInicio = clock.Now();
        engine->Actualizar();
        engine->ComponerTexto();
        EXPECT_EQ(engine->Texto, text);
    }
    EXPECT_EQ(engine->Horas, 10);
}

TEST_F(EngineTest, TimeSurvivesTickWrapAndLongRuns)
{
    clock.Set(0xFFFFFF00u);
    engine->Empezar();
    clock.Advance(0x200);
    Tick();
    EXPECT_EQ(engine->Transcurrido, 0x200);

    // Past the 32-bit range of milliseconds the count wraps, defined.
    engine->TiempoAcumulado = INT_MAX;
    Tick();
    EXPECT_EQ(engine->Transcurrido, INT_MIN + 0x1FF);
}

TEST(TimeFunctions, SplitAndJoin)
{
    EXPECT_EQ(TTilvo::AMilisegundos(0, 1, 30, 500), 90500);
    EXPECT_EQ(TTilvo::AMilisegundos(0, 90, -1, 0), 5399000);
    const int t = 3723004;
    const int h = TTilvo::SacarHoras(t), m = TTilvo::SacarMinutos(t, h), s = TTilvo::SacarSegundos(t, h, m);
    EXPECT_EQ((std::vector<int>{h, m, s, TTilvo::SacarMilisegundos(t, h, m, s)}), (std::vector<int>{1, 2, 3, 4}));
    // Beyond the range the result is held at its end, not wrapped.
    EXPECT_EQ(TTilvo::AMilisegundos(1000, 0, 0, 0), INT_MAX);
    EXPECT_EQ(TTilvo::AMilisegundos(-1000, 0, 0, 0), INT_MIN);
    EXPECT_EQ(TTilvo::SacarMinutos(0, INT_MAX), INT_MIN);
}

TEST_F(EngineTest, StepCountFollowsTheLapTime)
{
    engine->Transcurrido = 5000;  // no automatic stop: a lap every 10 s
    EXPECT_EQ(engine->PasoActual(), 721);
    engine->Transcurrido = 15000;
    EXPECT_EQ(engine->PasoActual(), 721);
    engine->TiempoParada = 3600000;  // the product needs more than 32 bits
    engine->Transcurrido = 3599999;
    EXPECT_EQ(engine->PasoActual(), 1442);
    engine->Transcurrido = 1800000;
    EXPECT_EQ(engine->PasoActual(), 721);
    engine->Transcurrido = 3600000;
    EXPECT_EQ(engine->PasoActual(), 0);
}

TEST_F(EngineTest, LayoutOn1024x768)
{
    EXPECT_EQ(engine->OrigenCircuito, Point(267, 246));
    EXPECT_EQ(engine->AgujaMinutos->Centro, Point(204, 603));
    EXPECT_EQ(engine->AgujaSegundos->Centro, Point(512, 603));
    EXPECT_EQ(engine->AgujaCentesimas->Centro, Point(819, 603));
    // The circuit is copied in, with the green dot at step 0.
    EXPECT_EQ(Screen().Canvas().Pixels(267 + 300, 246 + 100), kPista);
    EXPECT_EQ(Screen().Canvas().Pixels(267 + 200, 246 + 11), clLime);

    // Digital only: nothing below the circuit.
    engine->Modo = 2;
    engine->Redibujar();
    for (const TAguja* a : {engine->AgujaMinutos.get(), engine->AgujaSegundos.get(), engine->AgujaCentesimas.get()})
        for (int dx = -100; dx <= 100; dx += 5)
            ASSERT_EQ(Screen().Canvas().Pixels(a->Centro.X + dx, a->Centro.Y - 60), clBlack);
}

TEST_F(EngineTest, MarkerAndTrail)
{
    engine->InicioCircuito = -50;
    engine->Inicializar();
    EXPECT_EQ(engine->PuntoCircuito(0), Point(267 + 150, 246 + 11));
    EXPECT_EQ(Screen().Canvas().Pixels(267 + 150, 246 + 11), clLime);

    // A quarter lap later the trail runs from the start to the previous
    // position, off-screen; the dot stands at the new one.
    engine->InicioCircuito = 0;
    engine->Empezar();
    RunTo(2500);
    EXPECT_EQ(engine->PasosEstela, 360);
    TCanvas& trail = engine->ImagenEstela->Canvas();
    for (int step : {0, 100, 200, 359})
        EXPECT_EQ(trail.Pixels(PuntoRecorrido(step).X, PuntoRecorrido(step).Y), clRed) << step;
    EXPECT_EQ(trail.Pixels(PuntoRecorrido(400).X, PuntoRecorrido(400).Y), kPista);
    const TPoint dot = engine->PuntoCircuito(360);
    EXPECT_EQ(Screen().Canvas().Pixels(dot.X, dot.Y), clLime);

    // Settings from a hand-edited file at the ends of the range.
    engine->InicioCircuito = INT_MAX;
    const TPoint far = PuntoRecorrido(int((1442 + std::int64_t(INT_MAX)) % 1443));
    EXPECT_EQ(engine->PuntoCircuito(1442), Point(267 + far.X, 246 + far.Y));
    engine->InicioCircuito = INT_MIN;
    Tick();
    // The dot has its own size, larger than the circuit or the picture.
    engine->InicioCircuito = 0;
    engine->RadioMovil = 150;
    Tick();
    const TPoint at = engine->PuntoCircuito(engine->PasosEstela);
    const int down = at.Y < 384 ? 1 : -1;
    EXPECT_EQ(Screen().Canvas().Pixels(at.X, at.Y + 148 * down), clLime);
    EXPECT_NE(Screen().Canvas().Pixels(at.X, at.Y + 152 * down), clLime);
    EXPECT_EQ(Screen().Canvas().Pixels(at.X - 148, at.Y), clLime);
    EXPECT_NE(Screen().Canvas().Pixels(at.X - 152, at.Y), clLime);
    for (int radius : {INT_MAX, INT_MIN}) {
        engine->RadioMovil = radius;
        Tick();
        for (TPoint corner : {Point(0, 0), Point(1023, 0), Point(0, 767), Point(1023, 767)})
            EXPECT_EQ(Screen().Canvas().Pixels(corner.X, corner.Y), clLime) << radius;
    }
    engine->RadioMovil = 5;
    engine->InicioCircuito = 0;

    // A new lap wipes the trail.
    RunTo(10100);
    EXPECT_EQ(trail.Pixels(PuntoRecorrido(200).X, PuntoRecorrido(200).Y), kPista);
    engine->Inicializar();
    EXPECT_EQ(trail.Pixels(PuntoRecorrido(0).X, PuntoRecorrido(0).Y), kPista);
}
