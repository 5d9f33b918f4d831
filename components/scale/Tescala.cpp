#include "components/scale/Tescala.h"

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
    Image->SetBounds(SaturatingInt(2 * b), SaturatingInt(2 * b), SaturatingInt(Width() - 4 * b),
                     SaturatingInt(Height() - 4 * b));
    Image->Resize();

    TCanvas& c = Image->Canvas();
    const int W = Image->Width(), H = Image->Height();
    c.Pen.Color = Color();
    c.Brush.Color = Color();
    c.Brush.Style = bsSolid;
    c.Rectangle(0, 0, Image->BitmapSide(W), Image->BitmapSide(H));
    if (W < 5 || H < 5)
        return;
    c.Font = FontScaled(Font(), Image->PixelRatio());
    if (FOrientation == eoHorizontal)
        PaintHorizontal();
    else
        PaintVertical();
    Image->Repaint();
}

void TEscala::PaintHorizontal()
{
    const unsigned draws = FDraws;
    PaintBandHorizontal();
    // A new size from AutoSize has painted everything already.
    if (FDraws == draws)
        PaintTextHorizontal();
}

void TEscala::PaintVertical()
{
    const unsigned draws = FDraws;
    PaintBandVertical();
    if (FDraws == draws)
        PaintTextVertical();
}

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

void TEscala::PaintBandHorizontal()
{
    TCanvas& c = Image->Canvas();
    const std::int64_t W = DeviceWidth(), M = DeviceLength(FMargin), BW = DeviceLength(FBandWidth), n = W - 2 * M;
    int th, tw;
    LabelsMeasure(th, tw);
    const std::int64_t y1 = FPosition == epNormal ? M : M + th + DeviceLength(5), y2 = y1 + BW;
    // The first column shows Minimum and the last Maximum.
    const std::vector<TColor> colours = BandColours(n, false);
    for (std::int64_t i = 0; i < n; ++i) {
        c.Pen.Color = colours[std::size_t(i)];
        c.MoveTo(SaturatingInt(M + i), SaturatingInt(y1));
        c.LineTo(SaturatingInt(M + i), SaturatingInt(y2));
    }
    if (FAutoSize)
        SizeFit(false, 3 * M + BW + th + DeviceLength(5));
}

void TEscala::PaintTextHorizontal()
{
    TCanvas& c = Image->Canvas();
    const std::int64_t W = DeviceWidth(), M = DeviceLength(FMargin), BW = DeviceLength(FBandWidth);
    c.SetTextAlign(TA_CENTER | TA_TOP);
    const std::int64_t y = FPosition == epNormal ? M + BW + DeviceLength(5) : M;
    if (FTextInterval < 0)
        return;
    const std::int64_t parts = std::int64_t(FTextInterval) + 1;
    for (std::int64_t i = 0; i <= parts; ++i) {
        const std::string text = Label(LabelValue(i, parts, false));
        // A label stands centred on its point of the band, but no nearer
        // the sides than the margin: the end labels would otherwise stick
        // out by half their width and be cut off.
        const std::int64_t w = c.TextWidth(text);
        const std::int64_t x = std::max(std::min(M + i * (W - 2 * M) / parts, W - M - w + w / 2), M + w / 2);
        c.TextOut(SaturatingInt(x), SaturatingInt(y), text);
    }
}

void TEscala::PaintBandVertical()
{
    TCanvas& c = Image->Canvas();
    const std::int64_t H = DeviceHeight(), M = DeviceLength(FMargin), BW = DeviceLength(FBandWidth), n = H - 2 * M;
    int th, tw;
    LabelsMeasure(th, tw);
    const std::int64_t x1 = FPosition == epNormal ? M : M + tw + DeviceLength(5), x2 = x1 + BW;
    // The top row shows Maximum, the bottom row Minimum.
    const std::vector<TColor> colours = BandColours(n, true);
    for (std::int64_t r = 0; r < n; ++r) {
        c.Pen.Color = colours[std::size_t(r)];
        c.MoveTo(SaturatingInt(x1), SaturatingInt(M + r));
        c.LineTo(SaturatingInt(x2), SaturatingInt(M + r));
    }
    if (FAutoSize)
        SizeFit(true, 3 * M + BW + tw + DeviceLength(5));
}

void TEscala::PaintTextVertical()
{
    TCanvas& c = Image->Canvas();
    const std::int64_t H = DeviceHeight(), M = DeviceLength(FMargin), BW = DeviceLength(FBandWidth), n = H - 2 * M;
    int th, tw;
    LabelsMeasure(th, tw);
    // The top of the lowest label, so that its bottom meets the band's.
    const std::int64_t last = M + n - c.TextHeight("0");
    const std::int64_t x = FPosition == epNormal ? tw + M + BW + DeviceLength(6) : tw + M + DeviceLength(1);
    c.SetTextAlign(TA_RIGHT | TA_TOP);
    if (FTextInterval < 0)
        return;
    const std::int64_t parts = std::int64_t(FTextInterval) + 1;
    for (std::int64_t i = 0; i <= parts; ++i)
        c.TextOut(SaturatingInt(x), SaturatingInt(M + i * (last - M) / parts), Label(LabelValue(i, parts, true)));
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
