#include "components/scale/Tescala.h"

#include "components/image/PictureExport.h"
#include "components/image/Qelutils.h"
#include "toolkit/system/SysUtils.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

bool SizeAllowed(int v) { return v >= 0 && v <= TBitmap::MaxSide; }

}  // namespace

TEscala::TEscala(QWidget* Owner) : TPnlImg(Owner)
{
    SetBevelInner(bvNone);
    SetBevelOuter(bvLowered);
    SetCaption(" ");
    Font().Name = "Times new roman";
    Font().SetSize(8);
    SetHeight(320);
    if (Owner)
        SetVisible(true);
    SetWidth(48);
    Draw();
}

TEscala::~TEscala() = default;

// ------------------------------------------------------------ properties

void TEscala::SetHighDensity(bool Value)
{
    if (ChangeField(FHighDensity, Value))
        Draw();
}

void TEscala::SetAutoSize(bool Value)
{
    if (ChangeField(FAutoSize, Value))
        Draw();
}

void TEscala::SetBandWidth(int Value)
{
    if (SizeAllowed(Value) && ChangeField(FBandWidth, Value))
        Draw();
}

void TEscala::SetFormat(const std::string& Value)
{
    if (ChangeField(FFormat, Value))
        Draw();
}

void TEscala::SetGradColor1(TColor Value)
{
    if (ChangeField(FColors.GradColor1, Value))
        Draw();
}

void TEscala::SetGradColor2(TColor Value)
{
    if (ChangeField(FColors.GradColor2, Value))
        Draw();
}

void TEscala::SetMargin(int Value)
{
    if (SizeAllowed(Value) && ChangeField(FMargin, Value))
        Draw();
}

void TEscala::SetGraduation(TEscalaGraduation Value)
{
    if (NamedValue(Value) && ChangeField(FColors.Graduation, Value))
        Draw();
}

void TEscala::SetOrientation(TEscalaOrientation Value)
{
    if (NamedValue(Value) && ChangeField(FOrientation, Value))
        Draw();
}

void TEscala::SetPosition(TEscalaPosition Value)
{
    if (NamedValue(Value) && ChangeField(FPosition, Value))
        Draw();
}

void TEscala::SetAlignment(TEscalaAlignment Value)
{
    if (!NamedValue(Value) || !ChangeField(FAlignment, Value))
        return;
    switch (Value) {
    case eaBottom: SetAlign(alBottom); break;
    case eaLeft: SetAlign(alLeft); break;
    case eaRight: SetAlign(alRight); break;
    case eaTop: SetAlign(alTop); break;
    default: SetAlign(alNone); break;
    }
    Draw();
}

void TEscala::SetInterval(double Value)
{
    if (!std::isfinite(Value) || Value == FColors.Interval || Value < 0 || Value >= Maximum() - Minimum())
        return;
    FColors.Interval = Value;
    Draw();
}

void TEscala::IntervalCheck()
{
    if (Maximum() - Minimum() < FColors.Interval)
        FColors.Interval = 0;
}

void TEscala::SetMaximum(double Value)
{
    if (!std::isfinite(Value) || !ChangeField(FColors.Maximum, Value))
        return;
    IntervalCheck();
    Draw();
}

void TEscala::SetMinimum(double Value)
{
    if (!std::isfinite(Value) || !ChangeField(FColors.Minimum, Value))
        return;
    IntervalCheck();
    Draw();
}

void TEscala::SetMaxMin(double Maximum, double Minimum)
{
    if (!std::isfinite(Maximum) || !std::isfinite(Minimum) || !(Maximum > Minimum))
        return;
    if (Maximum == FColors.Maximum && Minimum == FColors.Minimum)
        return;
    FColors.Maximum = Maximum;
    FColors.Minimum = Minimum;
    IntervalCheck();
    Draw();
}

void TEscala::SetTextInterval(int Value)
{
    // More labels than a picture has pixels could never be told apart.
    if (Value <= TBitmap::MaxSide && ChangeField(FTextInterval, Value))
        Draw();
}

// ------------------------------------------------------------ values

double TEscala::BandValue(std::int64_t Index, std::int64_t Parts) const
{
    const double min = Minimum(), max = Maximum();
    // A band one pixel long shows Minimum.
    if (Parts <= 0)
        return min;
    const double v = min + double(Index) * (max - min) / double(Parts);
    if (std::isfinite(v))
        return v;
    const double t = double(Index) / double(Parts);
    return min * (1 - t) + max * t;
}

double TEscala::LabelValue(std::int64_t Index, std::int64_t Parts, bool FromTop) const
{
    const double min = Minimum(), max = Maximum();
    const double step = (max - min) / double(Parts);
    const double v = FromTop ? max - double(Index) * step : min + double(Index) * step;
    if (std::isfinite(v))
        return v;
    const double t = double(FromTop ? Parts - Index : Index) / double(Parts);
    return min * (1 - t) + max * t;
}

std::string TEscala::Label(double Value) const
{
    return FormatFloat(LabelFormat(FFormat), Value, TFormatSettings::FromLocale());
}

void TEscala::LabelsMeasure(int& th, int& tw)
{
    TCanvas& c = Image->Canvas();
    const std::string high = Label(Maximum()), low = Label(Minimum());
    th = std::max(c.TextHeight(high), c.TextHeight(low));
    tw = std::max(c.TextWidth(high), c.TextWidth(low));
}

// ------------------------------------------------------------ drawing

void TEscala::Draw()
{
    if (!(Maximum() > Minimum()))
        return;
    ++FDraws;
    ++FDrawDepth;
    struct Depth {
        int& depth;
        ~Depth() { --depth; }
    } depth{FDrawDepth};

    if (QWidget* parent = parentWidget()) {
        const bool across = FAlignment == eaCentered || FAlignment == eaHCentered;
        const bool down = FAlignment == eaCentered || FAlignment == eaVCentered;
        if (down)
            SetTop(SaturatingInt((std::int64_t(parent->height()) - Height()) / 2));
        if (across)
            SetLeft(SaturatingInt((std::int64_t(parent->width()) - Width()) / 2));
    }
    if (FAlignment == eaTop || FAlignment == eaBottom)
        FOrientation = eoHorizontal;
    else if (FAlignment == eaLeft || FAlignment == eaRight)
        FOrientation = eoVertical;

    const std::int64_t b = BevelWidth();
    Image->SetPixelRatio(FHighDensity ? TImage::PixelRatioFor(devicePixelRatioF(), SaturatingInt(Width() - 4 * b),
                                                              SaturatingInt(Height() - 4 * b))
                                      : 1);
    Image->BevelFit(*this);
    if (PaintPicture())
        Image->Repaint();
}

bool TEscala::PaintPicture()
{
    TCanvas& c = Image->Canvas();
    const int W = Image->Width(), H = Image->Height();
    c.Pen.Color = Color();
    c.Brush.Color = Color();
    c.Brush.Style = bsSolid;
    c.Rectangle(0, 0, Image->BitmapSide(W), Image->BitmapSide(H));
    if (W < 5 || H < 5 || !(Maximum() > Minimum()))
        return false;
    c.Font = FontScaled(Font(), Image->PixelRatio());
    Paint(FOrientation != eoHorizontal);
    return true;
}

void TEscala::SaveToFile(const std::string& FileName, int Width, int Height)
{
    PictureDrawnSave(FileName, Width, Height, [this](TQelImage& Surface) {
        // Painted on the picture at its size, which AutoSize leaves alone;
        // the image shown is back in place however the painting ends.
        Surface.Canvas().AssignState(Image->Canvas());
        struct TShown {
            TEscala& Scale;
            TQelImage* Image;
            ~TShown()
            {
                Scale.Image = Image;
                Scale.FDrawDepth -= 2;
            }
        } shown{*this, Image};
        Image = &Surface;
        FDrawDepth += 2;
        PaintPicture();
    });
}

void TEscala::PaintHorizontal() { Paint(false); }
void TEscala::PaintVertical() { Paint(true); }
void TEscala::PaintBandHorizontal() { PaintBand(false); }
void TEscala::PaintTextHorizontal() { PaintText(false); }
void TEscala::PaintBandVertical() { PaintBand(true); }
void TEscala::PaintTextVertical() { PaintText(true); }

void TEscala::Paint(bool Vertical)
{
    const unsigned draws = FDraws;
    PaintBand(Vertical);
    // A new size from AutoSize has painted everything already.
    if (FDraws == draws)
        PaintText(Vertical);
}

namespace {

// The pixel at Along pixels along the band and Across across it.
TPoint BandPoint(bool Vertical, std::int64_t Along, std::int64_t Across)
{
    const int along = SaturatingInt(Along), across = SaturatingInt(Across);
    return Vertical ? TPoint{across, along} : TPoint{along, across};
}

}  // namespace

void TEscala::SizeFit(bool Vertical, std::int64_t Size)
{
    if (FDrawDepth > 1)
        return;
    // From the bitmap's pixels to the panel's, rounding up.
    if (const double r = Image->PixelRatio(); r != 1)
        Size = std::int64_t(std::ceil(double(Size) / r));
    const int size = int(std::clamp<std::int64_t>(Size, 1, TBitmap::MaxSide));
    if (Vertical)
        SetWidth(size);
    else
        SetHeight(size);
}

std::vector<TColor> TEscala::BandColours(std::int64_t Length, bool FromTop) const
{
    std::vector<double> values(std::size_t(std::max<std::int64_t>(Length, 0)));
    for (std::int64_t i = 0; i < Length; ++i)
        values[std::size_t(i)] = BandValue(FromTop ? Length - i - 1 : i, Length - 1);
    std::vector<TColor> colours(values.size());
    ValuesToColors(values.data(), colours.data(), values.size());
    return colours;
}

void TEscala::PaintBand(bool Vertical)
{
    TCanvas& c = Image->Canvas();
    const std::int64_t M = DeviceLength(FMargin), BW = DeviceLength(FBandWidth);
    const std::int64_t n = (Vertical ? DeviceHeight() : DeviceWidth()) - 2 * M;
    int th, tw;
    LabelsMeasure(th, tw);
    // How far the labels reach across the band: their height beside a
    // horizontal band, their width beside a vertical one.
    const std::int64_t labels = Vertical ? tw : th;
    const std::int64_t a1 = FPosition == epNormal ? M : M + labels + DeviceLength(5), a2 = a1 + BW;
    // A horizontal band shows Minimum in its first column and Maximum in
    // its last; a vertical one Maximum in its top row.
    const std::vector<TColor> colours = BandColours(n, Vertical);
    for (std::int64_t i = 0; i < n; ++i) {
        c.Pen.Color = colours[std::size_t(i)];
        const TPoint from = BandPoint(Vertical, M + i, a1), to = BandPoint(Vertical, M + i, a2);
        c.MoveTo(from.X, from.Y);
        c.LineTo(to.X, to.Y);
    }
    if (FAutoSize)
        SizeFit(Vertical, 3 * M + BW + labels + DeviceLength(5));
}

void TEscala::PaintText(bool Vertical)
{
    TCanvas& c = Image->Canvas();
    const std::int64_t M = DeviceLength(FMargin), BW = DeviceLength(FBandWidth);
    const std::int64_t n = (Vertical ? DeviceHeight() : DeviceWidth()) - 2 * M;
    int th, tw;
    LabelsMeasure(th, tw);
    // Beside the band, or in the margin before it; labels beside a vertical
    // band are aligned on their right edge.
    std::int64_t across = FPosition == epNormal ? M + BW + DeviceLength(Vertical ? 6 : 5) : M;
    if (Vertical)
        across += tw + (FPosition == epNormal ? 0 : DeviceLength(1));
    c.SetTextAlign(Vertical ? TA_RIGHT | TA_TOP : TA_CENTER | TA_TOP);
    if (FTextInterval < 0)
        return;
    const std::int64_t parts = std::int64_t(FTextInterval) + 1;
    // Down a vertical band the labels' tops step from the band's top to
    // where the lowest label's bottom meets the band's bottom, from
    // Maximum down.
    const std::int64_t span = Vertical ? n - c.TextHeight("0") : n;
    for (std::int64_t i = 0; i <= parts; ++i) {
        const std::string text = Label(LabelValue(i, parts, Vertical));
        std::int64_t along = M + i * span / parts;
        if (!Vertical) {
            // A label stands centred on its point of the band, but no nearer
            // the sides than the margin: the end labels would otherwise stick
            // out by half their width and be cut off.
            const std::int64_t w = c.TextWidth(text);
            along = std::max(std::min(along, M + n - w + w / 2), M + w / 2);
        }
        const TPoint at = BandPoint(Vertical, along, across);
        c.TextOut(at.X, at.Y, text);
    }
}

void TEscala::DrawMarkVertical(double Value)
{
    TCanvas& c = Image->Canvas();
    c.Font = FontScaled(Font(), Image->PixelRatio());
    const std::int64_t W = DeviceWidth(), H = DeviceHeight(), M = DeviceLength(FMargin), BW = DeviceLength(FBandWidth),
                       n = H - 2 * M, one = DeviceLength(1);
    int th, tw;
    LabelsMeasure(th, tw);
    std::int64_t x1 = one, x2 = M - DeviceLength(2);
    if (FPosition == epInverse) {
        x1 = tw + M + BW + DeviceLength(7);
        x2 = W - one;
    }
    c.Pen.Color = Color();
    c.Brush.Color = Color();
    c.Brush.Style = bsSolid;
    c.Rectangle(SaturatingInt(x1 - one), 0, SaturatingInt(x2 + one), SaturatingInt(H));
    // Outside the range, and not a number at all, only erases.
    if (!(Value >= Minimum() && Value <= Maximum()))
        return;
    const double min = Minimum(), max = Maximum();
    double t = (Value - min) / (max - min);
    if (!std::isfinite(t))
        t = (Value * 0.5 - min * 0.5) / (max * 0.5 - min * 0.5);
    const std::int64_t y = H - M - RoundInt(t * double(n));
    c.Pen.Width = DeviceLength(2);
    c.Pen.Color = clBlack;
    c.MoveTo(SaturatingInt(x1), SaturatingInt(y));
    c.LineTo(SaturatingInt(x2), SaturatingInt(y));
    c.Pen.Width = 1;
}

void TEscala::EscalaResize()
{
    Image->Resize();
    Draw();
}
