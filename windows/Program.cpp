#include "windows/Program.h"

#include "toolkit/controls/Controls.h"
#include "windows/Tilvou.h"

int RunTilvo(int argc, char** argv)
{
    TApplication app(argc, argv);
    try {
        Application->SetTitle("Cronómetro");
        TFont::SetDefaultPixelsPerInch(Screen->PixelsPerInch());
        TTilvoF window;
        TilvoF = &window;
        window.ShowFullScreen();
        app.exec();
    } catch (const std::exception& e) {
        Application->ShowException(e);
    }
    return 0;
}
