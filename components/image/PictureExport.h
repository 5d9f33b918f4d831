// Pictures of a component written to a file at a size of the caller's
// choosing: as pixels through the picture files, or as an SVG or PDF
// drawing of the same shapes and text.
//
// The component paints once, as it paints itself, on a surface of the size
// asked. For a raster format that surface is the picture. For SVG and PDF a
// recording listens to the surface's canvas meanwhile (TCanvasRecorder) and
// keeps every call as a shape in continuous coordinates, with the pen,
// brush, font and clip region of its moment; the list is then played onto
// a QPainter on the vector device. A component that knows its shapes more
// precisely than in whole pixels (the plot's world coordinates) hands them
// over itself and keeps the canvas calls they cause out of the list.
#pragma once

#include "components/image/Tqelimage.h"
#include "toolkit/graphics/Graphics.h"

#include <functional>
#include <span>
#include <string>
#include <vector>

class QPainter;

// What a canvas drew, as shapes. Pixel (x, y) covers the square from (x, y)
// to (x + 1, y + 1); shapes are clipped to the canvas's clip region and
// bitmap as the pixels were, so a vector reader shows no more than they did.
// Pen mode pmNot cannot be told in a vector drawing and is left out.
class TPictureRecording : public TCanvasRecorder {
public:
    // The shapes of a canvas whose bitmap is Width x Height pixels.
    TPictureRecording(int Width, int Height);

    void Lines(const TCanvas& Canvas, std::span<const TPoint> Points) override;
    void Rectangle(const TCanvas& Canvas, const TRect& Box, bool Outline) override;
    void Ellipse(const TCanvas& Canvas, const TRect& Box) override;
    void Polygon(const TCanvas& Canvas, std::span<const TPoint> Points) override;
    void Pixel(const TCanvas& Canvas, int X, int Y, TColor Color) override;
    void Text(const TCanvas& Canvas, int X, int Y, const std::string& Text) override;

    // Shapes given in fractional pixels of the canvas (pixel x's middle is
    // x, as for the int calls), with the canvas's state. A point that is
    // not a number breaks a line there.
    void PreciseLines(const TCanvas& Canvas, std::span<const TPointF> Points);
    // A disc of the pen and brush, as Ellipse draws one in the box
    // Radius + 0.5 pixels about Centre each way; Radius 0: one pixel.
    void PreciseDisc(const TCanvas& Canvas, TPointF Centre, int Radius);
    void PrecisePolygon(const TCanvas& Canvas, std::span<const TPointF> Points);  // A closed polygon.
    void PreciseText(const TCanvas& Canvas, TPointF At, const std::string& Text);  // As TextOut.
    // While muted (calls nest), the canvas's calls are not kept: the
    // precise shape stands for them.
    void Mute() { ++FMuted; }
    void Unmute() { --FMuted; }

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    std::size_t Count() const { return FItems.size(); }  // The shapes kept.
    // Plays the shapes onto Painter, whose device has the recording's size
    // in its own units. EllipsesAsCurves: ellipses as Bezier curves with
    // their points on the grid the shapes are played on (a PDF writes them
    // as curves anyway, their points in long fractions).
    void Replay(QPainter& Painter, bool EllipsesAsCurves = false) const;

private:
    // Fill: the union of FillRect boxes given one after the other in one
    // style, as one shape, so that no seam shows where they meet.
    enum class TKind { Lines, Rect, Fill, Ellipse, Polygon, Text };
    struct TStyle {
        TPen Pen;
        TBrush Brush;
        TFont Font;
        bool operator==(const TStyle& o) const
        {
            return Pen.Color == o.Pen.Color && Pen.Width == o.Pen.Width && Pen.Mode == o.Pen.Mode &&
                   Pen.Style == o.Pen.Style && Brush == o.Brush && Font == o.Font;
        }
    };
    struct TItem {
        TKind Kind;
        int Style;
        int Clip;
        std::size_t First, Count;  // FPoints[First, First + Count); a box is two corners
        double Angle = 0;          // text: degrees, counter-clockwise
        std::string Text;
    };
    // The canvas's clip region and bitmap as one box, in continuous
    // coordinates (empty: nothing shows).
    struct TBox {
        double L, T, R, B;
        bool Empty() const { return !(L < R && T < B); }
    };
    // The canvas's pen, brush and font, the pen or brush left out.
    static TStyle StyleOf(const TCanvas& Canvas, bool Stroke, bool Fill);
    // Takes Style and the canvas's clip for the next shapes; false when
    // nothing of them would show.
    bool Begin(const TCanvas& Canvas, const TStyle& Style);
    TBox ClipBox() const;
    void Add(TKind Kind, std::size_t First, double Angle = 0, std::string Text = {});
    // Appends the visible part of the polyline Points (continuous
    // coordinates) as shapes of their own.
    void LinesAdd(std::span<const TPointF> Points, bool Thin);
    void PolygonAdd(std::span<const TPointF> Points);
    void EllipseAdd(double L, double T, double R, double B);
    void SquareAdd(const TCanvas& Canvas, double X, double Y, TColor Color);  // The pixel at (X, Y).
    void TextAdd(const TCanvas& Canvas, double X, double Y, const std::string& Text);

    int FWidth, FHeight;
    int FMuted = 0;
    std::vector<TStyle> FStyles;
    std::vector<std::vector<TRect>> FClips;
    std::vector<TPointF> FPoints;
    std::vector<TItem> FItems;
    // Of the call being kept.
    int FStyle = -1, FClip = -1;
    TBox FBox{};
};

// Paints a picture of Width x Height pixels by calling Paint with a surface
// of that size, and writes it to FileName in the format the name's
// extension names, letter case ignored: one the picture files write (see
// toolkit/imageio/ImageIO.h), or .svg or .pdf (a PDF page of Width x Height
// points). Raises EInvalidGraphic ("Cannot write picture 'name': reason")
// for another extension, a size outside the picture files' limits or a
// file that cannot be written; the file is replaced as SavePicture replaces
// it, so a failure leaves the old one whole.
void PictureDrawnSave(const std::string& FileName, int Width, int Height, const std::function<void(TQelImage&)>& Paint);
