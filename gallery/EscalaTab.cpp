#include "gallery/GalleryTabs.h"

#include "gallery/PictureErrors.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include <cmath>
#include <vector>

namespace {

QComboBox* Choice(std::initializer_list<const char*> items, QWidget* parent)
{
    auto* box = new QComboBox(parent);
    for (const char* item : items)
        box->addItem(QString::fromUtf8(item));
    return box;
}

QDoubleSpinBox* Number(double value, double low, double high, QWidget* parent)
{
    auto* box = new QDoubleSpinBox(parent);
    box->setRange(low, high);
    box->setDecimals(1);
    box->setValue(value);
    return box;
}

} // namespace

TEscalaTab::TEscalaTab(TStatusLine Status, QWidget* Parent) : QWidget(Parent), FStatus(std::move(Status))
{
    auto* row = new QHBoxLayout(this);
    FStage = new QGridLayout;
    row->addLayout(FStage, 1);
    auto* form = new QFormLayout;
    row->addLayout(form);

    Field = new TQelImage(this);
    Field->setMinimumSize(200, 150);
    Scale = new TEscala(this);
    FStage->addWidget(Field, 0, 0);

    Graduation = Choice({"Dos colores", "Tres colores"}, this);
    Orientation = Choice({"Vertical", "Horizontal"}, this);
    Position = Choice({"Normal", "Inversa"}, this);
    Interval = Number(0, 0, 1000, this);
    Minimum = Number(0, -1000, 1000, this);
    Maximum = Number(100, -1000, 1000, this);
    Graduation->setCurrentIndex(1);
    form->addRow(QString::fromUtf8("Graduación:"), Graduation);
    form->addRow(QString::fromUtf8("Orientación:"), Orientation);
    form->addRow(QString::fromUtf8("Posición:"), Position);
    form->addRow(QString::fromUtf8("Intervalo:"), Interval);
    form->addRow(QString::fromUtf8("Mínimo:"), Minimum);
    form->addRow(QString::fromUtf8("Máximo:"), Maximum);
    form->addRow(new QLabel(QString::fromUtf8("El campo va de −10 a 110;\nla marca sigue al puntero\nen la escala vertical."),
                            this));

    // Scales docked to a panel's edges size themselves to what they show;
    // the field takes what is left.
    auto* dock = new TCustomPanel(this);
    dock->SetBevelOuter(bvLowered);
    dock->setFixedSize(260, 190);
    Docked = new TQelImage(dock);
    Docked->SetAlign(alClient);
    DockedBottom = new TEscala(dock);
    DockedBottom->SetGraduation(egThree);
    DockedBottom->SetPosition(epInverse);
    DockedBottom->SetAlignment(eaBottom);
    DockedBottom->SetFormat("0");
    DockedBottom->SetTextInterval(3);
    DockedRight = new TEscala(dock);
    DockedRight->SetGraduation(egThree);
    DockedRight->SetAlignment(eaRight);
    DockedRight->SetFormat("0");
    Docked->OnResize = [this](TObject*) { Colour(*Docked, *DockedRight); };
    form->addRow(new QLabel(QString::fromUtf8("Acopladas abajo y a la derecha:"), this));
    form->addRow(dock);
    Colour(*Docked, *DockedRight);

    auto* save = new QPushButton(QString::fromUtf8("Guardar escala…"), this);
    save->setToolTip(QString::fromUtf8("La escala tal como se ve, en PNG, SVG o PDF"));
    connect(save, &QPushButton::clicked, this, [this] { FileSave(); });
    form->addRow(save);
    for (QComboBox* box : {Graduation, Orientation, Position})
        connect(box, &QComboBox::currentIndexChanged, this, [this] { Apply(); });
    for (QDoubleSpinBox* box : {Interval, Minimum, Maximum})
        connect(box, &QDoubleSpinBox::valueChanged, this, [this] { Apply(); });

    Field->OnResize = [this](TObject*) { FieldDraw(); };
    Field->OnMouseMove = [this](TObject*, TShiftState, int X, int Y) {
        const double v = FieldValue(X, Y);
        FStatus(QString::fromUtf8("Valor: %1").arg(v, 0, 'f', 2));
        if (Scale->Orientation() == Escala::eoVertical) {
            Scale->Draw();
            Scale->DrawMarkVertical(v);
        }
    };
    Apply();
}

double TEscalaTab::Value(double U, double V)
{
    return 50 + 60 * std::sin(U * 6.28) * std::cos(V * 6.28 * 0.75);
}

double TEscalaTab::FieldValue(int X, int Y) const
{
    return Value(X / double(std::max(Field->width(), 1)), Y / double(std::max(Field->height(), 1)));
}

// A field is coloured by the scale's own mapping, so the two always agree.
void TEscalaTab::Colour(TQelImage& Image, const TEscala& With)
{
    TBitmap& b = Image.Picture().Bitmap();
    const double w = std::max(Image.width(), 1), h = std::max(Image.height(), 1);
    std::vector<double> values(static_cast<std::size_t>(b.Width()));
    std::vector<TColor> colors(values.size());
    Image.PixelOpen();
    for (int y = 0; y < b.Height(); ++y) {
        for (int x = 0; x < b.Width(); ++x)
            values[static_cast<std::size_t>(x)] = Value(x / w, y / h);
        With.ValuesToColors(values.data(), colors.data(), values.size());
        Image.PixelRowSet(y);
        for (int x = 0; x < b.Width(); ++x)
            Image.PixelSet(x, colors[static_cast<std::size_t>(x)]);
    }
    Image.PixelClose();
}

void TEscalaTab::FieldDraw() { Colour(*Field, *Scale); }

void TEscalaTab::FileSave()
{
    const QString name = PictureSaveName(this, QString::fromUtf8("Guardar escala"), DrawingFilter);
    if (!name.isEmpty())
        Save(name);
}

void TEscalaTab::Save(const QString& Name)
{
    const TQelImage& picture = *Scale->Image;
    if (PictureFileDo(true, Name, [&] { Scale->SaveToFile(Name.toStdString(), picture.Width(), picture.Height()); }))
        FStatus(QString::fromUtf8("Escala guardada en «%1»").arg(Name));
}

void TEscalaTab::Apply()
{
    Scale->SetGraduation(static_cast<TEscalaGraduation>(Graduation->currentIndex()));
    Scale->SetPosition(static_cast<TEscalaPosition>(Position->currentIndex()));
    // A range the wrong way round is not taken: the scale keeps its last.
    if (Maximum->value() > Minimum->value())
        Scale->SetMaxMin(Maximum->value(), Minimum->value());
    Scale->SetInterval(Interval->value());

    const bool vertical = Orientation->currentIndex() == 0;
    Scale->SetOrientation(vertical ? Escala::eoVertical : Escala::eoHorizontal);
    FStage->removeWidget(Scale);
    Scale->setMinimumSize(0, 0);
    Scale->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    // The scale sizes itself across its band to what it shows; the layout
    // keeps that size and gives it the length of the field.
    Scale->Draw();
    if (vertical) {
        Scale->setFixedWidth(Scale->Width());
        FStage->addWidget(Scale, 0, 1);
    } else {
        Scale->setFixedHeight(Scale->Height());
        FStage->addWidget(Scale, 1, 0);
    }
    FieldDraw();
}
