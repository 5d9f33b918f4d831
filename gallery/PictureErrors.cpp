#include "gallery/PictureErrors.h"

#include "toolkit/controls/Controls.h"
#include "toolkit/system/Errors.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>

#include <initializer_list>
#include <regex>
#include <utility>

namespace {

using TPhrases = std::initializer_list<std::pair<const char*, const char*>>;

// The Spanish for an English phrase of the table, or the phrase itself.
std::string Spanish(const std::string& text, TPhrases table)
{
    for (const auto& [en, es] : table)
        if (text == en)
            return es;
    return text;
}

// What the system says of a failed call, as strerror gives it.
std::string SystemReason(const std::string& text)
{
    return Spanish(text, {
        {"Permission denied", "permiso denegado"},
        {"No such file or directory", "no existe el archivo o la carpeta"},
        {"No space left on device", "no queda espacio en el dispositivo"},
        {"Read-only file system", "el sistema de archivos es de solo lectura"},
        {"Is a directory", "es una carpeta"},
        {"Not a directory", "una parte de la ruta no es una carpeta"},
        {"Disk quota exceeded", "se ha superado la cuota de disco"},
        {"File name too long", "el nombre del archivo es demasiado largo"},
        {"Too many levels of symbolic links", "demasiados enlaces simbólicos"},
        {"Input/output error", "error de entrada o salida"},
        {"Operation not permitted", "operación no permitida"},
        {"File too large", "el archivo es demasiado grande"},
    });
}

// The reason part of a message, in Spanish.
std::string Reason(const std::string& reason)
{
    const std::string fixed = Spanish(reason, {
        {"file not found", "el archivo no existe"},
        {"is a folder, not a file", "es una carpeta, no un archivo"},
        {"not a regular file", "no es un archivo corriente"},
        {"file too large", "el archivo es demasiado grande"},
        {"empty file", "el archivo está vacío"},
        {"truncated file", "el archivo está incompleto"},
        {"not enough memory", "no hay memoria suficiente"},
        {"the picture is empty", "la imagen está vacía"},
        {"the file is read-only", "el archivo es de solo lectura"},
        {"no file name", "falta el nombre del archivo"},
        {"not a metafile", "no es un metarchivo"},
        {"picture too large", "la imagen es demasiado grande"},
        {"no picture format named", "el nombre no indica el formato de la imagen"},
    });
    if (fixed != reason)
        return fixed;
    // Reasons with a detail in parentheses: the system's reason is
    // translated, a format's detail is kept as it is.
    static const std::pair<std::regex, const char*> patterns[] = {
        {std::regex(R"(cannot open the file \((.*)\))"), "no se puede abrir el archivo"},
        {std::regex(R"(cannot read the file \((.*)\))"), "no se puede leer el archivo"},
        {std::regex(R"(cannot write the file \((.*)\))"), "no se puede escribir el archivo"},
        {std::regex(R"(cannot create the file \((.*)\))"), "no se puede crear el archivo"},
        {std::regex(R"(cannot reach the file \((.*)\))"), "no se puede llegar al archivo"},
        {std::regex(R"(the link leads to no file \((.*)\))"), "el enlace no lleva a ningún archivo"},
    };
    std::smatch m;
    for (const auto& [re, es] : patterns)
        if (std::regex_match(reason, m, re))
            return std::string(es) + " (" + SystemReason(m[1]) + ")";
    if (std::regex_match(reason, m, std::regex(R"(not a (\w+) file)")))
        return "no es un archivo " + m[1].str();
    if (std::regex_match(reason, m, std::regex(R"(unsupported (\w+) (format|header)(.*))")))
        return "formato " + m[1].str() + " no admitido" + m[3].str();
    if (std::regex_match(reason, m, std::regex(R"(corrupt (\w+ )?(file|metafile)(.*))")))
        return "el archivo está dañado" + m[3].str();
    if (std::regex_match(reason, m, std::regex(R"(picture too large(.*))")))
        return "la imagen es demasiado grande" + m[1].str();
    if (std::regex_match(reason, m, std::regex(R"(invalid picture size(.*))")))
        return "la imagen tiene un tamaño imposible" + m[1].str();
    if (std::regex_match(reason, m, std::regex(R"(unknown picture format(.*))")))
        return "formato de imagen desconocido" + m[1].str();
    if (std::regex_match(reason, m, std::regex(R"(cannot make a (\w+) file(.*))")))
        return "no se puede crear el archivo " + m[1].str() + m[2].str();
    return reason;
}

}  // namespace

std::string PictureErrorText(bool Writing, const std::string& FileName, const std::string& Message)
{
    // The message names the file first, then the reason after ": ".
    const std::string mark = "'" + FileName + "': ";
    const auto at = Message.find(mark);
    const std::string reason = at == std::string::npos ? Message : Message.substr(at + mark.size());
    return std::string(Writing ? "No se puede guardar" : "No se puede abrir") + " la imagen «" + FileName +
           "»: " + Reason(reason) + ".";
}

bool PictureFileDo(bool Writing, const QString& Name, const std::function<void()>& Action)
{
    try {
        Action();
        return true;
    } catch (const EInvalidGraphic& e) {
        Application->ShowException(Exception(PictureErrorText(Writing, Name.toStdString(), e.Message())));
    } catch (const std::exception& e) {
        Application->ShowException(e);
    }
    return false;
}

QString PictureSaveName(QWidget* Parent, const QString& Title, const char* Filter)
{
    QString chosen;
    QString name = QFileDialog::getSaveFileName(Parent, Title, QString(), QString::fromUtf8(Filter), &chosen,
                                                QFileDialog::DontUseNativeDialog);
    // The extension chooses the format: give the one of the chosen filter
    // when the name has none.
    if (!name.isEmpty() && QFileInfo(name).suffix().isEmpty())
        name += QRegularExpression(R"(\(\*(\.\w+))").match(chosen).captured(1);
    return name;
}
