#include "components/image/Tqelimage.h"

#include "components/image/Qelutils.h"
#include "toolkit/imageio/ImageIO.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <numbers>

namespace {

constexpr int EmptyLow = INT_MAX;
constexpr int EmptyHigh = INT_MIN;

// Gives a variable a value for as long as it lives, then the old one back,
// also when what runs meanwhile throws.
template <class T>
class Scoped {
public:
    Scoped(T& variable, T value) : variable_(variable), old_(variable) { variable_ = value; }
    Scoped(const Scoped&) = delete;
    Scoped& operator=(const Scoped&) = delete;
    ~Scoped() { variable_ = old_; }

private:
    T& variable_;
    T old_;
};

// Puts a canvas back to plain copy however the drawing in between ends.
class PlainCopyAfter {
public:
    explicit PlainCopyAfter(TCanvas& canvas) : canvas_(canvas) {}
    PlainCopyAfter(const PlainCopyAfter&) = delete;
    PlainCopyAfter& operator=(const PlainCopyAfter&) = delete;
    ~PlainCopyAfter() { canvas_.CopyMode = cmSrcCopy; }

private:
    TCanvas& canvas_;
};

// Shows the hourglass over a control for as long as it lives, then its own
// cursor again, also when what runs meanwhile throws.
class BusyCursor {
public:
    explicit BusyCursor(TControl& control) : control_(control), old_(control.Cursor()) { control_.SetCursor(crHourGlass); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
    ~BusyCursor() { control_.SetCursor(old_); }

private:
    TControl& control_;
    TCursor old_;
};

// Setting a brush colour means filling with it, also when the brush was
// clear.
void BrushColorSet(TCanvas& canvas, TColor color)
{
    canvas.Brush.Color = color;
    canvas.Brush.Style = bsSolid;
}

}  // namespace

TQelImage::TQelImage(QWidget* Owner)
    : TImage(Owner),
      FWorkBitmap(std::make_unique<TBitmap>()),
      FDirtyLeft(EmptyLow),
      FDirtyTop(EmptyLow),
      FDirtyRight(EmptyHigh),
      FDirtyBottom(EmptyHigh)
{
}

TQelImage::~TQelImage() = default;

// ------------------------------------------------------------ pixel pass

bool TQelImage::PixelIn(int X, int Y) { return Canvas().PtVisible(X, Y); }

void TQelImage::PixelOpen()
{
    Picture().Bitmap().SetPixelFormat(pf32bit);
    PixelRowSet(0);
}

void TQelImage::PixelRowSet(int Row)
{
    FRowNumber = Row;
    if (PixelIn(0, Row)) {
        FRow = Canvas().Bitmap().ScanLine(Row);
        FRowTaken = Row;
    }
}

void TQelImage::PixelSet(int X, TColor Color)
{
    // The row number is checked, but the pixel goes into the row whose
    // address was taken last (PixelSet(X, Y, Color) moves it).
    if (FRow == nullptr || !PixelIn(X, FRowNumber))
        return;
    FRow[X] = ColorToPixel(Color);
    DirtyGrow(X, FRowTaken);
}

void TQelImage::PixelSet(int X, int Y, TColor Color)
{
    if (!PixelIn(X, Y))
        return;
    FRow = Canvas().Bitmap().ScanLine(Y);
    FRowTaken = Y;
    FRow[X] = ColorToPixel(Color);
    DirtyGrow(X, Y);
}

void TQelImage::DirtyGrow(int X, int Y)
{
    FDirtyLeft = std::min(FDirtyLeft, X);
    FDirtyRight = std::max(FDirtyRight, X + 1);
    FDirtyTop = std::min(FDirtyTop, Y);
    FDirtyBottom = std::max(FDirtyBottom, Y + 1);
}

void TQelImage::PixelClose()
{
    // The pixels went past the canvas: tell the bitmap what changed once.
    if (FDirtyLeft < FDirtyRight && Picture().HasBitmap())
        Picture().Bitmap().MarkDirty({FDirtyLeft, FDirtyTop, FDirtyRight, FDirtyBottom});
    FDirtyLeft = FDirtyTop = EmptyLow;
    FDirtyRight = FDirtyBottom = EmptyHigh;
    Repaint();
}

void TQelImage::RowsInvalidate() { FRow = nullptr; }

// ------------------------------------------------------------ fills

void TQelImage::Fill(TColor Color)
{
    TCanvas& canvas = Canvas();
    canvas.Pen.Color = Color;
    BrushColorSet(canvas, Color);
    canvas.Rectangle(0, 0, Width(), Height());
}

void TQelImage::OrDraw(int X1, int Y1, int X2, int Y2, TColor Color, bool Inscribed)
{
    if (Color == 0)
        return;
    const std::int64_t w = std::int64_t(X2) - X1, h = std::int64_t(Y2) - Y1;
    if (w < 0 || h < 0)
        return;
    TCanvas& canvas = Canvas();
    const PlainCopyAfter plainCopy(canvas);
    // Only the part on the picture can change, so the scratch bitmap holds
    // just that part and stays small whatever the box.
    const TBitmap& picture = canvas.Bitmap();
    const TRect part = TRect{X1, Y1, X2, Y2}.Intersected(picture.BoundsRect());
    if (part.Empty())
        return;
    const int left = part.Left, top = part.Top;

    TBitmap& work = *FWorkBitmap;
    work.SetSize(part.Width(), part.Height());
    TCanvas& wc = work.Canvas();
    if (Inscribed) {
        // Black around the ellipse and on its outline: OR with black keeps
        // those pixels. The scratch pen is never given another colour.
        BrushColorSet(wc, clBlack);
        wc.FillRect(work.BoundsRect());
        BrushColorSet(wc, Color);
        wc.Ellipse(SaturatingInt(std::int64_t(X1) - left), SaturatingInt(std::int64_t(Y1) - top),
                   SaturatingInt(std::int64_t(X2) - left), SaturatingInt(std::int64_t(Y2) - top));
    } else {
        BrushColorSet(wc, Color);
        wc.FillRect(work.BoundsRect());
    }
    canvas.CopyMode = cmSrcPaint;
    canvas.Draw(left, top, work);
}

void TQelImage::FillTrans(TColor Color) { OrDraw(0, 0, Width(), Height(), Color, false); }

void TQelImage::RectTrans(int X1, int Y1, int X2, int Y2, TColor Color) { OrDraw(X1, Y1, X2, Y2, Color, false); }

void TQelImage::EllipseTrans(int X1, int Y1, int X2, int Y2, TColor Color) { OrDraw(X1, Y1, X2, Y2, Color, true); }

void TQelImage::Fill3D(TColor Color, int BevelWidth, bool Raised) { Rect3D(0, 0, Width(), Height(), Color, BevelWidth, Raised); }

void TQelImage::Rect3D(int X1, int Y1, int X2, int Y2, TColor Color, int BevelWidth, bool Raised)
{
    Rect3D(TRect{X1, Y1, X2, Y2}, Color, BevelWidth, Raised);
}

void TQelImage::Rect3D(TRect Rect, TColor Color, int BevelWidth, bool Raised)
{
    TCanvas& canvas = Canvas();
    BrushColorSet(canvas, Color);
    canvas.FillRect(Rect);
    const TColor light = Raised ? clBtnHighlight : clBtnShadow;
    const TColor dark = Raised ? clBtnShadow : clBtnHighlight;
    Frame3D(canvas, Rect, light, dark, BevelWidth);
}

// ------------------------------------------------------------ ellipses

void TQelImage::Ellipse(int X, int Y, int R) { Ellipse(X, Y, R, R); }

void TQelImage::Ellipse(int X, int Y, int RX, int RY)
{
    Canvas().Ellipse(SaturatingInt(std::int64_t(X) - RX), SaturatingInt(std::int64_t(Y) - RY),
                     SaturatingInt(std::int64_t(X) + RX), SaturatingInt(std::int64_t(Y) + RY));
}

void TQelImage::Ball3D(int X1, int Y1, int X2, int Y2, TColor Color1, TColor Color2, bool Offset)
{
    const std::int64_t dx = std::int64_t(X2) - X1, dy = std::int64_t(Y2) - Y1;
    const std::int64_t n = dx / 2;
    TCanvas& canvas = Canvas();
    for (std::int64_t i = 0; i < n; ++i) {
        const std::int64_t g = i * dy / dx;
        const std::int64_t h = Offset ? i / 3 : 0;
        const TColor c = ColorMix(Color1, Color2, int(i), int(n));
        canvas.Pen.Color = c;
        BrushColorSet(canvas, c);
        canvas.Ellipse(SaturatingInt(X1 + i + h), SaturatingInt(Y1 + g - h), SaturatingInt(X2 - i + h),
                       SaturatingInt(Y2 - g - h));
    }
}

// ------------------------------------------------------------ size

void TQelImage::BevelFit(const TCustomPanel& Panel)
{
    const std::int64_t b = Panel.BevelWidth();
    SetBounds(SaturatingInt(2 * b), SaturatingInt(2 * b), SaturatingInt(Panel.Width() - 4 * b),
              SaturatingInt(Panel.Height() - 4 * b));
    Resize();
}

void TQelImage::Resize()
{
    // A side setter's own resize: it sets its side of the bitmap itself.
    if (FOneSide) {
        TImage::Resize();
        return;
    }
    TBitmap& bitmap = Picture().Bitmap();
    if (bitmap.Height() != BitmapSide(Height())) {
        bitmap.SetHeight(BitmapSide(Height()));
        RowsInvalidate();
    }
    if (bitmap.Width() != BitmapSide(Width())) {
        bitmap.SetWidth(BitmapSide(Width()));
        RowsInvalidate();
    }
    TImage::Resize();
}

void TQelImage::SetWidth(int Value)
{
    if (Value <= 0)
        return;
    {
        // The base setter's resize would bring both sides of the bitmap to
        // the control; only this one follows it.
        const Scoped oneSide(FOneSide, true);
        TImage::SetWidth(Value);
    }
    TBitmap& bitmap = Picture().Bitmap();
    if (bitmap.Width() != BitmapSide(Width())) {
        bitmap.SetWidth(BitmapSide(Width()));
        RowsInvalidate();
    }
}

void TQelImage::SetHeight(int Value)
{
    if (Value <= 0)
        return;
    {
        // The base setter's resize would bring both sides of the bitmap to
        // the control; only this one follows it.
        const Scoped oneSide(FOneSide, true);
        TImage::SetHeight(Value);
    }
    TBitmap& bitmap = Picture().Bitmap();
    if (bitmap.Height() != BitmapSide(Height())) {
        bitmap.SetHeight(BitmapSide(Height()));
        RowsInvalidate();
    }
}

void TQelImage::SetHeightWidth(int AHeight, int AWidth)
{
    // One change of the control's size: setting the height alone would let
    // the bitmap follow the old width first and cut off the right of a
    // picture wider than the control (a loaded or turned one).
    const int h = AHeight > 0 ? AHeight : Height();
    const int w = AWidth > 0 ? AWidth : Width();
    SetBounds(Left(), Top(), w, h);
    const TBitmap& bitmap = Picture().Bitmap();
    if (bitmap.Width() != BitmapSide(Width()) || bitmap.Height() != BitmapSide(Height()))
        Resize();
}

// ------------------------------------------------------------ text

void TQelImage::TextOutRot(int X, int Y, double Angle, const std::string& Text)
{
    // Into 0 <= A < 360 for angles from 0 up, 0 < A <= 360 below 0 (a whole
    // negative turn gives 360, the same direction as 0).
    const double a = Angle >= 0 ? std::fmod(Angle, 360.0) : std::fmod(Angle, 360.0) + 360.0;
    TCanvas& canvas = Canvas();
    canvas.Font.Escapement = RoundInt(a * 10);
    if (PixelIn(X, Y))
        canvas.TextOut(X, Y, Text);
}

void TQelImage::TextOutAxial(int X, int Y, int R, double Angle, const std::string& Text)
{
    TextOutAxial(X, Y, R, R, Angle, Text);
}

void TQelImage::TextOutAxial(int X, int Y, int RX, int RY, double Angle, const std::string& Text)
{
    const double theta = Angle * std::numbers::pi / 180;
    const int px = RoundInt(std::cos(theta) * RX + X);
    const int py = RoundInt(Y - std::sin(theta) * RY);
    TextOutRot(px, py, RoundInt(Angle + 270), Text);
}

void TQelImage::TextOutInv(int X, int Y, const std::string& Text)
{
    TBitmap& work = *FWorkBitmap;
    TCanvas& wc = work.Canvas();
    TCanvas& canvas = Canvas();
    const PlainCopyAfter plainCopy(canvas);
    wc.Font = canvas.Font;
    wc.SetBkMode(TRANSPARENT);
    wc.SetTextAlign(TA_LEFT | TA_TOP);
    work.SetSize(wc.TextWidth(Text), wc.TextHeight(Text));
    // White glyphs on black: XOR inverts under the glyphs and keeps the rest.
    wc.Pen.Color = clBlack;
    BrushColorSet(wc, clBlack);
    wc.Rectangle(0, 0, work.Width(), work.Height());
    wc.Font.Color = clWhite;
    wc.TextOut(0, 0, Text);
    canvas.CopyMode = cmSrcInvert;
    canvas.Draw(X, Y, work);
}

// ------------------------------------------------------------ files

void TQelImage::LoadFromFile(const std::string& FileName)
{
    // A large picture takes seconds; it is decoded straight into the one
    // the control shows.
    const BusyCursor busy(*this);
    TBitmap& bitmap = Picture().Bitmap();
    LoadPicture(FileName, bitmap);
    RowsInvalidate();
    SetHeightWidth(bitmap.Height(), bitmap.Width());
}

void TQelImage::SaveToFile(const std::string& FileName)
{
    SavePicture(FileName, Picture().Bitmap());
    RowsInvalidate();
}

void TQelImage::Rotate(int Angle)
{
    TBitmap& bitmap = Picture().Bitmap();
    RotateBitmap(bitmap, Angle, bitmap.Canvas().Brush.Color);
    RowsInvalidate();
}
