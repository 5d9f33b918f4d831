// The picture control: shows a bitmap and repaints what its canvas changed.
#pragma once

#include "toolkit/controls/Control.h"
#include "toolkit/graphics/Graphics.h"

#include <QImage>

#include <functional>
#include <memory>
#include <string>

// What a picture control shows. Only bitmaps are kept; an empty picture has
// no bitmap until one is asked for.
class TPicture {
public:
    // The bitmap, made empty first if there is none.
    TBitmap& Bitmap()
    {
        if (!bitmap_)
            CreateBitmap();
        return *bitmap_;
    }
    bool HasBitmap() const { return bitmap_ != nullptr; }           // Whether there is a bitmap.
    int Width() const { return bitmap_ ? bitmap_->Width() : 0; }    // The bitmap's width, 0 without one.
    int Height() const { return bitmap_ ? bitmap_->Height() : 0; }  // The bitmap's height, 0 without one.
    void Assign(const TBitmap& bitmap);                              // Takes a copy of bitmap.
    void Clear() { bitmap_.reset(); }                                // Drops the bitmap.
    std::function<void()> OnChange;                                  // The bitmap was replaced.

private:
    void CreateBitmap();
    std::unique_ptr<TBitmap> bitmap_;
};

// Shows its picture's bitmap at its top-left corner; what the bitmap's
// canvas changes is repainted, and only that.
class TImage : public TControl {
    Q_OBJECT
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE SetAutoSize)        // false
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)  // false
public:
    // An empty picture control.
    explicit TImage(QWidget* Owner = nullptr);

    TPicture& Picture() { return picture_; }  // What the control shows.
    // The bitmap's canvas; an empty picture first gets a bitmap of the
    // control's size.
    TCanvas& Canvas()
    {
        if (!picture_.HasBitmap())
            CreateBitmap();
        return picture_.Bitmap().Canvas();
    }

    bool AutoSize() const { return autoSize_; }        // The control takes the picture's size.
    void SetAutoSize(bool value);                       // Sizes the control at once when set.
    bool Transparent() const { return transparent_; }  // The bitmap's transparent colour lets the parent show.
    void SetTransparent(bool value);                    // Repaints.

    // Bitmap pixels per control pixel on each axis (1 unless set): a
    // bitmap drawn for a high-density screen at its device pixels, shown
    // at the control's size without being scaled. Values below 1 or not
    // finite count as 1.
    double PixelRatio() const { return pixelRatio_; }
    void SetPixelRatio(double value);
    // A side of the control in bitmap pixels: Size times PixelRatio, rounded.
    int BitmapSide(int Size) const;
    // The ratio a control of Width x Height can have: Wanted, or 1 when
    // Wanted is below 1, not finite, or would make a bitmap larger than
    // TBitmap allows (then the control's own pixels are used, as on an
    // ordinary screen).
    static double PixelRatioFor(double Wanted, int Width, int Height);

    void Repaint() override;  // Paints the whole picture at once.
    // Sends the changed parts of the bitmap to the screen now (normally
    // done once per display frame).
    void FlushChanges();
    // The longest a change waits before it reaches the screen.
    static void SetFrameInterval(int ms);
    // For measurements: repaint the whole picture at every change, as a
    // simple view would, instead of the changed parts once per frame.
    static void SetWholeUpdates(bool value);

protected:
    void paintEvent(QPaintEvent* e) override;  // Qt's event: the bitmap's part in the event's region.

private:
    // An empty picture's bitmap, of the control's size.
    void CreateBitmap();
    void BitmapChanged();
    void AttachBitmap();
    TPicture picture_;
    TBitmap* attached_ = nullptr;
    bool autoSize_ = false;
    bool transparent_ = false;
    bool flushPending_ = false;
    double pixelRatio_ = 1;
};

// Loads a picture from the program's resources (any format Qt reads) into a
// 24-bit bitmap; false, with the bitmap unchanged, when there is none.
bool LoadBitmapFromResource(TBitmap& bitmap, const std::string& path);

// Shows a bitmap's pixels to Qt without copying them.
QImage ImageOf(TBitmap& b);
