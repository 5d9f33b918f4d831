// A field of values coloured through a colour scale, with the scale beside
// it as its legend. The field takes exactly the colours the legend shows,
// because both come from the scale's ValuesToColors.
//
//   coloured_field            the window
//   coloured_field --check    draws once off screen and checks the colours
#include "components/scale/Tescala.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// A temperature over the field, between 0 and 40 degrees.
double Temperature(int x, int y)
{
    return 20 + 12 * std::sin(x / 40.0) * std::cos(y / 30.0) + 6 * std::cos((x + y) / 55.0);
}

void Colour(TQelImage& field, const TEscala& scale)
{
    const int w = field.Width(), h = field.Height();
    std::vector<double> values(static_cast<std::size_t>(w));
    std::vector<TColor> colours(values.size());
    field.PixelOpen();
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x)
            values[std::size_t(x)] = Temperature(x, y);
        scale.ValuesToColors(values.data(), colours.data(), values.size());
        field.PixelRowSet(y);
        for (int x = 0; x < w; ++x)
            field.PixelSet(x, colours[std::size_t(x)]);
    }
    field.PixelClose();
}

}  // namespace

int main(int argc, char** argv)
{
    const bool check = argc > 1 && std::strcmp(argv[1], "--check") == 0;
    TApplication app(argc, argv);

    TCustomPanel form;
    form.setWindowTitle(QString::fromUtf8("Temperatura"));
    form.SetBevelOuter(bvNone);
    form.SetBounds(0, 0, 520, 340);

    auto* field = new TQelImage(&form);
    field->SetBounds(20, 20, 400, 300);
    auto* scale = new TEscala(&form);
    scale->SetMaxMin(40, 0);
    scale->SetGraduation(egThree);  // blue, green, red
    scale->SetFormat("0");
    scale->SetLeft(440);
    scale->SetTop(20);
    scale->SetHeight(300);

    // The field is coloured again whenever it takes a new size.
    QObject::connect(field, &TControl::resized, field, [field, scale] { Colour(*field, *scale); });
    Colour(*field, *scale);

    form.show();
    if (!check)
        return app.exec();

    // Off screen: a few pixels of the field must show their value's colour.
    app.processEvents();
    const TBitmap& bitmap = field->Picture().Bitmap();
    int wrong = 0;
    for (int y : {0, 150, 299})
        for (int x : {0, 200, 399})
            if (PixelToColor(bitmap.ScanLine(y)[x]) != scale->ValueToColor(Temperature(x, y)))
                ++wrong;
    std::printf("%s: %d of 9 pixels off their colour\n", wrong == 0 ? "ok" : "FAILED", wrong);
    return wrong == 0 ? 0 : 1;
}
