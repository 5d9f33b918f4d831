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
    // A control inside Owner (none: a window of its own), hidden until shown.
    explicit TControl(QWidget* Owner = nullptr);

    QWidget* Owner() const { return parentWidget(); }   // The widget the control is inside.
    QWidget* Parent() const { return parentWidget(); }  // The same as Owner.
    void SetParent(QWidget* parent);                     // Moves the control into another widget.

    int Left() const { return x(); }        // Position in the parent, in pixels.
    int Top() const { return y(); }         // Position in the parent, in pixels.
    int Width() const { return width(); }   // Size in pixels.
    int Height() const { return height(); } // Size in pixels.
    virtual void SetLeft(int value);        // Moves the control; see SetBounds.
    virtual void SetTop(int value);         // Moves the control; see SetBounds.
    virtual void SetWidth(int value);       // Resizes the control; see SetBounds.
    virtual void SetHeight(int value);      // Resizes the control; see SetBounds.
    // Moves and sizes at once (negative sizes count as 0); a new size is
    // announced at once, also while the control is hidden. A control docked
    // to an edge of its parent that takes a new size across that edge here
    // (its height at the top or bottom, its width at the left or right),
    // from anyone but its parent's alignment pass, has its parent lay out
    // its aligned children again, so that it stays at its edge and the
    // others make room.
    void SetBounds(int left, int top, int width, int height);
    int ClientWidth() const { return width(); }    // The inside's width, in pixels.
    int ClientHeight() const { return height(); }  // The inside's height, in pixels.

    TAlign Align() const { return align_; }  // Which edge of its parent the control keeps to.
    void SetAlign(TAlign value);             // Docks the control and lays out its parent again.
    bool Visible() const { return !isHidden(); }  // Whether the control is to be shown.
    void SetVisible(bool value);                  // Shows or hides it; docked siblings follow.
    TCursor Cursor() const { return cursor_; }    // The mouse pointer over the control.
    void SetCursor(TCursor value);                // One of the cr... cursors of TScreen.

    // Paints the control at once.
    virtual void Repaint();

    TNotifyEvent OnClick;           // A left press and release on the control.
    TNotifyEvent OnDblClick;        // A double click, before its second press.
    TMouseEvent OnMouseDown;        // A button pressed, at the control's pixel.
    TMouseMoveEvent OnMouseMove;    // The pointer moved over the control.
    TMouseEvent OnMouseUp;          // A button released.
    TNotifyEvent OnResize;          // The control has taken a new size.

    // Each signal is emitted just after the On... event of the same
    // meaning, whether or not a handler is assigned, with the event's
    // arguments but the Sender; it is left out when the handler destroyed
    // the control.
signals:
    void clicked();                                                           // After OnClick.
    void doubleClicked();                                                     // After OnDblClick.
    void mousePressed(TMouseButton button, TShiftState shift, int x, int y);  // After OnMouseDown.
    void mouseMoved(TShiftState shift, int x, int y);                         // After OnMouseMove.
    void mouseReleased(TMouseButton button, TShiftState shift, int x, int y); // After OnMouseUp.
    void resized();                                                           // After OnResize.

protected:
    // The mouse on the control's own surface. Each raises its On... event;
    // a component that acts on its surface overrides one and calls the base,
    // so its owner still hears of it. The press of a double click comes
    // after DblClick with ssDouble in Shift and ends in no Click.
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);                  // Raises OnMouseMove.
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y); // Raises OnMouseUp.
    virtual void Click();                                                     // Raises OnClick.
    virtual void DblClick();                                                  // Raises OnDblClick.

    // Qt's mouse and size events, turned into the hooks above.
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;        // Qt's event: MouseUp, then Click.
    void mouseDoubleClickEvent(QMouseEvent* e) override;    // Qt's event: DblClick, then MouseDown.
    void mouseMoveEvent(QMouseEvent* e) override;           // Qt's event: MouseMove.
    void resizeEvent(QResizeEvent* e) override;             // Qt's event: a new size is announced.
    // Called after the control has been given a new size.
    virtual void Resize();
    // Raises OnResize and resized once the control has taken a new size; a
    // component that announces its size otherwise overrides it.
    virtual void ResizeAnnounce();
    // Where aligned children are laid out.
    virtual QRect AlignArea() const { return rect(); }
    // Lays out the docked children in AlignArea.
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
