#include "toolkit/controls/Control.h"
#include "toolkit/controls/Application.h"

#include <QMouseEvent>

#include <algorithm>
#include <vector>

namespace {

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
    if (parent && align_ != alNone) {
        if (auto* p = qobject_cast<TControl*>(parent))
            p->Realign();
        else
            AlignChildren(parent, parent->rect());
    }
}

void TControl::SetLeft(int value) { SetBounds(value, y(), width(), height()); }
void TControl::SetTop(int value) { SetBounds(x(), value, width(), height()); }
void TControl::SetWidth(int value) { SetBounds(x(), y(), value, height()); }
void TControl::SetHeight(int value) { SetBounds(x(), y(), width(), value); }

void TControl::SetBounds(int left, int top, int w, int h)
{
    const QSize old = size();
    setGeometry(left, top, std::max(w, 0), std::max(h, 0));
    // A widget that is not shown gets its resize event only when shown;
    // its children and handlers must know the new size now.
    if (!isVisible() && size() != old)
        SizeAnnounce();
}

void TControl::SizeAnnounce()
{
    announced_ = size();
    Realign();
    Resize();
    RaiseEvent(OnResize, this);
}

void TControl::SetAlign(TAlign value)
{
    if (align_ == value || !NamedValue(value))
        return;
    align_ = value;
    if (QWidget* parent = parentWidget()) {
        if (auto* p = qobject_cast<TControl*>(parent))
            p->Realign();
        else
            AlignChildren(parent, parent->rect());
    }
}

void TControl::SetVisible(bool value)
{
    setVisible(value);
    if (align_ != alNone)
        if (auto* p = qobject_cast<TControl*>(parentWidget()))
            p->Realign();
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
    RaiseEvent(OnMouseDown, this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, int X, int Y)
{
    RaiseEvent(OnMouseMove, this, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    RaiseEvent(OnMouseUp, this, Button, Shift, X, Y);
}

void TControl::Click()
{
    RaiseEvent(OnClick, this);
}

void TControl::DblClick()
{
    RaiseEvent(OnDblClick, this);
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

void AlignChildren(QWidget* parent, const QRect& area)
{
    QRect r = area;
    std::vector<TControl*> kids;
    for (QObject* o : parent->children())
        if (auto* c = qobject_cast<TControl*>(o); c && c->Align() != alNone && !c->isHidden())
            kids.push_back(c);
    for (TAlign pass : {alTop, alBottom, alLeft, alRight, alClient}) {
        for (TControl* c : kids) {
            if (c->Align() != pass)
                continue;
            switch (pass) {
            case alTop:
                c->SetBounds(r.left(), r.top(), r.width(), c->height());
                r.setTop(r.top() + c->height());
                break;
            case alBottom:
                c->SetBounds(r.left(), r.bottom() + 1 - c->height(), r.width(), c->height());
                r.setBottom(r.bottom() - c->height());
                break;
            case alLeft:
                c->SetBounds(r.left(), r.top(), c->width(), std::max(r.height(), 0));
                r.setLeft(r.left() + c->width());
                break;
            case alRight:
                c->SetBounds(r.right() + 1 - c->width(), r.top(), c->width(), std::max(r.height(), 0));
                r.setRight(r.right() - c->width());
                break;
            default:
                c->SetBounds(r.left(), r.top(), std::max(r.width(), 0), std::max(r.height(), 0));
                break;
            }
        }
    }
}
