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
    // Raises OnResize and resized once the control has taken a new size; a
    // component that announces its size otherwise overrides it.
    virtual void ResizeAnnounce();
    // Where aligned children are laid out.
    virtual QRect AlignArea() const { return rect(); }
    void Realign();

private:
    // Realign, Resize and OnResize for the present size, once per size.
    void SizeAnnounce();
    TAlign align_ = alNone;
    TCursor cursor_ = crDefault;
    bool pressed_ = false;
    QSize announced_;
};

// Lays out the aligned children of a widget in the classic order: top,
// bottom, left, right, then client, each taking its part of what is left of
// the area.
void AlignChildren(QWidget* parent, const QRect& area);
