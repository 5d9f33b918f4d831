// A bevelled panel showing one TQelImage that fills its inside, with an
// optional pair of scroll bars along the right and bottom edges. The bars
// move nothing by themselves: their changes and the image's mouse events are
// raised as the panel's own events, and the owner decides what they mean.
#pragma once

#include "components/image/Tqelimage.h"
#include "toolkit/controls/Controls.h"

class TPnlImg : public TCustomPanel {
    Q_OBJECT
    Q_PROPERTY(bool ScrollBars READ ScrollBars WRITE SetScrollBars)
    Q_PROPERTY(int Cursor READ GetCursor WRITE SetCursor)
public:
    // A 160 x 160 panel of two lowered bevels around its picture, no bars.
    explicit TPnlImg(QWidget* Owner = nullptr);
    ~TPnlImg() override;

    bool ScrollBars() const { return FScrollBars; }  // Whether the scroll bars are shown.
    // Builds or frees the strips and bars, then resizes the picture as
    // PanelResize does; asking for the present state changes nothing.
    void SetScrollBars(bool Value);

    // The cursor over the picture.
    TCursor GetCursor() const;
    void SetCursor(TCursor Value);  // Sets the picture's cursor.

    // Raised when the picture has taken a new size, after its bitmap has
    // followed. The panel's own frame raises no resize event of its own.
    TNotifyEvent OnResize;
    // A scroll bar moved; the positions are read from ScrollBarH and
    // ScrollBarV. The mouse events (OnClick, OnDblClick, OnMouseDown,
    // OnMouseMove, OnMouseUp) are the image's, with the panel as Sender and
    // the image's pixel coordinates.
    TNotifyEvent OnScrollBarHChange;
    TNotifyEvent OnScrollBarVChange;  // The vertical bar moved; see OnScrollBarHChange.

    // The inherited resized comes with the panel's OnResize, and the mouse
    // signals with the image's mouse events.
signals:
    void horizontalScrollBarChanged();  // After OnScrollBarHChange.
    void verticalScrollBarChanged();    // After OnScrollBarVChange.

public:
    // The picture, aligned to fill Panel.
    TQelImage* Image;
    // Inner panel without bevels filling the component: parent of Image and
    // of the scroll-bar strips.
    TCustomPanel* Panel;
    // The strips, the blank corner and the bars exist only while ScrollBars
    // is true: PanelH along the bottom (13 pixels, holding PanelCorner and
    // ScrollBarH), PanelV on the right above it (13 pixels, holding
    // ScrollBarV), PanelCorner 15 pixels wide at the right end of PanelH.
    TCustomPanel* PanelH = nullptr;
    TCustomPanel* PanelV = nullptr;       // The strip of the vertical bar.
    TCustomPanel* PanelCorner = nullptr;  // The blank corner between the bars.
    TScrollBar* ScrollBarH = nullptr;     // The horizontal bar, while ScrollBars is true.
    TScrollBar* ScrollBarV = nullptr;     // The vertical bar, while ScrollBars is true.

protected:
    void ScrollBarsCreate();  // Builds the strips, the corner and the bars.
    void ScrollBarsDelete();  // Frees them; the picture takes their room.
    // Panel's resize handler: the image's bitmap takes the image's size,
    // then PictureResize, then OnResize.
    void PanelResize(TObject* Sender);
    // Called by PanelResize before OnResize is raised, so that a component
    // built on the panel can redraw without taking the event from its owner.
    virtual void PictureResize() {}
    // The frame announces nothing: OnResize follows the picture.
    void ResizeAnnounce() override {}

    // The picture's mouse events, passed to the panel's own hooks.
    void ImageClick(TObject* Sender);
    void ImageDblClick(TObject* Sender);  // Passes the picture's double click on.
    // Passes the picture's press on.
    void ImageMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void ImageMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);  // Passes a move on.
    // Passes the picture's release on.
    void ImageMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void ScrollBarHChange(TObject* Sender);  // Raises OnScrollBarHChange.
    void ScrollBarVChange(TObject* Sender);  // Raises OnScrollBarVChange.

    // The thin frame round the picture answers no mouse: the panel's mouse
    // events are the picture's.
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;      // Taken and dropped.
    void mouseDoubleClickEvent(QMouseEvent* e) override;  // Taken and dropped.
    void mouseMoveEvent(QMouseEvent* e) override;         // Taken and dropped.
    // The wheel over the picture moves the scroll bars, as their own wheel
    // does: down (with Shift, or a sideways wheel: right) by the system's
    // lines per notch, each SmallChange long. Without bars it is left to
    // the parent.
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    bool FScrollBars = false;
    void WheelTurn(QWheelEvent* e);
    // Parts of a notch from fine-grained wheels and touchpads, added up.
    QPoint FWheelRest;
};
