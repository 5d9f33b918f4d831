// The controls the windows and components stand on, over Qt Widgets: a base
// control with bounds, alignment, cursor and mouse events; a picture control
// that shows a bitmap; a bevelled panel; a scroll bar; a message timer; the
// application object with its error box; and the screen.
#pragma once

#include "toolkit/graphics/Graphics.h"

#include <QApplication>
#include <QCursor>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>

class QScrollBar;

using TObject = QObject;

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum TMouseButton { mbLeft, mbRight, mbMiddle };
enum TShiftFlag : unsigned { ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32, ssDouble = 64 };
using TShiftState = unsigned;

using TNotifyEvent = std::function<void(TObject* Sender)>;
using TMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;

// Cursor numbers: the stock shapes are negative, loaded ones positive.
using TCursor = int;
constexpr TCursor crDefault = 0;
constexpr TCursor crNone = -1;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crIBeam = -4;
constexpr TCursor crSizeAll = -22;
constexpr TCursor crSizeNESW = -6;
constexpr TCursor crSizeNS = -7;
constexpr TCursor crSizeNWSE = -8;
constexpr TCursor crSizeWE = -9;
constexpr TCursor crUpArrow = -10;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crNo = -18;
constexpr TCursor crHandPoint = -21;

// ------------------------------------------------------------- TControl

class TControl : public QWidget {
    Q_OBJECT
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

protected:
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

// ------------------------------------------------------------- TImage

// What a picture control shows. Only bitmaps are kept; an empty picture has
// no bitmap until one is asked for.
class TPicture {
public:
    TBitmap& Bitmap();
    bool HasBitmap() const { return bitmap_ != nullptr; }
    int Width() const { return bitmap_ ? bitmap_->Width() : 0; }
    int Height() const { return bitmap_ ? bitmap_->Height() : 0; }
    void Assign(const TBitmap& bitmap);
    void Clear() { bitmap_.reset(); }
    std::function<void()> OnChange;

private:
    std::unique_ptr<TBitmap> bitmap_;
};

// Shows its picture's bitmap at its top-left corner; what the bitmap's
// canvas changes is repainted, and only that.
class TImage : public TControl {
    Q_OBJECT
public:
    explicit TImage(QWidget* Owner = nullptr);

    TPicture& Picture() { return picture_; }
    // The bitmap's canvas; an empty picture first gets a bitmap of the
    // control's size.
    TCanvas& Canvas();

    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool value);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool value);

    void Repaint() override;
    // Sends the changed parts of the bitmap to the screen now (normally
    // done once per display frame).
    void FlushChanges();
    // The longest a change waits before it reaches the screen.
    static void SetFrameInterval(int ms);
    // For measurements: repaint the whole picture at every change, as a
    // simple view would, instead of the changed parts once per frame.
    static void SetWholeUpdates(bool value);

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    void BitmapChanged();
    void AttachBitmap();
    TPicture picture_;
    TBitmap* attached_ = nullptr;
    bool autoSize_ = false;
    bool transparent_ = false;
    bool flushPending_ = false;
};

// Loads a picture from the program's resources (any format Qt reads) into a
// 24-bit bitmap; false, with the bitmap unchanged, when there is none.
bool LoadBitmapFromResource(TBitmap& bitmap, const std::string& path);

// ------------------------------------------------------------- TCustomPanel

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
enum TAlignment { taLeftJustify, taRightJustify, taCenter };

// Draws the classic 3-D frame: BevelWidth rings inward from the rectangle's
// edge, top and left in topColor, right and bottom in bottomColor.
void Frame3D(TCanvas& canvas, TRect& rect, TColor topColor, TColor bottomColor, int width);

class TCustomPanel : public TControl {
    Q_OBJECT
public:
    explicit TCustomPanel(QWidget* Owner = nullptr);

    TBevelCut BevelInner() const { return bevelInner_; }
    void SetBevelInner(TBevelCut value);
    TBevelCut BevelOuter() const { return bevelOuter_; }
    void SetBevelOuter(TBevelCut value);
    int BevelWidth() const { return bevelWidth_; }
    void SetBevelWidth(int value);
    int BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(int value);
    std::string Caption() const { return caption_; }
    void SetCaption(const std::string& value);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment value);
    TColor Color() const { return color_; }
    void SetColor(TColor value);
    TFont& Font() { return font_; }

    // The area left inside the bevels and border, where children align.
    QRect ClientRect() const;

protected:
    void paintEvent(QPaintEvent* e) override;
    QRect AlignArea() const override { return ClientRect(); }

private:
    TBevelCut bevelInner_ = bvNone;
    TBevelCut bevelOuter_ = bvRaised;
    int bevelWidth_ = 1;
    int borderWidth_ = 0;
    std::string caption_;
    TAlignment alignment_ = taCenter;
    TColor color_ = clBtnFace;
    TFont font_;
    TBitmap face_;
};

// ------------------------------------------------------------- TScrollBar

enum TScrollBarKind { sbHorizontal, sbVertical };

class TScrollBar : public TControl {
    Q_OBJECT
public:
    explicit TScrollBar(QWidget* Owner = nullptr);

    TScrollBarKind Kind() const { return kind_; }
    void SetKind(TScrollBarKind value);
    int Min() const;
    int Max() const;
    int Position() const;
    int PageSize() const;
    int SmallChange() const;
    int LargeChange() const;
    void SetMin(int value);
    void SetMax(int value);
    void SetPosition(int value);
    void SetPageSize(int value);
    void SetSmallChange(int value);
    void SetLargeChange(int value);
    void SetParams(int position, int min, int max);

    TNotifyEvent OnChange;

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    TScrollBarKind kind_ = sbHorizontal;
    QScrollBar* bar_;
};

// ------------------------------------------------------------- TTimer

// A message timer: its ticks come through the event loop, so they never
// interrupt a handler.
class TTimer : public QObject {
    Q_OBJECT
public:
    explicit TTimer(QObject* Owner = nullptr);

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);
    int Interval() const { return interval_; }
    void SetInterval(int value);

    TNotifyEvent OnTimer;

    // Raises OnTimer as a tick would (tests drive timers this way).
    void Tick();

private:
    void Update();
    QTimer timer_;
    bool enabled_ = true;
    int interval_ = 1000;
};

// ------------------------------------------------------------- TApplication

class TApplication : public QApplication {
    Q_OBJECT
public:
    TApplication(int& argc, char** argv);
    ~TApplication() override;

    std::string Title() const { return title_; }
    void SetTitle(const std::string& value);
    void ProcessMessages();

    // Shows what escaped an event handler in the standard error box; the
    // program carries on.
    void ShowException(const std::exception& e);
    // Runs a handler, sending anything it throws to ShowException.
    template <class F>
    void Guard(F&& f)
    {
        try {
            f();
        } catch (const std::exception& e) {
            ShowException(e);
        }
    }
    // Replaces the error box (tests record the messages instead).
    std::function<void(const std::string&)> OnError;

    bool notify(QObject* receiver, QEvent* event) override;

private:
    std::string title_;
};

// The one application object, or nullptr before it exists.
extern TApplication* Application;

// Runs an event handler under the application's guard when there is one.
template <class F>
void GuardedCall(F&& f)
{
    if (Application)
        Application->Guard(std::forward<F>(f));
    else
        f();
}

// ------------------------------------------------------------- Screen

class TScreen {
public:
    int Width() const;
    int Height() const;
    int PixelsPerInch() const;
    // Stock cursors by their (negative) numbers, loaded ones by theirs.
    QCursor Cursors(TCursor index) const;
    void SetCursor(TCursor index, const QCursor& cursor);

private:
    std::vector<std::pair<TCursor, QCursor>> loaded_;
};

extern TScreen* Screen;

// A cursor from the program's resources (":/cursors/NAME.png", hot spot in
// ":/cursors/NAME.hot" as "x y" when not the centre); crDefault's shape
// when there is none.
QCursor LoadCursorFromResource(const std::string& name);
