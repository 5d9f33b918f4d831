// The Spanish message for a picture file that could not be read or written,
// made from the EInvalidGraphic message of the picture files.
#pragma once

#include <string>

// Names the file and gives the reason in Spanish: "No se puede abrir la
// imagen «x.png»: el archivo está incompleto." A reason that is not known
// here is given as it came.
std::string PictureErrorText(bool Writing, const std::string& FileName, const std::string& Message);
