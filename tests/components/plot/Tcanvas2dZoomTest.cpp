#include "components/plot/Canvas2dHelpers.h"

#include "support/BitmapWords.h"
#include "toolkit/system/Clock.h"
#include "toolkit/system/Sound.h"

#include <QPointer>
#include <QTimer>
#include <QWheelEvent>

#include <gtest/gtest.h>

namespace {

// Without axes, 0..10 on both axes of the 152 x 152 surface.
struct Plain : Canvas2DFixture {
    Plain()
    {
        c->SetAxisShow(false);
        draws = 0;
    }
    void Press(Qt::MouseButton b, int x, int y) { MouseSend(c->Image(), QEvent::MouseButtonPress, b, x, y); }
    void Release(Qt::MouseButton b, int x, int y) { MouseSend(c->Image(), QEvent::MouseButtonRelease, b, x, y); }
    void Move(int x, int y) { MouseSend(c->Image(), QEvent::MouseMove, Qt::NoButton, x, y); }
    void Post(Qt::MouseButton b, int x, int y)
    {
        QCoreApplication::postEvent(&c->Image(), MouseEvent(QEvent::MouseButtonPress, b, x, y));
    }
};

// The columns where two pictures differ, as (first, last).
std::pair<int, int> ChangedColumns(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b, int w)
{
    int lo = w, hi = -1;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i]) {
            lo = std::min(lo, int(i % w));
            hi = std::max(hi, int(i % w));
        }
    return {lo, hi};
}

}  // namespace

TEST(TCanvas2DZoom, ZoomInOntoTheBoxAndOutAroundAPoint)
{
    Plain f;
    TCanvas2D& c = *f.c;
    BeepRecorder beeps;
    c.ZoomModeSet(zmZoomIn);
    f.Press(Qt::LeftButton, 76, 76);  // the box is still centred
    EXPECT_EQ(c.Window(), (TPlotWindow{2.5, 2.5, 7.5, 7.5}));
    EXPECT_EQ(f.draws, 5);
    EXPECT_EQ(c.ZoomMode(), zmZoomIn);
    EXPECT_EQ(c.Image().Cursor(), 2);

    c.ZoomModeSet(zmZoomOut);
    EXPECT_EQ(c.Image().Cursor(), 3);
    f.draws = 0;
    c.ZoomLess(0, 152);
    EXPECT_EQ(c.Window(), (TPlotWindow{-2.5, -2.5, 7.5, 7.5}));
    EXPECT_EQ(f.draws, 5);
    EXPECT_EQ(c.ZoomMode(), zmZoomOut);
    EXPECT_TRUE(beeps.Beeps().empty());

    // Too narrow a window is refused with the default beep; the box is back.
    c.SetAxisXMax(c.AxisXMin() + 1e-19);
    c.SetZoomFactor(0.05);
    c.ZoomModeSet(zmZoomIn);
    const TPlotWindow before = c.Window();
    f.Press(Qt::LeftButton, 76, 76);
    EXPECT_EQ(beeps.Beeps(), std::vector<unsigned>{0});
    EXPECT_EQ(c.Window(), before);
    EXPECT_EQ(c.ZoomMode(), zmZoomIn);
}

TEST(TCanvas2DZoom, BoxFollowsTheMouseAndLeavesNoTrace)
{
    Plain f;
    TCanvas2D& c = *f.c;
    int downs = 0;
    c.OnMouseDown = [&](TObject* sender, TMouseButton b, TShiftState, int x, int y) {
        EXPECT_EQ(sender, &c);
        EXPECT_EQ(b, mbRight);
        EXPECT_EQ(x, 60);
        EXPECT_EQ(y, 70);
        ++downs;
    };
    int moves = 0;
    c.OnMouseMove = [&](TObject* sender, TShiftState, int, int) {
        EXPECT_EQ(sender, &c);
        ++moves;
    };
    c.Draw();
    const auto plain = Pixels(f.Bits());

    c.ZoomModeSet(zmZoomIn);
    c.ZoomModeSet(zmZoomIn);  // drawn once, not erased again
    // Half the box is RoundInt(152 * 0.5 * 0.5) = 38; the pen is 2 wide.
    auto [lo, hi] = ChangedColumns(plain, Pixels(f.Bits()), 152);
    EXPECT_EQ(lo, 76 - 39);
    EXPECT_EQ(hi, 76 + 38);

    f.Move(60, 70);
    std::tie(lo, hi) = ChangedColumns(plain, Pixels(f.Bits()), 152);
    EXPECT_EQ(lo, 60 - 39);
    EXPECT_EQ(hi, 60 + 38);
    EXPECT_EQ(moves, 1);

    // A repaint rebuilds the picture and draws the box again where it was.
    c.Draw();
    std::tie(lo, hi) = ChangedColumns(plain, Pixels(f.Bits()), 152);
    EXPECT_EQ(lo, 60 - 39);

    f.Press(Qt::RightButton, 60, 70);
    EXPECT_EQ(c.ZoomMode(), zmNone);
    EXPECT_EQ(c.Image().Cursor(), crDefault);
    EXPECT_EQ(Pixels(f.Bits()), plain);
    EXPECT_EQ(downs, 1);
    EXPECT_EQ(c.Window(), (TPlotWindow{0, 0, 10, 10}));
}

TEST(TCanvas2DZoom, DragToPan)
{
    Plain f;
    TCanvas2D& c = *f.c;
    int ups = 0;
    c.OnMouseUp = [&](TObject* sender, TMouseButton, TShiftState, int, int) {
        EXPECT_EQ(sender, &c);
        ++ups;
    };
    c.ZoomModeSet(zmPan);
    EXPECT_EQ(c.Image().Cursor(), 1);
    f.Release(Qt::LeftButton, 100, 50);  // no drag in progress
    EXPECT_EQ(f.draws, 0);
    EXPECT_EQ(ups, 1);

    const auto plain = Pixels(f.Bits());
    f.Press(Qt::LeftButton, 100, 50);
    f.Move(105, 50);
    f.Move(110, 50);
    EXPECT_NE(Pixels(f.Bits()), plain);  // the line
    f.Release(Qt::LeftButton, 110, 50);
    EXPECT_EQ(f.draws, 5);
    EXPECT_NEAR(c.AxisXMin(), -10.0 / 152 * 10, 1e-12);
    EXPECT_NEAR(c.AxisXMax(), 10 - 10.0 / 152 * 10, 1e-12);
    EXPECT_EQ(c.AxisYMin(), 0);
    EXPECT_EQ(c.AxisYMax(), 10);
    EXPECT_EQ(c.ZoomMode(), zmPan);
    EXPECT_EQ(ups, 2);

    // A drag abandoned by leaving the mode takes its line with it.
    c.Draw();
    const auto panned = Pixels(f.Bits());
    f.Press(Qt::LeftButton, 20, 20);
    f.Move(90, 120);
    c.ZoomModeSet(zmZoomOut);
    EXPECT_EQ(Pixels(f.Bits()), panned);
    c.ZoomModeSet(zmPan);
    f.Release(Qt::LeftButton, 90, 120);
    EXPECT_NEAR(c.AxisXMin(), -10.0 / 152 * 10, 1e-12);
}

TEST(TCanvas2DZoom, InputDuringAnAnimation)
{
    Plain f;
    TCanvas2D& c = *f.c;
    int downs = 0;
    c.OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++downs; };
    c.ZoomModeSet(zmZoomIn);

    // A left press delivered between the steps is swallowed whole.
    f.onDraw = [&] {
        if (f.draws == 2)
            f.Post(Qt::LeftButton, 76, 76);
    };
    f.Press(Qt::LeftButton, 76, 76);
    EXPECT_EQ(c.Window(), (TPlotWindow{2.5, 2.5, 7.5, 7.5}));
    EXPECT_EQ(f.draws, 5);
    EXPECT_EQ(downs, 1);  // only the press that zoomed

    // A right press stops the zoom after its current step, part of the way;
    // the box mode comes back.
    c.ZoomAll();
    c.ZoomModeSet(zmZoomIn);
    f.draws = 0;
    downs = 0;
    f.onDraw = [&] {
        if (f.draws == 2)
            f.Post(Qt::RightButton, 5, 5);
    };
    f.Press(Qt::LeftButton, 76, 76);
    EXPECT_EQ(f.draws, 2);
    EXPECT_EQ(c.Window(), (TPlotWindow{1, 1, 9, 9}));
    EXPECT_EQ(c.ZoomMode(), zmZoomIn);
    EXPECT_EQ(downs, 2);
}

TEST(TCanvas2DZoom, ChangesArrivingMidAnimationAreSafe)
{
    Plain f;
    TCanvas2D& c = *f.c;
    // A resize and a colour change during the steps repaint at once; the
    // change runs on to its target.
    f.onDraw = [&] {
        if (f.draws == 2) {
            c.resize(200, 120);
            c.SetColorInt(clTeal);
        }
    };
    c.AxisChange(2, 2, 4, 4, 5);
    EXPECT_EQ(c.Window(), (TPlotWindow{2, 2, 4, 4}));
    EXPECT_EQ(c.Image().Width(), 192);
    EXPECT_EQ(f.At(10, 10), clTeal);

    // A limit set between the steps stands: the animation stops.
    f.draws = 0;
    f.onDraw = [&] {
        if (f.draws == 2)
            QTimer::singleShot(0, [&] { c.SetAxisXMin(-100); });
    };
    c.AxisChange(0, 0, 10, 10, 5);
    EXPECT_EQ(c.AxisXMin(), -100);
    EXPECT_EQ(f.draws, 3);
    EXPECT_FALSE(c.Animating());

    // So does a change started from there, which runs to its own end.
    f.draws = 0;
    f.onDraw = [&] {
        if (f.draws == 2)
            QTimer::singleShot(0, [&] { c.AxisChange(1, 1, 3, 3, 2); });
    };
    c.AxisChange(0, 0, 10, 10, 5);
    EXPECT_EQ(c.Window(), (TPlotWindow{1, 1, 3, 3}));
    EXPECT_FALSE(c.Animating());

    // The canvas may even go away between two steps.
    QPointer<TCanvas2D> alive(f.c.get());
    f.onDraw = [&] {
        QTimer::singleShot(0, [&] { f.c.reset(); });
    };
    alive->AxisChange(0, 0, 5, 5, 5);
    EXPECT_TRUE(alive.isNull());
}

TEST(TCanvas2DZoom, AnAnimationOfAnyLengthEndsWithinASecond)
{
    Plain f;
    TCanvas2D& c = *f.c;
    // A billion steps with drawing that takes 20 ms (by the tick count): a
    // second of frames and the last one on the target.
    c.SetZoomSteps(1000000000);
    f.onDraw = [&] { f.clock.Advance(20); };
    c.ZoomLess(76, 76);
    EXPECT_EQ(c.Window(), (TPlotWindow{-5, -5, 15, 15}));
    EXPECT_GE(f.draws, 2);
    EXPECT_EQ(f.draws, 1000 / 20 + 1);
    EXPECT_EQ(c.ZoomSteps(), 1000000000);
    // Drawing that takes no time at all still draws a bounded number.
    f.draws = 0;
    f.onDraw = nullptr;
    c.ZoomBack();
    EXPECT_EQ(c.Window(), (TPlotWindow{0, 0, 10, 10}));
    EXPECT_EQ(f.draws, 120);
    // Slow drawing skips steps to keep to the second.
    f.draws = 0;
    f.onDraw = [&] { f.clock.Advance(450); };
    c.AxisChange(1, 1, 9, 9, 5);
    EXPECT_EQ(c.Window(), (TPlotWindow{1, 1, 9, 9}));
    EXPECT_EQ(f.draws, 4);  // steps 1, 2 (at 450 ms), 4 (at 900 ms), 5

    // Hidden between two steps: the change ends on its target at once (and
    // a hidden canvas draws nothing more).
    f.draws = 0;
    f.onDraw = [&] {
        if (f.draws == 3)
            QTimer::singleShot(0, [&] { c.hide(); });
    };
    c.AxisChange(0, 0, 10, 10, 1000000000);
    EXPECT_EQ(c.Window(), (TPlotWindow{0, 0, 10, 10}));
    EXPECT_EQ(f.draws, 3);
    EXPECT_FALSE(c.Animating());
}

TEST(TCanvas2DZoom, QuittingEndsARunningAnimation)
{
    Plain f;
    TCanvas2D& c = *f.c;
    f.onDraw = [&] {
        if (f.draws == 3)
            QCoreApplication::quit();
    };
    bool ended = false;
    QTimer::singleShot(0, [&] {
        c.AxisChange(0, 0, 1, 1, 1000000000);
        ended = true;
        QCoreApplication::quit();
    });
    QCoreApplication::exec();
    EXPECT_TRUE(ended);
    EXPECT_LE(f.draws, 4);
    EXPECT_EQ(c.Window(), (TPlotWindow{0, 0, 1, 1}));
}

TEST(TCanvas2DZoom, ZoomAllInOneRepaint)
{
    Plain f;
    TCanvas2D& c = *f.c;
    BeepRecorder beeps;
    c.SetAxisXMax(20);
    c.SetZoomAllXMin(3);
    c.SetZoomAllXMax(3);  // equal: not checked, not refused
    c.ZoomModeSet(zmPan);
    f.draws = 0;
    c.ZoomAll();
    EXPECT_EQ(f.draws, 1);
    EXPECT_EQ(c.Window(), (TPlotWindow{3, 0, 3, 10}));
    EXPECT_EQ(c.ZoomMode(), zmNone);
    EXPECT_TRUE(beeps.Beeps().empty());
}

TEST(TCanvas2DZoom, HistoryBackAndForward)
{
    Plain f;
    TCanvas2D& c = *f.c;
    c.ZoomModeSet(zmZoomIn);
    c.ZoomMore();  // 2.5..7.5
    c.ZoomModeSet(zmPan);
    f.Press(Qt::LeftButton, 76, 76);
    f.Move(76 + 152 / 5, 76);
    f.Release(Qt::LeftButton, 76 + 152 / 5, 76);
    const TPlotWindow panned = c.Window();
    EXPECT_NEAR(panned.XMin, 2.5 - 30.0 / 152 * 5, 1e-12);
    c.ZoomAll();

    f.draws = 0;
    c.ZoomBack();
    EXPECT_EQ(c.Window(), panned);
    EXPECT_EQ(f.draws, 5);  // animated like any other change
    c.ZoomBack();
    EXPECT_EQ(c.Window(), (TPlotWindow{2.5, 2.5, 7.5, 7.5}));
    c.ZoomBack();
    EXPECT_EQ(c.Window(), (TPlotWindow{0, 0, 10, 10}));
    f.draws = 0;
    c.ZoomBack();  // nothing before the first
    EXPECT_EQ(f.draws, 0);
    c.ZoomForward();
    EXPECT_EQ(c.Window(), (TPlotWindow{2.5, 2.5, 7.5, 7.5}));

    // A new zoom from here drops what lay ahead.
    c.ZoomModeSet(zmZoomOut);
    c.ZoomLess(76, 76);
    EXPECT_FALSE(c.ZoomHistory().CanForward());
}

// A new ZoomFactor does not change the box already on the picture: it is
// erased as it was drawn, on a move, on leaving the mode, and when a zoom
// is refused. With axes, so that the clip is in play too.
TEST(TCanvas2DZoom, BoxOfAnEarlierFactorIsErasedWhole)
{
    Canvas2DFixture f;
    TCanvas2D& c = *f.c;
    c.SetBounds(0, 0, 244, 194);
    c.Draw();
    const auto plain = Pixels(f.Bits());

    c.ZoomModeSet(zmZoomIn);
    c.SetZoomFactor(0.25);
    MouseSend(c.Image(), QEvent::MouseMove, Qt::NoButton, 100, 90);
    // One box, of the new factor, where the pointer is.
    auto boxed = Pixels(f.Bits());
    c.ZoomModeSet(zmNone);
    EXPECT_EQ(Pixels(f.Bits()), plain);
    c.ZoomModeSet(zmZoomIn);
    c.ZoomDraw();
    c.ZoomDraw(100, 90);
    EXPECT_EQ(Pixels(f.Bits()), boxed);

    for (int next : {zmNone, zmZoomOut, zmPan}) {
        SCOPED_TRACE(next);
        c.ZoomModeSet(zmZoomIn);
        c.SetZoomFactor(0.7);
        c.ZoomModeSet(next);
        EXPECT_EQ(Pixels(f.Bits()), plain);
        c.ZoomModeSet(zmNone);
        c.SetZoomFactor(0.25);
    }

    // Too narrow a window: the zoom is refused and the box is back at the
    // centre, alone.
    BeepRecorder beeps;
    c.SetAxisXMax(c.AxisXMin() + 1e-19);
    const auto narrow = Pixels(f.Bits());
    c.ZoomModeSet(zmZoomIn);
    c.SetZoomFactor(0.05);
    MouseSend(c.Image(), QEvent::MouseButtonPress, Qt::LeftButton, 100, 90);
    EXPECT_EQ(beeps.Beeps().size(), 1u);
    c.ZoomModeSet(zmNone);
    EXPECT_EQ(Pixels(f.Bits()), narrow);
}

// A window that cannot be shown again (ZoomAll's equal limits) is not kept:
// back leads to the window before it, and forward has nowhere to go.
TEST(TCanvas2DZoom, HistoryKeepsOnlyWindowsThatCanBeShown)
{
    Plain f;
    TCanvas2D& c = *f.c;
    BeepRecorder beeps;
    c.SetZoomAllXMin(3);
    c.SetZoomAllXMax(3);
    c.ZoomModeSet(zmZoomIn);
    c.ZoomMore();
    const TPlotWindow zoomed{2.5, 2.5, 7.5, 7.5};
    c.ZoomAll();
    EXPECT_EQ(c.Window(), (TPlotWindow{3, 0, 3, 10}));
    EXPECT_EQ(c.ZoomHistory().Size(), 2u);

    c.ZoomBack();
    EXPECT_EQ(c.Window(), zoomed);
    f.draws = 0;
    c.ZoomForward();
    EXPECT_EQ(f.draws, 0);
    EXPECT_EQ(c.Window(), zoomed);
    c.ZoomBack();
    EXPECT_EQ(c.Window(), (TPlotWindow{0, 0, 10, 10}));
    c.ZoomForward();
    EXPECT_EQ(c.Window(), zoomed);
    EXPECT_TRUE(beeps.Beeps().empty());
}

TEST(TCanvas2DZoom, WheelZoomIsOptIn)
{
    Plain f;
    TCanvas2D& c = *f.c;
    auto wheel = [&](int x, int y, int delta) {
        QWheelEvent e(QPointF(x, y), QPointF(x, y), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(&c.Image(), &e);
    };
    wheel(38, 114, 120);
    EXPECT_EQ(c.Window(), (TPlotWindow{0, 0, 10, 10}));
    EXPECT_EQ(f.draws, 0);

    c.SetWheelZoom(true);
    // One notch up at world (2.5, 2.5): the window halves around it.
    wheel(38, 114, 120);
    EXPECT_EQ(c.Window(), (TPlotWindow{1.25, 1.25, 6.25, 6.25}));
    EXPECT_EQ(f.draws, 5);
    // Half notches add up; a notch down undoes the zoom.
    wheel(38, 114, -60);
    EXPECT_EQ(f.draws, 5);
    wheel(38, 114, -60);
    EXPECT_EQ(c.Window(), (TPlotWindow{0, 0, 10, 10}));
}

TEST(TCanvas2DZoom, CursorsAndHourglass)
{
    Plain f;
    TCanvas2D& c = *f.c;
    for (TCursor n : {1, 2, 3})
        EXPECT_EQ(Screen->Cursors(n).shape(), Qt::BitmapCursor) << n;
    EXPECT_EQ(Screen->Cursors(2).hotSpot(), QPoint(12, 12));

    c.ZoomModeSet(zmZoomOut);
    TCursor during = 0;
    f.onDraw = [&] { during = c.Image().Cursor(); };
    c.Draw();
    EXPECT_EQ(during, crHourGlass);
    EXPECT_EQ(c.Image().Cursor(), 3);
}
