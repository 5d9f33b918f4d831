// Shows the plotting canvas: a damped wave, a point cloud and a few filled
// triangles on framed axes, with buttons (and keys) for the three mouse
// modes, the home window and the way back and forth through the windows
// visited. The wheel zooms around the pointer.
#include "components/plot/Tcanvas2d.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>

#include <cmath>
#include <random>
#include <string>
#include <vector>

namespace {

class DemoWindow : public QWidget {
public:
    DemoWindow()
    {
        setWindowTitle(QString::fromUtf8("Lienzo 2D"));
        auto* column = new QVBoxLayout(this);
        plot_ = new TCanvas2D(this);
        plot_->setMinimumSize(300, 200);
        column->addWidget(plot_, 1);

        auto* row = new QHBoxLayout;
        auto button = [&](const char* text, auto action) {
            auto* b = new QPushButton(QString::fromUtf8(text), this);
            b->setFocusPolicy(Qt::NoFocus);
            connect(b, &QPushButton::clicked, this, action);
            row->addWidget(b);
        };
        button("&Ampliar", [this] { plot_->ZoomModeSet(zmZoomIn); });
        button("&Reducir", [this] { plot_->ZoomModeSet(zmZoomOut); });
        button("&Desplazar", [this] { plot_->ZoomModeSet(zmPan); });
        button("&Ninguno", [this] { plot_->ZoomModeSet(zmNone); });
        button("&Todo", [this] { plot_->ZoomAll(); });
        button("Atrás", [this] { plot_->ZoomBack(); });
        button("Adelante", [this] { plot_->ZoomForward(); });
        row->addStretch(1);
        where_ = new QLabel(this);
        where_->setMinimumWidth(170);
        row->addWidget(where_);
        column->addLayout(row);

        std::mt19937 rng(7);
        std::normal_distribution<double> gx(6.5, 1.2), gy(2.5, 0.8);
        for (int i = 0; i < 400; ++i)
            cloud_.push_back({gx(rng), gy(rng)});

        plot_->SetAxisXMin(-1);
        plot_->SetAxisXMax(11);
        plot_->SetAxisYMin(-1);
        plot_->SetAxisYMax(11);
        plot_->SetZoomAllXMin(-1);
        plot_->SetZoomAllXMax(11);
        plot_->SetZoomAllYMin(-1);
        plot_->SetZoomAllYMax(11);
        plot_->SetWheelZoom(true);
        plot_->OnDraw = [this](TObject*) { PlotDraw(); };
        plot_->OnMouseMove = [this](TObject*, TShiftState, int x, int y) {
            where_->setText(QString::fromStdString("x " + plot_->ScrToValXS(x) + "   y " + plot_->ScrToValYS(y)));
        };
        resize(720, 560);
    }

protected:
    void keyPressEvent(QKeyEvent* e) override
    {
        switch (e->key()) {
        case Qt::Key_A: plot_->ZoomModeSet(zmZoomIn); break;
        case Qt::Key_R: plot_->ZoomModeSet(zmZoomOut); break;
        case Qt::Key_D: plot_->ZoomModeSet(zmPan); break;
        case Qt::Key_N:
        case Qt::Key_Escape: plot_->ZoomModeSet(zmNone); break;
        case Qt::Key_T: plot_->ZoomAll(); break;
        case Qt::Key_Left: plot_->ZoomBack(); break;
        case Qt::Key_Right: plot_->ZoomForward(); break;
        default: QWidget::keyPressEvent(e);
        }
    }

private:
    void PlotDraw()
    {
        TCanvas& c = plot_->DrawCanvas();
        // A few filled triangles under everything else.
        c.Pen.Color = 0x00804000;
        c.Brush.Color = 0x00603000;
        plot_->Triangle(0.5, 8, 2.5, 8, 1.5, 10);
        plot_->Triangle(8, 7.5, 10.5, 7.5, 9.25, 10.2);

        // The point cloud.
        c.Pen.Color = clLime;
        c.Brush.Color = 0x0000A000;
        for (const auto& [x, y] : cloud_)
            plot_->Point(x, y, 2);

        // The damped wave, in steps of a pixel or so whatever the zoom.
        c.Pen.Color = clYellow;
        const double x0 = plot_->AxisXMin(), x1 = plot_->AxisXMax();
        const int n = std::max(plot_->ClientWidthGet(), 2);
        auto f = [](double x) { return 5 + 4 * std::sin(1.5 * x) * std::exp(-x / 8); };
        for (int i = 0; i < n; ++i) {
            const double a = x0 + (x1 - x0) * i / n, b = x0 + (x1 - x0) * (i + 1) / n;
            plot_->Line(a, f(a), b, f(b));
        }
        c.Font.Color = clYellow;
        c.SetTextAlign(TA_LEFT | TA_TOP);
        plot_->TextOutA(1.0, f(1.0), 6, -18, "f(x) = 5 + 4 sen(1,5x) e^(-x/8)");
        c.Font.Color = clLime;
        plot_->TextOutA(8.5, 0.5, 0, 0, "nube de puntos");
    }

    TCanvas2D* plot_;
    QLabel* where_;
    std::vector<std::pair<double, double>> cloud_;
};

}  // namespace

int main(int argc, char** argv)
{
    TApplication app(argc, argv);
    app.SetTitle("Lienzo 2D");
    DemoWindow window;
    window.show();
    return app.exec();
}
