#include "toolkit/controls/Panel.h"
#include "toolkit/controls/Image.h"

#include <QPainter>

// ------------------------------------------------------------ TCustomPanel

void Frame3D(TCanvas& canvas, TRect& rect, TColor topColor, TColor bottomColor, int width)
{
    canvas.Pen.Width = 1;
    int l = rect.Left, t = rect.Top, r = rect.Right - 1, b = rect.Bottom - 1;
    for (int i = 0; i < width; ++i) {
        canvas.Pen.Color = topColor;
        canvas.MoveTo(l, b);
        canvas.LineTo(l, t);
        canvas.LineTo(r, t);
        canvas.Pen.Color = bottomColor;
        canvas.LineTo(r, b);
        canvas.LineTo(l - 1, b);
        ++l;
        ++t;
        --r;
        --b;
    }
    rect = {l, t, r + 1, b + 1};
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
void TCustomPanel::SetBevelInner(TBevelCut value) { if (ChangeField(bevelInner_, value)) Relayout(); }
void TCustomPanel::SetBevelOuter(TBevelCut value) { if (ChangeField(bevelOuter_, value)) Relayout(); }
void TCustomPanel::SetBevelWidth(int value) { if (value > 0 && ChangeField(bevelWidth_, value)) Relayout(); }
void TCustomPanel::SetBorderWidth(int value) { if (value >= 0 && ChangeField(borderWidth_, value)) Relayout(); }
void TCustomPanel::SetCaption(const std::string& value) { if (ChangeField(caption_, value)) update(); }
void TCustomPanel::SetAlignment(TAlignment value) { if (ChangeField(alignment_, value)) update(); }
void TCustomPanel::SetColor(TColor value) { if (ChangeField(color_, value)) update(); }

QRect TCustomPanel::ClientRect() const
{
    int inset = borderWidth_;
    if (bevelOuter_ != bvNone)
        inset += bevelWidth_;
    if (bevelInner_ != bvNone)
        inset += bevelWidth_;
    return rect().adjusted(inset, inset, -inset, -inset);
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
            r = {r.Left + bevelWidth_, r.Top + bevelWidth_, r.Right - bevelWidth_, r.Bottom - bevelWidth_};
            return;
        }
        const bool raised = cut == bvRaised;
        Frame3D(c, r, raised ? clBtnHighlight : clBtnShadow, raised ? clBtnShadow : clBtnHighlight, bevelWidth_);
    };
    bevel(bevelOuter_);
    r = {r.Left + borderWidth_, r.Top + borderWidth_, r.Right - borderWidth_, r.Bottom - borderWidth_};
    bevel(bevelInner_);
    if (!caption_.empty()) {
        c.Font = font_;
        c.SetBkMode(TRANSPARENT);
        const int h = c.TextHeight(caption_);
        const int top = (r.Top + r.Bottom - h) / 2;
        switch (alignment_) {
        case taLeftJustify:
            c.SetTextAlign(TA_LEFT | TA_TOP);
            c.TextOut(r.Left + 2, top, caption_);
            break;
        case taRightJustify:
            c.SetTextAlign(TA_RIGHT | TA_TOP);
            c.TextOut(r.Right - 2, top, caption_);
            break;
        default:
            c.SetTextAlign(TA_CENTER | TA_TOP);
            c.TextOut((r.Left + r.Right) / 2, top, caption_);
        }
    }
    face_.TakeDirty();
    QPainter p(this);
    p.drawImage(0, 0, ImageOf(face_));
}
