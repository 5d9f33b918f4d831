#include "toolkit/controls/Control.h"
#include "toolkit/controls/Application.h"

#include <QMouseEvent>

#include <algorithm>
#include <utility>
#include <vector>

namespace {

// The alignment passes running, innermost last, with the area each is to
// lay out and whether it must run again.
struct TAlignPass {
    QWidget* parent;
    QRect area;
    bool again;
};
std::vector<TAlignPass> alignPasses;

// A control that answers every placement with another size would make the
// passes go on for ever.
constexpr int MaxAlignPasses = 4;

TShiftState ShiftOf(Qt::KeyboardModifiers mods, Qt::MouseButtons buttons)
{
    return (mods & Qt::ShiftModifier ? ssShift : 0u) | (mods & Qt::AltModifier ? ssAlt : 0u) |
           (mods & Qt::ControlModifier ? ssCtrl : 0u) | (buttons & Qt::LeftButton ? ssLeft : 0u) |
           (buttons & Qt::RightButton ? ssRight : 0u) | (buttons & Qt::MiddleButton ? ssMiddle : 0u);
}

TMouseButton ButtonOf(Qt::MouseButton b)
{
    switch (b) {
    case Qt::RightButton: return mbRight;
    case Qt::MiddleButton: return mbMiddle;
    default: return mbLeft;
    }
}

}  // namespace

// ----------------------------------------------------------------- TControl

TControl::TControl(QWidget* Owner) : QWidget(Owner)
{
    setMouseTracking(true);
}

void TControl::SetParent(QWidget* parent)
{
    setParent(parent);
    if (align_ != alNone)
        ParentRealign();
}

void TControl::ParentRealign()
{
    QWidget* parent = parentWidget();
    if (!parent)
        return;
    if (auto* p = qobject_cast<TControl*>(parent))
        p->Realign();
    else
        AlignChildren(parent, parent->rect());
}

void TControl::SetLeft(int value) { SetBounds(value, y(), width(), height()); }
void TControl::SetTop(int value) { SetBounds(x(), value, width(), height()); }
void TControl::SetWidth(int value) { SetBounds(x(), y(), value, height()); }
void TControl::SetHeight(int value) { SetBounds(x(), y(), width(), value); }

void TControl::SetBounds(int left, int top, int w, int h)
{
    const bool placed = std::exchange(placing_, false);
    const QSize old = size();
    setGeometry(left, top, std::max(w, 0), std::max(h, 0));
    // A widget that is not shown gets its resize event only when shown;
    // its children and handlers must know the new size now.
    if (!isVisible() && size() != old)
        SizeAnnounce();
    if (!placed && SizeAcrossEdge(old))
        ParentRealign();
}

bool TControl::SizeAcrossEdge(const QSize& old) const
{
    switch (align_) {
    case alTop:
    case alBottom: return height() != old.height();
    case alLeft:
    case alRight: return width() != old.width();
    default: return false;
    }
}

void TControl::SizeAnnounce()
{
    announced_ = size();
    Realign();
    Resize();
    ResizeAnnounce();
}

void TControl::ResizeAnnounce() { RaiseAndEmit(this, OnResize, &TControl::resized); }

void TControl::SetAlign(TAlign value)
{
    if (align_ == value || !NamedValue(value))
        return;
    align_ = value;
    ParentRealign();
}

void TControl::SetVisible(bool value)
{
    setVisible(value);
    if (align_ != alNone)
        ParentRealign();
}

void TControl::SetCursor(TCursor value)
{
    cursor_ = value;
    setCursor(Screen->Cursors(value));
}

void TControl::Repaint() { repaint(); }

void TControl::Realign() { AlignChildren(this, AlignArea()); }

void TControl::Resize() {}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    RaiseAndEmit(this, OnMouseDown, &TControl::mousePressed, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, int X, int Y)
{
    RaiseAndEmit(this, OnMouseMove, &TControl::mouseMoved, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    RaiseAndEmit(this, OnMouseUp, &TControl::mouseReleased, Button, Shift, X, Y);
}

void TControl::Click()
{
    RaiseAndEmit(this, OnClick, &TControl::clicked);
}

void TControl::DblClick()
{
    RaiseAndEmit(this, OnDblClick, &TControl::doubleClicked);
}

// The hooks run under the guard too: an override that throws must not
// leave Qt's dispatch half done.
void TControl::mousePressEvent(QMouseEvent* e)
{
    pressed_ = e->button() == Qt::LeftButton;
    const QPoint p = e->position().toPoint();
    GuardedCall([&] { MouseDown(ButtonOf(e->button()), ShiftOf(e->modifiers(), e->buttons()), p.x(), p.y()); });
}

void TControl::mouseReleaseEvent(QMouseEvent* e)
{
    const QPoint p = e->position().toPoint();
    GuardedCall([&] { MouseUp(ButtonOf(e->button()), ShiftOf(e->modifiers(), e->buttons()), p.x(), p.y()); });
    const bool click = pressed_ && e->button() == Qt::LeftButton && rect().contains(p);
    pressed_ = false;
    if (click)
        GuardedCall([&] { Click(); });
}

void TControl::mouseDoubleClickEvent(QMouseEvent* e)
{
    pressed_ = false;
    GuardedCall([&] { DblClick(); });
    const QPoint p = e->position().toPoint();
    GuardedCall([&] {
        MouseDown(ButtonOf(e->button()), ShiftOf(e->modifiers(), e->buttons()) | ssDouble, p.x(), p.y());
    });
}

void TControl::mouseMoveEvent(QMouseEvent* e)
{
    const QPoint p = e->position().toPoint();
    GuardedCall([&] { MouseMove(ShiftOf(e->modifiers(), e->buttons()), p.x(), p.y()); });
}

void TControl::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    // The event that showing delivers for a size already announced while
    // hidden is no new size.
    if (size() != announced_)
        SizeAnnounce();
}

namespace {

TAlignPass* RunningPass(QWidget* parent)
{
    for (TAlignPass& p : alignPasses)
        if (p.parent == parent)
            return &p;
    return nullptr;
}

// One pass over the aligned children; Place sets a child's bounds.
template <class F>
void AlignPass(QWidget* parent, QRect r, F&& Place)
{
    std::vector<TControl*> kids;
    for (QObject* o : parent->children())
        if (auto* c = qobject_cast<TControl*>(o); c && c->Align() != alNone && !c->isHidden())
            kids.push_back(c);
    for (TAlign pass : {alTop, alBottom, alLeft, alRight, alClient}) {
        for (TControl* c : kids) {
            if (c->Align() != pass)
                continue;
            switch (pass) {
            case alTop: Place(c, QRect(r.left(), r.top(), r.width(), c->height())); break;
            case alBottom: Place(c, QRect(r.left(), r.bottom() + 1 - c->height(), r.width(), c->height())); break;
            case alLeft: Place(c, QRect(r.left(), r.top(), c->width(), std::max(r.height(), 0))); break;
            case alRight: Place(c, QRect(r.right() + 1 - c->width(), r.top(), c->width(), std::max(r.height(), 0))); break;
            default: Place(c, QRect(r.left(), r.top(), std::max(r.width(), 0), std::max(r.height(), 0))); break;
            }
            // The room taken is the size the child ended with.
            switch (pass) {
            case alTop: r.setTop(r.top() + c->height()); break;
            case alBottom: r.setBottom(r.bottom() - c->height()); break;
            case alLeft: r.setLeft(r.left() + c->width()); break;
            case alRight: r.setRight(r.right() - c->width()); break;
            default: break;
            }
        }
    }
}

}  // namespace

void AlignChildren(QWidget* parent, const QRect& area)
{
    if (TAlignPass* running = RunningPass(parent)) {
        running->area = area;
        running->again = true;
        return;
    }
    alignPasses.push_back({parent, area, false});
    struct Done {
        QWidget* parent;
        ~Done() { alignPasses.erase(alignPasses.begin() + (RunningPass(parent) - alignPasses.data())); }
    } done{parent};
    const auto place = [](TControl* c, const QRect& to) {
        c->placing_ = true;
        c->SetBounds(to.left(), to.top(), to.width(), to.height());
        c->placing_ = false;
    };
    for (int n = 0; n < MaxAlignPasses; ++n) {
        RunningPass(parent)->again = false;
        AlignPass(parent, RunningPass(parent)->area, place);
        if (!RunningPass(parent)->again)
            break;
    }
}
