// A colour-scale legend: a band painted with the colours that the range
// Minimum..Maximum maps to, with value labels beside it, horizontal or
// vertical. ValueToColor and ValuesToColors are public, so an owner colours
// its own data with exactly the colours the legend shows. The scale can dock
// to an edge of its parent or centre itself in it, and size itself to its
// content.
#pragma once

#include "components/scale/EscalaColors.h"
#include "components/image/Qelutils.h"
#include "components/panel/Tpnlimg.h"
#include "toolkit/controls/Properties.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class TEscala : public TPnlImg {
    Q_OBJECT
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE SetAutoSize)
    Q_PROPERTY(int BandWidth READ BandWidth WRITE SetBandWidth)
    Q_PROPERTY(QString Format READ FormatQ WRITE SetFormatQ)
    Q_PROPERTY(QColor GradColor1 READ GradColor1Q WRITE SetGradColor1Q)
    Q_PROPERTY(QColor GradColor2 READ GradColor2Q WRITE SetGradColor2Q)
    Q_PROPERTY(double Interval READ Interval WRITE SetInterval)
    Q_PROPERTY(int Margin READ Margin WRITE SetMargin)
    Q_PROPERTY(double Maximum READ Maximum WRITE SetMaximum)
    Q_PROPERTY(double Minimum READ Minimum WRITE SetMinimum)
    Q_PROPERTY(int TextInterval READ TextInterval WRITE SetTextInterval)
    Q_PROPERTY(Escala::TEscalaAlignment Alignment READ Alignment WRITE SetAlignment)
    Q_PROPERTY(Escala::TEscalaGraduation Graduation READ Graduation WRITE SetGraduation)
    Q_PROPERTY(Escala::TEscalaOrientation Orientation READ Orientation WRITE SetOrientation)
    Q_PROPERTY(Escala::TEscalaPosition Position READ Position WRITE SetPosition)
    Q_PROPERTY(bool HighDensity READ HighDensity WRITE SetHighDensity)
public:
    // A vertical scale of 0..100 that sizes itself to fit.
    explicit TEscala(QWidget* Owner = nullptr);
    ~TEscala() override;

    bool AutoSize() const { return FAutoSize; }              // The panel takes the size its content needs.
    int BandWidth() const { return FBandWidth; }             // Thickness of the coloured band, in pixels.
    const std::string& Format() const { return FFormat; }    // Number pattern of the labels.
    TColor GradColor1() const { return FColors.GradColor1; } // Colour at Maximum (two-colour scales).
    TColor GradColor2() const { return FColors.GradColor2; } // Colour at Minimum (two-colour scales).
    double Interval() const { return FColors.Interval; }     // Step of the colours; 0 for a smooth band.
    int Margin() const { return FMargin; }                   // Space around band and labels, in pixels.
    double Maximum() const { return FColors.Maximum; }       // The value at the top (right) end.
    double Minimum() const { return FColors.Minimum; }       // The value at the bottom (left) end.
    int TextInterval() const { return FTextInterval; }       // Labels between the two end labels.
    TEscalaAlignment Alignment() const { return FAlignment; }            // Where the scale places itself.
    TEscalaGraduation Graduation() const { return FColors.Graduation; }  // Two colours or blue-green-red.
    TEscalaOrientation Orientation() const { return FOrientation; }      // Vertical or horizontal.
    TEscalaPosition Position() const { return FPosition; }               // Labels before or after the band.

    // Each stores a new value and redraws; an equal value does nothing.
    void SetAutoSize(bool Value);
    // Margin and BandWidth take 0 up to the largest bitmap side.
    void SetBandWidth(int Value);
    void SetFormat(const std::string& Value);       // Redraws with the new labels.
    void SetGradColor1(TColor Value);               // Redraws.
    void SetGradColor2(TColor Value);               // Redraws.
    void SetMargin(int Value);                      // Redraws.
    void SetGraduation(TEscalaGraduation Value);    // Redraws.
    void SetOrientation(TEscalaOrientation Value);  // Redraws.
    void SetPosition(TEscalaPosition Value);        // Redraws.
    // Docks the panel to the edge that eaBottom, eaLeft, eaRight or eaTop
    // names, which also sets the orientation; the centred values place it
    // at every Draw.
    void SetAlignment(TEscalaAlignment Value);
    // Taken when 0 <= Value < Maximum - Minimum.
    void SetInterval(double Value);
    // Bounds must be finite. A range narrower than Interval resets it to 0;
    // nothing keeps Maximum above Minimum here, and while it is not the
    // scale paints nothing.
    void SetMaximum(double Value);
    void SetMinimum(double Value);  // See SetMaximum.
    // Both at once: only when Maximum > Minimum and one of them changes.
    void SetMaxMin(double Maximum, double Minimum);
    // Labels between the two end labels; a negative value means no labels.
    // Values above the largest bitmap side are ignored.
    void SetTextInterval(int Value);

    // On a high-density screen the picture has the screen's device pixels:
    // a finer band and labels rasterised at the device size, the lengths
    // above scaled to match. On by default; no difference on an ordinary
    // screen.
    bool HighDensity() const { return FHighDensity; }
    void SetHighDensity(bool Value);  // Redraws.

    TK_CAPTION_PROPERTY(Format)
    TK_COLOR_PROPERTY(GradColor1)
    TK_COLOR_PROPERTY(GradColor2)

    // The colour the scale shows for Value (see TEscalaColors::ValueToColor).
    TColor ValueToColor(double Value) const { return FColors.ValueToColor(Value); }
    // Colours Count values in one call, exactly as ValueToColor does, many
    // times faster than calling it for each.
    void ValuesToColors(const double* Values, TColor* Colors, std::size_t Count) const
    {
        FColors.ValuesToColors(Values, Colors, Count);
    }
    // The mapping itself, for colouring data away from the widget.
    const TEscalaColors& Colors() const { return FColors; }

    // Rebuilds the picture: placement, band and labels.
    void Draw();
    // Marks Value beside the band of a vertical scale, until the next Draw.
    void DrawMarkVertical(double Value);
    // Writes the scale as Draw paints it on a picture of Width x Height
    // pixels (the scale keeps its own size): PNG, BMP, JPEG (or the other
    // picture files) pixel for pixel, SVG and PDF as a drawing. The format
    // follows the name's extension; an unknown one, a size beyond the
    // picture files' limits or a file that cannot be written raises
    // EInvalidGraphic, and the old file stays as it was.
    void SaveToFile(const std::string& FileName, int Width, int Height);

protected:
    void PaintHorizontal();      // Band and labels of a horizontal scale.
    void PaintVertical();        // Band and labels of a vertical scale.
    void PaintBandHorizontal();  // The band of a horizontal scale.
    void PaintTextHorizontal();  // The labels of a horizontal scale.
    void PaintBandVertical();    // The band of a vertical scale.
    void PaintTextVertical();    // The labels of a vertical scale.
    // The panel's picture took a new size: draw at it.
    void EscalaResize();
    void PictureResize() override { EscalaResize(); }

private:
    // The picture and lengths on it in its bitmap's pixels.
    std::int64_t DeviceWidth() const { return Image->BitmapSide(Image->Width()); }
    std::int64_t DeviceHeight() const { return Image->BitmapSide(Image->Height()); }
    std::int64_t DeviceLength(int Length) const { return LengthScaled(Length, Image->PixelRatio()); }
    std::string Label(double Value) const;
    // The larger text height and width of the labels of Maximum and Minimum
    // in the image's current font.
    void LabelsMeasure(int& th, int& tw);
    // Minimum + Index * (Maximum - Minimum) / Parts along the band, and
    // Minimum + Index * Step or Maximum - Index * Step for the labels; each
    // also where the range overflows the doubles.
    double BandValue(std::int64_t Index, std::int64_t Parts) const;
    double LabelValue(std::int64_t Index, std::int64_t Parts, bool FromTop) const;
    // The colours of a band Length pixels long, all in one call, from
    // Minimum (from Maximum when FromTop) to the other end.
    std::vector<TColor> BandColours(std::int64_t Length, bool FromTop) const;
    // Sets the panel's size for AutoSize, but not from a Draw that such a
    // change started.
    void SizeFit(bool Vertical, std::int64_t Size);
    // Background, band and labels on the image at its size; false when
    // the image is too small or the range empty, after the background.
    bool PaintPicture();
    void IntervalCheck();
    // Band and labels, of a vertical scale or a horizontal one, written
    // once along the band and across it.
    void Paint(bool Vertical);
    void PaintBand(bool Vertical);  // See Paint.
    void PaintText(bool Vertical);  // See Paint.

    TEscalaColors FColors;
    bool FAutoSize = true;
    int FBandWidth = 30;
    std::string FFormat = ",0.000";
    int FMargin = 5;
    int FTextInterval = 4;
    TEscalaAlignment FAlignment = eaNone;
    TEscalaOrientation FOrientation = eoVertical;
    TEscalaPosition FPosition = epNormal;
    bool FHighDensity = true;
    // Draws in progress, and Draws begun so far: a resize from AutoSize
    // paints once more inside the Draw that caused it; that inner Draw does
    // not size again, and the outer one stops, its picture done.
    int FDrawDepth = 0;
    unsigned FDraws = 0;
};
