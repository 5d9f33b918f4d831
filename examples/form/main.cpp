// A form made in Qt Designer with two components, compiled by uic: a plot
// of circles coloured by their radius through the colour scale beside it.
//
//   designer_form            the window
//   designer_form --check    draws once off screen and checks the plot
#include "ui_Ventana.h"

#include <cmath>
#include <numbers>
#include <cstdio>
#include <cstring>

namespace {

// Rings of points round the origin, each radius in its scale colour.
void DrawRings(TCanvas2D& plot, const TEscala& scale)
{
    TCanvas& canvas = plot.DrawCanvas();
    for (int ring = 1; ring <= 9; ++ring) {
        const double r = ring / 10.0;
        canvas.Pen.Color = canvas.Brush.Color = scale.ValueToColor(2 * r - 1);
        for (int i = 0; i < 12 * ring; ++i) {
            const double a = 2 * std::numbers::pi * i / (12 * ring);
            plot.Point(r * std::cos(a), r * std::sin(a), 3);
        }
    }
}

}  // namespace

int main(int argc, char** argv)
{
    const bool check = argc > 1 && std::strcmp(argv[1], "--check") == 0;
    TApplication app(argc, argv);

    QWidget window;
    Ui::Ventana ui;
    ui.setupUi(&window);
    QObject::connect(ui.Canvas2D1, &TCanvas2D::drawRequested, ui.Canvas2D1,
                     [&ui] { DrawRings(*ui.Canvas2D1, *ui.Escala1); });
    ui.Canvas2D1->Draw();
    window.show();
    if (!check)
        return app.exec();

    // Off screen: the form's interior colour (a QColor in the form, a TColor
    // 0x00BBGGRR in code) and the outer ring's colour must be on the plot.
    app.processEvents();
    ui.Canvas2D1->Draw();
    // The bitmap has PixelRatio() pixels per pixel of the mapping (2 on a
    // high-density screen).
    TBitmap& bitmap = ui.Canvas2D1->Image().Picture().Bitmap();
    const double r = ui.Canvas2D1->PixelRatio();
    auto at = [&](double x, double y) {
        return PixelToColor(bitmap.ScanLine(int(ui.Canvas2D1->ValToScrY(y) * r))[int(ui.Canvas2D1->ValToScrX(x) * r)]);
    };
    const bool interior = ui.Canvas2D1->ColorInt() == TColor(0x00204000) && at(0.95, 0.95) == TColor(0x00204000);
    const bool ring = at(0.9, 0) == ui.Escala1->ValueToColor(0.8);
    std::printf("%s: interior %s, outer ring %s\n", interior && ring ? "ok" : "FAILED", interior ? "right" : "wrong",
                ring ? "right" : "wrong");
    return interior && ring ? 0 : 1;
}
