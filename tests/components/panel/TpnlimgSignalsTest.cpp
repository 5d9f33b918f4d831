#include "components/panel/Tpnlimg.h"
#include "support/EventLog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>

#include <memory>

namespace {

using Log = std::vector<std::string>;

void Listen(TPnlImg& p, TEventLog& log)
{
    p.OnResize = log.Note("OnResize");
    p.OnScrollBarHChange = log.Note("OnScrollBarHChange");
    p.OnScrollBarVChange = log.Note("OnScrollBarVChange");
    p.OnMouseDown = log.Note("OnMouseDown");
    p.OnMouseUp = log.Note("OnMouseUp");
    p.OnClick = log.Note("OnClick");
    QObject::connect(&p, &TPnlImg::resized, log.Note("resized"));
    QObject::connect(&p, &TPnlImg::horizontalScrollBarChanged, log.Note("horizontalScrollBarChanged"));
    QObject::connect(&p, &TPnlImg::verticalScrollBarChanged, log.Note("verticalScrollBarChanged"));
    QObject::connect(&p, &TPnlImg::mousePressed, log.Note("mousePressed"));
    QObject::connect(&p, &TPnlImg::mouseReleased, log.Note("mouseReleased"));
    QObject::connect(&p, &TPnlImg::clicked, log.Note("clicked"));
}

}  // namespace

// resized follows the picture, as OnResize does, not the frame.
TEST(TPnlImgSignals, EachFollowsItsEventOnce)
{
    TPnlImg p;
    TEventLog log;
    Listen(p, log);

    p.SetScrollBars(true);
    EXPECT_EQ(log.Take(), (Log{"OnResize", "resized"}));
    p.SetBounds(0, 0, 200, 120);
    EXPECT_EQ(log.Take(), (Log{"OnResize", "resized"}));
    p.SetBounds(10, 10, 200, 120);
    EXPECT_EQ(log.Take(), Log{});

    p.ScrollBarH->SetPosition(30);
    EXPECT_EQ(log.Take(), (Log{"OnScrollBarHChange", "horizontalScrollBarChanged"}));
    p.ScrollBarV->SetPosition(40);
    EXPECT_EQ(log.Take(), (Log{"OnScrollBarVChange", "verticalScrollBarChanged"}));

    // The picture's input is the panel's.
    for (auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
        QMouseEvent e(type, QPointF(5, 6), p.Image->mapToGlobal(QPointF(5, 6)), Qt::LeftButton, held, Qt::NoModifier);
        QApplication::sendEvent(p.Image, &e);
    }
    EXPECT_EQ(log.Take(),
              (Log{"OnMouseDown", "mousePressed", "OnMouseUp", "mouseReleased", "OnClick", "clicked"}));
}

TEST(TPnlImgSignals, NoneWhileThePanelIsTakenApart)
{
    auto p = std::make_unique<TPnlImg>();
    p->SetScrollBars(true);
    int emitted = 0;
    QObject::connect(p.get(), &TPnlImg::resized, [&] { ++emitted; });
    QObject::connect(p.get(), &TPnlImg::horizontalScrollBarChanged, [&] { ++emitted; });
    p.reset();
    EXPECT_EQ(emitted, 0);
}
