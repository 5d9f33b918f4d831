#include "toolkit/controls/Panel.h"
#include "toolkit/controls/Image.h"

#include <QPainter>

#include <algorithm>
#include <cstdint>

// ------------------------------------------------------------ TCustomPanel

void Frame3D(TCanvas& canvas, TRect& rect, TColor topColor, TColor bottomColor, int width)
{
    canvas.Pen.Width = 1;
    // Worked out wide: a form may give any width and any rectangle.
    const std::int64_t l0 = rect.Left, t0 = rect.Top, r0 = std::int64_t(rect.Right) - 1,
                       b0 = std::int64_t(rect.Bottom) - 1;
    // From this ring on, each lies wholly beyond the picture (its left side
    // right of it, its top below it, and so on) and draws nothing.
    const TBitmap& picture = canvas.Bitmap();
    const std::int64_t visible = std::max({picture.Width() - l0, picture.Height() - t0, r0 + 1, b0 + 1});
    const std::int64_t rings = std::clamp<std::int64_t>(visible, 0, std::max(width, 0));
    for (std::int64_t i = 0; i < rings; ++i) {
        const int l = SaturatingInt(l0 + i), t = SaturatingInt(t0 + i), r = SaturatingInt(r0 - i),
                  b = SaturatingInt(b0 - i);
        canvas.Pen.Color = topColor;
        canvas.MoveTo(l, b);
        canvas.LineTo(l, t);
        canvas.LineTo(r, t);
        canvas.Pen.Color = bottomColor;
        canvas.LineTo(r, b);
        canvas.LineTo(SaturatingInt(l0 + i - 1), b);
    }
    const std::int64_t n = std::max(width, 0);
    rect = {SaturatingInt(l0 + n), SaturatingInt(t0 + n), SaturatingInt(r0 - n + 1), SaturatingInt(b0 - n + 1)};
}

TCustomPanel::TCustomPanel(QWidget* Owner) : TControl(Owner)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TCustomPanel::Relayout()
{
    Realign();
    update();
}

// Each setter stores a changed value, then lays out or repaints.
void TCustomPanel::SetBevelInner(TBevelCut value) { if (NamedValue(value) && ChangeField(bevelInner_, value)) Relayout(); }
void TCustomPanel::SetBevelOuter(TBevelCut value) { if (NamedValue(value) && ChangeField(bevelOuter_, value)) Relayout(); }
void TCustomPanel::SetBevelWidth(int value) { if (value > 0 && ChangeField(bevelWidth_, value)) Relayout(); }
void TCustomPanel::SetBorderWidth(int value) { if (value >= 0 && ChangeField(borderWidth_, value)) Relayout(); }
void TCustomPanel::SetCaption(const std::string& value) { if (ChangeField(caption_, value)) update(); }
void TCustomPanel::SetAlignment(TAlignment value) { if (NamedValue(value) && ChangeField(alignment_, value)) update(); }
void TCustomPanel::SetColor(TColor value) { if (ChangeField(color_, value)) update(); }

QRect TCustomPanel::ClientRect() const
{
    std::int64_t inset = borderWidth_;
    if (bevelOuter_ != bvNone)
        inset += bevelWidth_;
    if (bevelInner_ != bvNone)
        inset += bevelWidth_;
    // Past half the panel the area is empty whatever the frame: it stays
    // there rather than running beyond the int range.
    inset = std::min<std::int64_t>(inset, (std::max(width(), height()) + 1) / 2);
    const int by = int(inset);
    return rect().adjusted(by, by, -by, -by);
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
            r = r.Inflated(-bevelWidth_, -bevelWidth_);
            return;
        }
        const bool raised = cut == bvRaised;
        Frame3D(c, r, raised ? clBtnHighlight : clBtnShadow, raised ? clBtnShadow : clBtnHighlight, bevelWidth_);
    };
    bevel(bevelOuter_);
    r = r.Inflated(-borderWidth_, -borderWidth_);
    bevel(bevelInner_);
    if (!caption_.empty()) {
        c.Font = font_;
        c.SetBkMode(TRANSPARENT);
        const int h = c.TextHeight(caption_);
        const int top = SaturatingInt((std::int64_t(r.Top) + r.Bottom - h) / 2);
        switch (alignment_) {
        case taLeftJustify:
            c.SetTextAlign(TA_LEFT | TA_TOP);
            c.TextOut(SaturatingInt(std::int64_t(r.Left) + 2), top, caption_);
            break;
        case taRightJustify:
            c.SetTextAlign(TA_RIGHT | TA_TOP);
            c.TextOut(SaturatingInt(std::int64_t(r.Right) - 2), top, caption_);
            break;
        default:
            c.SetTextAlign(TA_CENTER | TA_TOP);
            c.TextOut(SaturatingInt((std::int64_t(r.Left) + r.Right) / 2), top, caption_);
        }
    }
    face_.TakeDirty();
    QPainter p(this);
    p.drawImage(0, 0, ImageOf(face_));
}
