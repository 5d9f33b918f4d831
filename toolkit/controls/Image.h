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
    TBitmap& Bitmap()
    {
        if (!bitmap_)
            CreateBitmap();
        return *bitmap_;
    }
    bool HasBitmap() const { return bitmap_ != nullptr; }
    int Width() const { return bitmap_ ? bitmap_->Width() : 0; }
    int Height() const { return bitmap_ ? bitmap_->Height() : 0; }
    void Assign(const TBitmap& bitmap);
    void Clear() { bitmap_.reset(); }
    std::function<void()> OnChange;

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
    explicit TImage(QWidget* Owner = nullptr);

    TPicture& Picture() { return picture_; }
    // The bitmap's canvas; an empty picture first gets a bitmap of the
    // control's size.
    TCanvas& Canvas()
    {
        if (!picture_.HasBitmap())
            CreateBitmap();
        return picture_.Bitmap().Canvas();
    }

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
    // An empty picture's bitmap, of the control's size.
    void CreateBitmap();
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

// Shows a bitmap's pixels to Qt without copying them.
QImage ImageOf(TBitmap& b);
