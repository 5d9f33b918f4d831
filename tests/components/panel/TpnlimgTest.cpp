#include "components/panel/Tpnlimg.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QWheelEvent>

#include <string>
#include <vector>

namespace {

QRect Geometry(QWidget* w) { return w->geometry(); }
QSize BitmapSize(TQelImage* image)
{
    return {image->Picture().Bitmap().Width(), image->Picture().Bitmap().Height()};
}

void Send(QWidget* w, QEvent::Type type, Qt::MouseButton button, QPoint at)
{
    QMouseEvent e(type, QPointF(at), w->mapToGlobal(QPointF(at)), button,
                  type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button), Qt::ShiftModifier);
    QApplication::sendEvent(w, &e);
}

}  // namespace

TEST(TPnlImg, GeometryWithAndWithoutScrollBars)
{
    TPnlImg p;
    int resized = 0;
    p.OnResize = [&](TObject* Sender) {
        EXPECT_EQ(Sender, &p);
        ++resized;
    };
    EXPECT_EQ(p.Width(), 160);
    EXPECT_EQ(p.Height(), 160);
    EXPECT_EQ(p.BevelInner(), bvLowered);
    EXPECT_EQ(p.BevelOuter(), bvLowered);
    EXPECT_EQ(p.BevelWidth(), 1);
    EXPECT_EQ(p.Caption(), " ");
    EXPECT_FALSE(p.ScrollBars());
    EXPECT_EQ(p.PanelH, nullptr);
    // Two lowered bevels of one pixel: the picture fills the 156 x 156 inside.
    EXPECT_EQ(Geometry(p.Panel), QRect(2, 2, 156, 156));
    EXPECT_EQ(Geometry(p.Image), QRect(0, 0, 156, 156));
    EXPECT_EQ(BitmapSize(p.Image), QSize(156, 156));

    p.SetScrollBars(true);
    EXPECT_EQ(resized, 1);
    ASSERT_NE(p.PanelH, nullptr);
    EXPECT_EQ(Geometry(p.PanelH), QRect(0, 143, 156, 13));
    EXPECT_EQ(Geometry(p.PanelV), QRect(143, 0, 13, 143));
    EXPECT_EQ(Geometry(p.PanelCorner), QRect(141, 0, 15, 13));
    EXPECT_EQ(Geometry(p.ScrollBarH), QRect(0, 0, 141, 13));
    EXPECT_EQ(Geometry(p.ScrollBarV), QRect(0, 0, 13, 143));
    EXPECT_EQ(Geometry(p.Image), QRect(0, 0, 143, 143));
    EXPECT_EQ(BitmapSize(p.Image), QSize(143, 143));
    for (TScrollBar* bar : {p.ScrollBarH, p.ScrollBarV}) {
        EXPECT_EQ(bar->Min(), 0);
        EXPECT_EQ(bar->Max(), 100);
        EXPECT_EQ(bar->SmallChange(), 1);
        EXPECT_EQ(bar->LargeChange(), 10);
        EXPECT_EQ(bar->focusPolicy(), Qt::NoFocus);
        for (QWidget* w : bar->findChildren<QWidget*>())
            EXPECT_EQ(w->focusPolicy(), Qt::NoFocus);
    }
    EXPECT_EQ(p.ScrollBarH->Kind(), sbHorizontal);
    EXPECT_EQ(p.ScrollBarV->Kind(), sbVertical);

    // The state it is in: nothing is rebuilt and nothing raised.
    TScrollBar* bar = p.ScrollBarH;
    p.SetScrollBars(true);
    EXPECT_EQ(resized, 1);
    EXPECT_EQ(p.ScrollBarH, bar);

    // A new size reaches the picture and its bitmap through the strips.
    p.SetBounds(0, 0, 204, 104);
    EXPECT_EQ(resized, 2);
    EXPECT_EQ(Geometry(p.PanelH), QRect(0, 87, 200, 13));
    EXPECT_EQ(Geometry(p.ScrollBarH), QRect(0, 0, 185, 13));
    EXPECT_EQ(Geometry(p.PanelV), QRect(187, 0, 13, 87));
    EXPECT_EQ(BitmapSize(p.Image), QSize(187, 87));

    QPointer<TCustomPanel> strip = p.PanelH;
    QPointer<TScrollBar> held = p.ScrollBarH;
    p.SetScrollBars(false);
    EXPECT_EQ(resized, 3);
    EXPECT_TRUE(strip.isNull());
    EXPECT_TRUE(held.isNull());
    EXPECT_EQ(p.PanelH, nullptr);
    EXPECT_EQ(p.ScrollBarV, nullptr);
    EXPECT_EQ(Geometry(p.Image), QRect(0, 0, 200, 100));
    EXPECT_EQ(BitmapSize(p.Image), QSize(200, 100));
    p.SetScrollBars(false);
    EXPECT_EQ(resized, 3);

    // A thicker bevel leaves the frame the same size but the picture smaller.
    p.SetBevelWidth(3);
    EXPECT_EQ(resized, 4);
    EXPECT_EQ(BitmapSize(p.Image), QSize(192, 92));
}

TEST(TPnlImg, ForwardedEventsComeFromThePanel)
{
    QWidget form;
    auto* p = new TPnlImg(&form);
    p->SetScrollBars(true);
    form.resize(300, 300);
    form.show();

    std::vector<std::string> seen;
    auto from = [&](TObject* Sender, const std::string& what) {
        EXPECT_EQ(Sender, p) << what;
        seen.push_back(what);
    };
    p->OnClick = [&](TObject* s) { from(s, "click"); };
    p->OnDblClick = [&](TObject* s) { from(s, "dblclick"); };
    p->OnMouseDown = [&](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
        from(s, "down " + std::to_string(b) + " " + std::to_string(x) + "," + std::to_string(y) +
                    ((sh & ssShift) ? " shift" : "") + ((sh & ssDouble) ? " double" : ""));
    };
    p->OnMouseMove = [&](TObject* s, TShiftState, int x, int y) {
        from(s, "move " + std::to_string(x) + "," + std::to_string(y));
    };
    p->OnMouseUp = [&](TObject* s, TMouseButton b, TShiftState, int x, int y) {
        from(s, "up " + std::to_string(b) + " " + std::to_string(x) + "," + std::to_string(y));
    };
    p->OnScrollBarHChange = [&](TObject* s) { from(s, "h"); };
    p->OnScrollBarVChange = [&](TObject* s) { from(s, "v"); };

    // Coordinates stay the image's own, not the panel's.
    Send(p->Image, QEvent::MouseMove, Qt::NoButton, {7, 9});
    Send(p->Image, QEvent::MouseButtonPress, Qt::LeftButton, {7, 9});
    Send(p->Image, QEvent::MouseButtonRelease, Qt::LeftButton, {7, 9});
    Send(p->Image, QEvent::MouseButtonDblClick, Qt::LeftButton, {7, 9});
    Send(p->Image, QEvent::MouseButtonRelease, Qt::LeftButton, {7, 9});
    // The frame round the picture raises nothing.
    Send(p, QEvent::MouseButtonPress, Qt::LeftButton, {0, 0});
    Send(p, QEvent::MouseButtonRelease, Qt::LeftButton, {0, 0});

    p->Image->Fill(clRed);
    const std::vector<std::uint32_t> before(p->Image->Picture().Bitmap().ScanLine(0),
                                            p->Image->Picture().Bitmap().ScanLine(0) + 143);
    p->ScrollBarH->SetPosition(30);
    p->ScrollBarV->SetPosition(60);
    EXPECT_EQ(std::vector<std::uint32_t>(p->Image->Picture().Bitmap().ScanLine(0),
                                         p->Image->Picture().Bitmap().ScanLine(0) + 143),
              before);

    const std::vector<std::string> expected{"move 7,9", "down 0 7,9 shift", "up 0 7,9", "click",
                                            "dblclick", "down 0 7,9 shift double", "up 0 7,9", "h", "v"};
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(p->ScrollBarH->Position(), 30);

    p->SetCursor(crCross);
    EXPECT_EQ(p->GetCursor(), crCross);
    EXPECT_EQ(p->Image->Cursor(), crCross);
}

TEST(TPnlImg, DestructionRaisesNothing)
{
    int resized = 0;
    {
        TPnlImg p;
        p.SetScrollBars(true);
        p.OnResize = [&](TObject*) { ++resized; };
    }
    EXPECT_EQ(resized, 0);
}

TEST(TPnlImg, WheelMovesTheScrollBars)
{
    QWidget form;
    auto* p = new TPnlImg(&form);
    form.show();
    std::vector<std::string> seen;
    p->OnScrollBarHChange = [&](TObject* s) {
        EXPECT_EQ(s, p);
        seen.push_back("h " + std::to_string(p->ScrollBarH->Position()));
    };
    p->OnScrollBarVChange = [&](TObject* s) {
        EXPECT_EQ(s, p);
        seen.push_back("v " + std::to_string(p->ScrollBarV->Position()));
    };
    auto wheel = [&](int dy, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QWheelEvent e(QPointF(20, 20), p->Image->mapToGlobal(QPointF(20, 20)), QPoint(), QPoint(0, dy), Qt::NoButton,
                      mods, Qt::NoScrollPhase, false);
        QApplication::sendEvent(p->Image, &e);
    };
    // Without bars there is nothing to move.
    wheel(-120);
    EXPECT_TRUE(seen.empty());

    p->SetScrollBars(true);
    const int lines = QApplication::wheelScrollLines();
    const std::string step = std::to_string(lines), two = std::to_string(2 * lines);
    wheel(-120);                       // down one notch
    wheel(-120, Qt::ShiftModifier);    // right one notch
    wheel(-240);                       // down two more
    wheel(120);                        // up one
    wheel(-60);                        // half notches add up
    wheel(-60);
    wheel(120 * 1000);                 // far up: held at the top
    wheel(120 * 1000);                 // already there: no change, no event
    p->ScrollBarH->SetSmallChange(5);  // steps of SmallChange
    wheel(-120, Qt::ShiftModifier);
    const std::vector<std::string> expected{"v " + step,
                                            "h " + step,
                                            "v " + std::to_string(3 * lines),
                                            "v " + two,
                                            "v " + std::to_string(3 * lines),
                                            "v 0",
                                            "h " + std::to_string(6 * lines)};
    EXPECT_EQ(seen, expected);
}
