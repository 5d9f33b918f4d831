// A function on framed axes, explored with the mouse: "Ampliar" and a
// left click zoom in on a box, "Reducir" zooms out around a click,
// "Desplazar" drags the plot, "Todo" goes back to the whole, and the wheel
// zooms around the pointer.
//
//   plot_function            the window
//   plot_function --check    draws once off screen and checks the curve
#include "components/plot/Tcanvas2d.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

double F(double x) { return x == 0 ? 1 : std::sin(x) / x; }

const TColor CurveColour = clYellow;

// Draws F across the visible window, a segment every two pixels or so.
void DrawFunction(TCanvas2D& plot)
{
    plot.DrawCanvas().Pen.Color = CurveColour;
    const double x0 = plot.AxisXMin(), x1 = plot.AxisXMax();
    const int n = std::max(plot.ClientWidthGet() / 2, 2);
    std::vector<double> xs(n + 1), ys(n + 1);
    for (int i = 0; i <= n; ++i) {
        xs[i] = x0 + (x1 - x0) * i / n;
        ys[i] = F(xs[i]);
    }
    plot.Polyline(xs, ys);
}

}  // namespace

int main(int argc, char** argv)
{
    const bool check = argc > 1 && std::strcmp(argv[1], "--check") == 0;
    TApplication app(argc, argv);

    QWidget window;
    window.setWindowTitle(QString::fromUtf8("sen(x) / x"));
    auto* column = new QVBoxLayout(&window);
    auto* plot = new TCanvas2D(&window);
    column->addWidget(plot, 1);
    auto* row = new QHBoxLayout;
    column->addLayout(row);
    auto button = [&](const char* text, auto action) {
        auto* b = new QPushButton(QString::fromUtf8(text), &window);
        QObject::connect(b, &QPushButton::clicked, plot, action);
        row->addWidget(b);
    };
    button("Ampliar", [plot] { plot->ZoomModeSet(zmZoomIn); });
    button("Reducir", [plot] { plot->ZoomModeSet(zmZoomOut); });
    button("Desplazar", [plot] { plot->ZoomModeSet(zmPan); });
    button("Todo", [plot] { plot->ZoomAll(); });

    plot->SetAxisXMin(-20);
    plot->SetAxisXMax(20);
    plot->SetAxisYMin(-0.5);
    plot->SetAxisYMax(1.2);
    plot->SetZoomAllXMin(-20);
    plot->SetZoomAllXMax(20);
    plot->SetZoomAllYMin(-0.5);
    plot->SetZoomAllYMax(1.2);
    plot->SetWheelZoom(true);
    QObject::connect(plot, &TCanvas2D::drawRequested, plot, [plot] { DrawFunction(*plot); });

    window.resize(640, 480);
    window.show();
    if (!check)
        return app.exec();

    // Off screen: the top of the curve, at x = 0, must be drawn.
    app.processEvents();
    plot->Draw();
    const TBitmap& bitmap = plot->Image().Picture().Bitmap();
    // The bitmap has PixelRatio() pixels per pixel of the mapping (2 on a
    // high-density screen).
    const double r = plot->PixelRatio();
    const int x = int(plot->ValToScrX(0) * r), y = int(plot->ValToScrY(1) * r);
    bool found = false;
    for (int dy = -2; dy <= 2; ++dy)
        if (y + dy >= 0 && y + dy < bitmap.Height())
            found |= PixelToColor(bitmap.ScanLine(y + dy)[x]) == CurveColour;
    std::printf("%s: curve %s at pixel (%d, %d)\n", found ? "ok" : "FAILED", found ? "drawn" : "missing", x, y);
    return found ? 0 : 1;
}
