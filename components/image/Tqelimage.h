// A picture control that draws into its own bitmap: pixels written straight
// into the rows, solid, OR-combined and bevelled fills, circles, a shaded
// ball, turned and inverting text. The bitmap follows the control's size
// (times PixelRatio, which only the plotting canvas sets).
#pragma once

#include "toolkit/controls/Controls.h"
#include "toolkit/graphics/Graphics.h"

#include <cstdint>
#include <memory>
#include <string>

class TQelImage : public TImage {
    Q_OBJECT
public:
    // A 105 x 105 picture, with a bitmap of its size.
    explicit TQelImage(QWidget* Owner = nullptr);
    ~TQelImage() override;

    // Pixel pass: PixelOpen, then per row PixelRowSet and PixelSet(X, Color)
    // (or PixelSet(X, Y, Color) anywhere), then PixelClose to show it.
    // Colours are stored as their three low bytes; system colours are not
    // resolved. A resize ends the pass: take a row again before writing.
    void PixelOpen();
    void PixelRowSet(int Row);                  // The row PixelSet(X, Color) writes to.
    void PixelSet(int X, TColor Color);         // A pixel of the row taken with PixelRowSet.
    void PixelSet(int X, int Y, TColor Color);  // A pixel anywhere; outside the bitmap nothing.
    bool PixelIn(int X, int Y);                 // Whether (X, Y) is on the bitmap and in the clip region.
    void PixelClose();                          // Shows what the pass wrote.

    void Fill(TColor Color);  // Fills the whole picture with Color.
    // Combines Color into the pixels by bitwise OR; 0 changes nothing.
    void FillTrans(TColor Color);
    // Rect3D over the whole picture.
    void Fill3D(TColor Color, int BevelWidth, bool Raised);
    // Fills the box (right and bottom excluded) with Color inside a raised
    // or lowered bevel of BevelWidth pixels in the button colours.
    void Rect3D(int X1, int Y1, int X2, int Y2, TColor Color, int BevelWidth, bool Raised);
    void Rect3D(TRect Rect, TColor Color, int BevelWidth, bool Raised);  // The same for a TRect.
    // OR-combines Color into the pixels of the box.
    void RectTrans(int X1, int Y1, int X2, int Y2, TColor Color);
    // A circle of radius R round (X, Y) with the canvas's pen and brush.
    void Ellipse(int X, int Y, int R);
    void Ellipse(int X, int Y, int RX, int RY);  // An ellipse of radii RX and RY round (X, Y).
    // OR-combines the inside of the ellipse in the box; its outline stays.
    void EllipseTrans(int X1, int Y1, int X2, int Y2, TColor Color);
    // Concentric filled ellipses from Color1 at the rim toward Color2; with
    // Offset the centre moves up and to the right.
    void Ball3D(int X1, int Y1, int X2, int Y2, TColor Color1, TColor Color2, bool Offset);

    // Brings the bitmap to the control's size (height first).
    void Resize() override;
    // Takes the place inside the two bevels of Panel, twice its BevelWidth
    // in from every side, and brings the bitmap to it.
    void BevelFit(const TCustomPanel& Panel);
    // Non-positive sizes are ignored; the bitmap's same side follows the
    // control, the other side is left as it is.
    void SetWidth(int Value) override;
    void SetHeight(int Value) override;  // As SetWidth, for the height.
    // Both sides in one change (a non-positive one stays); the bitmap
    // takes the new size without cutting off a wider picture first.
    void SetHeightWidth(int AHeight, int AWidth);

    // Text turned counter-clockwise by Angle degrees about (X, Y), written
    // only when (X, Y) is on the picture; the canvas keeps the turned font.
    void TextOutRot(int X, int Y, double Angle, const std::string& Text);
    // Text starting on the circle (ellipse) round (X, Y) at Angle degrees,
    // along its tangent, reading clockwise with the tops outward.
    void TextOutAxial(int X, int Y, int R, double Angle, const std::string& Text);
    // The same on the ellipse of radii RX and RY.
    void TextOutAxial(int X, int Y, int RX, int RY, double Angle, const std::string& Text);
    // Inverts the pixels under the glyphs; the same call again undoes it.
    void TextOutInv(int X, int Y, const std::string& Text);

    // Picture files, by the name's extension (see toolkit/imageio/ImageIO.h).
    // Loading sizes the control to the picture; a file that cannot be read
    // raises EInvalidGraphic and leaves picture and control as they were.
    void LoadFromFile(const std::string& FileName);
    // Converts the picture to 24 bits, then writes it.
    void SaveToFile(const std::string& FileName);
    // Turns the picture in place by whole degrees, counter-clockwise for
    // positive angles; the bitmap takes the size the turn needs and the
    // corners it leaves uncovered take the canvas's brush colour.
    void Rotate(int Angle);

private:
    // The bitmap changed size: a row address taken before is gone.
    void RowsInvalidate();
    void DirtyGrow(int X, int Y);
    // ORs Color into the box, or into the inside of the ellipse inscribed in
    // it, through the scratch bitmap.
    void OrDraw(int X1, int Y1, int X2, int Y2, TColor Color, bool Inscribed);

    std::unique_ptr<TBitmap> FWorkBitmap;
    std::uint32_t* FRow = nullptr;
    int FRowNumber = 0;
    // The row that FRow points into.
    int FRowTaken = 0;
    // Set while SetWidth or SetHeight runs the base setter.
    bool FOneSide = false;
    // Bounds of the pixels written since the last PixelClose.
    int FDirtyLeft = 0, FDirtyTop = 0, FDirtyRight = 0, FDirtyBottom = 0;
};
