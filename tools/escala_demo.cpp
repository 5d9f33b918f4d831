// Shows colour scales beside fields coloured with them: on the left the
// blue-green-red palette, on the right a two-colour gradient in steps of 10,
// each with a vertical and a horizontal scale; below, two scales docked to
// the edges of a panel.
#include "components/scale/Tescala.h"

#include <QLabel>

#include <cmath>
#include <vector>

namespace {

// A made-up terrain over 0..100.
double Height(int x, int y)
{
    const double u = x / 60.0, v = y / 45.0;
    return 50 + 30 * std::sin(u) * std::cos(v) + 15 * std::sin(2.3 * u + 1.1 * v) + 5 * std::cos(3.7 * v);
}

void Colour(TQelImage& image, const TEscala& scale)
{
    const int w = image.Width(), h = image.Height();
    std::vector<double> values(static_cast<std::size_t>(w));
    std::vector<TColor> colours(values.size());
    image.PixelOpen();
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x)
            values[std::size_t(x)] = Height(x, y);
        scale.ValuesToColors(values.data(), colours.data(), values.size());
        image.PixelRowSet(y);
        for (int x = 0; x < w; ++x)
            image.PixelSet(x, colours[std::size_t(x)]);
    }
    image.PixelClose();
}

QLabel* Caption(QWidget* parent, const char* text, int x, int y)
{
    auto* l = new QLabel(QString::fromUtf8(text), parent);
    l->move(x, y);
    return l;
}

}  // namespace

int main(int argc, char** argv)
{
    TApplication app(argc, argv);
    TCustomPanel form;
    form.setWindowTitle("TEscala");
    form.SetBevelOuter(bvNone);
    form.SetBounds(0, 0, 980, 700);

    Caption(&form, "Tres colores", 20, 8);
    auto* left = new TQelImage(&form);
    left->SetBounds(20, 30, 360, 260);
    auto* leftScale = new TEscala(&form);
    leftScale->SetGraduation(egThree);
    leftScale->SetLeft(390);
    leftScale->SetTop(30);
    leftScale->SetHeight(260);
    auto* leftBar = new TEscala(&form);
    leftBar->SetGraduation(egThree);
    leftBar->SetOrientation(eoHorizontal);
    leftBar->SetTextInterval(3);
    leftBar->SetBounds(20, 300, 360, 10);

    Caption(&form, "Dos colores, intervalo 10", 500, 8);
    auto* right = new TQelImage(&form);
    right->SetBounds(500, 30, 360, 260);
    auto* rightScale = new TEscala(&form);
    rightScale->SetGradColor1(0x0000E0FF);  // amber at Maximum
    rightScale->SetGradColor2(0x00500000);  // dark blue at Minimum
    rightScale->SetInterval(10);
    rightScale->SetFormat("0.#");
    rightScale->SetTextInterval(9);
    rightScale->SetPosition(epInverse);
    rightScale->SetLeft(870);
    rightScale->SetTop(30);
    rightScale->SetHeight(260);
    auto* rightBar = new TEscala(&form);
    rightBar->SetGradColor1(0x0000E0FF);
    rightBar->SetGradColor2(0x00500000);
    rightBar->SetInterval(10);
    rightBar->SetOrientation(eoHorizontal);
    rightBar->SetPosition(epInverse);
    rightBar->SetFormat("0");
    rightBar->SetTextInterval(9);
    rightBar->SetBounds(500, 300, 360, 10);

    // Scales docked to a panel's edges, sized to their content; the field
    // takes what is left.
    Caption(&form, "Acopladas: abajo y a la derecha", 20, 420);
    auto* dock = new TCustomPanel(&form);
    dock->SetBevelOuter(bvLowered);
    dock->SetBounds(20, 442, 560, 240);
    auto* docked = new TQelImage(dock);
    docked->SetAlign(alClient);
    auto* bottom = new TEscala(dock);
    bottom->SetGraduation(egThree);
    bottom->SetPosition(epInverse);
    bottom->SetAlignment(eaBottom);
    auto* side = new TEscala(dock);
    side->SetGraduation(egThree);
    side->SetAlignment(eaRight);

    Colour(*left, *leftScale);
    Colour(*right, *rightScale);
    Colour(*docked, *side);

    form.show();
    // The mark lasts until the next Draw, so it goes on after the first
    // painting: the value at the middle of the left field.
    QTimer::singleShot(0, leftScale, [leftScale] { leftScale->DrawMarkVertical(Height(180, 130)); });
    return app.exec();
}
