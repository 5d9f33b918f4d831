#include "toolkit/controls/Image.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPaintEvent>
#include <QScreen>
#include <QTimer>

#include <algorithm>
#include <climits>
#include <cmath>

QImage ImageOf(TBitmap& b)
{
    return QImage(reinterpret_cast<const uchar*>(b.ScanLine(0)), b.Width(), b.Height(), b.Width() * 4,
                  QImage::Format_RGB32);
}

namespace {

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

// ------------------------------------------------------------------ TImage

void TPicture::CreateBitmap()
{
    bitmap_ = std::make_unique<TBitmap>();
    if (OnChange)
        OnChange();
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

void TImage::CreateBitmap() { picture_.Bitmap().SetSize(BitmapSide(Width()), BitmapSide(Height())); }

void TImage::SetPixelRatio(double value)
{
    if (!(value > 1) || !std::isfinite(value))
        value = 1;
    if (value == pixelRatio_)
        return;
    pixelRatio_ = value;
    update();
}

double TImage::PixelRatioFor(double Wanted, int Width, int Height)
{
    if (!(Wanted > 1) || !std::isfinite(Wanted))
        return 1;
    const double w = std::round(std::max(Width, 0) * Wanted), h = std::round(std::max(Height, 0) * Wanted);
    if (w > TBitmap::MaxSide || h > TBitmap::MaxSide || w * h > double(TBitmap::MaxPixels))
        return 1;
    return Wanted;
}

int TImage::BitmapSide(int Size) const
{
    if (pixelRatio_ == 1)
        return Size;
    const double side = std::round(Size * pixelRatio_);
    return side >= INT_MAX ? INT_MAX : int(side);
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
    for (const TRect& r : picture_.Bitmap().TakeDirty()) {
        if (pixelRatio_ == 1) {
            update(QRect(r.Left, r.Top, r.Width(), r.Height()));
            continue;
        }
        // The control pixels that cover the changed bitmap pixels.
        const int left = int(std::floor(r.Left / pixelRatio_)), top = int(std::floor(r.Top / pixelRatio_));
        const int right = int(std::ceil(r.Right / pixelRatio_)), bottom = int(std::ceil(r.Bottom / pixelRatio_));
        update(QRect(left, top, right - left, bottom - top));
    }
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
        QImage img = ImageOf(b);
        if (transparent_) {
            img = img.convertToFormat(QImage::Format_ARGB32);
            const QRgb key = ColorToPixel(b.EffectiveTransparentColor());
            for (int y = 0; y < img.height(); ++y) {
                auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
                for (int x = 0; x < img.width(); ++x)
                    row[x] = ((row[x] & 0xFFFFFF) == key) ? 0 : (row[x] | 0xFF000000u);
            }
        }
        if (pixelRatio_ == 1) {
            const QRect area = e->rect() & QRect(0, 0, b.Width(), b.Height());
            p.drawImage(area, img, area);
            rest -= QRegion(area);
        } else {
            // The bitmap's pixels go one to one onto the device's: the
            // painter takes the image at its ratio, in control pixels.
            img.setDevicePixelRatio(pixelRatio_);
            const QRectF shown(0, 0, b.Width() / pixelRatio_, b.Height() / pixelRatio_);
            const QRectF area = QRectF(e->rect()) & shown;
            const QRectF source(area.left() * pixelRatio_, area.top() * pixelRatio_, area.width() * pixelRatio_,
                                area.height() * pixelRatio_);
            p.drawImage(area, img, source);
            rest -= QRegion(area.toAlignedRect() & shown.toRect());
        }
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
