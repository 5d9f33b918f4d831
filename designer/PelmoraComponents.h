// The components of the "Pelmora" palette, in one table: what Designer
// shows of each and how to make one. The Designer plugin and the form
// loader both read it, so a form loads the same with or without the plugin
// installed.
#pragma once

#include <QIcon>
#include <QString>

#include <span>

class QWidget;

struct TPelmoraComponent {
    const char* ClassName;
    const char* IncludeFile;
    // One line in Spanish, shown as the palette entry's tip.
    const char* ToolTip;
    // The object name Designer gives the first one on a form.
    const char* ObjectName;
    int Width;
    int Height;
    QWidget* (*Create)(QWidget* Parent);
    // The palette icon, drawn.
    QIcon (*Icon)();

    // The fragment Designer places: the class, its name and its size.
    QString DomXml() const;
};

// The palette page the components go on.
inline constexpr const char* PelmoraGroup = "Pelmora";

std::span<const TPelmoraComponent> PelmoraComponents();
// The entry of a class name, or null.
const TPelmoraComponent* PelmoraComponent(const QString& ClassName);
