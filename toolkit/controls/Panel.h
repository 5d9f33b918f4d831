// The bevelled panel with a caption.
#pragma once

#include "toolkit/controls/Control.h"
#include "toolkit/graphics/Graphics.h"

#include <string>

// Draws the classic 3-D frame: BevelWidth rings inward from the rectangle's
// edge, top and left in topColor, right and bottom in bottomColor.
void Frame3D(TCanvas& canvas, TRect& rect, TColor topColor, TColor bottomColor, int width);

class TCustomPanel : public TControl {
    Q_OBJECT
    Q_PROPERTY(Tk::TBevelCut BevelInner READ BevelInner WRITE SetBevelInner)     // bvNone
    Q_PROPERTY(Tk::TBevelCut BevelOuter READ BevelOuter WRITE SetBevelOuter)     // bvRaised
    Q_PROPERTY(int BevelWidth READ BevelWidth WRITE SetBevelWidth)               // 1
    Q_PROPERTY(int BorderWidth READ BorderWidth WRITE SetBorderWidth)            // 0
    Q_PROPERTY(QString Caption READ CaptionQ WRITE SetCaptionQ)                  // ""
    Q_PROPERTY(Tk::TAlignment Alignment READ Alignment WRITE SetAlignment)       // taCenter
    Q_PROPERTY(QColor Color READ ColorQ WRITE SetColorQ)                         // clBtnFace
public:
    explicit TCustomPanel(QWidget* Owner = nullptr);

    TBevelCut BevelInner() const { return bevelInner_; }
    void SetBevelInner(TBevelCut value);
    TBevelCut BevelOuter() const { return bevelOuter_; }
    void SetBevelOuter(TBevelCut value);
    int BevelWidth() const { return bevelWidth_; }
    void SetBevelWidth(int value);
    int BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(int value);
    std::string Caption() const { return caption_; }
    void SetCaption(const std::string& value);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment value);
    TColor Color() const { return color_; }
    void SetColor(TColor value);
    TFont& Font() { return font_; }
    TK_CAPTION_PROPERTY(Caption)
    TK_COLOR_PROPERTY(Color)

    // The area left inside the bevels and border, where children align.
    QRect ClientRect() const;

protected:
    void paintEvent(QPaintEvent* e) override;
    QRect AlignArea() const override { return ClientRect(); }

private:
    // A change of the frame moves the client area: align the children again
    // and repaint.
    void Relayout();
    TBevelCut bevelInner_ = bvNone;
    TBevelCut bevelOuter_ = bvRaised;
    int bevelWidth_ = 1;
    int borderWidth_ = 0;
    std::string caption_;
    TAlignment alignment_ = taCenter;
    TColor color_ = clBtnFace;
    TFont font_;
    TBitmap face_;
};
