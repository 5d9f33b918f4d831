#include "designer/PelmoraPlugin.h"

TPelmoraWidget::TPelmoraWidget(const TPelmoraComponent& Component, QObject* Parent)
    : QObject(Parent), FComponent(Component)
{
}

QString TPelmoraWidget::name() const { return QLatin1String(FComponent.ClassName); }
QString TPelmoraWidget::group() const { return QLatin1String(PelmoraGroup); }
QString TPelmoraWidget::toolTip() const { return QString::fromUtf8(FComponent.ToolTip); }
QString TPelmoraWidget::whatsThis() const { return toolTip(); }
QString TPelmoraWidget::includeFile() const { return QLatin1String(FComponent.IncludeFile); }
QIcon TPelmoraWidget::icon() const { return FComponent.Icon(); }
QWidget* TPelmoraWidget::createWidget(QWidget* Parent) { return FComponent.Create(Parent); }
QString TPelmoraWidget::domXml() const { return FComponent.DomXml(); }

TPelmoraCollection::TPelmoraCollection(QObject* Parent) : QObject(Parent)
{
    for (const auto& c : PelmoraComponents())
        FWidgets.append(new TPelmoraWidget(c, this));
}
