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
