#include "gallery/Pelmorau.h"
#include "toolkit/controls/Controls.h"
#include "windows/Program.h"

int main(int argc, char** argv)
{
    ExitClearlyWithoutDisplay();
    TApplication app(argc, argv);
    CargarTraduccionQt();
    app.SetTitle("Componentes Pelmora");
    TPelmoraF window;
    window.show();
    return app.exec();
}
