#include "windows/Program.h"

#include "toolkit/controls/Controls.h"
#include "windows/Tilvou.h"

#include <QTranslator>

#include <memory>

int RunTilvo(int argc, char** argv)
{
    TApplication app(argc, argv);
    try {
        CargarTraduccionQt();
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

bool CargarTraduccionQt(const QString& carpeta)
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        return false;
    // Only the base module's texts: the program uses no other Qt module that
    // shows text of its own.
    auto traduccion = std::make_unique<QTranslator>();
    if (!traduccion->load(QStringLiteral("qtbase_es"), carpeta))
        return false;
    traduccion->setParent(app);
    return QCoreApplication::installTranslator(traduccion.release());
}
