// The Spanish message for a picture file that could not be read or written,
// made from the EInvalidGraphic message of the picture files.
#pragma once

#include <QString>

#include <functional>
#include <string>

class QWidget;

// Names the file and gives the reason in Spanish: "No se puede abrir la
// imagen «x.png»: el archivo está incompleto." A reason that is not known
// here is given as it came.
std::string PictureErrorText(bool Writing, const std::string& FileName, const std::string& Message);

// Runs Action, the reading (Writing false) or writing of the picture file
// Name. What it raises goes to the error box, a picture file's failure in
// Spanish as PictureErrorText gives it. Whether it went through.
bool PictureFileDo(bool Writing, const QString& Name, const std::function<void()>& Action);

// What a drawing can be saved as.
inline constexpr const char* DrawingFilter = "PNG (*.png);;SVG (*.svg);;PDF (*.pdf)";

// Asks for the name of a picture to write in Qt's own dialog (so in Qt's
// Spanish), offering the formats of Filter ("PNG (*.png);;SVG (*.svg)"); a
// name without an extension takes the chosen format's. Empty when the
// dialog was cancelled.
QString PictureSaveName(QWidget* Parent, const QString& Title, const char* Filter);
