// An engine on a 1024 x 768 display with a plain grey stand-in for the
// circuit picture, a fake tick clock and a beep recorder.
#pragma once

#include "stopwatch/Ttilvo.h"
#include "toolkit/controls/Controls.h"
#include "toolkit/system/Clock.h"
#include "toolkit/system/Sound.h"

#include <gtest/gtest.h>

#include <memory>

class EngineTest : public testing::Test {
protected:
    static constexpr TColor kPista = RGB(60, 60, 60);

    EngineTest()
    {
        display.SetWidth(1024);
        display.SetHeight(768);
        TBitmap& race = circuit.Picture().Bitmap();
        race.SetSize(489, 182);
        race.Canvas().Brush.Color = kPista;
        race.Canvas().FillRect({0, 0, 489, 182});
        timer.SetInterval(1);
        engine = std::make_unique<TTilvo>(&display, &timer, &circuit);
        engine->Redibujar();
        beeps.Clear();
    }

    TBitmap& Screen() { return display.Picture().Bitmap(); }

    // What a timer tick does.
    void Tick()
    {
        engine->Actualizar();
        engine->Pintar();
    }
    // Moves the clock on and ticks.
    void RunTo(std::uint32_t msFromStart)
    {
        clock.Set(start + msFromStart);
        Tick();
    }

    // Whether anything but the background stands in the read-out band.
    bool ReadoutShown()
    {
        TBitmap& b = Screen();
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < b.Width(); ++x)
                if (b.ScanLine(y)[x] != 0)
                    return true;
        return false;
    }

    const std::uint32_t start = 100000;
    FakeTickClock clock{start};
    BeepRecorder beeps;
    TImage display;
    TImage circuit;
    TTimer timer;
    std::unique_ptr<TTilvo> engine;
};
