#include "designer/PelmoraComponents.h"

#include "components/disk/DiskinfoPanel.h"
#include "components/plot/Tcanvas2d.h"
#include "components/scale/Tescala.h"
#include "components/panel/Tpnlimg.h"
#include "components/image/Tqelimage.h"
#include "designer/PelmoraIcons.h"

namespace {

template <class T>
QWidget* Make(QWidget* Parent)
{
    return new T(Parent);
}

// A plot draws when a property changes or it takes a new size; one placed
// at its initial size shows its empty axes from the start.
QWidget* MakeCanvas2D(QWidget* Parent)
{
    auto* plot = new TCanvas2D(Parent);
    plot->Draw();
    return plot;
}

// Sizes are those the constructors give, so a component dropped on a form
// looks as one made in code.
const TPelmoraComponent Table[] = {
    {"TQelImage", "components/image/Tqelimage.h", "Imagen de mapa de bits con primitivas de dibujo y texto girado",
     "QelImage1", 105, 105, Make<TQelImage>, IconQelImage},
    {"TPnlImg", "components/panel/Tpnlimg.h", "Panel con bisel que muestra una imagen, con barras de desplazamiento",
     "PnlImg1", 160, 160, Make<TPnlImg>, IconPnlImg},
    {"TCanvas2D", "components/plot/Tcanvas2d.h", "Lienzo de gráficos 2D con ejes, zoom y desplazamiento animados",
     "Canvas2D1", 160, 160, MakeCanvas2D, IconCanvas2D},
    {"TEscala", "components/scale/Tescala.h", "Escala de colores con las etiquetas de sus valores",
     "Escala1", 48, 320, Make<TEscala>, IconEscala},
    {"TDiskInfoPanel", "components/disk/DiskinfoPanel.h",
     "Información de un disco: tipo, etiqueta, sistema de archivos, número de serie y tamaños", "DiskInfo1", 100, 30,
     Make<TDiskInfoPanel>, IconDiskInfo},
};

} // namespace

QString TPelmoraComponent::DomXml() const
{
    return QStringLiteral("<ui language=\"c++\">\n"
                          " <widget class=\"%1\" name=\"%2\">\n"
                          "  <property name=\"geometry\">\n"
                          "   <rect><x>0</x><y>0</y><width>%3</width><height>%4</height></rect>\n"
                          "  </property>\n"
                          " </widget>\n"
                          "</ui>\n")
        .arg(QLatin1String(ClassName), QLatin1String(ObjectName))
        .arg(Width)
        .arg(Height);
}

std::span<const TPelmoraComponent> PelmoraComponents() { return Table; }

const TPelmoraComponent* PelmoraComponent(const QString& ClassName)
{
    for (const auto& c : Table)
        if (ClassName == QLatin1String(c.ClassName))
            return &c;
    return nullptr;
}
