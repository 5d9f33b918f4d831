// The base control over Qt Widgets: bounds, alignment of children, cursor
// and mouse events.
#pragma once

#include "toolkit/controls/ControlTypes.h"
#include "toolkit/controls/Properties.h"
#include "toolkit/controls/Screen.h"

#include <QWidget>

class TControl : public QWidget {
    Q_OBJECT
    Q_PROPERTY(Tk::TAlign Align READ Align WRITE SetAlign)  // alNone
    Q_PROPERTY(int Cursor READ Cursor WRITE SetCursor)      // crDefault
public:
    explicit TControl(QWidget* Owner = nullptr);

    QWidget* Owner() const { return parentWidget(); }
    QWidget* Parent() const { return parentWidget(); }
    void SetParent(QWidget* parent);

    int Left() const { return x(); }
    int Top() const { return y(); }
    int Width() const { return width(); }
    int Height() const { return height(); }
    virtual void SetLeft(int value);
    virtual void SetTop(int value);
    virtual void SetWidth(int value);
    virtual void SetHeight(int value);
    // A control docked to an edge of its parent that takes a new size
    // across that edge here (its height at the top or bottom, its width at
    // the left or right), from anyone but its parent's alignment pass, has
    // its parent lay out its aligned children again, so that it stays at
    // its edge and the others make room.
    void SetBounds(int left, int top, int width, int height);
    int ClientWidth() const { return width(); }
    int ClientHeight() const { return height(); }

    TAlign Align() const { return align_; }
    void SetAlign(TAlign value);
    bool Visible() const { return !isHidden(); }
    void SetVisible(bool value);
    TCursor Cursor() const { return cursor_; }
    void SetCursor(TCursor value);

    // Paints the control at once.
    virtual void Repaint();

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    TNotifyEvent OnResize;

protected:
    // The mouse on the control's own surface. Each raises its On... event;
    // a component that acts on its surface overrides one and calls the base,
    // so its owner still hears of it. The press of a double click comes
    // after DblClick with ssDouble in Shift and ends in no Click.
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void Click();
    virtual void DblClick();

    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    // Called after the control has been given a new size.
    virtual void Resize();
    // Where aligned children are laid out.
    virtual QRect AlignArea() const { return rect(); }
    void Realign();

private:
    friend void AlignChildren(QWidget* parent, const QRect& area);
    // Realign, Resize and OnResize for the present size, once per size.
    void SizeAnnounce();
    // Lays out the parent's aligned children, this one among them.
    void ParentRealign();
    // Whether the size changed from old across the edge it is docked to.
    bool SizeAcrossEdge(const QSize& old) const;
    TAlign align_ = alNone;
    TCursor cursor_ = crDefault;
    bool pressed_ = false;
    // Set by the parent's alignment pass for the one SetBounds it makes.
    bool placing_ = false;
    QSize announced_;
};

// Lays out the aligned children of a widget in the classic order: top,
// bottom, left, right, then client, each taking its part of what is left of
// the area. A child that changes its size while being placed (a control that
// sizes itself to its content) gets the pass run again once it is over; a
// call for a widget whose pass is running only asks for that.
void AlignChildren(QWidget* parent, const QRect& area);
