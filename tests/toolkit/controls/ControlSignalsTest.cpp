#include "support/EventLog.h"
#include "toolkit/controls/Controls.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>

#include <vector>

namespace {

using Log = std::vector<std::string>;

void Send(QWidget& w, QEvent::Type type, Qt::MouseButton button, QPoint at)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent e(type, QPointF(at), w.mapToGlobal(QPointF(at)), button, held, Qt::ShiftModifier);
    QApplication::sendEvent(&w, &e);
}

void Listen(TControl& c, TEventLog& log)
{
    c.OnClick = log.Note("OnClick");
    c.OnDblClick = log.Note("OnDblClick");
    c.OnMouseDown = log.Note("OnMouseDown");
    c.OnMouseMove = log.Note("OnMouseMove");
    c.OnMouseUp = log.Note("OnMouseUp");
    c.OnResize = log.Note("OnResize");
    QObject::connect(&c, &TControl::clicked, log.Note("clicked"));
    QObject::connect(&c, &TControl::doubleClicked, log.Note("doubleClicked"));
    QObject::connect(&c, &TControl::mousePressed, log.Note("mousePressed"));
    QObject::connect(&c, &TControl::mouseMoved, log.Note("mouseMoved"));
    QObject::connect(&c, &TControl::mouseReleased, log.Note("mouseReleased"));
    QObject::connect(&c, &TControl::resized, log.Note("resized"));
}

}  // namespace

TEST(ControlSignals, EachFollowsItsEventOnce)
{
    TControl c;
    TEventLog log;
    Listen(c, log);

    c.SetBounds(0, 0, 40, 30);
    EXPECT_EQ(log.Take(), (Log{"OnResize", "resized"}));
    c.SetBounds(5, 5, 40, 30);  // moved, same size
    EXPECT_EQ(log.Take(), Log{});

    Send(c, QEvent::MouseButtonPress, Qt::LeftButton, {3, 4});
    Send(c, QEvent::MouseMove, Qt::NoButton, {5, 6});
    Send(c, QEvent::MouseButtonRelease, Qt::LeftButton, {5, 6});
    EXPECT_EQ(log.Take(), (Log{"OnMouseDown", "mousePressed", "OnMouseMove", "mouseMoved", "OnMouseUp",
                               "mouseReleased", "OnClick", "clicked"}));

    // The press of a double click follows its event and makes no click.
    Send(c, QEvent::MouseButtonDblClick, Qt::LeftButton, {3, 4});
    Send(c, QEvent::MouseButtonRelease, Qt::LeftButton, {3, 4});
    EXPECT_EQ(log.Take(), (Log{"OnDblClick", "doubleClicked", "OnMouseDown", "mousePressed", "OnMouseUp",
                               "mouseReleased"}));
}

TEST(ControlSignals, CarryTheEventsArgumentsAndComeWithoutHandlers)
{
    TControl c;
    c.SetBounds(0, 0, 40, 30);
    std::vector<int> got;
    QObject::connect(&c, &TControl::mousePressed, [&](TMouseButton b, TShiftState s, int x, int y) {
        got.insert(got.end(), {int(b), int(s), x, y});
    });
    QObject::connect(&c, &TControl::mouseMoved, [&](TShiftState s, int x, int y) { got.insert(got.end(), {int(s), x, y}); });
    Send(c, QEvent::MouseButtonPress, Qt::RightButton, {7, 8});
    Send(c, QEvent::MouseMove, Qt::NoButton, {9, 10});
    EXPECT_EQ(got, (std::vector<int>{mbRight, int(ssShift | ssRight), 7, 8, int(ssShift), 9, 10}));
}

TEST(ControlSignals, NoSignalFromAControlItsHandlerDestroyed)
{
    struct TProbe : TControl {
        using TControl::Click;
    };
    auto* c = new TProbe;
    int clicked = 0;
    QObject::connect(c, &TControl::clicked, [&] { ++clicked; });
    c->OnClick = [&](TObject*) { delete c; };
    c->Click();
    EXPECT_EQ(clicked, 0);
}
