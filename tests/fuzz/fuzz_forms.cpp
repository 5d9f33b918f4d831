// Arbitrary bytes as a form with the components: whatever loads is laid out
// and painted once, then destroyed. No form may crash, hang or make the
// components read outside what they own.
#include "designer/PelmoraComponents.h"
#include "designer/PelmoraUiLoader.h"
#include "toolkit/controls/Controls.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QPainter>
#include <QWidget>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {

// Painted as a window is, but on a picture of bounded size.
void Paint(QWidget& form)
{
    form.resize(form.size().boundedTo({800, 600}));
    QImage picture(form.size().expandedTo({1, 1}), QImage::Format_RGB32);
    QPainter painter(&picture);
    form.render(&painter);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static TApplication app(*argc, *argv);
    // Errors raised in handlers are recorded, not shown in a box.
    app.OnError = [](const std::string&) {};
    // Each component painted once, so that what the font and style
    // libraries keep for the whole run is made here and not taken for a
    // leak of the first input.
    for (const TPelmoraComponent& c : PelmoraComponents()) {
        std::unique_ptr<QWidget> w(c.Create(nullptr));
        Paint(*w);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QBuffer buffer(&bytes);
    TPelmoraUiLoader loader;
    std::unique_ptr<QWidget> form(loader.load(&buffer));
    if (form)
        Paint(*form);
    return 0;
}
