#include "toolkit/controls/Controls.h"
#include "toolkit/system/Errors.h"

#include <gtest/gtest.h>

#include <QMouseEvent>
#include <QScrollBar>

#include <string>
#include <vector>

namespace {

// Records what the error box would show.
struct ErrorBoxRecorder {
    std::vector<std::string> messages;
    ErrorBoxRecorder()
    {
        Application->OnError = [this](const std::string& m) { messages.push_back(m); };
    }
    ~ErrorBoxRecorder() { Application->OnError = nullptr; }
};

QRect GeometryOf(const TControl& c) { return c.geometry(); }

}  // namespace

void PrintTo(const QRect& r, std::ostream* os)
{
    *os << "(" << r.x() << ", " << r.y() << ") " << r.width() << " x " << r.height();
}

namespace {

void Click(QWidget* w, QPoint p)
{
    QMouseEvent press(QEvent::MouseButtonPress, p, w->mapToGlobal(p), Qt::LeftButton, Qt::LeftButton,
                      Qt::ShiftModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, p, w->mapToGlobal(p), Qt::LeftButton, Qt::NoButton,
                        Qt::ShiftModifier);
    QApplication::sendEvent(w, &press);
    QApplication::sendEvent(w, &release);
}

}  // namespace

TEST(Controls, PanelAlignsChildrenTopBottomLeftRightThenClient)
{
    TCustomPanel panel;
    panel.SetBevelOuter(bvRaised);
    panel.SetBevelInner(bvLowered);
    panel.SetBevelWidth(2);  // children start 4 pixels in
    panel.SetBounds(0, 0, 208, 108);
    auto* client = new TControl(&panel);
    auto* top = new TControl(&panel);
    auto* bottom = new TControl(&panel);
    auto* left = new TControl(&panel);
    auto* right = new TControl(&panel);
    top->SetHeight(10);
    bottom->SetHeight(20);
    left->SetWidth(30);
    right->SetWidth(40);
    client->SetAlign(alClient);  // created first, laid out last
    top->SetAlign(alTop);
    bottom->SetAlign(alBottom);
    left->SetAlign(alLeft);
    right->SetAlign(alRight);
    EXPECT_EQ(GeometryOf(*top), QRect(4, 4, 200, 10));
    EXPECT_EQ(GeometryOf(*bottom), QRect(4, 84, 200, 20));
    EXPECT_EQ(GeometryOf(*left), QRect(4, 14, 30, 70));
    EXPECT_EQ(GeometryOf(*right), QRect(164, 14, 40, 70));
    EXPECT_EQ(GeometryOf(*client), QRect(34, 14, 130, 70));

    panel.SetBounds(0, 0, 108, 58);  // a resize lays them out again
    EXPECT_EQ(GeometryOf(*client), QRect(34, 14, 30, 20));
    top->SetVisible(false);
    EXPECT_EQ(GeometryOf(*left), QRect(4, 4, 30, 30));
}

TEST(Controls, ErrorsEscapingHandlersGoToTheErrorBoxAndTheProgramGoesOn)
{
    ErrorBoxRecorder box;
    TTimer timer;
    timer.SetEnabled(false);
    int ticks = 0;
    timer.OnTimer = [&](TObject* sender) {
        EXPECT_EQ(sender, &timer);
        if (++ticks == 1)
            throw EConvertError("'12a' is not a valid integer value");
    };
    timer.Tick();
    timer.Tick();
    EXPECT_EQ(ticks, 2);
    ASSERT_EQ(box.messages.size(), 1u);
    EXPECT_EQ(box.messages[0], "'12a' is not a valid integer value.");

    // Also from handlers that Qt itself calls.
    QTimer::singleShot(0, [] { throw Exception("from the event loop."); });
    Application->ProcessMessages();
    ASSERT_EQ(box.messages.size(), 2u);
    EXPECT_EQ(box.messages[1], "from the event loop.");
}

TEST(Controls, MouseEventsCarryTheControlAsSender)
{
    TControl c;
    c.SetBounds(0, 0, 50, 50);
    std::vector<std::string> seen;
    c.OnMouseDown = [&](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
        EXPECT_EQ(s, &c);
        EXPECT_EQ(b, mbLeft);
        EXPECT_TRUE(sh & ssShift);
        seen.push_back("down " + std::to_string(x) + "," + std::to_string(y));
    };
    c.OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { seen.push_back("up"); };
    c.OnClick = [&](TObject* s) {
        EXPECT_EQ(s, &c);
        seen.push_back("click");
    };
    Click(&c, {7, 9});
    EXPECT_EQ(seen, (std::vector<std::string>{"down 7,9", "up", "click"}));
}

namespace {

// A component that acts on its own surface's presses and still lets its
// owner hear of them.
class PressCounter : public TControl {
public:
    using TControl::TControl;
    std::vector<std::string> own;

protected:
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override
    {
        own.push_back((Shift & ssDouble) ? "double press" : "press");
        TControl::MouseDown(Button, Shift, X, Y);
    }
    void DblClick() override
    {
        own.push_back("dblclick");
        TControl::DblClick();
    }
};

void Send(QWidget* w, QEvent::Type type, QPoint p, Qt::MouseButtons held)
{
    QMouseEvent e(type, p, w->mapToGlobal(p), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, held,
                  Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

}  // namespace

TEST(Controls, OverriddenMouseHooksStillRaiseTheOwnersEvents)
{
    PressCounter c;
    c.SetBounds(0, 0, 50, 50);
    std::vector<std::string> seen;
    c.OnMouseDown = [&](TObject* s, TMouseButton, TShiftState sh, int x, int y) {
        EXPECT_EQ(s, &c);
        seen.push_back(std::string((sh & ssDouble) ? "double " : "") + "down " + std::to_string(x) + "," +
                       std::to_string(y));
    };
    c.OnMouseMove = [&](TObject*, TShiftState sh, int x, int) {
        seen.push_back("move " + std::to_string(x) + ((sh & ssLeft) ? " left" : ""));
    };
    c.OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { seen.push_back("up"); };
    c.OnClick = [&](TObject*) { seen.push_back("click"); };
    c.OnDblClick = [&](TObject* s) {
        EXPECT_EQ(s, &c);
        seen.push_back("dblclick");
    };
    // Qt's order for a double click: press, release, double-click, release.
    Send(&c, QEvent::MouseButtonPress, {3, 4}, Qt::LeftButton);
    Send(&c, QEvent::MouseMove, {5, 4}, Qt::LeftButton);
    Send(&c, QEvent::MouseButtonRelease, {5, 4}, Qt::NoButton);
    Send(&c, QEvent::MouseButtonDblClick, {5, 4}, Qt::LeftButton);
    Send(&c, QEvent::MouseButtonRelease, {5, 4}, Qt::NoButton);
    EXPECT_EQ(seen, (std::vector<std::string>{"down 3,4", "move 5 left", "up", "click", "dblclick",
                                              "double down 5,4", "up"}));
    EXPECT_EQ(c.own, (std::vector<std::string>{"press", "dblclick", "double press"}));

    // A release outside the control is no click.
    seen.clear();
    Send(&c, QEvent::MouseButtonPress, {3, 4}, Qt::LeftButton);
    Send(&c, QEvent::MouseButtonRelease, {80, 4}, Qt::NoButton);
    EXPECT_EQ(seen, (std::vector<std::string>{"down 3,4", "up"}));
}

TEST(Controls, ImageShowsItsBitmapAndRepaintsWhatChanged)
{
    TImage image;
    image.SetBounds(0, 0, 40, 30);
    TCanvas& c = image.Canvas();  // an empty picture gets the control's size
    EXPECT_EQ(image.Picture().Width(), 40);
    EXPECT_EQ(image.Picture().Height(), 30);
    c.Brush.Color = clRed;
    c.FillRect(Rect(0, 0, 40, 30));
    c.Brush.Color = clBlue;
    c.FillRect(Rect(10, 10, 20, 20));
    EXPECT_TRUE(image.Picture().Bitmap().IsDirty());
    image.FlushChanges();
    EXPECT_FALSE(image.Picture().Bitmap().IsDirty());
    const QImage shot = image.grab().toImage();
    EXPECT_EQ(shot.pixelColor(5, 5), QColor(255, 0, 0));
    EXPECT_EQ(shot.pixelColor(15, 15), QColor(0, 0, 255));

    TImage sized;
    sized.SetAutoSize(true);
    sized.Picture().Bitmap().SetSize(12, 7);
    EXPECT_EQ(sized.Width(), 12);
    EXPECT_EQ(sized.Height(), 7);
}

TEST(Controls, BevelRingsGoInwardTopLeftLightBottomRightDark)
{
    TBitmap b(4, 4);
    TRect r{0, 0, 4, 4};
    Frame3D(b.Canvas(), r, clWhite, clBlack, 1);
    EXPECT_EQ(r, Rect(1, 1, 3, 3));
    const char* expected[] = {"WWWB", "W..B", "W..B", "BBBB"};
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            const std::uint32_t px = b.ScanLine(y)[x];
            const char got = px == 0 ? 'B' : (x > 0 && x < 3 && y > 0 && y < 3 ? '.' : 'W');
            EXPECT_EQ(got, expected[y][x]) << x << "," << y;
        }
}

TEST(Controls, TimerAndScrollBarProperties)
{
    TTimer t;
    EXPECT_TRUE(t.Enabled());
    t.SetInterval(1);
    t.SetEnabled(false);
    EXPECT_FALSE(t.Enabled());
    EXPECT_EQ(t.Interval(), 1);

    TScrollBar bar;
    bar.SetKind(sbVertical);
    EXPECT_GT(bar.Height(), bar.Width());
    int changes = 0;
    bar.OnChange = [&](TObject* s) {
        EXPECT_EQ(s, &bar);
        ++changes;
    };
    bar.SetParams(5, 0, 10);
    bar.SetPosition(99);
    EXPECT_EQ(bar.Position(), 10);
    EXPECT_EQ(changes, 2);

    // The thumb's length and the paging step are set apart.
    bar.SetParams(0, 0, 100);
    bar.SetPageSize(30);
    bar.SetLargeChange(10);
    EXPECT_EQ(bar.PageSize(), 30);
    EXPECT_EQ(bar.LargeChange(), 10);
    auto* qt = bar.findChild<QScrollBar*>();
    ASSERT_NE(qt, nullptr);
    qt->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(bar.Position(), 10);
    bar.SetPosition(95);
    qt->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(bar.Position(), 100);
    qt->triggerAction(QAbstractSlider::SliderPageStepSub);
    EXPECT_EQ(bar.Position(), 90);
    bar.SetLargeChange(0);  // at least one unit
    EXPECT_EQ(bar.LargeChange(), 1);
}

TEST(Controls, ScreenAndCursors)
{
    EXPECT_GT(Screen->Width(), 0);
    EXPECT_GE(Screen->PixelsPerInch(), 96);
    EXPECT_EQ(Screen->Cursors(crNone).shape(), Qt::BlankCursor);
    EXPECT_EQ(Screen->Cursors(crHandPoint).shape(), Qt::PointingHandCursor);
    EXPECT_EQ(LoadCursorFromResource("NO-SUCH-CURSOR").shape(), Qt::ArrowCursor);
}
