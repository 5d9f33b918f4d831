#include "gallery/GalleryTabs.h"

#include "gallery/PictureErrors.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCursor>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <random>

TGraficoTab::TGraficoTab(TStatusLine Status, QWidget* Parent) : QWidget(Parent), FStatus(std::move(Status))
{
    auto* column = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    auto button = [&](const char* text, const char* tip, auto action) {
        auto* b = new QPushButton(QString::fromUtf8(text), this);
        b->setToolTip(QString::fromUtf8(tip));
        b->setFocusPolicy(Qt::NoFocus);
        connect(b, &QPushButton::clicked, this, action);
        row->addWidget(b);
        return b;
    };
    // The mode buttons stay pressed while their mode lasts.
    Modes = new QButtonGroup(this);
    auto mode = [&](const char* text, const char* tip, int zoomMode) {
        QPushButton* b = button(text, tip, [this, zoomMode] { ModeSet(zoomMode); });
        b->setCheckable(true);
        Modes->addButton(b, zoomMode);
    };
    mode("Ampliar", "Tecla +: pulse en el gráfico para ampliar alrededor del punto", zmZoomIn);
    mode("Reducir", "Tecla -: pulse en el gráfico para reducir alrededor del punto", zmZoomOut);
    mode("Desplazar", "Tecla D: arrastre el gráfico", zmPan);
    mode("Sin modo", "Tecla Esc: el ratón no cambia la ventana", zmNone);
    row->addSpacing(12);
    button("Ver todo", "Tecla T: vuelve a la ventana inicial", [this] { ZoomAll(); });
    Back = button("Atrás", "Alt+←: la ventana vista antes", [this] { HistoryBack(); });
    Forward = button("Adelante", "Alt+→: la ventana vista después", [this] { HistoryForward(); });
    row->addStretch(1);
    button("Guardar como…", "El gráfico tal como se ve, en PNG, SVG o PDF", [this] { FileSave(); });
    // How the axes are marked; the plot keeps its window.
    auto toggle = [&](const char* text, const char* tip) {
        auto* b = new QCheckBox(QString::fromUtf8(text), this);
        b->setToolTip(QString::fromUtf8(tip));
        b->setFocusPolicy(Qt::NoFocus);
        row->addWidget(b);
        return b;
    };
    RoundMarks = toggle("Marcas redondas", "Marcas en valores redondos: pasos de 1, 2 o 5 por una potencia de diez");
    Grid = toggle("Cuadrícula", "Una línea a través del gráfico en cada marca");
    column->addLayout(row);

    Plot = new TCanvas2D(this);
    Plot->setFocusPolicy(Qt::StrongFocus);
    column->addWidget(Plot, 1);
    connect(RoundMarks, &QCheckBox::toggled, Plot, &TCanvas2D::SetAxisMarksRound);
    connect(Grid, &QCheckBox::toggled, Plot, &TCanvas2D::SetAxisGrid);
    setFocusProxy(Plot);

    std::mt19937 rng(14);
    std::normal_distribution<double> gx(-2, 1.1), gy(-0.4, 0.25);
    for (int i = 0; i < 300; ++i)
        FCloud.push_back({gx(rng), gy(rng)});

    Plot->SetAxisXMin(-6);
    Plot->SetAxisXMax(6);
    Plot->SetAxisYMin(-1.5);
    Plot->SetAxisYMax(1.5);
    Plot->SetZoomAllXMin(-6);
    Plot->SetZoomAllXMax(6);
    Plot->SetZoomAllYMin(-1.5);
    Plot->SetZoomAllYMax(1.5);
    Plot->SetWheelZoom(true);
    Plot->OnDraw = [this](TObject*) {
        PlotDraw();
        // The window moved under the pointer.
        PointerShow();
        ControlsShow();
    };
    Plot->OnMouseMove = [this](TObject*, TShiftState, int X, int Y) { PointerShow(QPoint(X, Y)); };
    // A press of another button leaves the mode.
    Plot->OnMouseDown = [this](TObject*, TMouseButton, TShiftState, int, int) { ControlsShow(); };
    Plot->Draw();
}

void TGraficoTab::ModeSet(int Mode)
{
    Plot->ZoomModeSet(Mode);
    ControlsShow();
}

void TGraficoTab::ZoomAll()
{
    Plot->ZoomAll();
    ControlsShow();
}

void TGraficoTab::HistoryBack()
{
    Plot->ZoomBack();
    ControlsShow();
}

void TGraficoTab::HistoryForward()
{
    Plot->ZoomForward();
    ControlsShow();
}

void TGraficoTab::FileSave()
{
    const QString name = PictureSaveName(this, QString::fromUtf8("Guardar gráfico"), DrawingFilter);
    if (!name.isEmpty())
        Save(name);
}

void TGraficoTab::Save(const QString& Name)
{
    const TQelImage& surface = Plot->Image();
    if (PictureFileDo(true, Name, [&] { Plot->SaveToFile(Name.toStdString(), surface.Width(), surface.Height()); }))
        FStatus(QString::fromUtf8("Gráfico guardado en «%1»").arg(Name));
}

void TGraficoTab::ControlsShow()
{
    if (QAbstractButton* b = Modes->button(Plot->ZoomMode()))
        b->setChecked(true);
    Back->setEnabled(Plot->ZoomHistory().BackIndex(Plot->Window()).has_value());
    Forward->setEnabled(Plot->ZoomHistory().ForwardIndex().has_value());
}

void TGraficoTab::PointerShow() { PointerShow(Plot->Image().mapFromGlobal(QCursor::pos())); }

void TGraficoTab::PointerShow(QPoint At)
{
    if (!Plot->Image().rect().contains(At)) {
        FStatus(QString());
        return;
    }
    FStatus(QString::fromUtf8("x = %1    y = %2")
                .arg(QString::fromStdString(Plot->ScrToValXS(At.x())), QString::fromStdString(Plot->ScrToValYS(At.y()))));
}

double TGraficoTab::Function(double X) { return std::sin(2 * X) * std::exp(-X * X / 16); }

void TGraficoTab::keyPressEvent(QKeyEvent* e)
{
    if (e->modifiers() & Qt::AltModifier) {
        switch (e->key()) {
        case Qt::Key_Left: HistoryBack(); break;
        case Qt::Key_Right: HistoryForward(); break;
        default: QWidget::keyPressEvent(e);
        }
        return;
    }
    switch (e->key()) {
    case Qt::Key_Plus: ModeSet(zmZoomIn); break;
    case Qt::Key_Minus: ModeSet(zmZoomOut); break;
    case Qt::Key_D: ModeSet(zmPan); break;
    case Qt::Key_T: ZoomAll(); break;
    case Qt::Key_Escape: ModeSet(zmNone); break;
    default: QWidget::keyPressEvent(e);
    }
}

void TGraficoTab::PlotDraw()
{
    TCanvas& c = Plot->DrawCanvas();
    // Filled triangles under everything else.
    c.Pen.Color = 0x00A08040;
    c.Brush.Color = 0x00705020;
    Plot->Triangle(3, 0.6, 5.5, 0.6, 4.25, 1.4);
    Plot->Triangle(3.5, -1.4, 5.5, -1.4, 4.5, -0.8);

    c.Pen.Color = 0x0000C0FF;
    c.Brush.Color = 0x000080C0;
    for (const auto& [x, y] : FCloud)
        Plot->Point(x, y, 2);

    // The curve in steps of about a pixel, whatever the zoom.
    c.Pen.Color = clYellow;
    const double x0 = Plot->AxisXMin(), x1 = Plot->AxisXMax();
    const int n = std::max(Plot->ClientWidthGet(), 2);
    for (int i = 0; i < n; ++i) {
        const double a = x0 + (x1 - x0) * i / n, b = x0 + (x1 - x0) * (i + 1) / n;
        Plot->Line(a, Function(a), b, Function(b));
    }
    c.Font.Color = clYellow;
    c.SetTextAlign(TA_LEFT | TA_TOP);
    Plot->TextOutA(0.8, Function(0.8), 8, -4, "sen(2x) · e^(-x²/16)");
}
