// Start-up of the stopwatch program: the application, its title and the
// main window, with the error box for anything that escapes.
#pragma once

#include <QLibraryInfo>
#include <QString>

int RunTilvo(int argc, char** argv);

// Qt's own texts (the colour chooser, the error box, the captions of the
// standard buttons) in Spanish whatever the user's locale, from Qt's
// translation files in `carpeta`. Without them Qt keeps its English, which
// is no error. True when the translation was installed.
bool CargarTraduccionQt(const QString& carpeta = QLibraryInfo::path(QLibraryInfo::TranslationsPath));

// Without a display the toolkit gives up in its own words, with an abort.
// After this call such a start says "no graphical display: set DISPLAY or
// WAYLAND_DISPLAY" and ends with status 1; with DISPLAY set, it says why
// that display cannot be used instead ("cannot connect to display :0:
// connection refused"). Call it first in main, before the application
// object is made.
void ExitClearlyWithoutDisplay();
