#include "designer/PelmoraUiLoader.h"

#include "designer/PelmoraComponents.h"

#include <QWidget>

TPelmoraUiLoader::TPelmoraUiLoader(QObject* Parent) : QUiLoader(Parent) {}

QWidget* TPelmoraUiLoader::createWidget(const QString& ClassName, QWidget* Parent, const QString& Name)
{
    const TPelmoraComponent* c = PelmoraComponent(ClassName);
    if (!c)
        return QUiLoader::createWidget(ClassName, Parent, Name);
    QWidget* w = c->Create(Parent);
    w->setObjectName(Name);
    return w;
}
