#include "windows/Program.h"

#include "toolkit/controls/Controls.h"
#include "windows/DisplayProbe.h"
#include "windows/Tilvou.h"

#include <QTranslator>
#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

QtMessageHandler defaultHandler = nullptr;

void StartHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    const char* category = context.category ? context.category : "";
    if (type == QtFatalMsg && message.contains("platform plugin")) {
        // With a display named, what went wrong with it; the toolkit does
        // not say.
        const char* display = std::getenv("DISPLAY");
        if (display && *display) {
            std::string problem = DisplayConnectionProblem(display);
            if (problem.empty())
                problem = "the display refused the program";
            std::fprintf(stderr, "cannot connect to display %s: %s\n", display, problem.c_str());
        } else {
            std::fputs("no graphical display: set DISPLAY or WAYLAND_DISPLAY\n", stderr);
        }
        std::_Exit(1);
    }
    // What the platform plugins say while they fail to connect would only
    // bury the one line above.
    if (std::strncmp(category, "qt.qpa.", 7) == 0 &&
        (std::strcmp(category, "qt.qpa.plugin") == 0 || message.contains("connect to display") ||
         message.contains("wl_display")))
        return;
    if (defaultHandler)
        defaultHandler(type, context, message);
}

}  // namespace

void ExitClearlyWithoutDisplay() { defaultHandler = qInstallMessageHandler(StartHandler); }

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
