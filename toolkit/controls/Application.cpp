#include "toolkit/controls/Application.h"
#include "toolkit/graphics/FontEngine.h"

#include <QFont>
#include <QMessageBox>

TApplication* Application = nullptr;

// ------------------------------------------------------------ TApplication

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    Application = this;
    // Widgets name the classic faces too: give them the faces our own text
    // uses, so dialogs look the same whatever else is installed.
    for (const char* name : {"MS Sans Serif", "Times New Roman", "Courier", "Arial", "Small Fonts"}) {
        TFont font;
        font.Name = name;
        const std::string family = FontEngine::Instance().Face(font).Family;
        if (!family.empty())
            QFont::insertSubstitution(name, QString::fromStdString(family));
    }
}

TApplication::~TApplication()
{
    if (Application == this)
        Application = nullptr;
}

void TApplication::SetTitle(const std::string& value)
{
    title_ = value;
    setApplicationDisplayName(QString::fromStdString(value));
}

void TApplication::ProcessMessages() { processEvents(); }

void TApplication::ShowException(const std::exception& e)
{
    std::string message = e.what();
    // The error box ends a sentence that does not end itself.
    if (!message.empty() && message.back() != '.' && static_cast<unsigned char>(message.back()) > '.')
        message += '.';
    if (OnError) {
        OnError(message);
        return;
    }
    QMessageBox box(QMessageBox::Critical, QString::fromStdString(title_), QString::fromStdString(message),
                    QMessageBox::Ok, activeWindow());
    box.exec();
}

bool TApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        ShowException(e);
        return true;
    }
}
