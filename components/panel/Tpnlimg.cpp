#include "components/panel/Tpnlimg.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWheelEvent>

#include <algorithm>
#include <cstdint>

namespace {

TCustomPanel* PlainPanel(QWidget* Owner)
{
    auto* p = new TCustomPanel(Owner);
    p->SetBevelInner(bvNone);
    p->SetBevelOuter(bvNone);
    // A control made inside a shown parent stays hidden until shown.
    p->SetVisible(true);
    return p;
}

TScrollBar* Bar(QWidget* Owner, TScrollBarKind Kind)
{
    auto* b = new TScrollBar(Owner);
    b->SetKind(Kind);
    b->SetMax(100);
    b->SetMin(0);
    b->SetLargeChange(10);
    b->SetSmallChange(1);
    // Out of the tab order: the bars are worked with the mouse.
    b->setFocusPolicy(Qt::NoFocus);
    for (QWidget* w : b->findChildren<QWidget*>())
        w->setFocusPolicy(Qt::NoFocus);
    b->SetVisible(true);
    return b;
}

// Moves a bar by whole notches of the wheel, up or left for positive ones,
// through its position, so that it raises its change event.
void WheelScroll(TScrollBar* bar, int notches)
{
    if (!bar || notches == 0)
        return;
    const std::int64_t step = std::int64_t(QApplication::wheelScrollLines()) * bar->SmallChange();
    const std::int64_t to = std::int64_t(bar->Position()) - notches * step;
    bar->SetPosition(int(std::clamp<std::int64_t>(to, bar->Min(), std::max(bar->Min(), bar->Max()))));
}

}  // namespace

TPnlImg::TPnlImg(QWidget* Owner) : TCustomPanel(Owner)
{
    SetBevelInner(bvLowered);
    SetBevelOuter(bvLowered);
    SetCaption(" ");
    SetHeight(160);
    if (Owner)
        SetVisible(true);
    SetWidth(160);

    Panel = PlainPanel(this);
    Panel->SetAlign(alClient);
    Panel->OnResize = [this](TObject* Sender) { PanelResize(Sender); };

    Image = new TQelImage(Panel);
    Image->SetVisible(true);
    Image->SetAlign(alClient);
    Image->installEventFilter(this);
    Image->OnClick = [this](TObject* Sender) { ImageClick(Sender); };
    Image->OnDblClick = [this](TObject* Sender) { ImageDblClick(Sender); };
    Image->OnMouseDown = [this](TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
        ImageMouseDown(Sender, Button, Shift, X, Y);
    };
    Image->OnMouseMove = [this](TObject* Sender, TShiftState Shift, int X, int Y) {
        ImageMouseMove(Sender, Shift, X, Y);
    };
    Image->OnMouseUp = [this](TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
        ImageMouseUp(Sender, Button, Shift, X, Y);
    };
    FScrollBars = false;
}

TPnlImg::~TPnlImg()
{
    // No event may reach an owner, or a derived component, that is already
    // being taken apart: the bars go without the resize that SetScrollBars
    // would raise.
    OnResize = nullptr;
    Panel->OnResize = nullptr;
    ScrollBarsDelete();
    FScrollBars = false;
    delete Panel;
}

void TPnlImg::SetScrollBars(bool Value)
{
    if (Value == FScrollBars)
        return;
    if (Value)
        ScrollBarsCreate();
    else
        ScrollBarsDelete();
    FScrollBars = Value;
    PanelResize(this);
}

void TPnlImg::ScrollBarsCreate()
{
    PanelV = PlainPanel(Panel);
    PanelV->SetWidth(13);
    PanelV->SetAlign(alRight);
    ScrollBarV = Bar(PanelV, sbVertical);
    ScrollBarV->OnChange = [this](TObject* Sender) { ScrollBarVChange(Sender); };
    ScrollBarV->SetAlign(alClient);

    PanelH = PlainPanel(Panel);
    PanelH->SetHeight(13);
    PanelH->SetAlign(alBottom);
    PanelCorner = PlainPanel(PanelH);
    PanelCorner->SetWidth(15);
    PanelCorner->SetAlign(alRight);
    ScrollBarH = Bar(PanelH, sbHorizontal);
    ScrollBarH->OnChange = [this](TObject* Sender) { ScrollBarHChange(Sender); };
    ScrollBarH->SetAlign(alClient);
}

void TPnlImg::ScrollBarsDelete()
{
    // Each strip takes what it holds with it.
    delete PanelV;
    PanelV = nullptr;
    ScrollBarV = nullptr;
    delete PanelH;
    PanelH = nullptr;
    PanelCorner = nullptr;
    ScrollBarH = nullptr;
    // The image takes the room the strips leave.
    AlignChildren(Panel, Panel->rect());
}

void TPnlImg::PanelResize(TObject*)
{
    Image->Resize();
    PictureResize();
    RaiseAndEmit(this, OnResize, &TPnlImg::resized);
}

TCursor TPnlImg::GetCursor() const { return Image->Cursor(); }

void TPnlImg::SetCursor(TCursor Value) { Image->SetCursor(Value); }

// ------------------------------------------------------------ forwarding

// Through the panel's own mouse hooks, so that a component built on it acts
// on the picture's input by overriding them, and the owner still hears of
// it with the panel as Sender.
void TPnlImg::ImageClick(TObject*) { Click(); }

void TPnlImg::ImageDblClick(TObject*) { DblClick(); }

void TPnlImg::ImageMouseDown(TObject*, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    MouseDown(Button, Shift, X, Y);
}

void TPnlImg::ImageMouseMove(TObject*, TShiftState Shift, int X, int Y) { MouseMove(Shift, X, Y); }

void TPnlImg::ImageMouseUp(TObject*, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    MouseUp(Button, Shift, X, Y);
}

void TPnlImg::ScrollBarHChange(TObject*) { RaiseAndEmit(this, OnScrollBarHChange, &TPnlImg::horizontalScrollBarChanged); }

void TPnlImg::ScrollBarVChange(TObject*) { RaiseAndEmit(this, OnScrollBarVChange, &TPnlImg::verticalScrollBarChanged); }

void TPnlImg::mousePressEvent(QMouseEvent* e) { e->accept(); }
void TPnlImg::mouseReleaseEvent(QMouseEvent* e) { e->accept(); }
void TPnlImg::mouseDoubleClickEvent(QMouseEvent* e) { e->accept(); }
void TPnlImg::mouseMoveEvent(QMouseEvent* e) { e->accept(); }

bool TPnlImg::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Watched == Image && Event->type() == QEvent::Wheel && FScrollBars) {
        WheelTurn(static_cast<QWheelEvent*>(Event));
        return true;
    }
    return TCustomPanel::eventFilter(Watched, Event);
}

void TPnlImg::WheelTurn(QWheelEvent* e)
{
    QPoint delta = e->angleDelta();
    if (e->modifiers() & Qt::ShiftModifier && delta.x() == 0)
        delta = {delta.y(), 0};
    FWheelRest += delta;
    const QPoint notches(FWheelRest.x() / 120, FWheelRest.y() / 120);
    FWheelRest -= notches * 120;
    WheelScroll(ScrollBarH, notches.x());
    WheelScroll(ScrollBarV, notches.y());
}
