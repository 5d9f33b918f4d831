#include "gallery/Pelmorau.h"

#include "gallery/GalleryTabs.h"

#include <QStatusBar>
#include <QTabWidget>

TPelmoraF::TPelmoraF(QWidget* Parent) : QMainWindow(Parent)
{
    setWindowTitle(QString::fromUtf8("Componentes Pelmora"));
    Tabs = new QTabWidget(this);
    setCentralWidget(Tabs);
    auto status = [this](const QString& text) { statusBar()->showMessage(text); };
    Tabs->addTab(new TImagenTab, QString::fromUtf8("Imagen"));
    Tabs->addTab(new TPanelTab, QString::fromUtf8("Panel"));
    Tabs->addTab(new TGraficoTab(status), QString::fromUtf8("Gráfico"));
    Tabs->addTab(new TEscalaTab(status), QString::fromUtf8("Escala"));
    Tabs->addTab(new TDiscosTab, QString::fromUtf8("Discos"));
    connect(Tabs, &QTabWidget::currentChanged, this, [this] { statusBar()->clearMessage(); });
    statusBar()->show();
    resize(900, 640);
}
