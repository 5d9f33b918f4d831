#include "gallery/GalleryTabs.h"

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
    };
    button("Ampliar", "Tecla +: pulse en el gráfico para ampliar alrededor del punto",
           [this] { Plot->ZoomModeSet(zmZoomIn); });
    button("Reducir", "Tecla -: pulse en el gráfico para reducir alrededor del punto",
           [this] { Plot->ZoomModeSet(zmZoomOut); });
    button("Desplazar", "Tecla D: arrastre el gráfico", [this] { Plot->ZoomModeSet(zmPan); });
    button("Ver todo", "Tecla T: vuelve a la ventana inicial", [this] { Plot->ZoomAll(); });
    button("Sin modo", "Tecla Esc: el ratón no cambia la ventana", [this] { Plot->ZoomModeSet(zmNone); });
    row->addStretch(1);
    column->addLayout(row);

    Plot = new TCanvas2D(this);
    Plot->setFocusPolicy(Qt::StrongFocus);
    column->addWidget(Plot, 1);
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
    Plot->OnDraw = [this](TObject*) { PlotDraw(); };
    Plot->OnMouseMove = [this](TObject*, TShiftState, int X, int Y) {
        FStatus(QString::fromUtf8("x = %1    y = %2")
                    .arg(QString::fromStdString(Plot->ScrToValXS(X)), QString::fromStdString(Plot->ScrToValYS(Y))));
    };
    Plot->Draw();
}

double TGraficoTab::Function(double X) { return std::sin(2 * X) * std::exp(-X * X / 16); }

void TGraficoTab::keyPressEvent(QKeyEvent* e)
{
    switch (e->key()) {
    case Qt::Key_Plus: Plot->ZoomModeSet(zmZoomIn); break;
    case Qt::Key_Minus: Plot->ZoomModeSet(zmZoomOut); break;
    case Qt::Key_D: Plot->ZoomModeSet(zmPan); break;
    case Qt::Key_T: Plot->ZoomAll(); break;
    case Qt::Key_Escape: Plot->ZoomModeSet(zmNone); break;
    default: QWidget::keyPressEvent(e);
    }
}

void TGraficoTab::PlotDraw()
{
    TCanvas& c = Plot->DrawCanvas();
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
