#include "toolkit/controls/Controls.h"
#include "toolkit/graphics/FontEngine.h"

#include <QFile>
#include <QGuiApplication>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

TApplication* Application = nullptr;

namespace {

TShiftState ShiftOf(Qt::KeyboardModifiers mods, Qt::MouseButtons buttons)
{
    TShiftState s = 0;
    if (mods & Qt::ShiftModifier)
        s |= ssShift;
    if (mods & Qt::AltModifier)
        s |= ssAlt;
    if (mods & Qt::ControlModifier)
        s |= ssCtrl;
    if (buttons & Qt::LeftButton)
        s |= ssLeft;
    if (buttons & Qt::RightButton)
        s |= ssRight;
    if (buttons & Qt::MiddleButton)
        s |= ssMiddle;
    return s;
}

TMouseButton ButtonOf(Qt::MouseButton b)
{
    switch (b) {
    case Qt::RightButton: return mbRight;
    case Qt::MiddleButton: return mbMiddle;
    default: return mbLeft;
    }
}

// Shows a bitmap's pixels to Qt without copying them.
QImage ImageOf(TBitmap& b)
{
    return QImage(reinterpret_cast<const uchar*>(b.ScanLine(0)), b.Width(), b.Height(), b.Width() * 4,
                  QImage::Format_RGB32);
}

int frameInterval = 0;  // 0: from the screen's refresh rate
bool wholeUpdates = false;

int FrameInterval()
{
    if (frameInterval > 0)
        return frameInterval;
    double hz = 60;
    if (auto* screen = QGuiApplication::primaryScreen(); screen && screen->refreshRate() >= 20)
        hz = screen->refreshRate();
    return std::max(1, int(std::lround(1000.0 / hz)));
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
    if (OnResize)
        GuardedCall([&] { OnResize(this); });
}

void TControl::SetAlign(TAlign value)
{
    if (align_ == value)
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

void TControl::mousePressEvent(QMouseEvent* e)
{
    pressed_ = e->button() == Qt::LeftButton;
    const QPoint p = e->position().toPoint();
    if (OnMouseDown)
        GuardedCall([&] { OnMouseDown(this, ButtonOf(e->button()), ShiftOf(e->modifiers(), e->buttons()), p.x(), p.y()); });
}

void TControl::mouseReleaseEvent(QMouseEvent* e)
{
    const QPoint p = e->position().toPoint();
    if (OnMouseUp)
        GuardedCall([&] { OnMouseUp(this, ButtonOf(e->button()), ShiftOf(e->modifiers(), e->buttons()), p.x(), p.y()); });
    if (pressed_ && e->button() == Qt::LeftButton && rect().contains(p) && OnClick)
        GuardedCall([&] { OnClick(this); });
    pressed_ = false;
}

void TControl::mouseDoubleClickEvent(QMouseEvent* e)
{
    if (OnDblClick)
        GuardedCall([&] { OnDblClick(this); });
    mousePressEvent(e);
}

void TControl::mouseMoveEvent(QMouseEvent* e)
{
    const QPoint p = e->position().toPoint();
    if (OnMouseMove)
        GuardedCall([&] { OnMouseMove(this, ShiftOf(e->modifiers(), e->buttons()), p.x(), p.y()); });
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

// ------------------------------------------------------------------ TImage

TBitmap& TPicture::Bitmap()
{
    if (!bitmap_) {
        bitmap_ = std::make_unique<TBitmap>();
        if (OnChange)
            OnChange();
    }
    return *bitmap_;
}

void TPicture::Assign(const TBitmap& bitmap)
{
    if (!bitmap_)
        bitmap_ = std::make_unique<TBitmap>();
    *bitmap_ = bitmap;
    bitmap_->MarkAllDirty();
    if (OnChange)
        OnChange();
}

TImage::TImage(QWidget* Owner) : TControl(Owner)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    picture_.OnChange = [this] { AttachBitmap(); };
}

void TImage::AttachBitmap()
{
    TBitmap& b = picture_.Bitmap();
    if (attached_ != &b) {
        attached_ = &b;
        b.OnChange = [this] { BitmapChanged(); };
    }
    b.Transparent = transparent_;
    BitmapChanged();
}

TCanvas& TImage::Canvas()
{
    if (!picture_.HasBitmap())
        picture_.Bitmap().SetSize(Width(), Height());
    return picture_.Bitmap().Canvas();
}

void TImage::SetAutoSize(bool value)
{
    autoSize_ = value;
    if (value && picture_.HasBitmap())
        resize(picture_.Width(), picture_.Height());
}

void TImage::SetTransparent(bool value)
{
    transparent_ = value;
    setAttribute(Qt::WA_OpaquePaintEvent, !value);
    if (picture_.HasBitmap())
        picture_.Bitmap().Transparent = value;
    update();
}

void TImage::SetFrameInterval(int ms) { frameInterval = ms; }
void TImage::SetWholeUpdates(bool value) { wholeUpdates = value; }

void TImage::BitmapChanged()
{
    if (autoSize_ && picture_.HasBitmap() && (width() != picture_.Width() || height() != picture_.Height()))
        resize(picture_.Width(), picture_.Height());
    if (wholeUpdates) {
        picture_.Bitmap().TakeDirty();
        update();
        return;
    }
    if (!flushPending_) {
        flushPending_ = true;
        QTimer::singleShot(FrameInterval(), Qt::PreciseTimer, this, [this] { FlushChanges(); });
    }
}

void TImage::FlushChanges()
{
    flushPending_ = false;
    if (!picture_.HasBitmap())
        return;
    for (const TRect& r : picture_.Bitmap().TakeDirty())
        update(QRect(r.Left, r.Top, r.Width(), r.Height()));
}

void TImage::Repaint()
{
    if (picture_.HasBitmap())
        picture_.Bitmap().TakeDirty();
    repaint();
}

void TImage::paintEvent(QPaintEvent* e)
{
    QPainter p(this);
    QRegion rest(e->rect());
    if (picture_.HasBitmap() && !picture_.Bitmap().Empty()) {
        TBitmap& b = picture_.Bitmap();
        const QRect area = e->rect() & QRect(0, 0, b.Width(), b.Height());
        if (transparent_) {
            QImage img = ImageOf(b).convertToFormat(QImage::Format_ARGB32);
            const QRgb key = ColorToPixel(b.EffectiveTransparentColor());
            for (int y = 0; y < img.height(); ++y) {
                auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
                for (int x = 0; x < img.width(); ++x)
                    row[x] = ((row[x] & 0xFFFFFF) == key) ? 0 : (row[x] | 0xFF000000u);
            }
            p.drawImage(area, img, area);
        } else {
            p.drawImage(area, ImageOf(b), area);
        }
        rest -= QRegion(area);
    }
    if (!transparent_)
        for (const QRect& r : rest)
            p.fillRect(r, palette().window());
}

bool LoadBitmapFromResource(TBitmap& bitmap, const std::string& path)
{
    const QImage img = QImage(QString::fromStdString(path)).convertToFormat(QImage::Format_RGB32);
    if (img.isNull())
        return false;
    TBitmap loaded(img.width(), img.height());
    for (int y = 0; y < img.height(); ++y) {
        const auto* src = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        std::uint32_t* dst = loaded.ScanLine(y);
        for (int x = 0; x < img.width(); ++x)
            dst[x] = src[x] & 0x00FFFFFF;
    }
    bitmap = loaded;
    bitmap.MarkAllDirty();
    return true;
}

// ------------------------------------------------------------ TCustomPanel

void Frame3D(TCanvas& canvas, TRect& rect, TColor topColor, TColor bottomColor, int width)
{
    canvas.Pen.Width = 1;
    int l = rect.Left, t = rect.Top, r = rect.Right - 1, b = rect.Bottom - 1;
    for (int i = 0; i < width; ++i) {
        canvas.Pen.Color = topColor;
        canvas.MoveTo(l, b);
        canvas.LineTo(l, t);
        canvas.LineTo(r, t);
        canvas.Pen.Color = bottomColor;
        canvas.LineTo(r, b);
        canvas.LineTo(l - 1, b);
        ++l;
        ++t;
        --r;
        --b;
    }
    rect = {l, t, r + 1, b + 1};
}

TCustomPanel::TCustomPanel(QWidget* Owner) : TControl(Owner)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TCustomPanel::SetBevelInner(TBevelCut value)
{
    if (bevelInner_ != value) {
        bevelInner_ = value;
        Realign();
        update();
    }
}

void TCustomPanel::SetBevelOuter(TBevelCut value)
{
    if (bevelOuter_ != value) {
        bevelOuter_ = value;
        Realign();
        update();
    }
}

void TCustomPanel::SetBevelWidth(int value)
{
    if (value > 0 && bevelWidth_ != value) {
        bevelWidth_ = value;
        Realign();
        update();
    }
}

void TCustomPanel::SetBorderWidth(int value)
{
    if (value >= 0 && borderWidth_ != value) {
        borderWidth_ = value;
        Realign();
        update();
    }
}

void TCustomPanel::SetCaption(const std::string& value)
{
    if (caption_ != value) {
        caption_ = value;
        update();
    }
}

void TCustomPanel::SetAlignment(TAlignment value)
{
    if (alignment_ != value) {
        alignment_ = value;
        update();
    }
}

void TCustomPanel::SetColor(TColor value)
{
    if (color_ != value) {
        color_ = value;
        update();
    }
}

QRect TCustomPanel::ClientRect() const
{
    int inset = borderWidth_;
    if (bevelOuter_ != bvNone)
        inset += bevelWidth_;
    if (bevelInner_ != bvNone)
        inset += bevelWidth_;
    return rect().adjusted(inset, inset, -inset, -inset);
}

void TCustomPanel::paintEvent(QPaintEvent*)
{
    face_.SetSize(width(), height());
    TCanvas& c = face_.Canvas();
    c.Brush.Color = color_;
    c.Brush.Style = bsSolid;
    c.FillRect({0, 0, width(), height()});
    TRect r{0, 0, width(), height()};
    auto bevel = [&](TBevelCut cut) {
        if (cut == bvNone)
            return;
        if (cut == bvSpace) {
            r = {r.Left + bevelWidth_, r.Top + bevelWidth_, r.Right - bevelWidth_, r.Bottom - bevelWidth_};
            return;
        }
        const bool raised = cut == bvRaised;
        Frame3D(c, r, raised ? clBtnHighlight : clBtnShadow, raised ? clBtnShadow : clBtnHighlight, bevelWidth_);
    };
    bevel(bevelOuter_);
    r = {r.Left + borderWidth_, r.Top + borderWidth_, r.Right - borderWidth_, r.Bottom - borderWidth_};
    bevel(bevelInner_);
    if (!caption_.empty()) {
        c.Font = font_;
        c.SetBkMode(TRANSPARENT);
        const int h = c.TextHeight(caption_);
        const int top = (r.Top + r.Bottom - h) / 2;
        switch (alignment_) {
        case taLeftJustify:
            c.SetTextAlign(TA_LEFT | TA_TOP);
            c.TextOut(r.Left + 2, top, caption_);
            break;
        case taRightJustify:
            c.SetTextAlign(TA_RIGHT | TA_TOP);
            c.TextOut(r.Right - 2, top, caption_);
            break;
        default:
            c.SetTextAlign(TA_CENTER | TA_TOP);
            c.TextOut((r.Left + r.Right) / 2, top, caption_);
        }
    }
    face_.TakeDirty();
    QPainter p(this);
    p.drawImage(0, 0, ImageOf(face_));
}

// -------------------------------------------------------------- TScrollBar

TScrollBar::TScrollBar(QWidget* Owner) : TControl(Owner), bar_(new QScrollBar(Qt::Horizontal, this))
{
    bar_->setRange(0, 100);
    bar_->setSingleStep(1);
    bar_->setPageStep(1);
    resize(121, bar_->sizeHint().height());
    connect(bar_, &QScrollBar::valueChanged, this, [this] {
        if (OnChange)
            GuardedCall([&] { OnChange(this); });
    });
}

void TScrollBar::SetKind(TScrollBarKind value)
{
    if (kind_ == value)
        return;
    kind_ = value;
    bar_->setOrientation(value == sbHorizontal ? Qt::Horizontal : Qt::Vertical);
    const QSize hint = bar_->sizeHint();
    if (value == sbVertical)
        resize(hint.width(), height() > width() ? height() : width());
    else
        resize(width() > height() ? width() : height(), hint.height());
}

int TScrollBar::Min() const { return bar_->minimum(); }
int TScrollBar::Max() const { return bar_->maximum(); }
int TScrollBar::Position() const { return bar_->value(); }
int TScrollBar::PageSize() const { return bar_->pageStep(); }
int TScrollBar::SmallChange() const { return bar_->singleStep(); }
int TScrollBar::LargeChange() const { return bar_->pageStep(); }
void TScrollBar::SetMin(int value) { bar_->setMinimum(value); }
void TScrollBar::SetMax(int value) { bar_->setMaximum(value); }
void TScrollBar::SetPosition(int value) { bar_->setValue(value); }
void TScrollBar::SetPageSize(int value) { bar_->setPageStep(std::max(value, 1)); }
void TScrollBar::SetSmallChange(int value) { bar_->setSingleStep(value); }
void TScrollBar::SetLargeChange(int value) { bar_->setPageStep(std::max(value, 1)); }

void TScrollBar::SetParams(int position, int min, int max)
{
    bar_->setRange(min, max);
    bar_->setValue(position);
}

void TScrollBar::resizeEvent(QResizeEvent* e)
{
    bar_->setGeometry(rect());
    TControl::resizeEvent(e);
}

// ------------------------------------------------------------------ TTimer

TTimer::TTimer(QObject* Owner) : QObject(Owner)
{
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, [this] { Tick(); });
    Update();
}

void TTimer::SetEnabled(bool value)
{
    if (enabled_ != value) {
        enabled_ = value;
        Update();
    }
}

void TTimer::SetInterval(int value)
{
    if (interval_ != value) {
        interval_ = std::max(value, 0);
        Update();
    }
}

void TTimer::Update()
{
    if (enabled_ && interval_ > 0)
        timer_.start(interval_);
    else
        timer_.stop();
}

void TTimer::Tick()
{
    if (OnTimer)
        GuardedCall([&] { OnTimer(this); });
}

// ------------------------------------------------------------ TApplication

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    Application = this;
    // Widgets name the classic faces too: give them the faces our own text
    // uses, so dialogs look the same whatever else is installed.
    for (const char* name : {"MS Sans Serif", "Times New Roman", "Courier", "Arial", "Small Fonts"}) {
        TFont font;
        font.Name = name;
        const std::string family = FontEngine::Instance().Face(font).Family;
        if (!family.empty())
            QFont::insertSubstitution(name, QString::fromStdString(family));
    }
}

TApplication::~TApplication()
{
    if (Application == this)
        Application = nullptr;
}

void TApplication::SetTitle(const std::string& value)
{
    title_ = value;
    setApplicationDisplayName(QString::fromStdString(value));
}

void TApplication::ProcessMessages() { processEvents(); }

void TApplication::ShowException(const std::exception& e)
{
    std::string message = e.what();
    // The error box ends a sentence that does not end itself.
    if (!message.empty() && message.back() != '.' && static_cast<unsigned char>(message.back()) > '.')
        message += '.';
    if (OnError) {
        OnError(message);
        return;
    }
    QMessageBox box(QMessageBox::Critical, QString::fromStdString(title_), QString::fromStdString(message),
                    QMessageBox::Ok, activeWindow());
    box.exec();
}

bool TApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        ShowException(e);
        return true;
    }
}

// ------------------------------------------------------------------ Screen

namespace {
TScreen screenInstance;
}
TScreen* Screen = &screenInstance;

int TScreen::Width() const
{
    auto* s = QGuiApplication::primaryScreen();
    return s ? s->geometry().width() : 0;
}

int TScreen::Height() const
{
    auto* s = QGuiApplication::primaryScreen();
    return s ? s->geometry().height() : 0;
}

int TScreen::PixelsPerInch() const
{
    auto* s = QGuiApplication::primaryScreen();
    return s ? std::max(96, int(std::lround(s->logicalDotsPerInch()))) : 96;
}

QCursor TScreen::Cursors(TCursor index) const
{
    for (const auto& [n, c] : loaded_)
        if (n == index)
            return c;
    switch (index) {
    case crNone: return QCursor(Qt::BlankCursor);
    case crCross: return QCursor(Qt::CrossCursor);
    case crIBeam: return QCursor(Qt::IBeamCursor);
    case crSizeAll: return QCursor(Qt::SizeAllCursor);
    case crSizeNESW: return QCursor(Qt::SizeBDiagCursor);
    case crSizeNS: return QCursor(Qt::SizeVerCursor);
    case crSizeNWSE: return QCursor(Qt::SizeFDiagCursor);
    case crSizeWE: return QCursor(Qt::SizeHorCursor);
    case crUpArrow: return QCursor(Qt::UpArrowCursor);
    case crHourGlass: return QCursor(Qt::WaitCursor);
    case crNo: return QCursor(Qt::ForbiddenCursor);
    case crHandPoint: return QCursor(Qt::PointingHandCursor);
    default: return QCursor(Qt::ArrowCursor);
    }
}

void TScreen::SetCursor(TCursor index, const QCursor& cursor)
{
    for (auto& [n, c] : loaded_)
        if (n == index) {
            c = cursor;
            return;
        }
    loaded_.emplace_back(index, cursor);
}

QCursor LoadCursorFromResource(const std::string& name)
{
    const QString base = ":/cursors/" + QString::fromStdString(name);
    QPixmap pixmap(base + ".png");
    if (pixmap.isNull())
        return QCursor(Qt::ArrowCursor);
    int hx = -1, hy = -1;
    QFile hot(base + ".hot");
    if (hot.open(QIODevice::ReadOnly)) {
        const QList<QByteArray> parts = hot.readAll().simplified().split(' ');
        if (parts.size() == 2) {
            hx = parts[0].toInt();
            hy = parts[1].toInt();
        }
    }
    return QCursor(pixmap, hx, hy);
}
