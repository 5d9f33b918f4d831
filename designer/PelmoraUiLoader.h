// A form loader that knows the "Pelmora" components by the same table the
// Designer plugin uses, so a program (or a test) loads a form holding them
// without the plugin being installed.
#pragma once

#include <QUiLoader>

class TPelmoraUiLoader : public QUiLoader {
    Q_OBJECT
public:
    // A QUiLoader that also makes the components.
    explicit TPelmoraUiLoader(QObject* Parent = nullptr);

    // Makes a component of the palette by its class name, anything else
    // as QUiLoader does.
    QWidget* createWidget(const QString& ClassName, QWidget* Parent = nullptr, const QString& Name = QString()) override;
};
