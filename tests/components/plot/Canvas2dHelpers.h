// A plotting canvas ready for tests: shown on the offscreen platform, fixed
// margins of 50 and 30 on a 152 x 152 surface, repaints counted.
#pragma once

#include "components/plot/Tcanvas2d.h"
#include "toolkit/system/Clock.h"

#include <QCoreApplication>
#include <QMouseEvent>

#include <memory>

struct Canvas2DFixture {
    // Animations are timed by the tick count: a fake one that stands still
    // unless a test moves it.
    FakeTickClock clock;
    std::unique_ptr<TCanvas2D> c = std::make_unique<TCanvas2D>();
    int draws = 0;
    std::function<void()> onDraw;

    Canvas2DFixture()
    {
        c->SetAxisXMarginAuto(false);
        c->SetAxisYMarginAuto(false);
        c->OnDraw = [this](TObject*) {
            ++draws;
            if (onDraw)
                onDraw();
        };
        c->show();
        draws = 0;
    }
    TBitmap& Bits() { return c->Image().Picture().Bitmap(); }
    TColor At(int x, int y) { return PixelToColor(Bits().ScanLine(y)[x]); }
};

// Input as the drawing surface receives it from the window system.
inline QMouseEvent* MouseEvent(QEvent::Type type, Qt::MouseButton button, int x, int y)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    return new QMouseEvent(type, QPointF(x, y), QPointF(x, y), button, held, Qt::NoModifier);
}

inline void MouseSend(QWidget& w, QEvent::Type type, Qt::MouseButton button, int x, int y)
{
    std::unique_ptr<QMouseEvent> e(MouseEvent(type, button, x, y));
    QCoreApplication::sendEvent(&w, e.get());
}
