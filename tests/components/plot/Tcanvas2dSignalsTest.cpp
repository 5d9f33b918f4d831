#include "components/plot/Canvas2dHelpers.h"
#include "support/EventLog.h"

#include <gtest/gtest.h>

namespace {
using Log = std::vector<std::string>;
}  // namespace

TEST(TCanvas2DSignals, EachFollowsItsEventOnce)
{
    Canvas2DFixture f;
    TCanvas2D& c = *f.c;
    TEventLog log;
    c.OnDraw = log.Note("OnDraw");
    c.OnChangeFormat = log.Note("OnChangeFormat");
    c.OnMouseDown = log.Note("OnMouseDown");
    c.OnMouseMove = log.Note("OnMouseMove");
    c.OnMouseUp = log.Note("OnMouseUp");
    c.OnDblClick = log.Note("OnDblClick");
    c.OnClick = log.Note("OnClick");
    QObject::connect(&c, &TCanvas2D::drawRequested, log.Note("drawRequested"));
    QObject::connect(&c, &TCanvas2D::formatChanged, log.Note("formatChanged"));
    QObject::connect(&c, &TCanvas2D::mousePressed, log.Note("mousePressed"));
    QObject::connect(&c, &TCanvas2D::mouseMoved, log.Note("mouseMoved"));
    QObject::connect(&c, &TCanvas2D::mouseReleased, log.Note("mouseReleased"));
    QObject::connect(&c, &TCanvas2D::doubleClicked, log.Note("doubleClicked"));
    QObject::connect(&c, &TCanvas2D::clicked, log.Note("clicked"));

    c.Draw();
    EXPECT_EQ(log.Take(), (Log{"OnDraw", "drawRequested"}));
    // A new format repaints, then announces itself; the same one does nothing.
    c.SetFormat("0.0");
    EXPECT_EQ(log.Take(), (Log{"OnDraw", "drawRequested", "OnChangeFormat", "formatChanged"}));
    c.SetFormat("0.0");
    EXPECT_EQ(log.Take(), Log{});

    // Outside any zoom mode the surface's input only reaches the owner, and
    // a click is not one of the canvas's events.
    MouseSend(c.Image(), QEvent::MouseButtonPress, Qt::LeftButton, 60, 40);
    MouseSend(c.Image(), QEvent::MouseMove, Qt::LeftButton, 61, 41);
    MouseSend(c.Image(), QEvent::MouseButtonRelease, Qt::LeftButton, 61, 41);
    MouseSend(c.Image(), QEvent::MouseButtonDblClick, Qt::LeftButton, 61, 41);
    EXPECT_EQ(log.Take(), (Log{"OnMouseDown", "mousePressed", "OnMouseMove", "mouseMoved", "OnMouseUp",
                               "mouseReleased", "OnDblClick", "doubleClicked", "OnMouseDown", "mousePressed"}));

    // The bevels answer nothing.
    MouseSend(c, QEvent::MouseButtonPress, Qt::LeftButton, 0, 0);
    MouseSend(c, QEvent::MouseButtonRelease, Qt::LeftButton, 0, 0);
    EXPECT_EQ(log.Take(), Log{});
}

TEST(TCanvas2DSignals, MouseSignalsCarrySurfacePixels)
{
    Canvas2DFixture f;
    TCanvas2D& c = *f.c;
    int x = -1, y = -1;
    QObject::connect(&c, &TCanvas2D::mouseMoved, [&](TShiftState, int X, int Y) { x = X, y = Y; });
    MouseSend(c.Image(), QEvent::MouseMove, Qt::NoButton, 70, 33);
    EXPECT_EQ(x, 70);
    EXPECT_EQ(y, 33);
}
