// Arbitrary bytes as tilvo.ini: the engine reads them, lays out and paints
// one frame on a small picture, as the program does when it starts. No
// input may crash, hang or make the frame cost more than a moment.
#include "stopwatch/Ttilvo.h"
#include "toolkit/controls/Controls.h"
#include "toolkit/system/Clock.h"
#include "toolkit/system/Sound.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

struct World {
    World()
    {
        static char folder[] = "/tmp/tilvo-fuzz-settings-XXXXXX";
        if (!::mkdtemp(folder) || ::chdir(folder) != 0)
            std::abort();
        std::atexit([] {
            ::unlink("tilvo.ini");
            ::rmdir(folder);
        });
        display.SetWidth(160);
        display.SetHeight(120);
        TBitmap& race = circuit.Picture().Bitmap();
        race.SetSize(49, 18);
        race.Canvas().Brush.Color = RGB(60, 60, 60);
        race.Canvas().FillRect({0, 0, 49, 18});
    }
    FakeTickClock clock{1000};
    BeepRecorder beeps;
    TImage display;
    TImage circuit;
    TTimer timer;
};

World* world = nullptr;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static TApplication app(*argc, *argv);
    static World w;
    world = &w;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const int fd = ::open("tilvo.ini", O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0 || ::write(fd, data, size) != ssize_t(size) || ::close(fd) != 0)
        std::abort();
    TTilvo engine(&world->display, &world->timer, &world->circuit);
    engine.LeerAjustes();
    engine.Redibujar();
    engine.Empezar();
    world->clock.Advance(3723456);
    engine.Actualizar();
    engine.Pintar();
    engine.Parar();
    return 0;
}
