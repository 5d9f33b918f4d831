#include "gallery/GalleryTabs.h"

#include "gallery/PictureErrors.h"
#include "toolkit/system/Errors.h"

#include "toolkit/controls/Controls.h"
#include "toolkit/graphics/Graphics.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

// What the picture files can be: read, and written (metafiles are read only).
const char* const ReadFilter = "Imágenes (*.bmp *.pcx *.gif *.jpg *.jpeg *.tif *.tiff *.png *.wmf *.emf);;"
                               "Todos los archivos (*)";
const char* const WriteFilter = "BMP (*.bmp);;PCX (*.pcx);;GIF (*.gif);;JPEG (*.jpg *.jpeg);;TIFF (*.tif *.tiff);;"
                                "PNG (*.png)";

QPushButton* Button(const char* text, QWidget* parent, QHBoxLayout* row)
{
    auto* b = new QPushButton(QString::fromUtf8(text), parent);
    row->addWidget(b);
    return b;
}

} // namespace

TImagenTab::TImagenTab(QWidget* Parent) : QWidget(Parent)
{
    auto* column = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    connect(Button("&Abrir…", this, row), &QPushButton::clicked, this, [this] { FileOpen(); });
    connect(Button("&Guardar…", this, row), &QPushButton::clicked, this, [this] { FileSave(); });
    row->addSpacing(12);
    row->addWidget(new QLabel(QString::fromUtf8("Ángulo:"), this));
    Angle = new QSpinBox(this);
    Angle->setRange(-359, 359);
    Angle->setValue(30);
    Angle->setSuffix(QString::fromUtf8("°"));
    row->addWidget(Angle);
    connect(Button("G&irar", this, row), &QPushButton::clicked, this, [this] { Turn(); });
    row->addSpacing(12);
    connect(Button("&Muestra", this, row), &QPushButton::clicked, this, [this] { Sample(); });
    connect(Button("In&vertir texto", this, row), &QPushButton::clicked, this, [this] { TextInvert(); });
    row->addStretch(1);
    column->addLayout(row);

    // Loading and turning size the control to the picture; the scroll area
    // shows what does not fit.
    auto* area = new QScrollArea(this);
    Image = new TQelImage;
    Image->SetHeightWidth(360, 560);
    area->setWidget(Image);
    column->addWidget(area, 1);
    Sample();
}

void TImagenTab::Sample()
{
    Image->SetHeightWidth(360, 560);
    Image->Fill(0x00FFFFFF);

    // A pixel pass: a red-blue gradient written row by row.
    Image->PixelOpen();
    for (int y = 10; y < 150; ++y) {
        Image->PixelRowSet(y);
        for (int x = 10; x < 190; ++x)
            Image->PixelSet(x, static_cast<TColor>(((x - 10) * 255 / 180) | (((y - 10) * 255 / 140) << 16)));
    }
    Image->PixelClose();

    Image->Rect3D(210, 10, 350, 70, clBtnFace, 3, true);
    Image->Rect3D(210, 80, 350, 150, clBtnFace, 3, false);
    // Colours combined by OR on a dark ground: where the square and the
    // ellipse overlap, red and blue give magenta.
    TCanvas& c = Image->Canvas();
    c.Pen.Color = c.Brush.Color = 0x00202020;
    c.Brush.Style = bsSolid;
    c.Rectangle(10, 165, 210, 305);
    Image->RectTrans(20, 175, 130, 255, 0x000000FF);
    Image->EllipseTrans(70, 200, 200, 300, 0x00FF0000);
    Image->Ball3D(380, 20, 520, 160, 0x00800000, 0x00FFC0C0, true);

    c.Brush.Style = bsClear;
    c.Font.Name = "Arial";
    c.Font.SetSize(12);
    c.Font.Color = 0x00000080;
    for (int a = 0; a < 360; a += 45)
        Image->TextOutRot(330, 260, a, "  Pelmora");
    c.Font.Color = 0x00006000;
    for (int a = 0; a < 360; a += 90)
        Image->TextOutAxial(470, 260, 50, a, "alrededor");
    TextInvert();
}

void TImagenTab::TextInvert()
{
    TCanvas& c = Image->Canvas();
    c.Font.Name = "Arial";
    c.Font.SetSize(16);
    c.Font.Escapement = 0;
    Image->TextOutInv(20, 292, "Texto que se invierte");
}

void TImagenTab::FileOpen()
{
    const QString name = QFileDialog::getOpenFileName(this, QString::fromUtf8("Abrir imagen"), QString(),
                                                      QString::fromUtf8(ReadFilter));
    if (!name.isEmpty())
        Open(name);
}

void TImagenTab::Open(const QString& Name)
{
    // A file that cannot be read is reported in the error box, and the
    // picture stays as it was.
    PictureFileDo(false, Name, [&] { Image->LoadFromFile(Name.toStdString()); });
}

void TImagenTab::Save(const QString& Name)
{
    PictureFileDo(true, Name, [&] { Image->SaveToFile(Name.toStdString()); });
}

void TImagenTab::FileSave()
{
    const QString name = PictureSaveName(this, QString::fromUtf8("Guardar imagen"), WriteFilter);
    if (!name.isEmpty())
        Save(name);
}

void TImagenTab::Turn()
{
    Image->Rotate(Angle->value());
    // The turned picture is larger: the control takes its size.
    const TBitmap& b = Image->Picture().Bitmap();
    Image->SetHeightWidth(b.Height(), b.Width());
}
