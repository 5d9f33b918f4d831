// Shows what the raster image draws: bevels, a shaded ball, OR-combined and
// inverted shapes, and text turned round a circle.
#include "components/image/Tqelimage.h"

#include <string>

int main(int argc, char** argv)
{
    TApplication app(argc, argv);
    TQelImage img;
    img.setWindowTitle("TQelImage");
    img.SetHeightWidth(300, 420);

    img.Fill3D(clBtnFace, 2, true);

    // Left: a lowered well with a lit ball in it.
    img.Rect3D(12, 12, 200, 288, 0x00402010, 2, false);
    img.Ball3D(30, 40, 182, 192, 0x00401000, 0x00FFE0A0, true);
    img.EllipseTrans(40, 215, 100, 275, 0x000000C0);
    img.RectTrans(110, 215, 180, 275, 0x00008000);

    TCanvas& canvas = img.Canvas();
    canvas.Font.Name = "Arial";
    canvas.Font.SetSize(12);
    canvas.Font.Style = fsBold;
    canvas.Brush.Style = bsClear;
    img.TextOutInv(58, 100, "Invertido");

    // Right: a raised plate with text round a circle.
    img.Rect3D(Rect(212, 12, 408, 288), clSilver, 2, true);
    canvas.Pen.Color = clGray;
    canvas.Pen.Width = 1;
    canvas.Brush.Style = bsClear;
    img.Ellipse(310, 150, 45);
    img.Ellipse(310, 150, 80, 60);
    canvas.Font.Name = "Times New Roman";
    canvas.Font.SetSize(10);
    canvas.Font.Style = 0;
    for (int angle = 0; angle < 360; angle += 45) {
        canvas.Font.Color = angle % 90 == 0 ? clNavy : clMaroon;
        img.TextOutAxial(310, 150, 45, angle, std::to_string(angle) + "\xC2\xB0");
    }
    // Letters one by one along the ellipse, clockwise from the upper left.
    const std::string word = "TEXTO ALREDEDOR";
    canvas.Font.Color = clBlack;
    canvas.Font.Style = fsBold;
    for (std::size_t i = 0; i < word.size(); ++i)
        img.TextOutAxial(310, 150, 82, 62, 160.0 - 9.0 * double(i), word.substr(i, 1));
    canvas.Font.Style = 0;
    img.TextOutRot(228, 262, 30, "Giro 30");

    img.show();
    return app.exec();
}
